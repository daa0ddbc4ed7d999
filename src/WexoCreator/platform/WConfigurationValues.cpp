#include "WexoCreator/platform/WConfigurationValues.h"

#include <QtGlobal>

namespace WexoCreator {

namespace {

QString rootOrDefault(const char *name, const QString &fallback)
{
    QString value = qEnvironmentVariable(name).trimmed();
    if (value.isEmpty())
        return fallback;
    // Roots are joined with paths that start without a slash.
    if (!value.endsWith(QLatin1Char('/')))
        value.append(QLatin1Char('/'));
    return value;
}

} // namespace

QString WConfigurationValues::productionUrl()
{
    return rootOrDefault("WEXO_PRODUCTION_URL", QStringLiteral("https://api.wexocreator.example/"));
}

QString WConfigurationValues::stagingUrl()
{
    return rootOrDefault("WEXO_STAGING_URL", QStringLiteral("https://staging-api.wexocreator.example/"));
}

bool WConfigurationValues::isStaging()
{
    const QString value = qEnvironmentVariable("WEXO_STAGING").trimmed().toLower();
    return value == QLatin1String("1") || value == QLatin1String("true") || value == QLatin1String("yes")
           || value == QLatin1String("on");
}

QString WConfigurationValues::caCertificatesFile()
{
    return qEnvironmentVariable("WEXO_CA_CERTIFICATES");
}

QString WConfigurationValues::stagingAdminEmail()
{
    return qEnvironmentVariable("WEXO_STAGING_ADMIN_EMAIL");
}

QString WConfigurationValues::stagingAdminPassword()
{
    return qEnvironmentVariable("WEXO_STAGING_ADMIN_PASSWORD");
}

} // namespace WexoCreator
