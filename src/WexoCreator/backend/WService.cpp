#include "WexoCreator/backend/WService.h"

#include "WexoCreator/platform/WConfigurationValues.h"
#include "WexoCreator/platform/WLogging.h"
#include "WexoCreator/platform/WPerform.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSet>
#include <QSslCertificate>
#include <QSslConfiguration>

#include <cmath>
#include <memory>

namespace WexoCreator {

namespace {

std::chrono::milliseconds s_transferTimeout{30000};

std::optional<QJsonValue> toJson(const QVariant &value);

std::optional<QJsonArray> toJsonArray(const QVariantList &list)
{
    QJsonArray array;
    for (const QVariant &item : list) {
        const std::optional<QJsonValue> json = toJson(item);
        if (!json)
            return std::nullopt;
        array.append(*json);
    }
    return array;
}

std::optional<QJsonObject> toJsonObject(const QVariantMap &map)
{
    QJsonObject object;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const std::optional<QJsonValue> json = toJson(it.value());
        if (!json)
            return std::nullopt;
        object.insert(it.key(), *json);
    }
    return object;
}

// Only what JSON can hold: anything else (or a number JSON cannot write, such
// as NaN) fails the whole body instead of turning quietly into null.
std::optional<QJsonValue> toJson(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
    case QMetaType::Nullptr:
        return QJsonValue(QJsonValue::Null);
    case QMetaType::Bool:
        return QJsonValue(value.toBool());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::LongLong:
        return QJsonValue(value.toLongLong());
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return QJsonValue(value.toDouble());
    case QMetaType::Float:
    case QMetaType::Double: {
        const double number = value.toDouble();
        if (!std::isfinite(number))
            return std::nullopt;
        return QJsonValue(number);
    }
    case QMetaType::QString:
        return QJsonValue(value.toString());
    case QMetaType::QStringList:
    case QMetaType::QVariantList: {
        const std::optional<QJsonArray> array = toJsonArray(value.toList());
        return array ? std::optional<QJsonValue>(*array) : std::nullopt;
    }
    case QMetaType::QVariantMap: {
        const std::optional<QJsonObject> object = toJsonObject(value.toMap());
        return object ? std::optional<QJsonValue>(*object) : std::nullopt;
    }
    case QMetaType::QJsonValue:
        return value.toJsonValue();
    case QMetaType::QJsonObject:
        return QJsonValue(value.toJsonObject());
    case QMetaType::QJsonArray:
        return QJsonValue(value.toJsonArray());
    default:
        return std::nullopt;
    }
}

// An HTTP status that Qt turned into a reply error, as opposed to a failure of
// the connection itself (those sort below 200, plus the protocol failures).
bool isStatusMappedError(QNetworkReply::NetworkError error)
{
    return error >= QNetworkReply::ContentAccessDenied && error != QNetworkReply::ProtocolUnknownError
           && error != QNetworkReply::ProtocolFailure;
}

WError networkError(const QNetworkReply *reply)
{
    return WError{QStringLiteral("QNetworkReply"), int(reply->error()), reply->errorString()};
}

std::optional<int> httpStatus(const QNetworkReply *reply)
{
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid())
        return std::nullopt;
    return status.toInt();
}

// The system's trusted roots plus the certificates of the configured CA file.
// Loaded once per file: the system store is large.
std::optional<QSslConfiguration> sslConfigurationWithExtraCa(const QString &caFile)
{
    if (caFile.isEmpty())
        return std::nullopt;
    static QString loadedFile;
    static QSslConfiguration loaded;
    if (caFile != loadedFile) {
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        const QList<QSslCertificate> extra = QSslCertificate::fromPath(caFile, QSsl::Pem);
        if (extra.isEmpty())
            qCWarning(lcBackend) << "no certificate could be read from" << caFile;
        configuration.setCaCertificates(QSslConfiguration::systemCaCertificates() + extra);
        loaded = configuration;
        loadedFile = caFile;
    }
    return loaded;
}

