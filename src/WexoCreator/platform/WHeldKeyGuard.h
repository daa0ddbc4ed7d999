#pragma once

#include <QList>
#include <QObject>

class QKeyEvent;

namespace WexoCreator {

// Once a key press has acted in the library (moved a walkthrough on, closed
// it), the rest of that press is the library's too: the key's repeats and its
// release reach no widget, the library's or the host's, until the key is let
// go for real. It outlives whatever acted on the press, so a host editor or
// dialog that has the keyboard back gets none of it.
//
// What follows a press is told from a new press by the key's own events:
// a press flagged as an auto-repeat, or stamped with the time of the key's
// previous event, is a repeat (X sends one as a release and a press with one
// timestamp, and Qt does not always flag the pair); a press stamped otherwise
// is a new press and goes through. A release is held back as it comes: it
// proves real when anything but its repeat's press follows.
class WHeldKeyGuard : public QObject
{
public:
    // The press acted: what follows of it is held back from everyone.
    static void hold(const QKeyEvent *press);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using QObject::QObject;

    struct HeldKey {
        int key = 0;
        quint32 nativeScanCode = 0;
        quint64 timestamp = 0;
        // Let go, as far as is known yet.
        bool released = false;

        bool isKeyOf(const QKeyEvent *event) const;
    };

    void forget(qsizetype index);
    void forgetReleased();

    QList<HeldKey> m_keys;
};

} // namespace WexoCreator
