#include "WexoCreator/menu/WRoundedView.h"

#include <QPainter>
#include <QPainterPath>

namespace WexoCreator {

WRoundedView::WRoundedView(const QColor &fill, qreal radius, bool topOnly, QWidget *parent)
    : QWidget(parent)
    , m_fill(fill)
    , m_radius(radius)
    , m_topOnly(topOnly)
{
}

void WRoundedView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF r = rect();
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addRoundedRect(r, m_radius, m_radius);
    if (m_topOnly)
        path.addRect(r.adjusted(0, m_radius, 0, 0));
    painter.fillPath(path.simplified(), m_fill);
}

} // namespace WexoCreator
