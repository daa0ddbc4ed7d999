#include "support/BackendFixture.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QTemporaryDir>
#include <QtTest>

using namespace WexoCreator;
using WexoSample::SampleBackend;
using WexoSample::ScriptedAnswer;

Q_DECLARE_METATYPE(WexoSample::ScriptedAnswer)

namespace {

const QString kToken = QStringLiteral("sample-client-token");
const QString kSite = QStringLiteral("com.example.sampleshop");
const QString kList = QStringLiteral("/mobileApi/walkthrough/findbysite");

struct Reply {
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    int status = 0;
    QByteArray body;
    QJsonObject json() const { return QJsonDocument::fromJson(body).object(); }
};

// The value at a slash-separated path such as "walkthrough/0/Id".
QJsonValue at(QJsonValue value, const QString &path)
{
    for (const QString &part : path.split(u'/', Qt::SkipEmptyParts)) {
        bool isIndex = false;
        const int index = part.toInt(&isIndex);
        value = isIndex ? value.toArray().at(index) : value.toObject().value(part);
    }
    return value;
}

QByteArray json(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QJsonObject with(QJsonObject base, const QJsonObject &extra)
{
    for (auto it = extra.begin(); it != extra.end(); ++it)
        base.insert(it.key(), it.value());
    return base;
}

QJsonObject client(const QJsonObject &extra = {})
{
    return with({{"appKey", kToken}, {"site", kSite}}, extra);
}

// The body that opens an analytics record on "w-orders".
QJsonObject analytics(const QJsonObject &extra = {})
{
    return with(client({{"WalkthroughId", "w-orders"}, {"SourceURL", kSite}, {"StartTime", 1000}, {"EndTime", 1000},
                        {"StartsWithPulse", false}, {"IsWalkthroughAbandoned", false}, {"IsWalkthroughComplete", false}}),
                extra);
}

QString stepsQuery(const QString &walkthroughId)
{
    return QStringLiteral("/mobileApi/walkthroughElements/getStepsWithPage?walkthroughId=%1&origin=https//%2"
                          "&reqSource=iosSdk")
        .arg(walkthroughId, kSite);
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

bool copySampleData(const QString &target)
{
    const QDir source(QStringLiteral(WEXO_SAMPLE_DATA_DIR));
    for (QDirIterator it(source.path(), {"*.json"}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        const QString relative = source.relativeFilePath(it.next());
        if (!QDir(target).mkpath(QFileInfo(relative).path())
            || !QFile::copy(it.filePath(), QDir(target).filePath(relative)))
            return false;
    }
    return true;
}

} // namespace

class tst_SampleBackend : public QObject
{
    Q_OBJECT

    QNetworkAccessManager m_network;

    Reply send(BackendFixture &fixture, const QString &method, const QString &pathAndQuery, const QByteArray &body = {},
               int timeoutMs = 0, const QSslConfiguration *ssl = nullptr)
    {
        QNetworkRequest request(QUrl(fixture.rootUrl() + pathAndQuery.mid(1)));
        request.setTransferTimeout(timeoutMs);
        if (ssl)
            request.setSslConfiguration(*ssl);
        if (method == QLatin1String("POST"))
            request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("Application/json"));
        QNetworkReply *reply = m_network.sendCustomRequest(request, method.toLatin1(), body);
        QSignalSpy finished(reply, &QNetworkReply::finished);
        if (!reply->isFinished())
            finished.wait(20000);
        Reply result {reply->error(), reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
                      reply->isOpen() ? reply->readAll() : QByteArray()};
        reply->deleteLater();
        return result;
    }
    QString login(BackendFixture &fixture)
    {
        return send(fixture, "POST", "/mobileApi/user/signin",
                    json({{"email", fixture->adminEmail()}, {"password", fixture->adminPassword()}}))
            .json().value("token").toString();
    }
    Reply createStep(BackendFixture &fixture, const QString &token, const QString &page, const QString &element,
                     int stepNumber, const QString &wexoId = {})
    {
        QJsonObject body {{"value", element}, {"name", "Recorded tour"}, {"className", page},
                          {"elementName", "QPushButton"}, {"displayType", "popup"}, {"stepNumber", stepNumber},
                          {"site", kSite}, {"token", token}};
        if (!wexoId.isEmpty())
            body.insert("wexoId", wexoId);
        return send(fixture, "POST", "/mobileApi/walkthroughElements/createElementIos", json(body));
    }

private Q_SLOTS:
    // Every endpoint answers with the sample data; bad requests get a 4xx with a JSON error body.
    void endpoints_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("pathAndQuery");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("path"); // in a 200 answer
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *name, const char *method, const QString &pathAndQuery, const QByteArray &body,
                            int status, const QString &path = {}, const QString &expected = {}) {
            QTest::addRow("%s", name) << QString::fromLatin1(method) << pathAndQuery << body << status << path << expected;
        };
        const QString signIn = QStringLiteral("/mobileApi/user/signin");
        const QString steps = QStringLiteral("/mobileApi/walkthroughElements/getStepsWithPage");
        const QString mobileTemplate = QStringLiteral("/mobileApi/epc/mobileTemplate?companyId=%1&CompanyUrl=") + kSite;
        const QString analyticsApi = QStringLiteral("/mobileApi/walkthroughAnalytics/");
        const QByteArray admin = json({{"email", "admin@sampleshop.example"}, {"password", "sample-admin-password"}});

        row("walkthrough list", "POST", kList, json(client()), 200, "walkthrough/2/WalkthroughForSite", kSite);
        row("list keeps other sites", "POST", kList, json(client()), 200, "walkthrough/4/WalkthroughForSite",
            "com.example.otherapp");
        row("steps of a walkthrough", "GET", stepsQuery("w-orders"), {}, 200, "className/0/values/2/Frame",
            "QStyledItemDelegate_indexpath_[0, 0]");
        row("theme", "POST", "/mobileApi/client/configurationsPerUrl", json(client({{"Url", kSite}})), 200,
            "config/Configurations/mobileTexts/supportText", "Contact support");
        row("template", "GET", mobileTemplate.arg(kToken), {}, 200, "CssObject/tapHere/text", "Tap here");
        row("login", "POST", signIn, admin, 200, "userInfo/Email", "admin@sampleshop.example");
        row("analytics opened", "POST", analyticsApi + "AddNew", json(analytics()), 200, "analyticsId", "a-1");

        row("wrong client token", "POST", kList, json(client({{"appKey", "nope"}})), 401);
        row("wrong site", "POST", kList, json(client({{"site", "com.example.other"}})), 401);
        row("missing site", "POST", kList, json({{"appKey", kToken}}), 400);
        row("token as number", "POST", kList, json(client({{"appKey", 7}})), 400);
        row("malformed json", "POST", kList, "{\"appKey\": ", 400);
        row("array body", "POST", kList, "[1, 2]", 400);
        row("unknown walkthrough", "GET", stepsQuery("w-missing"), {}, 404);
        row("steps from another origin", "GET", steps + "?walkthroughId=w-orders&origin=https//evil", {}, 401);
        row("steps without id", "GET", steps, {}, 400);
        row("template for another token", "GET", mobileTemplate.arg("x"), {}, 401);
        row("wrong password", "POST", signIn, QByteArray(admin).replace("sample-admin-password", "guess"), 401);
        row("unknown admin token", "POST", "/mobileApi/walkthroughElements/createElementIos",
            json({{"value", "saveButton"}, {"className", "SettingsPage"}, {"stepNumber", 0}, {"site", kSite},
                  {"token", "forged"}}),
            403);
        row("step event for unknown record", "POST", analyticsApi + "addStep",
            json(client({{"WalkthroughId", "w-settings"}, {"StepId", "s-set-1"}, {"WalkthroughElementId", "el-s-set-1"},
                         {"WalkthroughAnalyticId", "a-99"}, {"StartTime", 1000}, {"EndTime", 4500}, {"SeenTime", 3500}})),
            404);
        row("analytics time as text", "POST", analyticsApi + "AddNew", json(analytics({{"StartTime", "1000"}})), 400);
        row("GET on a POST endpoint", "GET", kList, {}, 405);
        row("unknown endpoint", "POST", "/mobileApi/walkthrough/deleteAll", json(client()), 404);
        row("font outside the font folders", "GET", "/fonts/..%2F..%2Fetc%2Fpasswd", {}, 404);
        row("missing font", "GET", "/fonts/NoSuchFont.ttf", {}, 404);
    }
    void endpoints()
    {
        QFETCH(QString, method);
        QFETCH(QString, pathAndQuery);
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(QString, path);
        QFETCH(QString, expected);

        BackendFixture fixture;
        QVERIFY(fixture.isRunning());
        const Reply reply = send(fixture, method, pathAndQuery, body);
        QCOMPARE(reply.status, status);
        if (status == 200) {
            QCOMPARE(reply.error, QNetworkReply::NoError);
            QCOMPARE(at(reply.json(), path).toString(), expected);
            return;
        }
        QCOMPARE(reply.json().value("success"), QJsonValue(false));
        QVERIFY(!reply.json().value("message").toString().isEmpty());
        QCOMPARE(send(fixture, "GET", stepsQuery("w-orders")).status, 200); // the backend survives it
    }

