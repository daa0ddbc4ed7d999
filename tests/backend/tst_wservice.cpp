#include "WexoCreator/backend/WService.h"

#include "support/BackendFixture.h"

#include <QDir>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <cmath>

using namespace WexoCreator;
using WexoSample::ScriptedAnswer;
using Method = WService::WHTTPMethod;

namespace {

const QString kPath = QStringLiteral("/mobileApi/user/signin");

struct Outcome {
    int calls = 0;
    std::optional<QByteArray> data;
    std::optional<WError> error;
};

std::shared_ptr<Outcome> send(const QUrl &url, Method method = Method::get, const std::optional<QVariantMap> &body = {})
{
    auto outcome = std::make_shared<Outcome>();
    WService::dataTask(WService::requestForService(url, method, body), [outcome](auto data, auto error) {
        ++outcome->calls;
        outcome->data = std::move(data);
        outcome->error = std::move(error);
    });
    return outcome;
}

// Notes the most a reply held unread just before each event reached it: what
// arrives while the main loop is busy piles up there until the loop runs again.
class UnreadWatch : public QObject
{
public:
    explicit UnreadWatch(QNetworkReply *reply) : m_reply(reply) { reply->installEventFilter(this); }
    qint64 most = 0;

protected:
    bool eventFilter(QObject *, QEvent *) override
    {
        most = std::max(most, m_reply ? m_reply->bytesAvailable() : 0);
        return false;
    }

private:
    QPointer<QNetworkReply> m_reply;
};

} // namespace

class tst_WService : public QObject
{
    Q_OBJECT

    std::unique_ptr<BackendFixture> m_backend;
    QTemporaryDir m_tempRoot;
    QByteArray m_savedTmpDir;

