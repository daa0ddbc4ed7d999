#include "WexoCreator/recording/CrossHairView.h"

#include <QPainter>

#include <cmath>

namespace WexoCreator {

CrossHairView::CrossHairView(const QRect &frame, const QColor &color, QWidget *parent)
    : QWidget(parent)
    , color(color)
{
    setGeometry(frame);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAutoFillBackground(false);
}

qreal CrossHairView::lineOffset(qreal extent)
{
    return qreal(std::floor(float(extent / 2)) + 0.5f);
}

void CrossHairView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(QPen(color, 1));
    const qreal w = width();
    const qreal h = height();
    const qreal x = lineOffset(w);
    const qreal y = lineOffset(h);
    painter.drawLine(QPointF(x, 0), QPointF(x, h));
    painter.drawLine(QPointF(0, y), QPointF(w, y));
}

} // namespace WexoCreator
