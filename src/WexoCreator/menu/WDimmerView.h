#pragma once

#include <QWidget>

namespace WexoCreator {

// Black at the dimming alpha behind the menu's card; an alpha below zero
// shows nothing. It takes its presses, so their releases come back to it and
// a tap is seen.
class WDimmerView : public QWidget
{
public:
    using QWidget::QWidget;

    qreal alpha() const { return m_alpha; }
    void setAlpha(qreal alpha);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    qreal m_alpha = 0;
};

} // namespace WexoCreator