    void fontUrlsPointAtTheBackendAndServeFontFiles()
    {
        BackendFixture fixture;
        const Reply theme = send(fixture, "POST", "/mobileApi/client/configurationsPerUrl", json(client({{"Url", kSite}})));
        const QJsonArray fonts = at(theme.json(), "config/Configurations/fonts").toArray();
        QVERIFY(!fonts.isEmpty());
        for (const QJsonValue &font : fonts) {
            const QString url = font.toObject().value("fontUrl").toString();
            QVERIFY2(url.startsWith(fixture.rootUrl() + "fonts/"), qPrintable(url));
            const Reply file = send(fixture, "GET", url.mid(fixture.rootUrl().size() - 1));
            QCOMPARE(file.error, QNetworkReply::NoError);
            QVERIFY(file.body.startsWith(QByteArray("\x00\x01\x00\x00", 4))); // TrueType
        }
    }

    void eachLoginIssuesAFreshTokenUntilRevoked()
    {
        BackendFixture fixture;
        const QString first = login(fixture);
        const QString second = login(fixture);
        QVERIFY(!first.isEmpty());
        QVERIFY(first != second);
        QCOMPARE(createStep(fixture, first, "SettingsPage", "saveButton", 0).status, 200);

        fixture->revokeAdminTokens();
        QCOMPARE(createStep(fixture, second, "SettingsPage", "saveButton", 0).status, 403);
        QCOMPARE(createStep(fixture, login(fixture), "SettingsPage", "nameField", 0).status, 200);
    }

