#include "support/BackendFixture.h"

#include <QDir>
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

namespace {

const QString kToken = QStringLiteral("sample-client-token");
const QString kSite = QStringLiteral("com.example.sampleshop");

struct Reply {
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    int status = 0;
    QByteArray body;
    QJsonObject json() const { return QJsonDocument::fromJson(body).object(); }
};

// The value at a slash-separated path such as "walkthrough/0/Id".
QJsonValue at(QJsonValue value, const QString &path)
{
    for (const QString &part : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
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

QJsonObject clientBody(const QJsonObject &extra = {})
{
    QJsonObject body {{QStringLiteral("appKey"), kToken}, {QStringLiteral("site"), kSite}};
    for (auto it = extra.begin(); it != extra.end(); ++it)
        body.insert(it.key(), it.value());
    return body;
}

// The body that opens an analytics record; extra keys are added or replaced.
QJsonObject analyticsBody(const QString &walkthroughId, const QJsonObject &extra = {})
{
    QJsonObject body = clientBody({{QStringLiteral("WalkthroughId"), walkthroughId},
                                   {QStringLiteral("SourceURL"), kSite},
                                   {QStringLiteral("StartTime"), 1000},
                                   {QStringLiteral("EndTime"), 1000},
                                   {QStringLiteral("StartsWithPulse"), false},
                                   {QStringLiteral("IsWalkthroughAbandoned"), false},
                                   {QStringLiteral("IsWalkthroughComplete"), false}});
    for (auto it = extra.begin(); it != extra.end(); ++it)
        body.insert(it.key(), it.value());
    return body;
}

QString stepsQuery(const QString &walkthroughId)
{
    return QStringLiteral("/mobileApi/walkthroughElements/getStepsWithPage?walkthroughId=%1&origin=https//%2&reqSource=iosSdk")
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
    for (const QString &folder : {QString(), QStringLiteral("walkthroughs")}) {
        QDir(target).mkpath(folder.isEmpty() ? QStringLiteral(".") : folder);
        const QDir from(source.filePath(folder.isEmpty() ? QStringLiteral(".") : folder));
        for (const QString &name : from.entryList({QStringLiteral("*.json")}, QDir::Files)) {
            if (!QFile::copy(from.filePath(name), QDir(target).filePath(folder.isEmpty() ? name : folder + QLatin1Char('/') + name)))
                return false;
        }
    }
    return true;
}

} // namespace

class tst_SampleBackend : public QObject
{
    Q_OBJECT

private:
    Reply send(const QString &root, const QString &method, const QString &pathAndQuery, const QByteArray &body = {},
               int timeoutMs = 0, const QSslConfiguration *ssl = nullptr)
    {
        QNetworkRequest request(QUrl(root + pathAndQuery.mid(1)));
        if (timeoutMs > 0)
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
    Reply send(BackendFixture &fixture, const QString &method, const QString &pathAndQuery, const QByteArray &body = {},
               int timeoutMs = 0)
    {
        return send(fixture.rootUrl(), method, pathAndQuery, body, timeoutMs);
    }
    QString login(BackendFixture &fixture)
    {
        const Reply reply = send(fixture, QStringLiteral("POST"), QStringLiteral("/mobileApi/user/signin"),
                                 json({{QStringLiteral("email"), fixture->adminEmail()},
                                       {QStringLiteral("password"), fixture->adminPassword()}}));
        return reply.json().value(QStringLiteral("token")).toString();
    }
    Reply createStep(BackendFixture &fixture, const QString &token, const QString &page, const QString &element,
                     int stepNumber, const QString &wexoId = {})
    {
        QJsonObject body {{QStringLiteral("value"), element},
                          {QStringLiteral("name"), QStringLiteral("Recorded tour")},
                          {QStringLiteral("className"), page},
                          {QStringLiteral("elementName"), QStringLiteral("QPushButton")},
                          {QStringLiteral("displayType"), QStringLiteral("popup")},
                          {QStringLiteral("stepNumber"), stepNumber},
                          {QStringLiteral("site"), kSite},
                          {QStringLiteral("token"), token}};
        if (!wexoId.isEmpty())
            body.insert(QStringLiteral("wexoId"), wexoId);
        return send(fixture, QStringLiteral("POST"), QStringLiteral("/mobileApi/walkthroughElements/createElementIos"),
                    json(body));
    }

    QNetworkAccessManager m_network;

private Q_SLOTS:
    void everyEndpointAnswersWithSampleData_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("pathAndQuery");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");

        const QByteArray none;
        QTest::addRow("walkthrough list") << "POST" << "/mobileApi/walkthrough/findbysite" << json(clientBody())
                                          << "walkthrough/2/WalkthroughForSite" << kSite;
        QTest::addRow("list keeps other sites") << "POST" << "/mobileApi/walkthrough/findbysite" << json(clientBody())
                                                << "walkthrough/4/WalkthroughForSite" << "com.example.otherapp";
        QTest::addRow("steps of a walkthrough") << "GET" << stepsQuery(QStringLiteral("w-orders")) << none
                                                << "className/0/values/2/Frame"
                                                << "QStyledItemDelegate_indexpath_[0, 0]";
        QTest::addRow("tab-bar step") << "GET" << stepsQuery(QStringLiteral("w-orders")) << none
                                      << "className/0/values/0/ElementType" << "UITabBarButton";
        QTest::addRow("walkthrough name") << "GET" << stepsQuery(QStringLiteral("w-settings")) << none
                                          << "wexoName/Name" << "Set up your account";
        QTest::addRow("theme") << "POST" << "/mobileApi/client/configurationsPerUrl"
                               << json(clientBody({{QStringLiteral("Url"), kSite}}))
                               << "config/Configurations/mobileTexts/supportText" << "Contact support";
        QTest::addRow("template") << "GET"
                                  << QStringLiteral("/mobileApi/epc/mobileTemplate?companyId=%1&CompanyUrl=%2").arg(kToken, kSite)
                                  << none << "CssObject/tapHere/text" << "Tap here";
        QTest::addRow("login") << "POST" << "/mobileApi/user/signin"
                               << json({{QStringLiteral("email"), QStringLiteral("admin@sampleshop.example")},
                                        {QStringLiteral("password"), QStringLiteral("sample-admin-password")}})
                               << "userInfo/Email" << "admin@sampleshop.example";
        QTest::addRow("analytics opened") << "POST" << "/mobileApi/walkthroughAnalytics/AddNew"
                                          << json(analyticsBody(QStringLiteral("w-settings")))
            << "analyticsId" << "a-1";
    }
    void everyEndpointAnswersWithSampleData()
    {
        QFETCH(QString, method);
        QFETCH(QString, pathAndQuery);
        QFETCH(QByteArray, body);
        QFETCH(QString, path);
        QFETCH(QString, expected);

        BackendFixture fixture;
        QVERIFY(fixture.isRunning());
        const Reply reply = send(fixture, method, pathAndQuery, body);
        QCOMPARE(reply.error, QNetworkReply::NoError);
        QCOMPARE(reply.status, 200);
        QCOMPARE(at(reply.json(), path).toString(), expected);
    }

    void fontUrlsPointAtTheBackendAndServeFontFiles()
    {
        BackendFixture fixture;
        const Reply theme = send(fixture, QStringLiteral("POST"), QStringLiteral("/mobileApi/client/configurationsPerUrl"),
                                 json(clientBody({{QStringLiteral("Url"), kSite}})));
        const QJsonArray fonts = at(theme.json(), QStringLiteral("config/Configurations/fonts")).toArray();
        QVERIFY(!fonts.isEmpty());
        for (const QJsonValue &font : fonts) {
            const QString url = font.toObject().value(QStringLiteral("fontUrl")).toString();
            QVERIFY2(url.startsWith(fixture.rootUrl() + QStringLiteral("fonts/")), qPrintable(url));
            QNetworkReply *reply = m_network.get(QNetworkRequest(QUrl(url)));
            QSignalSpy finished(reply, &QNetworkReply::finished);
            QVERIFY(finished.wait(20000));
            QCOMPARE(reply->error(), QNetworkReply::NoError);
            QVERIFY(reply->readAll().startsWith(QByteArray("\x00\x01\x00\x00", 4))); // TrueType
            reply->deleteLater();
        }
    }

    void badRequestsGetJsonErrors_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("pathAndQuery");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");

        const QString list = QStringLiteral("/mobileApi/walkthrough/findbysite");
        QTest::addRow("wrong client token") << "POST" << list
                                            << json({{QStringLiteral("appKey"), QStringLiteral("nope")},
                                                     {QStringLiteral("site"), kSite}})
                                            << 401;
        QTest::addRow("wrong site") << "POST" << list
                                    << json({{QStringLiteral("appKey"), kToken},
                                             {QStringLiteral("site"), QStringLiteral("com.example.other")}})
                                    << 401;
        QTest::addRow("missing site") << "POST" << list << json({{QStringLiteral("appKey"), kToken}}) << 400;
        QTest::addRow("token as number") << "POST" << list
                                         << json({{QStringLiteral("appKey"), 7}, {QStringLiteral("site"), kSite}})
                                         << 400;
        QTest::addRow("malformed json") << "POST" << list << QByteArray("{\"appKey\": ") << 400;
        QTest::addRow("array body") << "POST" << list << QByteArray("[1, 2]") << 400;
        QTest::addRow("empty body") << "POST" << list << QByteArray() << 400;
        QTest::addRow("unknown walkthrough") << "GET" << stepsQuery(QStringLiteral("w-missing")) << QByteArray() << 404;
        QTest::addRow("steps from another origin")
            << "GET" << "/mobileApi/walkthroughElements/getStepsWithPage?walkthroughId=w-orders&origin=https//evil"
            << QByteArray() << 401;
        QTest::addRow("steps without id") << "GET" << "/mobileApi/walkthroughElements/getStepsWithPage" << QByteArray()
                                          << 400;
        QTest::addRow("template for another token")
            << "GET" << QStringLiteral("/mobileApi/epc/mobileTemplate?companyId=x&CompanyUrl=%1").arg(kSite)
            << QByteArray() << 401;
        QTest::addRow("wrong password") << "POST" << "/mobileApi/user/signin"
                                        << json({{QStringLiteral("email"), QStringLiteral("admin@sampleshop.example")},
                                                 {QStringLiteral("password"), QStringLiteral("guess")}})
                                        << 401;
        QTest::addRow("unknown admin token")
            << "POST" << "/mobileApi/walkthroughElements/createElementIos"
            << json({{QStringLiteral("value"), QStringLiteral("saveButton")},
                     {QStringLiteral("className"), QStringLiteral("SettingsPage")},
                     {QStringLiteral("stepNumber"), 0},
                     {QStringLiteral("site"), kSite},
                     {QStringLiteral("token"), QStringLiteral("forged")}})
            << 403;
        QTest::addRow("step event for unknown record")
            << "POST" << "/mobileApi/walkthroughAnalytics/addStep"
            << json(clientBody({{QStringLiteral("WalkthroughId"), QStringLiteral("w-settings")},
                                {QStringLiteral("StepId"), QStringLiteral("s-set-1")},
                                {QStringLiteral("WalkthroughElementId"), QStringLiteral("el-s-set-1")},
                                {QStringLiteral("WalkthroughAnalyticId"), QStringLiteral("a-99")},
                                {QStringLiteral("StartTime"), 1000},
                                {QStringLiteral("EndTime"), 4500},
                                {QStringLiteral("SeenTime"), 3500}}))
            << 404;
        QTest::addRow("analytics time as text")
            << "POST" << "/mobileApi/walkthroughAnalytics/AddNew"
            << json(analyticsBody(QStringLiteral("w-settings"), {{QStringLiteral("StartTime"), QStringLiteral("1000")}}))
            << 400;
        QTest::addRow("GET on a POST endpoint") << "GET" << list << QByteArray() << 405;
        QTest::addRow("unknown endpoint") << "POST" << "/mobileApi/walkthrough/deleteAll" << json(clientBody()) << 404;
        QTest::addRow("font outside the font folders") << "GET" << "/fonts/..%2F..%2Fetc%2Fpasswd" << QByteArray() << 404;
        QTest::addRow("missing font") << "GET" << "/fonts/NoSuchFont.ttf" << QByteArray() << 404;
    }
    void badRequestsGetJsonErrors()
    {
        QFETCH(QString, method);
        QFETCH(QString, pathAndQuery);
        QFETCH(QByteArray, body);
        QFETCH(int, status);

        BackendFixture fixture;
        const Reply reply = send(fixture, method, pathAndQuery, body);
        QCOMPARE(reply.status, status);
        QCOMPARE(reply.json().value(QStringLiteral("success")), QJsonValue(false));
        QVERIFY(!reply.json().value(QStringLiteral("message")).toString().isEmpty());

        // The backend survives whatever it was sent.
        const Reply after = send(fixture, QStringLiteral("GET"), stepsQuery(QStringLiteral("w-orders")));
        QCOMPARE(after.status, 200);
    }

    void eachLoginIssuesAFreshTokenUntilRevoked()
    {
        BackendFixture fixture;
        const QString first = login(fixture);
        const QString second = login(fixture);
        QVERIFY(!first.isEmpty());
        QVERIFY(first != second);
        QCOMPARE(createStep(fixture, first, QStringLiteral("SettingsPage"), QStringLiteral("saveButton"), 0).status, 200);

        fixture->revokeAdminTokens();
        QCOMPARE(createStep(fixture, second, QStringLiteral("SettingsPage"), QStringLiteral("saveButton"), 0).status, 403);
        QCOMPARE(createStep(fixture, login(fixture), QStringLiteral("SettingsPage"), QStringLiteral("nameField"), 0).status,
                 200);
    }

    void recordedWalkthroughSurvivesRestartWithStore()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        SampleBackend::Options options;
        options.storeFile = dir.filePath(QStringLiteral("store.json"));
        QString walkthroughId;
        QString adminToken;
        {
            BackendFixture fixture(options);
            adminToken = login(fixture);
            const Reply first = createStep(fixture, adminToken, QStringLiteral("SettingsPage"), QStringLiteral("nameField"), 0);
            QCOMPARE(first.status, 200);
            walkthroughId = first.json().value(QStringLiteral("walkthroughId")).toString();
            QVERIFY(!walkthroughId.isEmpty());
            QCOMPARE(at(first.json(), QStringLiteral("elements/0/Frame")).toString(), QStringLiteral("nameField"));
            const Reply second = createStep(fixture, adminToken, QStringLiteral("ProfilePage"),
                                            QStringLiteral("editProfileButton"), 1, walkthroughId);
            QCOMPARE(second.json().value(QStringLiteral("walkthroughId")).toString(), walkthroughId);
            QCOMPARE(createStep(fixture, adminToken, QStringLiteral("SettingsPage"), QStringLiteral("saveButton"), 2,
                                walkthroughId)
                         .status,
                     200);
            QCOMPARE(createStep(fixture, adminToken, QStringLiteral("ProfilePage"), QStringLiteral("x"), 2,
                                QStringLiteral("w-missing"))
                         .status,
                     404);
            QCOMPARE(fixture->createdSteps().array().size(), 3);
        }
        QFile store(options.storeFile);
        QVERIFY(store.open(QIODevice::ReadOnly));
        QVERIFY2(!store.readAll().contains(adminToken.toUtf8()), "the administrator token must not be stored");

        BackendFixture restarted(options);
        QCOMPARE(restarted->createdSteps().array().size(), 3);
        const Reply list = send(restarted, QStringLiteral("POST"), QStringLiteral("/mobileApi/walkthrough/findbysite"),
                                json(clientBody()));
        const QJsonArray entries = list.json().value(QStringLiteral("walkthrough")).toArray();
        QVERIFY(std::any_of(entries.begin(), entries.end(), [&](const QJsonValue &entry) {
            return entry.toObject().value(QStringLiteral("Id")).toString() == walkthroughId
                   && entry.toObject().value(QStringLiteral("WalkthroughForSite")).toString() == kSite;
        }));
        const QJsonObject steps = send(restarted, QStringLiteral("GET"), stepsQuery(walkthroughId)).json();
        QCOMPARE(at(steps, QStringLiteral("wexoName/Name")).toString(), QStringLiteral("Recorded tour"));
        QCOMPARE(at(steps, QStringLiteral("className/0/Page")).toString(), QStringLiteral("SettingsPage"));
        QCOMPARE(at(steps, QStringLiteral("className/1/Page")).toString(), QStringLiteral("ProfilePage"));
        QCOMPARE(at(steps, QStringLiteral("className/1/PageOrderNo")).toInt(), 1);
        QCOMPARE(at(steps, QStringLiteral("className/1/values/0/Frame")).toString(), QStringLiteral("editProfileButton"));
        QCOMPARE(at(steps, QStringLiteral("className/1/values/0/OrderNumber")).toInt(), 1);
        // Back on an earlier screen: a new page, so each page keeps consecutive order numbers.
        QCOMPARE(at(steps, QStringLiteral("className/2/Page")).toString(), QStringLiteral("SettingsPage"));
        QCOMPARE(at(steps, QStringLiteral("className/2/values/0/OrderNumber")).toInt(), 2);
        QCOMPARE(at(steps, QStringLiteral("className/0/values")).toArray().size(), 1);
        // Old tokens die with the process: the client has to log in again.
        QCOMPARE(createStep(restarted, adminToken, QStringLiteral("ProfilePage"), QStringLiteral("y"), 2, walkthroughId)
                     .status,
                 403);
    }

