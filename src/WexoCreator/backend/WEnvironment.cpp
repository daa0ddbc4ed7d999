#include "WexoCreator/backend/WEnvironment.h"

#include "WexoCreator/platform/WConfigurationValues.h"

namespace WexoCreator {

bool WEnvironment::isStaging()
{
    return WConfigurationValues::isStaging();
}

} // namespace WexoCreator
