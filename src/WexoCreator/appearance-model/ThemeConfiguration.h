#pragma once

#include "WexoCreator/WexoCreatorExport.h"
#include "WexoCreator/appearance-model/ElementConfiguration.h"

#include <QString>

#include <memory>
#include <optional>

namespace WexoCreator {

class WJsonObjectReader;

// The company theme: brand colours and the library's element configuration.
// CompanyURL and isMobile stay texts as the backend sends them.
class WEXOCREATOR_EXPORT ThemeConfiguration
{
public:
    void decode(const WJsonObjectReader &json);

    const std::optional<QString> &CompanyId() const { return m_CompanyId; }
    void setCompanyId(const std::optional<QString> &value) { m_CompanyId = value; }
    const std::optional<QString> &PrimaryColor() const { return m_PrimaryColor; }
    void setPrimaryColor(const std::optional<QString> &value) { m_PrimaryColor = value; }
    const std::optional<QString> &SecondaryColor() const { return m_SecondaryColor; }
    void setSecondaryColor(const std::optional<QString> &value) { m_SecondaryColor = value; }
    const std::optional<QString> &FontFamily() const { return m_FontFamily; }
    void setFontFamily(const std::optional<QString> &value) { m_FontFamily = value; }
    const std::shared_ptr<ElementConfiguration> &Configurations() const { return m_Configurations; }
    void setConfigurations(const std::shared_ptr<ElementConfiguration> &value) { m_Configurations = value; }
    const std::optional<QString> &CompanyURL() const { return m_CompanyURL; }
    void setCompanyURL(const std::optional<QString> &value) { m_CompanyURL = value; }
    const std::optional<QString> &isMobile() const { return m_isMobile; }
    void setIsMobile(const std::optional<QString> &value) { m_isMobile = value; }

private:
    std::optional<QString> m_CompanyId;
    std::optional<QString> m_PrimaryColor;
    std::optional<QString> m_SecondaryColor;
    std::optional<QString> m_FontFamily;
    std::shared_ptr<ElementConfiguration> m_Configurations;
    std::optional<QString> m_CompanyURL;
    std::optional<QString> m_isMobile;
};

} // namespace WexoCreator
