#pragma once

#include "WexoCreator/menu/WexoSection.h"

#include <QAbstractListModel>
#include <QColor>
#include <QPixmap>

#include <optional>

namespace WexoCreator {

// The options menu's sections as one flat list for WexoOptionCell: a header
// per section, its rows, and the powered-by footer after the last section.
class WexoMenuModel : public QAbstractListModel
{
    Q_OBJECT

public:
    struct Colors {
        QColor rowText, rowBackground, separator, header, footer;
    };

    // Where a list row points back to: a section and a row, or the footer, or
    // nothing (a header).
    struct Position {
        int section = -1;
        int row = -1;
        bool footer = false;
    };

    explicit WexoMenuModel(QObject *parent = nullptr);

    void setSections(const QList<WexoSection> &sections, const Colors &colors, const QString &footerText, const QPixmap &logo);
    const QList<WexoSection> &sections() const { return m_sections; }

    Position position(int listRow) const;
    // The list row of a section's row, absent when there is none.
    std::optional<int> listRow(int section, int row) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    QList<WexoSection> m_sections;
    QList<Position> m_positions;
    Colors m_colors;
    QString m_footerText;
    QPixmap m_logo;
};

} // namespace WexoCreator
