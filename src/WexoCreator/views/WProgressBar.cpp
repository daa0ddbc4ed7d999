#include "WexoCreator/views/WProgressBar.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace WexoCreator {

WProgressBar::WProgressBar(QWidget *parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void WProgressBar::setProgress(qreal progress)
{
    m_progress = std::isnan(progress) ? 0.0 : std::clamp(progress, qreal(0), qreal(1));
    update();
}

void WProgressBar::setTrackColor(const QColor &color)
{
    m_trackColor = color;
    update();
}

void WProgressBar::setProgressTintColor(const QColor &color)
{
    m_tintColor = color;
    update();
}

qreal WProgressBar::ratio(qint64 current, qint64 total)
{
    if (total == 0)
        return 0;
    return qreal(float(current) / float(total));
}

QSize WProgressBar::sizeHint() const
{
    return QSize(100, 5);
}

void WProgressBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_trackColor);
    painter.fillRect(QRectF(0, 0, width() * m_progress, height()), m_tintColor);
}

} // namespace WexoCreator
