#include "WexoCreator/recording/WexoItemCell.h"

#include <QPainter>

namespace WexoCreator {

namespace {

constexpr int kHandleWidth = 48;
constexpr int kDeleteWidth = 44;
constexpr int kDeleteDiameter = 22;
constexpr int kGripWidth = 20;

} // namespace

QRect WexoItemCell::reorderHandleRect(const QRect &row)
{
    return QRect(row.right() + 1 - kHandleWidth, row.top(), kHandleWidth, row.height());
}

QRect WexoItemCell::deleteControlRect(const QRect &row)
{
    const QRect handle = reorderHandleRect(row);
    return QRect(handle.left() - kDeleteWidth, row.top(), kDeleteWidth, row.height());
}

void WexoItemCell::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    painter->save();
    const QVariant opacity = index.data(OpacityRole);
    if (opacity.isValid())
        painter->setOpacity(opacity.toReal());
    QStyledItemDelegate::paint(painter, option, index);
    if (m_editing) {
        const QRect handle = reorderHandleRect(option.rect);
        const QRect remove = deleteControlRect(option.rect);
        // The controls cover a long text's end, not the row's separator.
        painter->fillRect(QRect(remove.left(), option.rect.top(), handle.right() - remove.left() + 1, option.rect.height() - 1),
                          option.palette.base());
        painter->setRenderHint(QPainter::Antialiasing);
        const QPointF centre = QRectF(remove).center();
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(0xff, 0x3b, 0x30));
        painter->drawEllipse(centre, kDeleteDiameter / 2.0, kDeleteDiameter / 2.0);
        painter->setBrush(Qt::white);
        painter->drawRoundedRect(QRectF(centre.x() - 6, centre.y() - 1.5, 12, 3), 1, 1);

        painter->setBrush(QColor(0x8e, 0x8e, 0x93));
        const QPointF grip = QRectF(handle).center();
        for (int line = -1; line <= 1; ++line)
            painter->drawRoundedRect(QRectF(grip.x() - kGripWidth / 2.0, grip.y() + line * 6 - 1, kGripWidth, 2), 1, 1);
    }
    painter->restore();
}

} // namespace WexoCreator