    void analyticsEventsAreKept()
    {
        BackendFixture fixture;
        const QString path = QStringLiteral("/mobileApi/walkthroughAnalytics/");
        const QJsonObject opened =
            send(fixture, QStringLiteral("POST"), path + QStringLiteral("AddNew"), json(analyticsBody(QStringLiteral("w-orders"))))
                .json();
        const QJsonObject complete {{QStringLiteral("AnalyticId"), opened.value(QStringLiteral("analyticsId"))},
                                    {QStringLiteral("EndTime"), 4500},
                                    {QStringLiteral("SeenTime"), 3500},
                                    {QStringLiteral("IsWalkthroughComplete"), true}};
        const Reply completed = send(fixture, QStringLiteral("POST"), path + QStringLiteral("Complete"),
                                     json(analyticsBody(QStringLiteral("w-orders"), complete)));
        QCOMPARE(completed.status, 200);
        const QJsonArray events = fixture->analyticsEvents().array();
        QCOMPARE(events.size(), 2);
        QCOMPARE(at(events, QStringLiteral("1/kind")).toString(), QStringLiteral("Complete"));
        QCOMPARE(at(events, QStringLiteral("1/body/SeenTime")).toInt(), 3500);
    }

    void requestLogKeepsWhatWasSent()
    {
        BackendFixture fixture;
        const QString query = QStringLiteral("walkthroughId=w-orders&origin=https//%1&reqSource=iosSdk").arg(kSite);
        send(fixture, QStringLiteral("GET"), QStringLiteral("/mobileApi/walkthroughElements/getStepsWithPage?") + query);
        const QByteArray body = json(clientBody());
        send(fixture, QStringLiteral("POST"), QStringLiteral("/mobileApi/walkthrough/findbysite"), body);

        const auto all = fixture->requests();
        QCOMPARE(all.size(), 2);
        QCOMPARE(all.at(0).method, QStringLiteral("GET"));
        QCOMPARE(all.at(0).path, QStringLiteral("/mobileApi/walkthroughElements/getStepsWithPage"));
        QCOMPARE(all.at(0).rawQuery, query);
        QVERIFY(all.at(0).body.isEmpty());
        QCOMPARE(all.at(1).headers.value(QStringLiteral("content-type")), QStringLiteral("Application/json"));
        QCOMPARE(all.at(1).body, body);
        QCOMPARE(fixture->requests(QStringLiteral("/mobileApi/walkthrough/")).size(), 1);
        fixture->clearRequests();
        QVERIFY(fixture->requests().isEmpty());
    }

