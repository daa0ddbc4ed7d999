#pragma once

#include "WexoCreator/backend/WServiceType.h"

#include <QString>
#include <QUrl>

namespace WexoCreator {

// Every backend address. The root is read on every call, so the staging
// switch and the configured roots take effect without a restart.
struct WURLConstants {
    static QString kStagingServerUrl();
    static QString kProductionServerUrl();

    static inline const QString kAPI = QStringLiteral("mobileApi");
    static inline const QString kLoginUrl = kAPI + QStringLiteral("/user/signin");
    static inline const QString kCreateElement = kAPI + QStringLiteral("/walkthroughElements/createElementIos");
    static inline const QString kFetchWexo = kAPI + QStringLiteral("/walkthrough/findbysite");
    static inline const QString kFetchThemeConfig = kAPI + QStringLiteral("/client/configurationsPerUrl");
    static inline const QString kGetStep = kAPI + QStringLiteral("/walkthroughElements/getStepsWithPage?walkthroughId");
    static inline const QString kTemplatePath = kAPI + QStringLiteral("/epc/mobileTemplate");
    static inline const QString kTemplateConfig = kTemplatePath + QStringLiteral("?companyId=cid&CompanyUrl=curl");

    static QString serverUrl();
    static QUrl urlFor(WServiceType type);

    // The steps of one walkthrough: the identifier and the application
    // identifier are percent-encoded; the backend expects the rest verbatim.
    static QUrl stepsUrl(const QString &walkthroughId, const QString &appId);
    // The template of one client, the token and identifier percent-encoded.
    static QUrl templateUrl(const QString &clientToken, const QString &appId);

    struct WAnalytics {
        static inline const QString kAPI = QStringLiteral("mobileApi");
        static QString kAddNewWexo();
        static QString kAddNewStep();
        static QString kComplete();
    };
};

} // namespace WexoCreator
