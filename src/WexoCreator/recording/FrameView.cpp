#include "WexoCreator/recording/FrameView.h"

#include "WexoCreator/configuration/WConfiguration.h"
#include "WexoCreator/recording/CrossHairView.h"
#include "WexoCreator/recording/FrameViewDelegate.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QRandomGenerator>

#include <cmath>

namespace WexoCreator {

namespace {

constexpr int kMarkerSide = 17;

// A colour component in [0, 1], both ends included.
qreal randomComponent()
{
    return QRandomGenerator::global()->generate() / 4294967295.0;
}

QRectF strokeRect(const QRectF &rect)
{
    return QRectF(rect.x() + 0.5, rect.y() + 0.5, rect.width() - 1, rect.height() - 1);
}

// Rounds down at single precision, as the guides' positions are worked out.
qreal floorf(qreal value)
{
    return std::floor(float(value));
}

// The label and the marker follow the finger but are never shown. (Hidden
// rather than given an opacity effect of their own: an effect inside the
// view's own fading effect cannot paint.)
void makeInvisible(QWidget *widget)
{
    widget->hide();
}

} // namespace

FrameView::FrameView(const QRect &frame, FrameViewDelegate *delegate, QWidget *parent)
    : QWidget(parent)
{
    m_delegate.set(delegate);
    setGeometry(frame);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);

    m_touchPointLabel = new QLabel(QStringLiteral("X 320 Y 480"), this);
    m_touchPointLabel->setTextFormat(Qt::PlainText);
    m_touchPointLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_touchPointLabel->setGeometry(0, 0, 0, 0);
    QFont font = m_touchPointLabel->font();
    font.setBold(true);
    font.setPixelSize(12);
    m_touchPointLabel->setFont(font);
    m_touchPointLabel->setAlignment(Qt::AlignCenter);
    m_touchPointLabel->setStyleSheet(
        QStringLiteral("QLabel { color: white; background-color: rgba(0, 0, 0, 166); border-radius: 5px; }"));
    makeInvisible(m_touchPointLabel);

    m_touchPointView = new CrossHairView(QRect(0, 0, kMarkerSide, kMarkerSide), WConfiguration::kPrimaryColor(), this);
    makeInvisible(m_touchPointView);
}

FrameViewDelegate *FrameView::delegate() const
{
    return m_delegate.get();
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

QPointF FrameView::placeTouchMarkers(const QPointF &location)
{
    // The reported point sits a little above and left of the raw location.
    const QPointF p(location.x() - 1, location.y() - 2);
    const QString text = QString::asprintf("%.0f, %.0f", p.x(), p.y());
    m_touchPointLabel->setText(text);
    const QSizeF size = QFontMetricsF(m_touchPointLabel->font()).size(Qt::TextSingleLine, text);
    const qreal tw = size.width();
    const qreal th = size.height();
    const qreal w = tw + 11;
    const qreal h = th + 4;
    qreal x = p.x() - std::floor(float(tw / 2)) - 5;
    qreal y = p.y() - th - 16;
    if (x < 2)
        x = 2;
    else if (x + w > width() - 2)
        x = width() - w - 2;
    if (y < 22)
        y = p.y() + th + 4;
    m_touchPointLabel->setGeometry(QRectF(x, y, w, h).toRect());

    const QPointF centre(p.x() + 0.5, p.y() + 0.5);
    m_touchPointView->move((centre - QPointF(kMarkerSide / 2.0, kMarkerSide / 2.0)).toPoint());
    makeInvisible(m_touchPointView);
    makeInvisible(m_touchPointLabel);
    return p;
}

void FrameView::mousePressEvent(QMouseEvent *event)
{
    // Every press stays here, but only the left button picks.
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    const QPointF p = placeTouchMarkers(event->position());
    if (FrameViewDelegate *d = delegate())
        d->touchAtPoint(p);
}

void FrameView::mouseDoubleClickEvent(QMouseEvent *event)
{
    // A double click counts as one click: its first press has picked.
    event->accept();
}

void FrameView::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    if (event->buttons() & Qt::LeftButton)
        touchesMoved(event->position());
}

void FrameView::touchesMoved(const QPointF &location)
{
    const QPointF p = placeTouchMarkers(location);
    if (FrameViewDelegate *d = delegate())
        d->touchMovedToPoint(p);
}

void FrameView::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    makeInvisible(m_touchPointView);
    makeInvisible(m_touchPointLabel);
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
    const QColor colour = isFractional(*m_mainRect, *m_superRect) ? Qt::red : Qt::blue;
    painter.setPen(QPen(colour, 1));
    painter.drawRect(strokeRect(*m_mainRect));
    if (!showLines)
        return;

    QFont font = QApplication::font();
    font.setPixelSize(10);
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    QPen dashed(colour, 1);
    dashed.setDashPattern({3, 3});
    dashed.setDashOffset(0);
    for (const Guide &guide : distanceGuides(*m_mainRect, *m_superRect, metrics)) {
        if (guide.line) {
            painter.setPen(dashed);
            painter.drawLine(*guide.line);
        }
        painter.setPen(QPen(colour, 1));
        const QSizeF size = metrics.size(Qt::TextSingleLine, guide.text);
        painter.drawText(QRectF(guide.labelOrigin, size), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, guide.text);
    }
}

QList<FrameView::Guide> FrameView::distanceGuides(const QRectF &mainRect, const QRectF &superRect, const QFontMetricsF &metrics)
{
    const bool fractional = isFractional(mainRect, superRect);
    const QRectF d = strokeRect(mainRect);
    const QRectF r = mainRect.translated(-superRect.x(), -superRect.y());
    const qreal gy = floorf(d.center().y()) + 0.5;
    const qreal gx = floorf(d.center().x()) + 0.5;
    const auto text = [fractional](qreal value) { return QString::asprintf(fractional ? "%.1f" : "%.0f", value); };
    const auto size = [&metrics](const QString &label) { return metrics.size(Qt::TextSingleLine, label); };

    QList<Guide> guides;
    Guide left{QLineF(superRect.left(), gy, d.left(), gy), text(r.left()), {}};
    left.labelOrigin = QPointF(superRect.left() + 1, floorf(d.center().y()) - size(left.text).height());
    guides << left;

    Guide right{std::nullopt, text(superRect.right() - d.right() - 0.5), {}};
    if (superRect.right() > mainRect.right())
        right.line = QLineF(d.right(), gy, superRect.right(), gy);
    const QSizeF rightSize = size(right.text);
    right.labelOrigin = QPointF(superRect.right() - rightSize.width() - 1, floorf(d.center().y()) - 0.5 - rightSize.height());
    guides << right;

    Guide top{QLineF(gx, superRect.top(), gx, d.top()), text(r.top()), {}};
    top.labelOrigin = QPointF(floorf(d.center().x()) + 3, floorf(superRect.top()));
    guides << top;

    Guide bottom{std::nullopt, text(superRect.bottom() - mainRect.bottom()), {}};
    if (superRect.bottom() > mainRect.bottom())
        bottom.line = QLineF(gx, d.bottom(), gx, superRect.bottom());
    bottom.labelOrigin = QPointF(floorf(d.center().x()) + 3, floorf(superRect.bottom()) - size(bottom.text).height() - 1);
    guides << bottom;
    return guides;
}

} // namespace WexoCreator
