#include "WexoCreator/views/WPaddingLabel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace WexoCreator {

namespace {

constexpr QChar kEllipsis(0x2026);
// Width a label offers for its size hint when no layout gives it one.
constexpr qreal kHintTextWidth = 260;
// Stands for "no width limit" when measuring.
constexpr qreal kUnbounded = 1e6;
// Characters beyond a shown line's own that an elided line may still take.
constexpr qsizetype kElisionSlack = 64;
// Widths whose layouts are kept: the measuring and the drawing width, and one more.
constexpr std::size_t kKeptLayouts = 3;

// What a screen reader is told of a padded label: static text, read by its
// text (an accessible name set on the label goes first).
class WPaddingLabelAccessible final : public QAccessibleWidget
{
public:
    explicit WPaddingLabelAccessible(WPaddingLabel *label)
        : QAccessibleWidget(label, QAccessible::StaticText)
    {
    }

    QString text(QAccessible::Text kind) const override
    {
        const QString own = QAccessibleWidget::text(kind);
        if (kind == QAccessible::Name && own.isEmpty())
            return static_cast<const WPaddingLabel *>(widget())->text();
        return own;
    }
};

QAccessibleInterface *paddingLabelAccessible(const QString &className, QObject *object)
{
    if (className != QLatin1String(WPaddingLabel::staticMetaObject.className()) || !object || !object->isWidgetType())
        return nullptr;
    return new WPaddingLabelAccessible(static_cast<WPaddingLabel *>(object));
}

} // namespace

WPaddingLabel::WPaddingLabel(QWidget *parent)
    : QWidget(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(paddingLabelAccessible);
        return true;
    }();
    Q_UNUSED(installed);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

WPaddingLabel::~WPaddingLabel() = default;

void WPaddingLabel::setNumberOfLines(int lines)
{
    m_numberOfLines = std::max(0, lines);
    textChanged();
}

void WPaddingLabel::setAlignment(Qt::Alignment alignment)
{
    // The lines carry their alignment.
    m_alignment = alignment;
    textChanged();
}

QColor WPaddingLabel::textColor() const
{
    return palette().color(QPalette::WindowText);
}

void WPaddingLabel::setTextColor(const QColor &color)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, color);
    setPalette(palette);
}

QString WPaddingLabel::text() const
{
    return m_isAttributed ? m_attributed.plainText() : m_plain;
}

void WPaddingLabel::setText(const QString &text)
{
    m_plain = text;
    m_attributed = {};
    m_isAttributed = false;
    textChanged();
}

void WPaddingLabel::setAttributedText(const WAttributedString &text)
{
    m_attributed = text;
    m_plain.clear();
    m_isAttributed = true;
    textChanged();
}

QList<WAttributedString::Run> WPaddingLabel::runs() const
{
    if (m_isAttributed)
        return m_attributed.runs();
    return {{m_plain, font()}};
}

