#include "WexoCreator/views/WPointerView.h"

#include "WexoCreator/configuration/WConfiguration.h"
#include "WexoCreator/views/WPulse.h"
#include "WexoCreator/views/WViewStyle.h"

#include <QEvent>
#include <QPainter>

#include <algorithm>
#include <limits>

namespace WexoCreator {

namespace {

constexpr qreal kSideShift = 15;

} // namespace

WPointerView::WPointerView(QPointF anchor, WexoStepView viewType, QWidget *parent)
    : QAbstractButton(parent)
    , m_position(anchor)
    , m_viewType(viewType)
{
    place();
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QAbstractButton::clicked, this, &WPointerView::onPointerClick);
    if (isToolTipKind(viewType))
        showToolTip();
    else
        showPulse();
}

WPointerView::~WPointerView()
{
    if (m_pulse) {
        m_pulse->hide();
        m_pulse->deleteLater();
    }
}

void WPointerView::place()
{
    const QPointF centre = centreFor(m_position, m_viewType);
    QRectF disc(centre.x() - kViewWidth / 2.0, centre.y() - kViewWidth / 2.0, kViewWidth, kViewWidth);
    // Beside a target at the window's edge the marker would be mostly outside
    // it, with the "?" that opens the card out of sight: it moves in along the
    // edge it crosses.
    const QWidget *parent = parentWidget();
    if (parent && parent->width() >= kViewWidth && parent->height() >= kViewWidth) {
        const QRectF room = QRectF(parent->rect()).adjusted(0, 0, -kViewWidth, -kViewWidth);
        disc.moveTopLeft(QPointF(std::clamp(disc.left(), room.left(), room.right()),
                                 std::clamp(disc.top(), room.top(), room.bottom())));
    }
    setGeometry(disc.toRect());
}

bool WPointerView::isToolTip() const
{
    return !m_glyph.isEmpty();
}

bool WPointerView::isToolTipKind(WexoStepView viewType)
{
    switch (viewType) {
    case WexoStepView::toolTipTopLeft:
    case WexoStepView::toolTipTopRight:
    case WexoStepView::toolTipBottomLeft:
    case WexoStepView::toolTipBottomRight:
        return true;
    default:
        return false;
    }
}

QPointF WPointerView::centreFor(QPointF anchor, WexoStepView viewType)
{
    switch (viewType) {
    case WexoStepView::pulseTopLeft:
    case WexoStepView::pulseBottomLeft:
    case WexoStepView::toolTipTopLeft:
    case WexoStepView::toolTipBottomLeft:
        return anchor - QPointF(kSideShift, 0);
    case WexoStepView::pulseTopRight:
    case WexoStepView::pulseBottomRight:
    case WexoStepView::toolTipTopRight:
    case WexoStepView::toolTipBottomRight:
        return anchor + QPointF(kSideShift, 0);
    default:
        return anchor;
    }
}

void WPointerView::showPulse()
{
    m_fill = WConfiguration::kPulsePrimaryColor();
    m_fillOpacity = 0.1;
    followWithPulse();
}

void WPointerView::showToolTip()
{
    m_glyph = WConfiguration::kToolTipType() == WTooltipType::questionMark ? QStringLiteral("?") : QStringLiteral("i");
    m_glyphColor = WConfiguration::ktooltipPrimaryColor();
    m_fill = WConfiguration::ktooltipSecondaryColor();
    m_fillOpacity = 1.0;
    setFont(wSystemFont(20, QFont::ExtraBold));
    setText(m_glyph);
}

void WPointerView::followWithPulse()
{
    if (isToolTip() || !parentWidget())
        return;
    const QPointF centre = QRectF(geometry()).center();
    if (!m_pulse) {
        m_pulse = new WPulse(std::numeric_limits<float>::infinity(), kPulseRadius, centre, parentWidget());
        m_pulse->raise();
    }
    m_pulse->setCentre(centre);
}

bool WPointerView::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::ParentChange:
        followWithPulse();
        break;
    case QEvent::Show:
    case QEvent::Hide:
        if (m_pulse)
            m_pulse->setVisible(event->type() == QEvent::Show);
        break;
    default:
        break;
    }
    return QAbstractButton::event(event);
}

void WPointerView::onPointerClick()
{
    if (WPoineterDelegate *delegate = m_delegate.get())
        delegate->onPointerView();
}

void WPointerView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(m_fillOpacity);
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_fill);
    painter.drawEllipse(QRectF(rect()));
    if (m_glyph.isEmpty())
        return;
    painter.setPen(m_glyphColor);
    painter.setFont(font());
    painter.drawText(rect(), Qt::AlignCenter, m_glyph);
}

} // namespace WexoCreator
