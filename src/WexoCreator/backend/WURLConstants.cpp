#include "WexoCreator/backend/WURLConstants.h"

#include "WexoCreator/backend/WEnvironment.h"
#include "WexoCreator/platform/WConfigurationValues.h"

namespace WexoCreator {

namespace {

QString encoded(const QString &value)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

QUrl strictUrl(const QString &text)
{
    return QUrl(text, QUrl::StrictMode);
}

} // namespace

QString WURLConstants::kStagingServerUrl()
{
    return WConfigurationValues::stagingUrl();
}

QString WURLConstants::kProductionServerUrl()
{
    return WConfigurationValues::productionUrl();
}

QString WURLConstants::serverUrl()
{
    return WEnvironment::isStaging() ? kStagingServerUrl() : kProductionServerUrl();
}

QUrl WURLConstants::urlFor(WServiceType type)
{
    QString path;
    switch (type) {
    case WServiceType::login:
        path = kLoginUrl;
        break;
    case WServiceType::createElement:
        path = kCreateElement;
        break;
    case WServiceType::getWexo:
        path = kFetchWexo;
        break;
    case WServiceType::getTheme:
        path = kFetchThemeConfig;
        break;
    case WServiceType::getStep:
        path = kGetStep;
        break;
    case WServiceType::getTemplate:
        path = kTemplateConfig;
        break;
    }
    return strictUrl(serverUrl() + path);
}

QUrl WURLConstants::stepsUrl(const QString &walkthroughId, const QString &appId)
{
    return strictUrl(serverUrl() + kGetStep + QLatin1Char('=') + encoded(walkthroughId) + QStringLiteral("&origin=https//")
                     + encoded(appId) + QStringLiteral("&reqSource=iosSdk"));
}

QUrl WURLConstants::templateUrl(const QString &clientToken, const QString &appId)
{
    return strictUrl(serverUrl() + kTemplatePath + QStringLiteral("?companyId=") + encoded(clientToken)
                     + QStringLiteral("&CompanyUrl=") + encoded(appId));
}

QString WURLConstants::WAnalytics::kAddNewWexo()
{
    return serverUrl() + kAPI + QStringLiteral("/walkthroughAnalytics/AddNew");
}

QString WURLConstants::WAnalytics::kAddNewStep()
{
    return serverUrl() + kAPI + QStringLiteral("/walkthroughAnalytics/addStep");
}

QString WURLConstants::WAnalytics::kComplete()
{
    return serverUrl() + kAPI + QStringLiteral("/walkthroughAnalytics/Complete");
}

} // namespace WexoCreator
