#pragma once

#include <QStyledItemDelegate>

namespace WexoCreator {

// Paints one row of the library's option lists from its model data: the text
// (DisplayRole) in ForegroundRole on BackgroundRole, a disclosure mark when
// DisclosureRole is true, a separator line in SeparatorRole. The options menu also gives it section headers and
// the powered-by footer (KindRole), whose logo comes as DecorationRole.
class WexoOptionCell : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static inline const QString identifier = QStringLiteral("WexoOptionCell");

    enum Role { KindRole = Qt::UserRole + 1, DisclosureRole, SeparatorRole };
    enum class Kind { Row, Header, Footer };

    static constexpr int kRowHeight = 64;
    static constexpr int kHeaderHeight = 44;
    static constexpr int kFooterHeight = 100;
    // The footer's button: its upper part only, across its whole width.
    static constexpr int kFooterButtonHeight = 75;
    static constexpr int kInset = 16;
    static constexpr int kLogoSize = 50;

    explicit WexoOptionCell(QObject *parent = nullptr);

    static Kind kind(const QModelIndex &index);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    void paintRow(QPainter *painter, const QRect &rect, const QModelIndex &index) const;
    void paintHeader(QPainter *painter, const QRect &rect, const QModelIndex &index) const;
    void paintFooter(QPainter *painter, const QRect &rect, const QModelIndex &index) const;

    QFont m_rowFont;
    QFont m_headerFont;
    QFont m_footerFont;
};

} // namespace WexoCreator
