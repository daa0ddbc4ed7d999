#pragma once

#include "WexoCreator/appearance-model/TemplateParameters.h"

#include <memory>
#include <optional>

namespace WexoCreator {

class WJsonObjectReader;

// The answer to the template request: the presentation style of the popups.
// "success" is carried but not consulted.
class Template
{
public:
    void decode(const WJsonObjectReader &json);

    const std::optional<bool> &success() const { return m_success; }
    void setSuccess(const std::optional<bool> &value) { m_success = value; }
    const std::shared_ptr<TemplateParameters> &CssObject() const { return m_CssObject; }
    void setCssObject(const std::shared_ptr<TemplateParameters> &value) { m_CssObject = value; }

private:
    std::optional<bool> m_success;
    std::shared_ptr<TemplateParameters> m_CssObject;
};

} // namespace WexoCreator
