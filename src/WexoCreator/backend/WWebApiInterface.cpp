#include "WexoCreator/backend/WWebApiInterface.h"

#include "WexoCreator/appearance-model/Template.h"
#include "WexoCreator/appearance-model/Theme.h"
#include "WexoCreator/backend/WCredentials.h"
#include "WexoCreator/backend/WURLConstants.h"
#include "WexoCreator/model/AllWexo.h"
#include "WexoCreator/model/WLogin.h"
#include "WexoCreator/model/WexoCreate.h"
#include "WexoCreator/model/WexoRoot.h"
#include "WexoCreator/platform/WLogging.h"
#include "WexoCreator/platform/WPerform.h"

namespace WexoCreator {

namespace {

using Method = WService::WHTTPMethod;

void send(const QUrl &url, Method method, const std::optional<QVariantMap> &body, WService::DataCompletion completion)
{
    WService::dataTask(WService::requestForService(url, method, body), std::move(completion));
}

// The reply rule: a failed request is an absent result without a word; an
// answer that does not decode is an absent result with a debug line.
template<class T>
std::shared_ptr<T> decodeReply(const std::optional<QByteArray> &data, const std::optional<WError> &error, const char *answer)
{
    if (error || !data)
        return nullptr;
    WDecodeResult<T> result = WWebApiInterface::wDecoder().decode<T>(*data);
    if (!result)
        qCDebug(lcBackend) << "the" << answer << "answer does not decode:" << result.error;
    return std::move(result.record);
}

template<class T>
std::function<void(std::shared_ptr<T>)> orNothing(std::function<void(std::shared_ptr<T>)> completion)
{
    return completion ? std::move(completion) : [](std::shared_ptr<T>) {};
}

struct ClientCredentials {
    QString token;
    QString appId;
};

std::optional<ClientCredentials> clientCredentials()
{
    const std::optional<QString> token = WCredentials::clientToken();
    const std::optional<QString> appId = WCredentials::clientAppId();
    if (!token || !appId)
        return std::nullopt;
    return ClientCredentials{*token, *appId};
}

struct Call {
    QUrl url;
    Method method;
    std::optional<QVariantMap> body;
};

// A request that identifies the host application: without both client
// credentials it answers absent at once and sends nothing.
template<class T>
void fetchForClient(std::function<void(std::shared_ptr<T>)> completion, const char *answer,
                    const std::function<Call(const ClientCredentials &)> &call)
{
    completion = orNothing(std::move(completion));
    const std::optional<ClientCredentials> client = clientCredentials();
    if (!client) {
        completion(nullptr);
        return;
    }
    const Call request = call(*client);
    send(request.url, request.method, request.body,
         [completion, answer](std::optional<QByteArray> data, std::optional<WError> error) {
             completion(decodeReply<T>(data, error, answer));
         });
}

} // namespace

const WJsonDecoder &WWebApiInterface::wDecoder()
{
    static const WJsonDecoder decoder;
    return decoder;
}

void WWebApiInterface::loginWith(const QString &email, const QString &password, std::function<void(std::shared_ptr<WLogin>)> completion)
{
    completion = orNothing(std::move(completion));
    const QVariantMap body{{QStringLiteral("email"), email}, {QStringLiteral("password"), password}};
    send(WURLConstants::urlFor(WServiceType::login), Method::post, body,
         [completion](std::optional<QByteArray> data, std::optional<WError> error) {
             std::shared_ptr<WLogin> login = decodeReply<WLogin>(data, error, "login");
             completion(login && login->success ? login : nullptr);
         });
}

void WWebApiInterface::loginAdmin(const QString &email, const QString &password, std::function<void(bool)> completion)
{
    if (!completion)
        completion = [](bool) {};
    loginWith(email, password, [email, password, completion](std::shared_ptr<WLogin> login) {
        const std::optional<QString> token = login ? login->adminToken() : std::nullopt;
        if (token) {
            WCredentials::setAdminToken(token);
            WCredentials::setAdminEmail(email);
            WCredentials::setAdminPassword(password);
        }
        const bool success = token.has_value();
        WPerform::onMainThread([completion, success] { completion(success); });
    });
}

void WWebApiInterface::retryLogin(std::function<void(bool)> completion)
{
    if (!completion)
        completion = [](bool) {};
    const std::optional<QString> email = WCredentials::adminEmail();
    const std::optional<QString> password = WCredentials::adminPassword();
    if (!email || !password) {
        completion(false);
        return;
    }
    loginAdmin(*email, *password, std::move(completion));
}

void WWebApiInterface::createElement(const QVariantMap &body, std::function<void(std::shared_ptr<WexoCreate>)> completion)
{
    createElement(body, orNothing(std::move(completion)), true);
}

void WWebApiInterface::createElement(const QVariantMap &body, std::function<void(std::shared_ptr<WexoCreate>)> completion, bool mayResend)
{
    send(WURLConstants::urlFor(WServiceType::createElement), Method::post, body,
         [body, completion, mayResend](std::optional<QByteArray> data, std::optional<WError> error) {
             const bool refused = error && error->domain.isEmpty() && error->code == 403;
             if (!refused || !mayResend) {
                 WPerform::onMainThread([data, error, completion] {
                     completion(decodeReply<WexoCreate>(data, error, "created step"));
                 });
                 return;
             }
             // A refused token: log in again and resend once with the new one.
             retryLogin([body, completion](bool loggedIn) {
                 if (!loggedIn) {
                     WPerform::onMainThread([completion] { completion(nullptr); });
                     return;
                 }
                 QVariantMap resent = body;
                 const std::optional<QString> token = WCredentials::adminToken();
                 resent.insert(QStringLiteral("token"), token ? QVariant(*token) : QVariant::fromValue(nullptr));
                 createElement(resent, completion, false);
             });
         });
}

void WWebApiInterface::getAllWexos(std::function<void(std::shared_ptr<AllWexo>)> completion)
{
    fetchForClient<AllWexo>(std::move(completion), "walkthrough list", [](const ClientCredentials &client) {
        return Call{WURLConstants::urlFor(WServiceType::getWexo), Method::post,
                    QVariantMap{{QStringLiteral("appKey"), client.token}, {QStringLiteral("site"), client.appId}}};
    });
}

void WWebApiInterface::getWexoSteps(const QString &walkthroughId, std::function<void(std::shared_ptr<WexoRoot>, QString)> completion)
{
    if (!completion)
        completion = [](std::shared_ptr<WexoRoot>, QString) {};
    const std::optional<QString> appId = WCredentials::clientAppId();
    if (!appId) {
        completion(nullptr, walkthroughId);
        return;
    }
    send(WURLConstants::stepsUrl(walkthroughId, *appId), Method::get, std::nullopt,
         [walkthroughId, completion](std::optional<QByteArray> data, std::optional<WError> error) {
             completion(decodeReply<WexoRoot>(data, error, "steps"), walkthroughId);
         });
}

void WWebApiInterface::getTheme(std::function<void(std::shared_ptr<Theme>)> completion)
{
    fetchForClient<Theme>(std::move(completion), "theme", [](const ClientCredentials &client) {
        return Call{WURLConstants::urlFor(WServiceType::getTheme), Method::post,
                    QVariantMap{{QStringLiteral("appKey"), client.token},
                                {QStringLiteral("site"), client.appId},
                                {QStringLiteral("Url"), client.appId}}};
    });
}

void WWebApiInterface::getTemplate(std::function<void(std::shared_ptr<Template>)> completion)
{
    fetchForClient<Template>(std::move(completion), "template", [](const ClientCredentials &client) {
        return Call{WURLConstants::templateUrl(client.token, client.appId), Method::get, std::nullopt};
    });
}

void WWebApiInterface::downloadFile(const QUrl &url, WService::DownloadCompletion completion)
{
    WService::downloadResource(url, std::move(completion));
}

} // namespace WexoCreator
