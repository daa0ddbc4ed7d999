#pragma once

#include "WexoCreator/backend/WService.h"
#include "WexoCreator/model/WJsonDecoder.h"

#include <QString>
#include <QUrl>
#include <QVariantMap>

#include <functional>
#include <memory>

namespace WexoCreator {

class AllWexo;
class Template;
class Theme;
class WexoCreate;
class WexoRoot;
class WLogin;

// The backend API: one call per request. Each completion runs exactly once
// with the decoded record, or null when the request failed, the answer did not
// decode, or a credential it needs is not stored (then at once, before any
// request). Completions of sent requests run later, from the main event loop.
// Nothing here prints a request body: it may carry the administrator password.
class WWebApiInterface
{
public:
    // The one decoder of every answer (snake-case keys are converted).
    static const WJsonDecoder &wDecoder();

    static void retryLogin(std::function<void(bool)> completion);
    static void loginWith(const QString &email, const QString &password, std::function<void(std::shared_ptr<WLogin>)> completion);
    // Logs the administrator in and stores the token, e-mail and password;
    // reports true or false, always later on the main thread.
    static void loginAdmin(const QString &email, const QString &password, std::function<void(bool)> completion);
    // Posts one recorded element. A 403 answer logs in again and resends the
    // body once with the new "token"; the completion always runs on the main thread.
    static void createElement(const QVariantMap &body, std::function<void(std::shared_ptr<WexoCreate>)> completion);

    static void getAllWexos(std::function<void(std::shared_ptr<AllWexo>)> completion);
    // The identifier asked for comes back with every outcome.
    static void getWexoSteps(const QString &walkthroughId, std::function<void(std::shared_ptr<WexoRoot>, QString)> completion);
    static void getTheme(std::function<void(std::shared_ptr<Theme>)> completion);
    static void getTemplate(std::function<void(std::shared_ptr<Template>)> completion);
    static void downloadFile(const QUrl &url, WService::DownloadCompletion completion);

private:
    static void createElement(const QVariantMap &body, std::function<void(std::shared_ptr<WexoCreate>)> completion, bool mayResend);
};

} // namespace WexoCreator
