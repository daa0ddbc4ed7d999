#include "WexoCreator/menu/WexoOptionCell.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace WexoCreator {

namespace {

QFont pixelFont(int pixelSize, bool bold)
{
    QFont font = QApplication::font();
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QColor roleColor(const QModelIndex &index, int role, const QColor &fallback)
{
    const QVariant value = index.data(role);
    return value.canConvert<QColor>() ? value.value<QColor>() : fallback;
}

} // namespace

WexoOptionCell::WexoOptionCell(QObject *parent)
    : QStyledItemDelegate(parent)
    , m_rowFont(pixelFont(17, false))
    , m_headerFont(pixelFont(15, true))
    , m_footerFont(pixelFont(16, true))
{
}

WexoOptionCell::Kind WexoOptionCell::kind(const QModelIndex &index)
{
    const QVariant value = index.data(KindRole);
    return value.isValid() ? static_cast<Kind>(value.toInt()) : Kind::Row;
}

QSize WexoOptionCell::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    switch (kind(index)) {
    case Kind::Header:
        return {option.rect.width(), kHeaderHeight};
    case Kind::Footer:
        return {option.rect.width(), kFooterHeight};
    case Kind::Row:
        break;
    }
    return {option.rect.width(), kRowHeight};
}

void WexoOptionCell::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    switch (kind(index)) {
    case Kind::Header:
        paintHeader(painter, option.rect, index);
        break;
    case Kind::Footer:
        paintFooter(painter, option.rect, index);
        break;
    case Kind::Row:
        paintRow(painter, option.rect, index);
        break;
    }
    painter->restore();
}

void WexoOptionCell::paintRow(QPainter *painter, const QRect &rect, const QModelIndex &index) const
{
    const QColor text = roleColor(index, Qt::ForegroundRole, Qt::black);
    painter->fillRect(rect, roleColor(index, Qt::BackgroundRole, Qt::white));
    const bool disclosure = index.data(DisclosureRole).toBool();
    const int markWidth = disclosure ? 28 : 0;
    const QRect textRect = rect.adjusted(kInset, 0, -kInset - markWidth, 0);
    painter->setFont(m_rowFont);
    painter->setPen(text);
    const QString elided = QFontMetrics(m_rowFont).elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, textRect.width());
    painter->drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, elided);
    if (disclosure) {
        // A chevron like the platform's disclosure mark, in the row's text colour.
        QColor mark = text;
        mark.setAlphaF(0.6f);
        painter->setPen(QPen(mark, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const QPointF tip(rect.right() - kInset - 4.0, rect.center().y() + 0.5);
        QPainterPath chevron;
        chevron.moveTo(tip + QPointF(-6, -7));
        chevron.lineTo(tip);
        chevron.lineTo(tip + QPointF(-6, 7));
        painter->drawPath(chevron);
    }
    // The separator, in the colour the row stands on.
    const QVariant separator = index.data(SeparatorRole);
    if (separator.canConvert<QColor>()) {
        painter->setPen(QPen(separator.value<QColor>(), 1));
        painter->drawLine(rect.left() + kInset, rect.bottom(), rect.right(), rect.bottom());
    }
}

void WexoOptionCell::paintHeader(QPainter *painter, const QRect &rect, const QModelIndex &index) const
{
    painter->setFont(m_headerFont);
    painter->setPen(roleColor(index, Qt::ForegroundRole, Qt::black));
    const QRect textRect = rect.adjusted(kInset, 0, -kInset, -8);
    const QString elided = QFontMetrics(m_headerFont).elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, textRect.width());
    painter->drawText(textRect, Qt::AlignBottom | Qt::AlignLeft | Qt::TextSingleLine, elided);
}

void WexoOptionCell::paintFooter(QPainter *painter, const QRect &rect, const QModelIndex &index) const
{
    // The logo and the label stand as one centred column in the lower three
    // quarters of the footer.
    const QPixmap logo = index.data(Qt::DecorationRole).value<QPixmap>();
    const QRect logoRect(rect.center().x() - kLogoSize / 2, rect.top() + 25, kLogoSize, kLogoSize);
    if (!logo.isNull()) {
        const QSize fitted = logo.deviceIndependentSize().toSize().scaled(logoRect.size(), Qt::KeepAspectRatio);
        painter->setRenderHint(QPainter::SmoothPixmapTransform);
        painter->drawPixmap(QRect(QPoint(0, 0), fitted).translated(logoRect.center() - QRect(QPoint(0, 0), fitted).center()), logo);
    }
    painter->setFont(m_footerFont);
    painter->setPen(roleColor(index, Qt::ForegroundRole, Qt::black));
    const QRect labelRect(rect.left(), logoRect.bottom() + 1, rect.width(), rect.bottom() - logoRect.bottom());
    painter->drawText(labelRect, Qt::AlignCenter | Qt::TextSingleLine, index.data(Qt::DisplayRole).toString());
}

} // namespace WexoCreator
