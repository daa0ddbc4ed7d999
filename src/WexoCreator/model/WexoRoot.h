#pragma once

#include "WexoCreator/model/Wexo.h"
#include "WexoCreator/model/WexoName.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace WexoCreator {

class WJsonObjectReader;

// The content of one walkthrough: its name record and its pages in the
// answer's order.
class WexoRoot
{
public:
    std::shared_ptr<WexoName> wexoName;                   // null when absent
    std::optional<QList<std::shared_ptr<Wexo>>> wexos;     // "className"
    std::optional<QString> Id;

    void decode(const WJsonObjectReader &json);
};

} // namespace WexoCreator
