#include "WexoCreator/menu/WexoOption.h"

#include "WexoCreator/configuration/WConfiguration.h"

namespace WexoCreator {

QUrl WexoOption::contentURL() const
{
    switch (type.value_or(WexoOptionType::none)) {
    case WexoOptionType::about:
        return WConfiguration::kAboutLink();
    case WexoOptionType::support:
        return WConfiguration::KSupportLink();
    case WexoOptionType::privacy:
        return WConfiguration::kPrivacyPolicyLink();
    default:
        return WConfiguration::kHomePageLink();
    }
}

} // namespace WexoCreator
