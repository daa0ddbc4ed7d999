#pragma once

#include "WexoCreator/appearance-model/TemplateParameters.h"
#include "WexoCreator/model/WCodingKeys.h"

#include <memory>
#include <optional>

namespace WexoCreator {

class WJsonObjectReader;
class WJsonObjectWriter;

// The answer to the template request: the presentation style of the popups.
// "success" is carried but not consulted.
class Template
{
public:
    // The coding keys in decoding order; each case's key text is codingKeys[case].
    enum class CodingKeys { success, CssObject };
    static const WCodingKeys<CodingKeys, 2> codingKeys;

    void decode(const WJsonObjectReader &json);
    // The decoded fields in coding-key order; absent ones are left out.
    void encode(WJsonObjectWriter &json) const;

    const std::optional<bool> &success() const { return m_success; }
    void setSuccess(const std::optional<bool> &value) { m_success = value; }
    const std::shared_ptr<TemplateParameters> &CssObject() const { return m_CssObject; }
    void setCssObject(const std::shared_ptr<TemplateParameters> &value) { m_CssObject = value; }

private:
    std::optional<bool> m_success;
    std::shared_ptr<TemplateParameters> m_CssObject;
};

} // namespace WexoCreator
