#pragma once

#include <QColor>
#include <QWidget>

namespace WexoCreator {

// A plain surface of one colour with rounded corners, or rounded top corners
// only; a radius of 0 gives a rectangle.
class WRoundedView : public QWidget
{
public:
    WRoundedView(const QColor &fill, qreal radius, bool topOnly, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_fill;
    qreal m_radius;
    bool m_topOnly;
};

} // namespace WexoCreator