    void recordedWalkthroughSurvivesRestartWithStore()
    {
        QTemporaryDir dir;
        SampleBackend::Options options;
        options.storeFile = dir.filePath("store.json");
        QString walkthroughId, adminToken;
        {
            BackendFixture fixture(options);
            adminToken = login(fixture);
            const Reply first = createStep(fixture, adminToken, "SettingsPage", "nameField", 0);
            QCOMPARE(first.status, 200);
            walkthroughId = first.json().value("walkthroughId").toString();
            QVERIFY(!walkthroughId.isEmpty());
            QCOMPARE(at(first.json(), "elements/0/Frame").toString(), QStringLiteral("nameField"));
            QCOMPARE(createStep(fixture, adminToken, "ProfilePage", "editProfileButton", 1, walkthroughId).status, 200);
            QCOMPARE(createStep(fixture, adminToken, "SettingsPage", "saveButton", 2, walkthroughId).status, 200);
            QCOMPARE(createStep(fixture, adminToken, "ProfilePage", "x", 2, "w-missing").status, 404);
        }
        QFile store(options.storeFile);
        QVERIFY(store.open(QIODevice::ReadOnly));
        QVERIFY2(!store.readAll().contains(adminToken.toUtf8()), "the administrator token must not be stored");

        BackendFixture restarted(options);
        QCOMPARE(restarted->createdSteps().array().size(), 3);
        const QJsonArray entries = send(restarted, "POST", kList, json(client())).json().value("walkthrough").toArray();
        QVERIFY(std::any_of(entries.begin(), entries.end(), [&](const QJsonValue &entry) {
            return entry["Id"] == walkthroughId && entry["WalkthroughForSite"] == kSite;
        }));
        const QJsonObject steps = send(restarted, "GET", stepsQuery(walkthroughId)).json();
        QCOMPARE(at(steps, "wexoName/Name").toString(), QStringLiteral("Recorded tour"));
        QCOMPARE(at(steps, "className/0/Page").toString(), QStringLiteral("SettingsPage"));
        QCOMPARE(at(steps, "className/1/Page").toString(), QStringLiteral("ProfilePage"));
        QCOMPARE(at(steps, "className/1/PageOrderNo").toInt(), 1);
        QCOMPARE(at(steps, "className/1/values/0/Frame").toString(), QStringLiteral("editProfileButton"));
        QCOMPARE(at(steps, "className/1/values/0/OrderNumber").toInt(), 1);
        // Back on an earlier screen: a new page, so each page keeps consecutive order numbers.
        QCOMPARE(at(steps, "className/2/Page").toString(), QStringLiteral("SettingsPage"));
        QCOMPARE(at(steps, "className/2/values/0/OrderNumber").toInt(), 2);
        // Old tokens die with the process: the client has to log in again.
        QCOMPARE(createStep(restarted, adminToken, "ProfilePage", "y", 2, walkthroughId).status, 403);
    }

