#pragma once

#include "WexoCreator/WexoCreatorExport.h"
#include "WexoCreator/appearance-model/ThemeConfiguration.h"

#include <QString>

#include <memory>
#include <optional>

namespace WexoCreator {

class WJsonObjectReader;

// The answer to the theme request. "success" is carried but not consulted:
// a theme whose config decodes is used whatever the flag says.
class WEXOCREATOR_EXPORT Theme
{
public:
    void decode(const WJsonObjectReader &json);

    const std::optional<bool> &success() const { return m_success; }
    void setSuccess(const std::optional<bool> &value) { m_success = value; }
    const std::optional<QString> &message() const { return m_message; }
    void setMessage(const std::optional<QString> &value) { m_message = value; }
    const std::shared_ptr<ThemeConfiguration> &config() const { return m_config; }
    void setConfig(const std::shared_ptr<ThemeConfiguration> &value) { m_config = value; }

private:
    std::optional<bool> m_success;
    std::optional<QString> m_message;
    std::shared_ptr<ThemeConfiguration> m_config;
};

} // namespace WexoCreator
