#pragma once

#include <QStyledItemDelegate>

namespace WexoCreator {

// A row of the recorded-steps list: the plain text of the step in the
// standard look. In edit mode each row also carries its own delete control
// and, at its trailing edge, a handle to drag it up or down; the text keeps
// its place (rows are not indented). A row on its way out fades.
class WexoItemCell : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static inline const QString identifier = QStringLiteral("WexoItemCell");
    // The row's opacity while it fades out (a qreal; 1 when unset).
    static constexpr int OpacityRole = Qt::UserRole + 1;

    using QStyledItemDelegate::QStyledItemDelegate;

    bool isEditing() const { return m_editing; }
    void setEditing(bool editing) { m_editing = editing; }

    // Where the controls of a row at `row` (in the view's coordinates) lie.
    static QRect deleteControlRect(const QRect &row);
    static QRect reorderHandleRect(const QRect &row);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    bool m_editing = false;
};

} // namespace WexoCreator