    void analyticsEventsAreKept()
    {
        BackendFixture fixture;
        const QString path = QStringLiteral("/mobileApi/walkthroughAnalytics/");
        const QJsonObject opened = send(fixture, "POST", path + "AddNew", json(analytics())).json();
        const QJsonObject complete {{"AnalyticId", opened.value("analyticsId")}, {"EndTime", 4500}, {"SeenTime", 3500},
                                    {"IsWalkthroughComplete", true}};
        QCOMPARE(send(fixture, "POST", path + "Complete", json(analytics(complete))).status, 200);
        const QJsonArray events = fixture->analyticsEvents().array();
        QCOMPARE(events.size(), 2);
        QCOMPARE(at(events, "1/kind").toString(), QStringLiteral("Complete"));
        QCOMPARE(at(events, "1/body/SeenTime").toInt(), 3500);
    }

    void requestLogKeepsWhatWasSent()
    {
        BackendFixture fixture;
        const QString steps = stepsQuery("w-orders");
        send(fixture, "GET", steps);
        send(fixture, "POST", kList, json(client()));

        const auto all = fixture->requests();
        QCOMPARE(all.size(), 2);
        QCOMPARE(all.at(0).method, QStringLiteral("GET"));
        QCOMPARE(all.at(0).path, steps.section(u'?', 0, 0));
        QCOMPARE(all.at(0).rawQuery, steps.section(u'?', 1));
        QVERIFY(all.at(0).body.isEmpty());
        QCOMPARE(all.at(1).headers.value("content-type"), QStringLiteral("Application/json"));
        QCOMPARE(all.at(1).body, json(client()));
        QCOMPARE(fixture->requests("/mobileApi/walkthrough/").size(), 1);
        fixture->clearRequests();
        QVERIFY(fixture->requests().isEmpty());
    }

    // One route answers as scripted, or every route late; statuses of successive requests, 0 = no answer.
    void faultHooks_data()
    {
        QTest::addColumn<ScriptedAnswer>("answer"); // status 0: nothing scripted
        QTest::addColumn<int>("latencyMs");
        QTest::addColumn<int>("timeoutMs");
        QTest::addColumn<QList<int>>("statuses");
        QTest::addColumn<QNetworkReply::NetworkError>("error");

        const QByteArray refused = R"({"success":false,"message":"scripted"})";
        const ScriptedAnswer nothing {.status = 0, .body = {}};
        const auto none = QNetworkReply::NoError, cancelled = QNetworkReply::OperationCanceledError;
        QTest::addRow("403 every time") << ScriptedAnswer {.status = 403, .body = refused} << 0 << 0 << QList {403, 403}
                                        << none;
        QTest::addRow("403 once") << ScriptedAnswer {.status = 403, .body = refused, .times = 1} << 0 << 0
                                  << QList {403, 200} << none;
        QTest::addRow("delay") << ScriptedAnswer {.body = R"({"success":true,"walkthrough":[]})", .delayMs = 300} << 0 << 0
                               << QList {200} << none;
        QTest::addRow("added latency") << nothing << 300 << 0 << QList {200} << none;
        QTest::addRow("latency cut by client time-out") << nothing << 300 << 100 << QList {0} << cancelled;
        QTest::addRow("hang cut by client time-out") << ScriptedAnswer {.body = {}, .hang = true} << 0 << 300 << QList {0}
                                                     << cancelled;
        QTest::addRow("closed without answer") << ScriptedAnswer {.body = {}, .closeWithoutAnswer = true} << 0 << 0
                                               << QList {0} << QNetworkReply::RemoteHostClosedError;
    }
    void faultHooks()
    {
        QFETCH(ScriptedAnswer, answer);
        QFETCH(int, latencyMs);
        QFETCH(int, timeoutMs);
        QFETCH(QList<int>, statuses);
        QFETCH(QNetworkReply::NetworkError, error);

        BackendFixture fixture;
        if (answer.status != 0)
            fixture->script("POST", kList, answer);
        fixture->setLatencyMs(latencyMs);
        QElapsedTimer timer;
        timer.start();
        for (const int status : statuses) {
            const Reply reply = send(fixture, "POST", kList, json(client()), timeoutMs);
            QCOMPARE(reply.status, status);
            if (status == 0)
                QCOMPARE(reply.error, error);
            if (status == answer.status)
                QCOMPARE(reply.body, answer.body);
        }
        if (timeoutMs == 0)
            QVERIFY(timer.elapsed() >= answer.delayMs + latencyMs);
        // Other routes answer several clients at once, also while a handler hangs; stopping does not wait for it.
        QList<QNetworkReply *> replies;
        for (int i = 0; i < 6; ++i)
            replies.append(m_network.get(QNetworkRequest(QUrl(fixture.rootUrl() + stepsQuery("w-orders").mid(1)))));
        for (QNetworkReply *reply : std::as_const(replies)) {
            QTRY_VERIFY_WITH_TIMEOUT(reply->isFinished(), 20000);
            reply->deleteLater();
            QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
        }
    }

