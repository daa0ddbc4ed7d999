#include "WexoCreator/manager/WexolinManager.h"

#include "WexoCreator/platform/WLogging.h"
#include "WexoCreator/platform/WUserDefaults.h"

namespace WexoCreator {

namespace {

// Qt hosts commonly pass a null QString for "no value".
bool isAbsent(const std::optional<QString> &value)
{
    return !value || value->isNull();
}

} // namespace

WexolinManager &WexolinManager::shared()
{
    static WexolinManager manager;
    return manager;
}

QString WexolinManager::playedFlagKey(const std::optional<QString> &wexoId)
{
    return wPlayedKeyPrefix + wexoId.value_or(QString());
}

std::optional<QString> WexolinManager::credential(const QString &key)
{
    return WUserDefaults::standard().string(key);
}

void WexolinManager::setCredential(const QString &key, const std::optional<QString> &value)
{
    if (value)
        WUserDefaults::standard().setString(key, *value);
    else
        WUserDefaults::standard().remove(key);
}

std::optional<QString> WexolinManager::wClientToken() const { return credential(wClientTokenKey); }
std::optional<QString> WexolinManager::wClientAppId() const { return credential(wClientAppIdKey); }
std::optional<QString> WexolinManager::wAdminToken() const { return credential(wAdminTokenKey); }
std::optional<QString> WexolinManager::wAdminEmail() const { return credential(wAdminEmailKey); }
std::optional<QString> WexolinManager::wAdminPassword() const { return credential(wAdminPasswordKey); }

bool WexolinManager::isAdmin()
{
    return shared().wAdminToken().has_value();
}

void WexolinManager::initialiseWith(const std::optional<QString> &token, const std::optional<QString> &appId,
                                    bool showConsole, bool debugLog)
{
    if (isAbsent(token))
        return;
    if (isAbsent(appId)) {
        qCWarning(lcManager, "Token cannot be empty !!!");
        return;
    }

    WexolinManager &manager = shared();
    setCredential(wClientTokenKey, token);
    setCredential(wClientAppIdKey, appId);
    manager.m_showConsole = showConsole;
    manager.m_debugLog = debugLog;
    setDebugLogging(debugLog);
}

void WexolinManager::setTabBarController(QTabWidget *tabBarController)
{
    shared().m_tabBarController = tabBarController;
}

void WexolinManager::logoutAdmin()
{
    // The password goes with the token: a logged-out administrator leaves no
    // usable secret behind. The e-mail stays to pre-fill the next login.
    setCredential(wAdminTokenKey, std::nullopt);
    setCredential(wAdminPasswordKey, std::nullopt);
}

void WexolinManager::setWexo(const std::optional<QString> &name)
{
    shared().m_currentWexoName = name;
}

void WexolinManager::setCurrentCreated(std::shared_ptr<WexoNode<QString>> wexo)
{
    shared().m_currentCreatedWexo = std::move(wexo);
}

void WexolinManager::incrementCurrenStep()
{
    WexolinManager &manager = shared();
    if (!manager.m_currentCreatedWexo)
        return;
    ++manager.m_currentCreatedWexo->stepNumber;
}

void WexolinManager::setCurrentWexoType(std::optional<WexoOptionType> wexoType)
{
    shared().m_currentWexoType = wexoType;
}

void WexolinManager::reset()
{
    setWexo(std::nullopt);
    setCurrentCreated(nullptr);
    setCurrentWexoType(std::nullopt);
}

} // namespace WexoCreator
