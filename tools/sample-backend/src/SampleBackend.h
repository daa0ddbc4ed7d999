#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>

#include <memory>

namespace WexoSample {

// One request as the backend received it.
struct RecordedRequest {
    QString method;
    QString path;          // without the query, e.g. "/mobileApi/user/signin"
    QString rawQuery;      // exactly as sent, without the "?"
    QMap<QString, QString> headers; // names lower-cased
    QByteArray body;
};

// A scripted answer for one route, used instead of the real handler.
struct ScriptedAnswer {
    int status = 200;
    QByteArray body;
    QByteArray contentType = "application/json";
    int delayMs = 0;            // wait before answering
    bool hang = false;          // never answer (until the backend stops)
    bool closeWithoutAnswer = false; // drop the connection without a response
    int times = -1;             // how many requests it answers; -1 = every one
    bool endless = false;       // send the body again and again (chunked) until the client goes
    bool thenRealAnswer = false; // after delayMs, the real handler answers
    QList<QPair<QByteArray, QByteArray>> headers {}; // sent with the answer, e.g. a sign-in challenge
};

// A small HTTP(S) server on loopback that speaks the backend's endpoints from a
// data folder. Tests run it in-process on port 0; the demo runs the program.
class SampleBackend
{
public:
    struct Options {
        QString dataDir;          // walkthroughs, theme, template, fonts
        QString storeFile;        // created steps and analytics persist here when set
        int latencyMs = 0;        // added to every request
        QString tlsCertFile;      // HTTPS when both are set
        QString tlsKeyFile;
        QString clientToken;      // the expected "appKey"; empty = taken from the data folder
    };

    explicit SampleBackend(Options options);
    ~SampleBackend();
    SampleBackend(const SampleBackend &) = delete;
    SampleBackend &operator=(const SampleBackend &) = delete;

    // Starts listening on a background thread; port 0 picks a free port. A port
    // another server listens on is refused, not shared.
    bool start(int port = 0, const QString &host = QStringLiteral("127.0.0.1"));
    void stop();
    // Why the last start() failed, naming the file or port at fault; empty after a success.
    QString errorString() const;

    int port() const;
    // The server root to configure the library with, ending in "/":
    // "http://127.0.0.1:PORT/" (or https).
    QString rootUrl() const;

    QList<RecordedRequest> requests() const;
    QList<RecordedRequest> requests(const QString &pathPrefix) const;
    void clearRequests();

    // method e.g. "POST"; path without query, e.g. "/mobileApi/user/signin".
    void script(const QString &method, const QString &path, const ScriptedAnswer &answer);
    void clearScripts();
    void setLatencyMs(int latencyMs);

    // What the backend keeps, as JSON arrays. A created step:
    // {"walkthroughId", "walkthroughStepId", "elementId", "newWalkthrough", "request": body without "token"};
    // an analytics event: {"kind": "AddNew"|"addStep"|"Complete", "analyticsId", "body": body without "appKey"}.
    QJsonDocument createdSteps() const;
    QJsonDocument analyticsEvents() const;
    // Every administrator token handed out so far is refused from now on (403).
    void revokeAdminTokens();

    // The credentials the sample data expects.
    QString clientToken() const;
    QString clientAppId() const;
    QString adminEmail() const;
    QString adminPassword() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace WexoSample
