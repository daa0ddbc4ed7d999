#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace WexoCreator {

// What the library's layers over a host window cover: the window itself, or,
// while a modal host dialog blocks that window, the dialog. A modal dialog
// takes every click of the window below it, so a console or a pick layer left
// there could not even stop a recording; they follow the surface instead.
// One per host window, made on first use; it lives as long as the window.
class WHostSurface : public QObject
{
    Q_OBJECT

public:
    static WHostSurface *of(QWidget *host);

    QWidget *host() const;
    QWidget *current() const;

    // True when a modal window blocks the host: an application-modal one, or a
    // window-modal one opened from the host or from a dialog over it.
    static bool blocks(const QWidget *modal, const QWidget *host);

Q_SIGNALS:
    // The surface moved to a dialog or back; layers move with it.
    void changed(QWidget *surface);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit WHostSurface(QWidget *host);
    void update();

    QPointer<QWidget> m_dialog;
};

} // namespace WexoCreator
