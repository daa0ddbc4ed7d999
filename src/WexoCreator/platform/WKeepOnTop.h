#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace WexoCreator {

// Keeps a child widget above its siblings: a sibling added later, one the
// host raises, or one that becomes a native window (its window would stack
// above ours) is put back below it. Library widgets are left alone, so two
// kept widgets never take turns raising each other. It follows the widget
// when the widget moves to another parent.
class WKeepOnTop : public QObject
{
    Q_OBJECT

public:
    explicit WKeepOnTop(QWidget *widget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void attach();
    void watchSibling(QObject *sibling);

    QPointer<QWidget> m_widget;
};

} // namespace WexoCreator
