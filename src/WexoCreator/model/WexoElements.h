#pragma once

#include <QString>

#include <optional>

namespace WexoCreator {

class WJsonObjectReader;

// One element of a created-step answer.
class WexoElements
{
public:
    std::optional<QString> ElementId;
    std::optional<QString> ElementHtmlId;
    std::optional<QString> Frame;

    void decode(const WJsonObjectReader &json);
};

} // namespace WexoCreator