    QUrl url(const QString &path) const { return QUrl(m_backend->rootUrl() + path.mid(1)); }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        // Temporary files go to a folder this test owns, so any written shows.
        m_savedTmpDir = qgetenv("TMPDIR");
        qputenv("TMPDIR", m_tempRoot.path().toLocal8Bit());
        m_backend = std::make_unique<BackendFixture>();
        QVERIFY(m_backend->isRunning());
    }

    void init()
    {
        m_backend->backend().clearScripts();
        m_backend->backend().clearRequests();
        WService::setTransferTimeout(std::chrono::seconds(30));
    }

    void cleanupTestCase()
    {
        m_backend.reset();
        qputenv("TMPDIR", m_savedTmpDir);
    }

    void transport_data()
    {
        QTest::addColumn<ScriptedAnswer>("answer"); // status 0: to a port nobody listens on
        QTest::addColumn<int>("code");              // 0: the body comes back as data
        QTest::addColumn<QString>("domain");

        const QString net = QStringLiteral("QNetworkReply");
        QTest::addRow("200 with data") << ScriptedAnswer{200, "{\"ok\":true}"} << 0 << "";
        for (int status : {201, 204, 401, 403, 404, 500})
            QTest::addRow("%d", status) << ScriptedAnswer{status, "{\"ok\":true}"} << status << "";
        QTest::addRow("refused") << ScriptedAnswer{0, {}} << int(QNetworkReply::ConnectionRefusedError) << net;
        QTest::addRow("closed without an answer")
            << ScriptedAnswer{.body = {}, .closeWithoutAnswer = true} << int(QNetworkReply::RemoteHostClosedError) << net;
        QTest::addRow("hang cut by the time-out")
            << ScriptedAnswer{.body = {}, .hang = true} << int(QNetworkReply::OperationCanceledError) << net;
    }

    void transport()
    {
        QFETCH(ScriptedAnswer, answer);
        QFETCH(int, code);
        QFETCH(QString, domain);

        if (answer.hang)
            WService::setTransferTimeout(std::chrono::milliseconds(300));
        m_backend->backend().script(QStringLiteral("GET"), kPath, answer);
        QUrl target = url(kPath);
        if (!answer.status) {
            QTcpServer closed;
            QVERIFY(closed.listen(QHostAddress::LocalHost));
            target.setPort(closed.serverPort());
        }
        const auto outcome = send(target);
        QCOMPARE(outcome->calls, 0);
        QTRY_COMPARE(outcome->calls, 1);
        QCOMPARE(outcome->data, code ? std::nullopt : std::optional(answer.body));
        QCOMPARE(outcome->error.has_value(), code != 0);
        if (code) {
            QCOMPARE(outcome->error->code, code);
            QCOMPARE(outcome->error->domain, domain);
            QVERIFY(domain.isEmpty() ? outcome->error->message == QStringLiteral("Response did not match 200 !!")
                                     : !outcome->error->message.isEmpty());
        }
    }

    void requestShape_data()
    {
        QTest::addColumn<Method>("method");
        QTest::addColumn<std::optional<QVariantMap>>("body");
        QTest::addColumn<QByteArray>("sent"); // "": neither a body nor a content type; "unsent": no request at all

        QTest::addRow("GET without body") << Method::get << std::optional<QVariantMap>() << QByteArray();
        QTest::addRow("POST without body") << Method::post << std::optional<QVariantMap>() << QByteArray();
        QTest::addRow("strings, numbers and null")
            << Method::post
            << std::optional(QVariantMap{{"email", "a@b.c"}, {"stepNumber", 3}, {"token", QVariant::fromValue(nullptr)}})
            << QByteArray(R"({"email":"a@b.c","stepNumber":3,"token":null})");
        QTest::addRow("not a number") << Method::post << std::optional(QVariantMap{{"x", std::nan("")}}) << QByteArray("unsent");
        QTest::addRow("nested date") << Method::post << std::optional(QVariantMap{{"x", QVariantList{QDateTime::currentDateTime()}}})
                                     << QByteArray("unsent");
    }

    void requestShape()
    {
        QFETCH(Method, method);
        QFETCH(std::optional<QVariantMap>, body);
        QFETCH(QByteArray, sent);

        m_backend->backend().script(WService::rawValue(method), kPath, ScriptedAnswer{});
        const auto outcome = send(url(kPath), method, body);
        QCOMPARE(outcome->calls, 0);
        QTRY_COMPARE(outcome->calls, 1);
        const auto received = m_backend->backend().requests();
        QCOMPARE(received.size(), sent == "unsent" ? 0 : 1);
        if (sent == "unsent") {
            QVERIFY(!outcome->data && outcome->error);
            return;
        }
        QCOMPARE(received.first().method, WService::rawValue(method));
        QCOMPARE(received.first().headers.value(QStringLiteral("content-type")),
                 sent.isEmpty() ? QString() : QStringLiteral("Application/json"));
        QCOMPARE(QJsonDocument::fromJson(received.first().body), QJsonDocument::fromJson(sent));
    }

    void download_data()
    {
        QTest::addColumn<ScriptedAnswer>("answer");
        QTest::addColumn<bool>("success");

        // Noise, so that compression on the way cannot shrink it.
        QByteArray large(WService::kMaxDownloadBytes + 1, Qt::Uninitialized);
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(large.data()), large.size() / 4);
        QTest::addRow("a file") << ScriptedAnswer{200, QByteArrayLiteral("font bytes\0\1\2"), "font/ttf"} << true;
        QTest::addRow("404") << ScriptedAnswer{404, "missing"} << false;
        QTest::addRow("over the size cap") << ScriptedAnswer{200, large, "font/ttf"} << false;
        QTest::addRow("exactly the size cap") << ScriptedAnswer{200, large.left(WService::kMaxDownloadBytes), "font/ttf"} << true;
        QTest::addRow("hang cut by the time-out") << ScriptedAnswer{.body = {}, .hang = true} << false;
    }

    void download()
    {
        QFETCH(ScriptedAnswer, answer);
        QFETCH(bool, success);

        if (answer.hang)
            WService::setTransferTimeout(std::chrono::milliseconds(300));
        m_backend->backend().script(QStringLiteral("GET"), QStringLiteral("/fonts/Sample.ttf"), answer);
        if (answer.body.size() > WService::kMaxDownloadBytes)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("answer refused")));
        auto result = std::make_shared<std::optional<std::optional<QByteArray>>>();
        auto filesMeanwhile = std::make_shared<QStringList>();
        WService::downloadResource(url(QStringLiteral("/fonts/Sample.ttf")), [this, result, filesMeanwhile](auto data) {
            *filesMeanwhile = QDir(m_tempRoot.path()).entryList(QDir::Files | QDir::Hidden);
            *result = std::move(data);
        });
        QTRY_VERIFY(result->has_value());
        QCOMPARE(**result, success ? std::optional(answer.body) : std::nullopt);
        // Kept in memory: nothing is written on the main thread.
        QCOMPARE(*filesMeanwhile, QStringList());
    }

    void answerSizeCap_data()
    {
        QTest::addColumn<bool>("announced"); // false: no length, the answer ends when the connection closes
        QTest::addColumn<qint64>("size");

        for (const bool announced : {true, false}) {
            const char *how = announced ? "announced" : "unannounced";
            QTest::addRow("%s, at the cap", how) << announced << WService::kMaxAnswerBytes;
            QTest::addRow("%s, over the cap", how) << announced << WService::kMaxAnswerBytes + 1;
        }
    }

    void answerSizeCap()
    {
        QFETCH(bool, announced);
        QFETCH(qint64, size);

        const QByteArray body(size, 'x'); // served as a type the backend does not compress
        m_backend->backend().script(QStringLiteral("GET"), kPath, ScriptedAnswer{200, body, "application/octet-stream"});
        QUrl target = url(kPath);
        QTcpServer unannounced;
        if (!announced) {
            QVERIFY(unannounced.listen(QHostAddress::LocalHost));
            connect(&unannounced, &QTcpServer::newConnection, this, [&unannounced, &body] {
                QTcpSocket *socket = unannounced.nextPendingConnection();
                // The request is read first: closing on unread data would reset the connection.
                connect(socket, &QTcpSocket::readyRead, socket, [socket, &body] {
                    socket->readAll();
                    socket->write("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + body);
                    socket->disconnectFromHost();
                });
            });
            target.setPort(unannounced.serverPort());
        }
        const bool over = size > WService::kMaxAnswerBytes;
        if (over)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("answer (refused|stopped)")));
        const auto outcome = send(target);
        QTRY_COMPARE(outcome->calls, 1);
        QCOMPARE(outcome->error, over ? std::optional(WService::answerTooLarge()) : std::nullopt);
        QCOMPARE(outcome->data ? outcome->data->size() : -1, over ? -1 : size);
    }

    // An endless answer while the main loop is busy 300 ms at a time, as a host's
    // long slot would keep it: flow control holds the server back, so what the
    // reply holds unread never piles up toward the size cap (its read buffer,
    // and on top of it what the socket took in meanwhile: a few MiB on
    // loopback on a busy machine), and the size cap still ends it.
    void busyMainLoopHoldsAnEndlessAnswerBack()
    {
        m_backend->backend().script(QStringLiteral("GET"), kPath,
                                    ScriptedAnswer{.body = QByteArray(64 * 1024, 'x'),
                                                   .contentType = "application/octet-stream",
                                                   .endless = true});
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("answer stopped at the size cap")));
        const QList<QNetworkReply *> earlier = WService::networkManager().findChildren<QNetworkReply *>();
        const auto outcome = send(url(kPath));
        QNetworkReply *reply = nullptr;
        for (QNetworkReply *candidate : WService::networkManager().findChildren<QNetworkReply *>())
            reply = earlier.contains(candidate) ? reply : candidate;
        QVERIFY(reply);
        UnreadWatch watch(reply);
        QTimer busy;
        connect(&busy, &QTimer::timeout, this, [] { QThread::msleep(300); });
        busy.start(50);
        QTRY_COMPARE_WITH_TIMEOUT(outcome->calls, 1, 30000);
        QCOMPARE(outcome->error, std::optional(WService::answerTooLarge()));
        QVERIFY2(watch.most <= WService::kMaxAnswerBytes / 2, qPrintable(QStringLiteral("%1 bytes unread").arg(watch.most)));
    }

    void plainHttpOnlyToLoopback_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<bool>("sent");

        QTest::addRow("127.0.0.1") << "127.0.0.1" << true;
        QTest::addRow("localhost") << "LocalHost" << true;
        QTest::addRow("named host") << "api.wexocreator.example" << false;
        QTest::addRow("private address") << "10.0.0.7" << false;
        QTest::addRow("loopback in a name") << "127.0.0.1.example" << false;
    }

    void plainHttpOnlyToLoopback()
    {
        QFETCH(QString, host);
        QFETCH(bool, sent);

        m_backend->backend().script(QStringLiteral("POST"), kPath, ScriptedAnswer{200, "{}"});
        QUrl target = url(kPath);
        target.setHost(host);
        if (!sent) {
            // Said once for the root, however many requests go there.
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^refusing the plain-http server root")));
            QTest::failOnWarning(QRegularExpression(QStringLiteral("plain-http")));
        }
        QList<std::shared_ptr<Outcome>> outcomes;
        for (int request = 0; request < 3; ++request)
            outcomes.append(send(target, Method::post, QVariantMap{{"password", "secret"}}));
        QCOMPARE(outcomes.first()->calls, 0);
        for (const auto &outcome : std::as_const(outcomes)) {
            QTRY_COMPARE(outcome->calls, 1);
            // "localhost" may resolve to ::1 first, where nothing listens; either way the request left.
            QVERIFY(sent ? outcome->data || outcome->error->domain == QStringLiteral("QNetworkReply")
                         : outcome->error == WService::plainHttpRefused());
        }
        if (!sent)
            QVERIFY(m_backend->backend().requests().isEmpty());
    }

    void tlsNeedsTheConfiguredCa()
    {
        QTemporaryDir certDir;
        const std::optional<TestCertificate> certificate = makeTestCertificate(certDir);
        QVERIFY(certificate);
        WexoSample::SampleBackend::Options tls;
        tls.tlsCertFile = certificate->certificateFile;
        tls.tlsKeyFile = certificate->keyFile;
        BackendFixture secure(tls);
        QVERIFY(secure.isRunning() && secure.rootUrl().startsWith(QStringLiteral("https://")));
        secure->script(QStringLiteral("GET"), kPath, ScriptedAnswer{});
        const QUrl target(secure.rootUrl() + kPath.mid(1));

        qunsetenv("WEXO_CA_CERTIFICATES");
        const auto untrusted = send(target);
        QTRY_COMPARE(untrusted->calls, 1);
        QCOMPARE(untrusted->error->code, int(QNetworkReply::SslHandshakeFailedError));

        qputenv("WEXO_CA_CERTIFICATES", certificate->certificateFile.toLocal8Bit());
        const auto trusted = send(target);
        QTRY_COMPARE(trusted->calls, 1);
        QCOMPARE(trusted->data, std::optional(QByteArray()));
    }
};

QTEST_GUILESS_MAIN(tst_WService)
#include "tst_wservice.moc"