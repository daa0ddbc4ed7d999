#pragma once

#include "WexoCreator/model/WexoDetails.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace WexoCreator {

class WJsonObjectReader;

// The walkthrough list of a site.
class AllWexo
{
public:
    std::optional<QList<std::shared_ptr<WexoDetails>>> walkthrough;
    std::optional<QString> message;
    bool success = false;

    void decode(const WJsonObjectReader &json);
};

} // namespace WexoCreator