WPaddingLabel::Layout WPaddingLabel::layoutText(qreal width) const
{
    Layout result;
    const QList<WAttributedString::Run> parts = runs();
    QString all;
    QList<QTextLayout::FormatRange> formats;
    for (const auto &run : parts) {
        if (run.text.isEmpty())
            continue;
        QTextLayout::FormatRange range;
        range.start = int(all.size());
        range.length = int(run.text.size());
        range.format.setFont(run.font);
        formats.append(range);
        all += run.text;
    }
    if (all.isEmpty())
        return result;

    const auto fontAt = [&](qsizetype position) {
        for (const auto &range : std::as_const(formats)) {
            if (position >= range.start && position < range.start + range.length)
                return range.format.font();
        }
        return formats.constLast().format.font();
    };

    QTextOption option(m_alignment & Qt::AlignHorizontal_Mask);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    const qreal lineWidth = std::max(width, qreal(1));
    qreal y = 0;
    qreal naturalWidth = 0;
    qsizetype start = 0;
    const QStringList paragraphs = all.split(u'\n');
    struct Placed { qsizetype textStart; qsizetype paragraphEnd; bool lastOfParagraph; };
    QList<Placed> placed;
    const auto overCap = [&] { return m_numberOfLines > 0 && result.lines.size() > m_numberOfLines; };
    for (const QString &paragraph : paragraphs) {
        // Under a cap only the paragraph's start can show: it is laid out from
        // a cut at least a pixel a character wide for every line, cut longer
        // while the cut gives fewer lines than the cap. Lines before the cut's
        // last one break as in the whole paragraph.
        qsizetype length = paragraph.size();
        if (m_numberOfLines > 0)
            length = std::min(length, qsizetype((m_numberOfLines + 1) * std::max(lineWidth, qreal(64))));
        const qsizetype linesBefore = result.lines.size();
        const qreal yBefore = y;
        const qreal widthBefore = naturalWidth;
        for (;;) {
            auto layout = std::make_unique<QTextLayout>(paragraph.left(length), fontAt(std::min(start, all.size() - 1)));
            layout->setTextOption(option);
            QList<QTextLayout::FormatRange> own;
            for (const auto &range : std::as_const(formats)) {
                const qsizetype from = std::max<qsizetype>(range.start, start);
                const qsizetype to = std::min<qsizetype>(range.start + range.length, start + length);
                if (from < to)
                    own.append({int(from - start), int(to - from), range.format});
            }
            layout->setFormats(own);
            layout->beginLayout();
            bool paragraphDone = length == paragraph.size();
            for (;;) {
                // One line past the cap tells that the text goes on: the rest
                // is never shown, so it is never laid out.
                if (overCap()) {
                    paragraphDone = false;
                    break;
                }
                QTextLine line = layout->createLine();
                if (!line.isValid())
                    break;
                line.setLineWidth(lineWidth);
                line.setPosition(QPointF(0, y));
                Line shown;
                shown.y = y;
                shown.height = line.height();
                shown.layout = int(result.paragraphs.size());
                shown.lineNumber = line.lineNumber();
                result.lines.append(shown);
                placed.append({start + line.textStart(), start + paragraph.size(), false});
                naturalWidth = std::max(naturalWidth, line.naturalTextWidth());
                y += line.height();
            }
            layout->endLayout();
            if (length < paragraph.size() && !overCap()) {
                result.lines.resize(linesBefore);
                placed.resize(linesBefore);
                y = yBefore;
                naturalWidth = widthBefore;
                length = std::min(paragraph.size(), 2 * length);
                continue;
            }
            if (!placed.isEmpty() && paragraphDone)
                placed.last().lastOfParagraph = true;
            result.paragraphs.push_back(std::move(layout));
            break;
        }
        start += paragraph.size() + 1;
        if (overCap())
            break;
    }

    if (m_numberOfLines > 0 && result.lines.size() > m_numberOfLines) {
        // The last line shown carries what is left of its paragraph, cut with
        // an ellipsis; later paragraphs are only hinted at by it.
        const qsizetype last = m_numberOfLines - 1;
        const Placed &where = placed.at(last);
        Line &line = result.lines[last];
        line.font = fontAt(where.textStart);
        QString rest = all.mid(where.textStart, where.paragraphEnd - where.textStart);
        if (where.lastOfParagraph)
            rest += kEllipsis;
        // Only the start of the rest can show on one line: a long paragraph is
        // cut well past what fits, the cut marked like a later paragraph.
        const qsizetype shown = result.paragraphs.at(line.layout)->lineAt(line.lineNumber).textLength();
        if (rest.size() > 2 * shown + kElisionSlack) {
            rest.truncate(2 * shown + kElisionSlack);
            rest += kEllipsis;
        }
        const QFontMetricsF metrics(line.font);
        line.text = metrics.elidedText(rest, Qt::ElideRight, lineWidth);
        line.layout = -1;
        result.lines.resize(m_numberOfLines);
        naturalWidth = 0;
        for (const Line &kept : std::as_const(result.lines)) {
            naturalWidth = std::max(naturalWidth, kept.layout < 0 ? QFontMetricsF(kept.font).horizontalAdvance(kept.text)
                                                                  : result.paragraphs.at(kept.layout)->lineAt(kept.lineNumber).naturalTextWidth());
        }
        y = line.y + line.height;
    }
    result.size = QSizeF(std::ceil(std::min(naturalWidth, lineWidth)), std::ceil(y));
    result.width = lineWidth;
    result.natural = naturalWidth;
    return result;
}

