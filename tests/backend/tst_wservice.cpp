#include "WexoCreator/backend/WService.h"

#include "support/BackendFixture.h"

#include <httplib.h>

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkReply>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <QRandomGenerator>
#include <QScopeGuard>

#include <cmath>
#include <memory>
#include <thread>

Q_DECLARE_METATYPE(WexoSample::ScriptedAnswer)
Q_DECLARE_METATYPE(WexoCreator::WService::WHTTPMethod)
Q_DECLARE_METATYPE(std::optional<QVariantMap>)

using namespace WexoCreator;
using WexoSample::SampleBackend;
using WexoSample::ScriptedAnswer;

namespace {

const QString kEchoPath = QStringLiteral("/mobileApi/user/signin");

struct Outcome {
    int calls = 0;
    std::optional<QByteArray> data;
    std::optional<WError> error;
};

std::shared_ptr<Outcome> start(const WService::Request &request)
{
    auto outcome = std::make_shared<Outcome>();
    WService::dataTask(request, [outcome](std::optional<QByteArray> data, std::optional<WError> error) {
        ++outcome->calls;
        outcome->data = std::move(data);
        outcome->error = std::move(error);
    });
    return outcome;
}

struct DownloadOutcome {
    int calls = 0;
    bool success = false;
    std::optional<QString> path;
    QByteArray contentDuringCompletion;
};

std::shared_ptr<DownloadOutcome> startDownload(const QUrl &url)
{
    auto outcome = std::make_shared<DownloadOutcome>();
    WService::downloadResource(url, [outcome](bool success, std::optional<QString> path) {
        ++outcome->calls;
        outcome->success = success;
        outcome->path = path;
        if (path) {
            QFile file(*path);
            if (file.open(QIODevice::ReadOnly))
                outcome->contentDuringCompletion = file.readAll();
        }
    });
    return outcome;
}

int closedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return server.serverPort();
}

} // namespace

class tst_WService : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void transportOutcome_data();
    void transportOutcome();
    void connectionRefusedPassesTheNetworkErrorOn();
    void redirectIsFollowed();
    void requestShape_data();
    void requestShape();
    void unserialisableBodyIsNeverSent_data();
    void unserialisableBodyIsNeverSent();
    void download_data();
    void download();
    void tlsNeedsTheConfiguredCa();

private:
    QUrl url(const QString &path) const { return QUrl(m_backend->rootUrl() + path.mid(1)); }

    std::unique_ptr<BackendFixture> m_backend;
    QTemporaryDir m_tempRoot;
    QByteArray m_savedTmpDir;
};

void tst_WService::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_tempRoot.isValid());
    // Downloads land in the temporary folder: point it at one this test owns,
    // so leftovers can be seen.
    m_savedTmpDir = qgetenv("TMPDIR");
    qputenv("TMPDIR", m_tempRoot.path().toLocal8Bit());
    m_backend = std::make_unique<BackendFixture>();
    QVERIFY(m_backend->isRunning());
}

void tst_WService::init()
{
    m_backend->backend().clearScripts();
    m_backend->backend().clearRequests();
    WService::setTransferTimeout(std::chrono::seconds(30));
    qunsetenv("WEXO_CA_CERTIFICATES");
}

void tst_WService::cleanupTestCase()
{
    m_backend.reset();
    qputenv("TMPDIR", m_savedTmpDir);
}

void tst_WService::transportOutcome_data()
{
    QTest::addColumn<ScriptedAnswer>("answer");
    QTest::addColumn<bool>("expectData");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("domain");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");

    const QString notOk = QStringLiteral("Response did not match 200 !!");
    auto answer = [](int status, const QByteArray &body = QByteArrayLiteral("{\"ok\":true}")) {
        ScriptedAnswer a;
        a.status = status;
        a.body = body;
        return a;
    };
    QTest::addRow("200 with data") << answer(200) << true << QByteArrayLiteral("{\"ok\":true}") << QString() << 0 << QString();
    QTest::addRow("200 empty") << answer(200, {}) << true << QByteArray() << QString() << 0 << QString();
    for (int status : {201, 204, 401, 403, 404, 500})
        QTest::addRow("%d", status) << answer(status) << false << QByteArray() << QString() << status << notOk;

    ScriptedAnswer closed;
    closed.closeWithoutAnswer = true;
    QTest::addRow("closed without an answer") << closed << false << QByteArray() << QStringLiteral("QNetworkReply")
                                              << int(QNetworkReply::RemoteHostClosedError) << QString();
    ScriptedAnswer hang;
    hang.hang = true;
    QTest::addRow("hang cut by the time-out") << hang << false << QByteArray() << QStringLiteral("QNetworkReply")
                                              << int(QNetworkReply::OperationCanceledError) << QString();
}

