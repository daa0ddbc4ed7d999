#pragma once

#include "WexoCreator/backend/WError.h"

#include <QByteArray>
#include <QNetworkRequest>
#include <QString>
#include <QUrl>
#include <QVariantMap>

#include <chrono>
#include <functional>
#include <optional>

class QNetworkAccessManager;

namespace WexoCreator {

// The only place that speaks HTTP. Requests run on one network manager that
// lives on the main thread, so completions arrive one at a time from the main
// event loop and never run inside the call that starts the request.
class WService
{
public:
    enum class WHTTPMethod { post, get, put, delete_ };

    static QString rawValue(WHTTPMethod method);
    // Exactly "POST", "GET", "PUT" or "DELETE"; anything else has no method.
    static std::optional<WHTTPMethod> methodFromRawValue(const QString &rawValue);

    // A request ready to send: what the network request itself cannot carry
    // (the method and the body) travels beside it.
    struct Request {
        QNetworkRequest request;
        QByteArray method;
        std::optional<QByteArray> body;
        // Set when the body could not be serialised; such a request is never sent.
        bool bodyUnserialisable = false;
    };

    using DataCompletion = std::function<void(std::optional<QByteArray> data, std::optional<WError> error)>;
    // The downloaded bytes, absent on any failure.
    using DownloadCompletion = std::function<void(std::optional<QByteArray> data)>;

    static constexpr qint64 kMaxDownloadBytes = 32 * 1024 * 1024;
    // API answers are JSON held whole in memory: a larger one fails with answerTooLarge().
    static constexpr qint64 kMaxAnswerBytes = 16 * 1024 * 1024;
    // What Qt holds for a reply that the main loop has not read yet (what its
    // socket took in comes on top). While the loop is busy, flow control holds
    // the server back instead of memory filling up.
    static constexpr qint64 kReadBufferBytes = 1024 * 1024;

    static Request requestForService(const QUrl &url, WHTTPMethod method, const std::optional<QVariantMap> &body = std::nullopt);

    // Runs the request. The completion runs exactly once, later, with either
    // data and no error or no data and an error; only status 200 is success.
    // An answer over kMaxAnswerBytes is cut off as soon as it is known to be;
    // plain http goes to a loopback host only.
    static void dataTask(const Request &request, DataCompletion completion);

    // Downloads a file into memory (it is capped at kMaxDownloadBytes); nothing
    // is written to disk here.
    static void downloadResource(const QUrl &url, DownloadCompletion completion);

    // The transfer time-out of every request and download (30 s).
    static std::chrono::milliseconds transferTimeout();
    static void setTransferTimeout(std::chrono::milliseconds timeout);

    static WError responseDoesNotExist();
    static WError statusNot200(int status);
    static WError answerTooLarge();
    // A server root over http that is not on this machine is never sent to.
    static WError plainHttpRefused();

    // The one network manager; its replies are its children.
    static QNetworkAccessManager &networkManager();

private:
    static std::optional<QByteArray> dataForJSONObject(const QVariantMap &body);
    static void applyTransportSettings(QNetworkRequest &request);
};

} // namespace WexoCreator
