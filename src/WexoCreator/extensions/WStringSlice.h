#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace WexoCreator {

// The text between the first `from` and the first `to` that starts after it
// ("" when they touch). Absent when `from` does not occur, or no `to`
// follows it; an empty marker never occurs. Case-sensitive.
std::optional<QString> slice(QStringView text, QStringView from, QStringView to);

} // namespace WexoCreator