    void scriptedAnswersReplaceTheRoute_data()
    {
        QTest::addColumn<int>("times");
        QTest::addColumn<QList<int>>("statuses");
        QTest::addRow("every request") << -1 << QList<int> {403, 403, 403};
        QTest::addRow("only the first") << 1 << QList<int> {403, 200, 200};
        QTest::addRow("the first two") << 2 << QList<int> {403, 403, 200};
    }
    void scriptedAnswersReplaceTheRoute()
    {
        QFETCH(int, times);
        QFETCH(QList<int>, statuses);

        BackendFixture fixture;
        ScriptedAnswer answer;
        answer.status = 403;
        answer.body = R"({"success":false,"message":"scripted"})";
        answer.times = times;
        const QString path = QStringLiteral("/mobileApi/walkthrough/findbysite");
        fixture->script(QStringLiteral("POST"), path, answer);
        for (const int expected : statuses) {
            const Reply reply = send(fixture, QStringLiteral("POST"), path, json(clientBody()));
            QCOMPARE(reply.status, expected);
            if (expected == 403)
                QCOMPARE(reply.body, answer.body);
        }
        // Other routes are untouched.
        QCOMPARE(send(fixture, QStringLiteral("GET"), stepsQuery(QStringLiteral("w-orders"))).status, 200);
    }

