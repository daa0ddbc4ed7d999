#pragma once

#include <QString>

namespace WexoCreator {

// Deployment settings read from the environment on every call, with built-in
// defaults: the backend roots, the staging switch, an extra CA file, and the
// staging administrator's pre-filled credentials.
struct WConfigurationValues {
    static QString productionUrl();      // WEXO_PRODUCTION_URL
    static QString stagingUrl();         // WEXO_STAGING_URL
    static bool isStaging();             // WEXO_STAGING: 1, true, yes or on
    static QString caCertificatesFile(); // WEXO_CA_CERTIFICATES, empty when unset
    static QString stagingAdminEmail();    // WEXO_STAGING_ADMIN_EMAIL, empty when unset
    static QString stagingAdminPassword(); // WEXO_STAGING_ADMIN_PASSWORD, empty when unset
};

} // namespace WexoCreator