// Reads a reply into memory as it arrives and stops it once it is known to pass
// `cap` bytes: on the announced length, then on what has arrived. Qt holds about
// kReadBufferBytes unread for the reply, so a main loop that is busy for a while
// holds the server back instead of letting Qt buffer without bound. The returned function reads
// what is left (call it when the reply has finished) and answers whether it was stopped.
std::function<bool()> readCapped(QNetworkReply *reply, qint64 cap, std::shared_ptr<QByteArray> data)
{
    struct State {
        bool stopped = false;
    };
    auto state = std::make_shared<State>();
    reply->setReadBufferSize(WService::kReadBufferBytes);
    auto stop = [reply, state] {
        state->stopped = true;
        reply->abort();
    };
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, cap, stop, data] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > cap) {
            qCWarning(lcService) << "answer refused, announced size" << length.toLongLong() << "bytes";
            stop();
        } else if (length.isValid()) {
            data->reserve(length.toLongLong());
        }
    });
    auto consume = [reply, cap, state, stop, data] {
        if (state->stopped || !reply->isOpen())
            return state->stopped;
        if (data->size() + reply->bytesAvailable() > cap) {
            qCWarning(lcService) << "answer stopped at the size cap of" << cap << "bytes";
            stop();
            return true;
        }
        data->append(reply->readAll());
        return false;
    };
    QObject::connect(reply, &QNetworkReply::readyRead, reply, consume);
    return consume;
}

// The administrator's password travels in the sign-in body: plain http is only
// good enough when the server is on this machine.
bool isPlainHttpToAnotherHost(const QUrl &url)
{
    if (url.scheme().compare(QLatin1String("http"), Qt::CaseInsensitive) != 0)
        return false;
    const QString host = url.host();
    return host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0 && !QHostAddress(host).isLoopback();
}

// Every request of a start-up goes to the same root: saying it once per root is enough.
void warnPlainHttpRefusedOnce(const QUrl &url)
{
    static QSet<QString> warned;
    const QString root = url.adjusted(QUrl::RemoveUserInfo | QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment)
                             .toString();
    if (warned.contains(root))
        return;
    warned.insert(root);
    qCWarning(lcService).noquote() << "refusing the plain-http server root" << root
                                   << "- only a loopback server may be reached without https";
}

} // namespace

QString WService::rawValue(WHTTPMethod method)
{
    switch (method) {
    case WHTTPMethod::post:
        return QStringLiteral("POST");
    case WHTTPMethod::get:
        return QStringLiteral("GET");
    case WHTTPMethod::put:
        return QStringLiteral("PUT");
    case WHTTPMethod::delete_:
        return QStringLiteral("DELETE");
    }
    return {};
}

std::optional<WService::WHTTPMethod> WService::methodFromRawValue(const QString &rawValue)
{
    for (WHTTPMethod method : {WHTTPMethod::post, WHTTPMethod::get, WHTTPMethod::put, WHTTPMethod::delete_}) {
        if (WService::rawValue(method) == rawValue)
            return method;
    }
    return std::nullopt;
}

WError WService::responseDoesNotExist()
{
    return WError{QString(), 0, QStringLiteral("Response does not exist")};
}

WError WService::statusNot200(int status)
{
    return WError{QString(), status, QStringLiteral("Response did not match 200 !!")};
}

WError WService::plainHttpRefused()
{
    return WError{QString(), 0, QStringLiteral("Plain http is only used for a loopback server")};
}

WError WService::answerTooLarge()
{
    return WError{QString(), 0, QStringLiteral("Response is larger than 16 MiB")};
}

std::chrono::milliseconds WService::transferTimeout()
{
    return s_transferTimeout;
}

void WService::setTransferTimeout(std::chrono::milliseconds timeout)
{
    s_transferTimeout = timeout;
}

namespace {

std::unique_ptr<QNetworkAccessManager> s_networkManager;

// Runs while the application object is still whole: open TLS connections
// cannot close cleanly once it is gone.
void dropNetworkManager()
{
    s_networkManager.reset();
}

} // namespace

QNetworkAccessManager &WService::networkManager()
{
    if (!s_networkManager) {
        s_networkManager = std::make_unique<QNetworkAccessManager>();
        qAddPostRoutine(dropNetworkManager);
    }
    return *s_networkManager;
}

