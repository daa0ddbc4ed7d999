#include "WexoCreator/menu/WDimmerView.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace WexoCreator {

void WDimmerView::setAlpha(qreal alpha)
{
    m_alpha = alpha;
    update();
}

void WDimmerView::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void WDimmerView::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
}

void WDimmerView::paintEvent(QPaintEvent *)
{
    if (m_alpha <= 0)
        return;
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 0, qRound(std::min<qreal>(m_alpha, 1) * 255)));
}

} // namespace WexoCreator
