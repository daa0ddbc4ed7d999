#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace WexoCreator {

// Keeps a child widget above its siblings: a sibling added later, or one the
// host raises, is put back below it. Library widgets are left alone, so two
// kept widgets never take turns raising each other.
class WKeepOnTop : public QObject
{
    Q_OBJECT

public:
    explicit WKeepOnTop(QWidget *widget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watchSibling(QObject *sibling);

    QPointer<QWidget> m_widget;
};

} // namespace WexoCreator