void WService::applyTransportSettings(QNetworkRequest &request)
{
    request.setTransferTimeout(int(s_transferTimeout.count()));
    const QString caFile = WConfigurationValues::caCertificatesFile();
    // Open connections keep the trust they were made with.
    static QString lastCaFile;
    if (caFile != lastCaFile) {
        networkManager().clearConnectionCache();
        lastCaFile = caFile;
    }
    if (const std::optional<QSslConfiguration> ssl = sslConfigurationWithExtraCa(caFile))
        request.setSslConfiguration(*ssl);
}

std::optional<QByteArray> WService::dataForJSONObject(const QVariantMap &body)
{
    const std::optional<QJsonObject> object = toJsonObject(body);
    if (!object)
        return std::nullopt;
    return QJsonDocument(*object).toJson(QJsonDocument::Compact);
}

WService::Request WService::requestForService(const QUrl &url, WHTTPMethod method, const std::optional<QVariantMap> &body)
{
    Request result;
    result.request = QNetworkRequest(url);
    result.method = rawValue(method).toLatin1();
    applyTransportSettings(result.request);
    if (!body)
        return result;
    result.request.setRawHeader(QByteArrayLiteral("Content-Type"), QByteArrayLiteral("Application/json"));
    result.body = dataForJSONObject(*body);
    if (!result.body) {
        qCDebug(lcBackend) << "the request body cannot be written as JSON";
        result.bodyUnserialisable = true;
    }
    return result;
}

void WService::dataTask(const Request &request, DataCompletion completion)
{
    if (!completion)
        completion = [](std::optional<QByteArray>, std::optional<WError>) {};
    if (request.bodyUnserialisable) {
        WPerform::onMainThread([completion] {
            completion(std::nullopt, WError{QString(), 0, QStringLiteral("Request body is not valid JSON")});
        });
        return;
    }
    if (isPlainHttpToAnotherHost(request.request.url())) {
        warnPlainHttpRefusedOnce(request.request.url());
        WPerform::onMainThread([completion] { completion(std::nullopt, plainHttpRefused()); });
        return;
    }
    QNetworkAccessManager &manager = networkManager();
    // A bodiless request other than GET still says "Content-Length: 0": servers
    // refuse a POST that announces no length.
    const bool withLength = request.body || request.method != "GET";
    QNetworkReply *reply = withLength ? manager.sendCustomRequest(request.request, request.method, request.body.value_or(QByteArray()))
                                      : manager.sendCustomRequest(request.request, request.method);
    auto data = std::make_shared<QByteArray>();
    auto finish = readCapped(reply, kMaxAnswerBytes, data);
    QObject::connect(reply, &QNetworkReply::finished, reply, [reply, data, finish, completion] {
        reply->deleteLater();
        if (finish()) {
            completion(std::nullopt, answerTooLarge());
            return;
        }
        const std::optional<int> status = httpStatus(reply);
        const QNetworkReply::NetworkError error = reply->error();
        if (error != QNetworkReply::NoError && !(status && isStatusMappedError(error))) {
            completion(std::nullopt, networkError(reply));
            return;
        }
        if (!status) {
            completion(std::nullopt, responseDoesNotExist());
            return;
        }
        if (*status != 200) {
            completion(std::nullopt, statusNot200(*status));
            return;
        }
        completion(std::move(*data), std::nullopt);
    });
}

void WService::downloadResource(const QUrl &url, DownloadCompletion completion)
{
    if (!completion)
        completion = [](std::optional<QByteArray>) {};
    QNetworkRequest request(url);
    applyTransportSettings(request);
    QNetworkReply *reply = networkManager().get(request);
    auto data = std::make_shared<QByteArray>();
    auto finish = readCapped(reply, kMaxDownloadBytes, data);
    QObject::connect(reply, &QNetworkReply::finished, reply, [reply, data, finish, completion] {
        reply->deleteLater();
        const bool stopped = finish();
        if (!stopped && reply->error() == QNetworkReply::NoError && httpStatus(reply) == 200)
            completion(std::move(*data));
        else
            completion(std::nullopt);
    });
}

} // namespace WexoCreator
