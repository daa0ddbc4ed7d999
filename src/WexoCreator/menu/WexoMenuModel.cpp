#include "WexoCreator/menu/WexoMenuModel.h"

#include "WexoCreator/menu/WexoOptionCell.h"

namespace WexoCreator {

WexoMenuModel::WexoMenuModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

void WexoMenuModel::setSections(const QList<WexoSection> &sections, const Colors &colors, const QString &footerText,
                                const QPixmap &logo)
{
    beginResetModel();
    m_sections = sections;
    m_colors = colors;
    m_footerText = footerText;
    m_logo = logo;
    m_positions.clear();
    for (int s = 0; s < m_sections.size(); ++s) {
        m_positions.append({s, -1, false});
        const qsizetype rows = m_sections.at(s).sectionOptions ? m_sections.at(s).sectionOptions->size() : 0;
        for (int r = 0; r < rows; ++r)
            m_positions.append({s, r, false});
    }
    if (!m_sections.isEmpty())
        m_positions.append({-1, -1, true});
    endResetModel();
}

WexoMenuModel::Position WexoMenuModel::position(int listRow) const
{
    return listRow >= 0 && listRow < m_positions.size() ? m_positions.at(listRow) : Position{};
}

std::optional<int> WexoMenuModel::listRow(int section, int row) const
{
    for (int i = 0; i < m_positions.size(); ++i) {
        if (m_positions.at(i).section == section && m_positions.at(i).row == row)
            return i;
    }
    return std::nullopt;
}

int WexoMenuModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_positions.size());
}

QVariant WexoMenuModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_positions.size())
        return {};
    const Position &at = m_positions.at(index.row());
    using Kind = WexoOptionCell::Kind;
    const Kind kind = at.footer ? Kind::Footer : (at.row < 0 ? Kind::Header : Kind::Row);
    if (role == WexoOptionCell::KindRole)
        return int(kind);
    if (kind == Kind::Footer) {
        switch (role) {
        case Qt::DisplayRole:
            return m_footerText;
        case Qt::ForegroundRole:
            return m_colors.footer;
        case Qt::DecorationRole:
            return m_logo;
        default:
            return {};
        }
    }
    const WexoSection &section = m_sections.at(at.section);
    if (kind == Kind::Header) {
        if (role == Qt::DisplayRole)
            return section.sectionName.value_or(QString());
        return role == Qt::ForegroundRole ? QVariant(m_colors.header) : QVariant();
    }
    const WexoOption &option = section.sectionOptions->at(at.row);
    switch (role) {
    case Qt::DisplayRole:
        return option.displayName.value_or(QString());
    case Qt::ForegroundRole:
        return m_colors.rowText;
    case Qt::BackgroundRole:
        return m_colors.rowBackground;
    case WexoOptionCell::SeparatorRole:
        return m_colors.separator;
    case WexoOptionCell::DisclosureRole:
        return option.type == WexoOptionType::play;
    default:
        return {};
    }
}

} // namespace WexoCreator
