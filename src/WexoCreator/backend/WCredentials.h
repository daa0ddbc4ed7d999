#pragma once

#include "WexoCreator/WexoCreatorExport.h"

#include <QString>

#include <optional>

namespace WexoCreator {

// The client and administrator credentials, kept in the standard user-defaults
// store under the manager's keys. Every read goes to the store; a value that is
// not a string reads as absent, and writing absent removes the key.
class WEXOCREATOR_EXPORT WCredentials
{
public:
    static inline const QString wClientTokenKey = QStringLiteral("WexolinManager.Client");
    static inline const QString wClientAppIdKey = QStringLiteral("WexolinManager.ClientAppId");
    static inline const QString wAdminTokenKey = QStringLiteral("WexolinManager.Admin");
    static inline const QString wAdminEmailKey = QStringLiteral("WexolinManager.Admin.Email");
    static inline const QString wAdminPasswordKey = QStringLiteral("WexolinManager.Admin.Password");

    static std::optional<QString> clientToken();
    static std::optional<QString> clientAppId();
    static std::optional<QString> adminToken();
    static std::optional<QString> adminEmail();
    static std::optional<QString> adminPassword();

    static void setClientToken(const std::optional<QString> &value);
    static void setClientAppId(const std::optional<QString> &value);
    static void setAdminToken(const std::optional<QString> &value);
    static void setAdminEmail(const std::optional<QString> &value);
    static void setAdminPassword(const std::optional<QString> &value);

private:
    static std::optional<QString> read(const QString &key);
    static void write(const QString &key, const std::optional<QString> &value);
};

} // namespace WexoCreator