void tst_WService::transportOutcome()
{
    QFETCH(ScriptedAnswer, answer);
    QFETCH(bool, expectData);
    QFETCH(QByteArray, data);
    QFETCH(QString, domain);
    QFETCH(int, code);
    QFETCH(QString, message);

    if (answer.hang)
        WService::setTransferTimeout(std::chrono::milliseconds(300));
    m_backend->backend().script(QStringLiteral("POST"), kEchoPath, answer);
    const auto outcome = start(WService::requestForService(url(kEchoPath), WService::WHTTPMethod::post, QVariantMap{}));
    QCOMPARE(outcome->calls, 0);
    QTRY_COMPARE(outcome->calls, 1);

    QCOMPARE(outcome->data.has_value(), expectData);
    QCOMPARE(outcome->error.has_value(), !expectData);
    if (expectData) {
        QCOMPARE(*outcome->data, data);
        return;
    }
    QCOMPARE(outcome->error->domain, domain);
    QCOMPARE(outcome->error->code, code);
    if (!message.isEmpty())
        QCOMPARE(outcome->error->message, message);
    else
        QVERIFY(!outcome->error->message.isEmpty());
}

void tst_WService::connectionRefusedPassesTheNetworkErrorOn()
{
    const QUrl refused(QStringLiteral("http://127.0.0.1:%1/mobileApi/user/signin").arg(closedPort()));
    const auto outcome = start(WService::requestForService(refused, WService::WHTTPMethod::get));
    QTRY_COMPARE(outcome->calls, 1);
    QVERIFY(!outcome->data);
    QCOMPARE(outcome->error->domain, QStringLiteral("QNetworkReply"));
    QCOMPARE(outcome->error->code, int(QNetworkReply::ConnectionRefusedError));
}

void tst_WService::redirectIsFollowed()
{
    // A second real server that only redirects to the backend's real route.
    httplib::Server redirector;
    const std::string target = (m_backend->rootUrl() + kEchoPath.mid(1)).toStdString();
    redirector.Get("/moved", [&](const httplib::Request &, httplib::Response &response) { response.set_redirect(target, 302); });
    redirector.set_keep_alive_max_count(1);
    const int port = redirector.bind_to_any_port("127.0.0.1");
    QVERIFY(port > 0);
    std::thread serving([&] { redirector.listen_after_bind(); });
    auto stopServing = qScopeGuard([&] {
        redirector.stop();
        serving.join();
    });
    ScriptedAnswer answer;
    answer.body = QByteArrayLiteral("arrived");
    m_backend->backend().script(QStringLiteral("GET"), kEchoPath, answer);

    const auto outcome = start(WService::requestForService(QUrl(QStringLiteral("http://127.0.0.1:%1/moved").arg(port)),
                                                           WService::WHTTPMethod::get));
    QTRY_COMPARE(outcome->calls, 1);
    QVERIFY(!outcome->error);
    QCOMPARE(*outcome->data, QByteArrayLiteral("arrived"));
}

void tst_WService::requestShape_data()
{
    QTest::addColumn<WService::WHTTPMethod>("method");
    QTest::addColumn<std::optional<QVariantMap>>("body");
    QTest::addColumn<QString>("contentType");
    QTest::addColumn<QByteArray>("sentBody");

    QTest::addRow("GET without body") << WService::WHTTPMethod::get << std::optional<QVariantMap>() << QString() << QByteArray();
    QTest::addRow("POST without body") << WService::WHTTPMethod::post << std::optional<QVariantMap>() << QString() << QByteArray();
    QTest::addRow("empty dictionary") << WService::WHTTPMethod::post << std::optional<QVariantMap>(QVariantMap{})
                                      << QStringLiteral("Application/json") << QByteArrayLiteral("{}");
    const QVariantMap body{{QStringLiteral("email"), QStringLiteral("a@b.c")},
                           {QStringLiteral("stepNumber"), 3},
                           {QStringLiteral("token"), QVariant::fromValue(nullptr)}};
    QTest::addRow("strings, numbers and null") << WService::WHTTPMethod::post << std::optional<QVariantMap>(body)
                                               << QStringLiteral("Application/json")
                                               << QByteArrayLiteral("{\"email\":\"a@b.c\",\"stepNumber\":3,\"token\":null}");
}

void tst_WService::requestShape()
{
    QFETCH(WService::WHTTPMethod, method);
    QFETCH(std::optional<QVariantMap>, body);
    QFETCH(QString, contentType);
    QFETCH(QByteArray, sentBody);

    m_backend->backend().script(WService::rawValue(method), kEchoPath, ScriptedAnswer{});
    const auto outcome = start(WService::requestForService(url(kEchoPath), method, body));
    QTRY_COMPARE(outcome->calls, 1);

    const QList<WexoSample::RecordedRequest> received = m_backend->backend().requests();
    QCOMPARE(received.size(), 1);
    QCOMPARE(received.first().method, WService::rawValue(method));
    QCOMPARE(received.first().headers.value(QStringLiteral("content-type")), contentType);
    QCOMPARE(QJsonDocument::fromJson(received.first().body), QJsonDocument::fromJson(sentBody));
    QCOMPARE(received.first().body.isEmpty(), sentBody.isEmpty());
    QVERIFY(!received.first().headers.contains(QStringLiteral("authorization")));
}