    void delaysHoldTheAnswerBack_data()
    {
        QTest::addColumn<bool>("scripted");
        QTest::addRow("scripted delay") << true;
        QTest::addRow("added latency") << false;
    }
    void delaysHoldTheAnswerBack()
    {
        QFETCH(bool, scripted);
        constexpr int delayMs = 300;
        BackendFixture fixture;
        const QString path = QStringLiteral("/mobileApi/walkthrough/findbysite");
        if (scripted) {
            ScriptedAnswer answer;
            answer.body = R"({"success":true,"walkthrough":[]})";
            answer.delayMs = delayMs;
            fixture->script(QStringLiteral("POST"), path, answer);
        } else {
            fixture->setLatencyMs(delayMs);
        }
        QElapsedTimer timer;
        timer.start();
        const Reply reply = send(fixture, QStringLiteral("POST"), path, json(clientBody()));
        QCOMPARE(reply.status, 200);
        QVERIFY(timer.elapsed() >= delayMs);
        // A client that gives up sooner sees a time-out, not an answer.
        QVERIFY(send(fixture, QStringLiteral("POST"), path, json(clientBody()), delayMs / 3).error != QNetworkReply::NoError);
    }

    void hangIsCutByClientTimeoutAndStopStillReturns()
    {
        auto fixture = std::make_unique<BackendFixture>();
        ScriptedAnswer answer;
        answer.hang = true;
        const QString path = QStringLiteral("/mobileApi/client/configurationsPerUrl");
        fixture->backend().script(QStringLiteral("POST"), path, answer);
        const Reply reply = send(*fixture, QStringLiteral("POST"), path, json(clientBody()), 300);
        QCOMPARE(reply.error, QNetworkReply::OperationCanceledError);
        QCOMPARE(reply.status, 0);

        // Several parallel clients get through while a handler hangs.
        QList<QNetworkReply *> replies;
        for (int i = 0; i < 6; ++i) {
            replies.append(m_network.post(
                [&] {
                    QNetworkRequest request(QUrl(fixture->rootUrl() + QStringLiteral("mobileApi/walkthrough/findbysite")));
                    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("Application/json"));
                    return request;
                }(),
                json(clientBody())));
        }
        for (QNetworkReply *parallel : std::as_const(replies)) {
            QTRY_VERIFY_WITH_TIMEOUT(parallel->isFinished(), 20000);
            QCOMPARE(parallel->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
            parallel->deleteLater();
        }
        // Leaves one handler hanging: destruction must not wait for it.
        send(*fixture, QStringLiteral("POST"), path, json(clientBody()), 100);
        fixture.reset();
    }

