#include "WexoCreator/recording/FrameView.h"

#include <QPainter>
#include <QRandomGenerator>

#include <cmath>

namespace WexoCreator {

namespace {

// A colour component in [0, 1], both ends included.
qreal randomComponent()
{
    return QRandomGenerator::global()->generate() / 4294967295.0;
}

QRectF strokeRect(const QRectF &rect)
{
    return QRectF(rect.x() + 0.5, rect.y() + 0.5, rect.width() - 1, rect.height() - 1);
}

} // namespace

FrameView::FrameView(const QRect &frame, QWidget *parent)
    : QWidget(parent)
{
    setGeometry(frame);
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
}

void FrameView::setMainRect(const QRectF &rect)
{
    m_mainRect = rect;
    update();
}

void FrameView::setSuperRect(const QRectF &rect)
{
    m_superRect = rect;
    update();
}

bool FrameView::isFractional(const QRectF &mainRect, const QRectF &superRect)
{
    if (superRect.isEmpty())
        return false;
    const QRectF relative = mainRect.translated(-superRect.x(), -superRect.y());
    const bool fractionalX = std::floor(float(relative.x())) != relative.x() && mainRect.x() != 0;
    const bool fractionalY = std::floor(relative.y()) != relative.y() && mainRect.y() != 0;
    return fractionalX || fractionalY;
}

void FrameView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setBrush(Qt::NoBrush);
    if (!rectsToOutline.isEmpty()) {
        for (const QRectF &rect : std::as_const(rectsToOutline)) {
            const qreal red = randomComponent();
            const qreal green = randomComponent();
            const qreal blue = randomComponent();
            painter.setPen(QPen(QColor::fromRgbF(float(red), float(green), float(blue)), 1));
            painter.drawRect(strokeRect(rect));
        }
        return;
    }
    if (!m_superRect || !m_mainRect || m_mainRect->isEmpty())
        return;
    painter.setPen(QPen(isFractional(*m_mainRect, *m_superRect) ? Qt::red : Qt::blue, 1));
    painter.drawRect(strokeRect(*m_mainRect));
}

} // namespace WexoCreator
