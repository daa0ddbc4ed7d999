#include "WexoCreator/views/WStaticTextLabel.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStyle>

#include <cmath>

namespace WexoCreator {

WStaticTextLabel::WStaticTextLabel(QWidget *parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    m_shown.setCacheEnabled(true);
}

QTextLine WStaticTextLabel::shown() const
{
    if (m_shown.lineCount() == 0 || text() != m_shownText || font() != m_shownFont) {
        m_shownText = text();
        m_shownFont = font();
        m_placed.reset();
        m_shown.setText(m_shownText);
        m_shown.setFont(m_shownFont);
        m_shown.beginLayout();
        m_shown.createLine().setPosition(QPointF(0, 0));
        m_shown.endLayout();
    }
    return m_shown.lineAt(0);
}

bool WStaticTextLabel::isPlainLine() const
{
    return frameWidth() == 0 && indent() <= 0 && !wordWrap() && textFormat() == Qt::PlainText && !text().isEmpty();
}

QSize WStaticTextLabel::sizeHint() const
{
    if (!isPlainLine())
        return QLabel::sizeHint();
    const QTextLine line = shown();
    const QMargins margins = contentsMargins();
    return QSize(int(std::ceil(line.naturalTextWidth())) + margins.left() + margins.right() + 2 * margin(),
                 int(std::ceil(line.height())) + margins.top() + margins.bottom() + 2 * margin());
}

QSize WStaticTextLabel::minimumSizeHint() const
{
    return isPlainLine() ? sizeHint() : QLabel::minimumSizeHint();
}

void WStaticTextLabel::paintEvent(QPaintEvent *event)
{
    if (!isPlainLine()) {
        QLabel::paintEvent(event);
        return;
    }
    const QTextLine line = shown();
    const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const Qt::Alignment align = QStyle::visualAlignment(layoutDirection(), alignment());
    if (!m_placed || m_placed->area != area || m_placed->alignment != align) {
        // Measured once as a plain label places its text, to the device pixel.
        const QRectF bounds = QFontMetricsF(m_shownFont, this).boundingRect(QRectF(area), int(align), m_shownText);
        m_placed = Placed{area, align, bounds.topLeft()};
    }
    QPainter painter(this);
    const QPalette::ColorGroup group = !isEnabled() ? QPalette::Disabled : isActiveWindow() ? QPalette::Active : QPalette::Inactive;
    painter.setPen(palette().color(group, foregroundRole()));
    line.draw(&painter, m_placed->at);
}

} // namespace WexoCreator
