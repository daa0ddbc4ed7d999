#pragma once

#include "WexoCreator/model/WCodingKeys.h"
#include "WexoCreator/model/Wexo.h"
#include "WexoCreator/model/WexoName.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace WexoCreator {

class WJsonObjectReader;
class WJsonObjectWriter;

// The content of one walkthrough: its name record and its pages in the
// answer's order.
class WexoRoot
{
public:
    // The coding keys in decoding order; each case's key text is codingKeys[case].
    enum class CodingKeys { Id, wexoName, wexos };
    static const WCodingKeys<CodingKeys, 3> codingKeys;

    std::shared_ptr<WexoName> wexoName;                   // null when absent
    std::optional<QList<std::shared_ptr<Wexo>>> wexos;     // "className"
    std::optional<QString> Id;

    void decode(const WJsonObjectReader &json);
    // The decoded fields in coding-key order; absent ones and run-time fields are left out.
    void encode(WJsonObjectWriter &json) const;
};

} // namespace WexoCreator