    void closeWithoutAnswerIsANetworkError()
    {
        BackendFixture fixture;
        ScriptedAnswer answer;
        answer.closeWithoutAnswer = true;
        const QString path = QStringLiteral("/mobileApi/user/signin");
        fixture->script(QStringLiteral("POST"), path, answer);
        const Reply reply = send(fixture, QStringLiteral("POST"), path, json({{QStringLiteral("email"), QString()}}));
        QCOMPARE(reply.error, QNetworkReply::RemoteHostClosedError);
        QCOMPARE(reply.status, 0);
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
        QVERIFY(fixture.isRunning());
        QVERIFY(fixture.rootUrl().startsWith(QLatin1String("https://127.0.0.1:")));
        QCOMPARE(qEnvironmentVariable("WEXO_CA_CERTIFICATES"), certificate->certificateFile);

        const Reply untrusted = send(fixture.rootUrl(), QStringLiteral("GET"), stepsQuery(QStringLiteral("w-orders")));
        QCOMPARE(untrusted.error, QNetworkReply::SslHandshakeFailedError);

        // Cached connections keep the TLS settings they were made with.
        m_network.clearConnectionCache();
        QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
        ssl.addCaCertificates(QSslCertificate::fromPath(certificate->certificateFile));
        const Reply trusted = send(fixture.rootUrl(), QStringLiteral("GET"), stepsQuery(QStringLiteral("w-orders")), {}, 0, &ssl);
        QCOMPARE(trusted.error, QNetworkReply::NoError);
        QCOMPARE(at(trusted.json(), QStringLiteral("Id")).toString(), QStringLiteral("w-orders"));
    }

