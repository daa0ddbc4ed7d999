// What the library's tests rely on in the sample backend: its answers, what it
// keeps across a restart, and the scripted answers and delays.
#include "support/BackendFixture.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace WexoCreator;
using WexoSample::ScriptedAnswer;

namespace {

const QString kSite = QStringLiteral("com.example.sampleshop");
const QString kList = QStringLiteral("/mobileApi/walkthrough/findbysite");
const QString kAnalytics = QStringLiteral("/mobileApi/walkthroughAnalytics/");

struct Reply {
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    int status = 0;
    QByteArray body;
    QJsonObject json() const { return QJsonDocument::fromJson(body).object(); }
};

// The value at a slash-separated path such as "walkthrough/0/Id".
QJsonValue at(QJsonValue value, const QString &path)
{
    for (const QString &part : path.split(u'/')) {
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

QJsonObject client(QJsonObject extra = {})
{
    extra.insert(QStringLiteral("appKey"), QStringLiteral("sample-client-token"));
    extra.insert(QStringLiteral("site"), kSite);
    return extra;
}

// The body that opens an analytics record on "w-orders".
QJsonObject analytics(const QJsonObject &extra = {})
{
    QJsonObject body = client({{"WalkthroughId", "w-orders"}, {"SourceURL", kSite}, {"StartTime", 1000}, {"EndTime", 1000},
                               {"StartsWithPulse", false}, {"IsWalkthroughAbandoned", false}, {"IsWalkthroughComplete", false}});
    for (auto it = extra.begin(); it != extra.end(); ++it)
        body.insert(it.key(), it.value());
    return body;
}

QString stepsQuery(const QString &walkthroughId)
{
    return QStringLiteral("/mobileApi/walkthroughElements/getStepsWithPage?walkthroughId=%1&origin=https//%2&reqSource=iosSdk")
        .arg(walkthroughId, kSite);
}

} // namespace

class tst_SampleBackend : public QObject
{
    Q_OBJECT

    QNetworkAccessManager m_network;

    Reply send(BackendFixture &fixture, const QString &method, const QString &pathAndQuery, const QByteArray &body = {},
               int timeoutMs = 0)
    {
        QNetworkRequest request(QUrl(fixture.rootUrl() + pathAndQuery.mid(1)));
        request.setTransferTimeout(timeoutMs);
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("Application/json"));
        QNetworkReply *reply = m_network.sendCustomRequest(request, method.toLatin1(), body);
        QSignalSpy finished(reply, &QNetworkReply::finished);
        if (!reply->isFinished())
            finished.wait(20000);
        reply->deleteLater();
        return {reply->error(), reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
                reply->isOpen() ? reply->readAll() : QByteArray()};
    }

    Reply createStep(BackendFixture &fixture, const QString &token, const QString &page, int stepNumber,
                     const QString &wexoId = {})
    {
        QJsonObject body{{"value", page + "Button"}, {"name", "Recorded tour"}, {"className", page},
                         {"elementName", "QPushButton"}, {"displayType", "popup"}, {"stepNumber", stepNumber},
                         {"site", kSite}, {"token", token}};
        if (!wexoId.isEmpty())
            body.insert("wexoId", wexoId);
        return send(fixture, "POST", "/mobileApi/walkthroughElements/createElementIos", json(body));
    }

private Q_SLOTS:
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
        const QByteArray admin = json({{"email", "admin@sampleshop.example"}, {"password", "sample-admin-password"}});

        row("walkthrough list", "POST", kList, json(client()), 200, "walkthrough/2/WalkthroughForSite", kSite);
        row("list keeps other sites", "POST", kList, json(client()), 200, "walkthrough/4/WalkthroughForSite",
            "com.example.otherapp");
        row("steps of a walkthrough", "GET", stepsQuery("w-orders"), {}, 200, "className/0/values/2/Frame",
            "QStyledItemDelegate_indexpath_[0, 0]");
        row("theme", "POST", "/mobileApi/client/configurationsPerUrl", json(client({{"Url", kSite}})), 200,
            "config/Configurations/mobileTexts/supportText", "Contact support");
        row("template", "GET", "/mobileApi/epc/mobileTemplate?companyId=sample-client-token&CompanyUrl=" + kSite, {}, 200,
            "CssObject/tapHere/text", "Tap here");
        row("login", "POST", signIn, admin, 200, "userInfo/Email", "admin@sampleshop.example");
        row("analytics opened", "POST", kAnalytics + "AddNew", json(analytics()), 200, "analyticsId", "a-1");
        row("wrong password", "POST", signIn, QByteArray(admin).replace("sample-admin-password", "guess"), 401);
        row("unknown admin token", "POST", "/mobileApi/walkthroughElements/createElementIos",
            json({{"value", "saveButton"}, {"className", "SettingsPage"}, {"stepNumber", 0}, {"site", kSite}, {"token", "forged"}}),
            403);
        row("unknown walkthrough", "GET", stepsQuery("w-missing"), {}, 404);
        row("font outside the font folders", "GET", "/fonts/..%2F..%2Fetc%2Fpasswd", {}, 404);
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
        if (status == 200)
            QCOMPARE(at(reply.json(), path).toString(), expected);
    }

