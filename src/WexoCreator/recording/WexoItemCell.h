#pragma once

#include <QStyledItemDelegate>

namespace WexoCreator {

// A row of the recorded-steps list: the plain text of the step in the
// standard look.
class WexoItemCell : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static inline const QString identifier = QStringLiteral("WexoItemCell");

    using QStyledItemDelegate::QStyledItemDelegate;
};

} // namespace WexoCreator