    void httpsWithATrustedThrowAwayCertificate()
    {
        QTemporaryDir dir;
        const auto certificate = makeTestCertificate(dir);
        if (!certificate)
            QSKIP("the openssl command is not available");
        SampleBackend::Options options;
        options.tlsCertFile = certificate->certificateFile;
        options.tlsKeyFile = certificate->keyFile;
        BackendFixture fixture(options);
        QVERIFY(fixture.rootUrl().startsWith(QLatin1String("https://127.0.0.1:")));
        QCOMPARE(qEnvironmentVariable("WEXO_CA_CERTIFICATES"), certificate->certificateFile);

        QCOMPARE(send(fixture, "GET", stepsQuery("w-orders")).error, QNetworkReply::SslHandshakeFailedError);
        // Cached connections keep the TLS settings they were made with.
        m_network.clearConnectionCache();
        QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
        ssl.addCaCertificates(QSslCertificate::fromPath(certificate->certificateFile));
        const Reply trusted = send(fixture, "GET", stepsQuery("w-orders"), {}, 0, &ssl);
        QCOMPARE(trusted.error, QNetworkReply::NoError);
        QCOMPARE(trusted.json().value("Id").toString(), QStringLiteral("w-orders"));
    }

    void damagedDataFolderDoesNotStart_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content"); // empty: the file is removed
        QTest::addRow("no account") << "account.json" << QByteArray();
        QTest::addRow("malformed theme") << "theme.json" << QByteArray("{\"config\": ");
        QTest::addRow("walkthrough without id") << "walkthroughs/02-settings.json" << QByteArray("{\"className\": []}");
    }
    void damagedDataFolderDoesNotStart()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        QVERIFY(copySampleData(dir.path()));
        QFile::remove(dir.filePath(file));
        if (!content.isEmpty())
            QVERIFY(writeFile(dir.filePath(file), content));

        SampleBackend::Options options;
        options.dataDir = dir.path();
        SampleBackend backend(options);
        QVERIFY(!backend.start());
        QVERIFY(backend.rootUrl().isEmpty());
        QVERIFY(backend.errorString().contains(QFileInfo(file).fileName()));
    }

    void fontsOfTheDataFolderComeFirst()
    {
        QTemporaryDir dir;
        QVERIFY(copySampleData(dir.path()));
        QVERIFY(QDir(dir.path()).mkdir("fonts"));
        QVERIFY(writeFile(dir.filePath("fonts/DejaVuSans.ttf"), "own copy"));
        SampleBackend::Options options;
        options.dataDir = dir.path();
        BackendFixture fixture(options);
        QCOMPARE(send(fixture, "GET", "/fonts/DejaVuSans.ttf").body, QByteArray("own copy"));
        QCOMPARE(send(fixture, "GET", "/fonts/DejaVuSans-Bold.ttf").status, 200);
    }

    void unusableStoreEntriesAreDropped()
    {
        QTemporaryDir dir;
        SampleBackend::Options options;
        options.storeFile = dir.filePath("store.json");
        const QJsonObject known {{"walkthroughId", "w-orders"}, {"walkthroughStepId", "s-rec-1"}, {"elementId", "e-rec-1"},
                                 {"request", QJsonObject {{"className", "ProfilePage"}, {"value", "avatarLabel"}}}};
        const QJsonObject gone = with(known, {{"walkthroughId", "w-deleted-from-data"}});
        QVERIFY(writeFile(options.storeFile, json({{"createdSteps", QJsonArray {gone, known, QJsonObject {}}}})));

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("dropping a stored step"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("dropping a stored step"));
        BackendFixture fixture(options);
        QVERIFY(fixture.isRunning());
        QCOMPARE(fixture->createdSteps().array().size(), 1);
        const QJsonObject steps = send(fixture, "GET", stepsQuery("w-orders")).json();
        QCOMPARE(at(steps, "className/0/values/4/Frame").toString(), QStringLiteral("avatarLabel"));
        QCOMPARE(at(steps, "className/0/values/4/OrderNumber").toInt(), 4);

        // A store that is not JSON at all leaves the sample data as it is.
        QVERIFY(writeFile(options.storeFile, "not json"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("ignoring the store"));
        BackendFixture second(options);
        QVERIFY(second.isRunning());
        QVERIFY(second->createdSteps().array().isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_SampleBackend)
#include "tst_samplebackend.moc"
