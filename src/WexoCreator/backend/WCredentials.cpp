#include "WexoCreator/backend/WCredentials.h"

#include "WexoCreator/platform/WUserDefaults.h"

namespace WexoCreator {

std::optional<QString> WCredentials::read(const QString &key)
{
    return WUserDefaults::standard().string(key);
}

void WCredentials::write(const QString &key, const std::optional<QString> &value)
{
    if (value)
        WUserDefaults::standard().setString(key, *value);
    else
        WUserDefaults::standard().remove(key);
}

std::optional<QString> WCredentials::clientToken() { return read(wClientTokenKey); }
std::optional<QString> WCredentials::clientAppId() { return read(wClientAppIdKey); }
std::optional<QString> WCredentials::adminToken() { return read(wAdminTokenKey); }
std::optional<QString> WCredentials::adminEmail() { return read(wAdminEmailKey); }
std::optional<QString> WCredentials::adminPassword() { return read(wAdminPasswordKey); }

void WCredentials::setClientToken(const std::optional<QString> &value) { write(wClientTokenKey, value); }
void WCredentials::setClientAppId(const std::optional<QString> &value) { write(wClientAppIdKey, value); }
void WCredentials::setAdminToken(const std::optional<QString> &value) { write(wAdminTokenKey, value); }
void WCredentials::setAdminEmail(const std::optional<QString> &value) { write(wAdminEmailKey, value); }
void WCredentials::setAdminPassword(const std::optional<QString> &value) { write(wAdminPasswordKey, value); }

} // namespace WexoCreator