const WPaddingLabel::Layout &WPaddingLabel::layoutFor(qreal width) const
{
    // Lines broken greedily at a wider width that all fit this one break the
    // same here: a longer line did not fit even the wider one.
    const auto found = std::find_if(m_layouts.begin(), m_layouts.end(), [width](const auto &kept) {
        return kept.first == width || (kept.first > width && kept.second.natural <= width);
    });
    if (found != m_layouts.end()) {
        m_layouts.splice(m_layouts.begin(), m_layouts, found);
        return m_layouts.front().second;
    }
    m_layouts.emplace_front(width, layoutText(width));
    if (m_layouts.size() > kKeptLayouts)
        m_layouts.pop_back();
    return m_layouts.front().second;
}

void WPaddingLabel::textChanged()
{
    m_layouts.clear();
    updateGeometry();
    update();
    QAccessibleEvent changed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

qreal WPaddingLabel::textWidth() const
{
    return width() - m_leftInset - m_rightInset;
}

QSizeF WPaddingLabel::sizeThatFits(const QSizeF &size) const
{
    const qreal width = size.width() > 0 ? size.width() : kUnbounded;
    const QSizeF text = layoutFor(width).size;
    return QSizeF(text.width() + (m_leftInset + m_rightInset), text.height() + (m_topInset + m_bottomInset));
}

int WPaddingLabel::heightForWidth(int width) const
{
    const QSizeF text = layoutFor(width - m_leftInset - m_rightInset).size;
    return int(std::ceil(text.height() + m_topInset + m_bottomInset));
}

QSize WPaddingLabel::sizeHint() const
{
    return sizeThatFits(QSizeF(kHintTextWidth, 0)).toSize();
}

QSize WPaddingLabel::minimumSizeHint() const
{
    return QSizeF(m_leftInset + m_rightInset, m_topInset + m_bottomInset).toSize();
}

QStringList WPaddingLabel::shownLines() const
{
    const Layout &layout = layoutFor(textWidth());
    QStringList lines;
    for (const Line &line : layout.lines) {
        if (line.layout < 0) {
            lines.append(line.text);
            continue;
        }
        const QTextLayout &paragraph = *layout.paragraphs.at(line.layout);
        const QTextLine textLine = paragraph.lineAt(line.lineNumber);
        lines.append(paragraph.text().mid(textLine.textStart(), textLine.textLength()));
    }
    return lines;
}

void WPaddingLabel::paintEvent(QPaintEvent *)
{
    const QRectF area(m_leftInset, m_topInset, textWidth(), height() - m_topInset - m_bottomInset);
    if (area.width() <= 0)
        return;
    const Layout &layout = layoutFor(area.width());
    // Centred vertically in what is left, as a label does with spare height.
    const QPointF origin(area.left(), area.top() + std::max(qreal(0), (area.height() - layout.size.height()) / 2));
    // Lines of a layout made at a wider width are aligned within that width.
    const qreal wider = std::max(qreal(0), layout.width - area.width());
    const qreal shift = m_alignment & Qt::AlignHCenter ? -wider / 2 : m_alignment & Qt::AlignRight ? -wider : 0;
    QPainter painter(this);
    painter.setPen(textColor());
    for (const Line &line : layout.lines) {
        if (line.layout >= 0) {
            layout.paragraphs.at(line.layout)->lineAt(line.lineNumber).draw(&painter, origin + QPointF(shift, 0));
            continue;
        }
        painter.setFont(line.font);
        const QFontMetricsF metrics(line.font);
        const qreal advance = metrics.horizontalAdvance(line.text);
        qreal x = 0;
        if (m_alignment & Qt::AlignHCenter)
            x = (area.width() - advance) / 2;
        else if (m_alignment & Qt::AlignRight)
            x = area.width() - advance;
        painter.drawText(origin + QPointF(x, line.y + metrics.ascent()), line.text);
    }
}

void WPaddingLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange && !m_isAttributed)
        textChanged();
    QWidget::changeEvent(event);
}

} // namespace WexoCreator