void tst_WService::unserialisableBodyIsNeverSent_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addRow("not a number") << QVariant(std::nan(""));
    QTest::addRow("infinity") << QVariant(HUGE_VAL);
    QTest::addRow("object pointer") << QVariant::fromValue(static_cast<QObject *>(this));
    QTest::addRow("nested date") << QVariant(QVariantList{QDateTime::currentDateTime()});
}

void tst_WService::unserialisableBodyIsNeverSent()
{
    QFETCH(QVariant, value);
    const auto outcome = start(WService::requestForService(url(kEchoPath), WService::WHTTPMethod::post,
                                                           QVariantMap{{QStringLiteral("x"), value}}));
    QCOMPARE(outcome->calls, 0);
    QTRY_COMPARE(outcome->calls, 1);
    QVERIFY(!outcome->data);
    QVERIFY(outcome->error);
    QVERIFY(m_backend->backend().requests().isEmpty());
}

void tst_WService::download_data()
{
    QTest::addColumn<ScriptedAnswer>("answer");
    QTest::addColumn<bool>("success");

    ScriptedAnswer file;
    file.body = QByteArrayLiteral("font bytes\0\1\2");
    file.contentType = "font/ttf";
    QTest::addRow("200 with a file") << file << true;

    ScriptedAnswer notFound;
    notFound.status = 404;
    notFound.body = QByteArrayLiteral("missing");
    QTest::addRow("404") << notFound << false;

    // Noise, so that compression on the way cannot shrink it.
    QRandomGenerator noise(7);
    QByteArray large(WService::kMaxDownloadBytes + 1, Qt::Uninitialized);
    noise.fillRange(reinterpret_cast<quint32 *>(large.data()), large.size() / 4);
    ScriptedAnswer tooLarge;
    tooLarge.body = large;
    tooLarge.contentType = "font/ttf";
    QTest::addRow("over the size cap") << tooLarge << false;

    ScriptedAnswer atCap;
    atCap.body = large.left(WService::kMaxDownloadBytes);
    atCap.contentType = "font/ttf";
    QTest::addRow("exactly the size cap") << atCap << true;

    ScriptedAnswer hang;
    hang.hang = true;
    QTest::addRow("hang cut by the time-out") << hang << false;

    ScriptedAnswer closed;
    closed.closeWithoutAnswer = true;
    QTest::addRow("closed without an answer") << closed << false;
}

void tst_WService::download()
{
    QFETCH(ScriptedAnswer, answer);
    QFETCH(bool, success);

    if (answer.hang)
        WService::setTransferTimeout(std::chrono::milliseconds(300));
    const QString path = QStringLiteral("/fonts/Sample.ttf");
    m_backend->backend().script(QStringLiteral("GET"), path, answer);
    const auto outcome = startDownload(url(path));
    QTRY_COMPARE(outcome->calls, 1);

    QCOMPARE(outcome->success, success);
    QCOMPARE(outcome->path.has_value(), success);
    if (success) {
        QCOMPARE(outcome->contentDuringCompletion, answer.body);
        QVERIFY(!QFile::exists(*outcome->path));
    }
    QCOMPARE(QDir(m_tempRoot.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void tst_WService::tlsNeedsTheConfiguredCa()
{
    QTemporaryDir certDir;
    const std::optional<TestCertificate> certificate = makeTestCertificate(certDir);
    QVERIFY(certificate);
    SampleBackend::Options options;
    options.tlsCertFile = certificate->certificateFile;
    options.tlsKeyFile = certificate->keyFile;
    BackendFixture secure(options);
    QVERIFY(secure.isRunning());
    QVERIFY(secure.rootUrl().startsWith(QStringLiteral("https://")));
    secure->script(QStringLiteral("GET"), kEchoPath, ScriptedAnswer{});
    const QUrl target(secure.rootUrl() + kEchoPath.mid(1));

    qunsetenv("WEXO_CA_CERTIFICATES");
    const auto untrusted = start(WService::requestForService(target, WService::WHTTPMethod::get));
    QTRY_COMPARE(untrusted->calls, 1);
    QVERIFY(!untrusted->data);
    QCOMPARE(untrusted->error->code, int(QNetworkReply::SslHandshakeFailedError));

    qputenv("WEXO_CA_CERTIFICATES", certificate->certificateFile.toLocal8Bit());
    const auto trusted = start(WService::requestForService(target, WService::WHTTPMethod::get));
    QTRY_COMPARE(trusted->calls, 1);
    QVERIFY2(!trusted->error, qPrintable(trusted->error ? trusted->error->message : QString()));
    QVERIFY(trusted->data);
}

QTEST_GUILESS_MAIN(tst_WService)
#include "tst_wservice.moc"
