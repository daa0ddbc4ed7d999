#pragma once

#include "WexoCreator/WexoCreatorExport.h"
#include "WexoCreator/model/WCodingKeys.h"

#include <QString>

#include <optional>

namespace WexoCreator {

class WJsonObjectReader;

// A pair of hex colour texts of the theme: a primary and a secondary colour.
class WEXOCREATOR_EXPORT ElementConfigurationParameters
{
public:
    // The coding keys in decoding order; each case's key text is codingKeys[case].
    enum class CodingKeys { prop1, prop2 };
    static const WCodingKeys<CodingKeys, 2> codingKeys;

    void decode(const WJsonObjectReader &json);

    const std::optional<QString> &prop1() const { return m_prop1; }
    void setProp1(const std::optional<QString> &value) { m_prop1 = value; }
    const std::optional<QString> &prop2() const { return m_prop2; }
    void setProp2(const std::optional<QString> &value) { m_prop2 = value; }

private:
    std::optional<QString> m_prop1;
    std::optional<QString> m_prop2;
};

} // namespace WexoCreator