    void fixtureRestoresTheEnvironment()
    {
        qputenv("WEXO_PRODUCTION_URL", "https://before.example/");
        qputenv("WEXO_STAGING", "1");
        {
            BackendFixture fixture;
            QCOMPARE(qEnvironmentVariable("WEXO_PRODUCTION_URL"), fixture.rootUrl());
            QVERIFY(!qEnvironmentVariableIsSet("WEXO_STAGING"));
        }
        QCOMPARE(qEnvironmentVariable("WEXO_PRODUCTION_URL"), QStringLiteral("https://before.example/"));
        QCOMPARE(qEnvironmentVariable("WEXO_STAGING"), QStringLiteral("1"));
        qunsetenv("WEXO_PRODUCTION_URL");
        qunsetenv("WEXO_STAGING");
    }

    void damagedDataFolderDoesNotStart_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content"); // empty: the file is removed
        QTest::addRow("no account") << "account.json" << QByteArray();
        QTest::addRow("malformed theme") << "theme.json" << QByteArray("{\"config\": ");
        QTest::addRow("template not an object") << "template.json" << QByteArray("[]");
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
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^sample backend: ")));
        QVERIFY(!backend.start());
        QVERIFY(backend.rootUrl().isEmpty());
    }

    void fontsOfTheDataFolderComeFirst()
    {
        QTemporaryDir dir;
        QVERIFY(copySampleData(dir.path()));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("fonts")));
        QVERIFY(writeFile(dir.filePath(QStringLiteral("fonts/DejaVuSans.ttf")), "own copy"));
        SampleBackend::Options options;
        options.dataDir = dir.path();
        BackendFixture fixture(options);
        QCOMPARE(send(fixture, QStringLiteral("GET"), QStringLiteral("/fonts/DejaVuSans.ttf")).body, QByteArray("own copy"));
        QCOMPARE(send(fixture, QStringLiteral("GET"), QStringLiteral("/fonts/DejaVuSans-Bold.ttf")).status, 200);
    }

    void unusableStoreEntriesAreDropped()
    {
        QTemporaryDir dir;
        SampleBackend::Options options;
        options.storeFile = dir.filePath(QStringLiteral("store.json"));
        const QJsonObject known {{QStringLiteral("walkthroughId"), QStringLiteral("w-orders")},
                                 {QStringLiteral("walkthroughStepId"), QStringLiteral("s-rec-1")},
                                 {QStringLiteral("elementId"), QStringLiteral("e-rec-1")},
                                 {QStringLiteral("request"), QJsonObject {{QStringLiteral("className"), QStringLiteral("ProfilePage")},
                                                                          {QStringLiteral("value"), QStringLiteral("avatarLabel")}}}};
        QJsonObject gone = known;
        gone.insert(QStringLiteral("walkthroughId"), QStringLiteral("w-deleted-from-data"));
        QVERIFY(writeFile(options.storeFile,
                          json({{QStringLiteral("createdSteps"), QJsonArray {gone, known, QJsonObject {}}}})));

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("dropping a stored step")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("dropping a stored step")));
        BackendFixture fixture(options);
        QVERIFY(fixture.isRunning());
        QCOMPARE(fixture->createdSteps().array().size(), 1);
        const QJsonObject steps = send(fixture, QStringLiteral("GET"), stepsQuery(QStringLiteral("w-orders"))).json();
        QCOMPARE(at(steps, QStringLiteral("className/0/values/4/Frame")).toString(), QStringLiteral("avatarLabel"));
        QCOMPARE(at(steps, QStringLiteral("className/0/values/4/OrderNumber")).toInt(), 4);

        // A store that is not JSON at all leaves the sample data as it is.
        QVERIFY(writeFile(options.storeFile, "not json"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("ignoring the store")));
        BackendFixture second(options);
        QVERIFY(second.isRunning());
        QVERIFY(second->createdSteps().array().isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_SampleBackend)
#include "tst_samplebackend.moc"