    // Created steps and analytics events outlive the process through the store;
    // administrator tokens do not, and are never written to it.
    void createdStepsAndAnalyticsAreKept()
    {
        QTemporaryDir dir;
        WexoSample::SampleBackend::Options options;
        options.storeFile = dir.filePath("store.json");
        QString walkthroughId, token;
        {
            BackendFixture fixture(options);
            token = send(fixture, "POST", "/mobileApi/user/signin",
                         json({{"email", fixture->adminEmail()}, {"password", fixture->adminPassword()}}))
                        .json().value("token").toString();
            const Reply first = createStep(fixture, token, "SettingsPage", 0);
            walkthroughId = first.json().value("walkthroughId").toString();
            QVERIFY(!walkthroughId.isEmpty());
            QCOMPARE(createStep(fixture, token, "ProfilePage", 1, walkthroughId).status, 200);
            QCOMPARE(createStep(fixture, token, "SettingsPage", 2, walkthroughId).status, 200);
            const QJsonObject opened = send(fixture, "POST", kAnalytics + "AddNew", json(analytics())).json();
            const QJsonObject complete{{"AnalyticId", opened.value("analyticsId")}, {"EndTime", 4500}, {"SeenTime", 3500}};
            QCOMPARE(send(fixture, "POST", kAnalytics + "Complete", json(analytics(complete))).status, 200);
            fixture->revokeAdminTokens();
            QCOMPARE(createStep(fixture, token, "ProfilePage", 3, walkthroughId).status, 403);
        }
        QFile store(options.storeFile);
        QVERIFY(store.open(QIODevice::ReadOnly));
        QVERIFY2(!store.readAll().contains(token.toUtf8()), "the administrator token must not be stored");

        BackendFixture restarted(options);
        QCOMPARE(restarted->createdSteps().array().size(), 3);
        QCOMPARE(at(restarted->analyticsEvents().array(), "1/kind").toString(), QStringLiteral("Complete"));
        QCOMPARE(at(restarted->analyticsEvents().array(), "1/body/SeenTime").toInt(), 3500);
        const QJsonArray entries = send(restarted, "POST", kList, json(client())).json().value("walkthrough").toArray();
        QVERIFY(std::any_of(entries.begin(), entries.end(), [&](const QJsonValue &entry) {
            return entry["Id"] == walkthroughId && entry["WalkthroughForSite"] == kSite;
        }));
        // Back on an earlier screen is a new page, so each page keeps consecutive order numbers.
        const QJsonObject steps = send(restarted, "GET", stepsQuery(walkthroughId)).json();
        QStringList pages;
        for (int page = 0; page < 3; ++page)
            pages << at(steps, QStringLiteral("className/%1/Page").arg(page)).toString() + QLatin1Char(':')
                         + QString::number(at(steps, QStringLiteral("className/%1/values/0/OrderNumber").arg(page)).toInt());
        QCOMPARE(pages, (QStringList{"SettingsPage:0", "ProfilePage:1", "SettingsPage:2"}));
        QCOMPARE(at(steps, "wexoName/Name").toString(), QStringLiteral("Recorded tour"));
    }

    // One route answers as scripted, or every route late; statuses of successive requests, 0 = no answer.
    void faultHooks_data()
    {
        QTest::addColumn<ScriptedAnswer>("answer"); // status 0: nothing scripted
        QTest::addColumn<int>("latencyMs");
        QTest::addColumn<int>("timeoutMs");
        QTest::addColumn<QList<int>>("statuses");

        const ScriptedAnswer nothing{.status = 0, .body = {}};
        QTest::addRow("403 once") << ScriptedAnswer{.status = 403, .body = R"({"success":false})", .times = 1} << 0 << 0
                                  << QList{403, 200};
        QTest::addRow("delay") << ScriptedAnswer{.body = R"({"success":true,"walkthrough":[]})", .delayMs = 300} << 0 << 0
                               << QList{200};
        QTest::addRow("added latency") << nothing << 300 << 0 << QList{200};
        QTest::addRow("hang cut by client time-out") << ScriptedAnswer{.body = {}, .hang = true} << 0 << 300 << QList{0};
    }

    void faultHooks()
    {
        QFETCH(ScriptedAnswer, answer);
        QFETCH(int, latencyMs);
        QFETCH(int, timeoutMs);
        QFETCH(QList<int>, statuses);

        BackendFixture fixture;
        if (answer.status != 0)
            fixture->script("POST", kList, answer);
        fixture->setLatencyMs(latencyMs);
        QElapsedTimer timer;
        timer.start();
        for (const int status : statuses) {
            const Reply reply = send(fixture, "POST", kList, json(client()), timeoutMs);
            QCOMPARE(reply.status, status);
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
};

QTEST_GUILESS_MAIN(tst_SampleBackend)
#include "tst_samplebackend.moc"