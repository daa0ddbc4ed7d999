#include "WexoCreator/appearance-model/Template.h"
#include "WexoCreator/appearance-model/Theme.h"
#include "WexoCreator/backend/WCredentials.h"
#include "WexoCreator/backend/WWebApiInterface.h"
#include "WexoCreator/model/AllWexo.h"
#include "WexoCreator/model/WLogin.h"
#include "WexoCreator/model/WexoCreate.h"
#include "WexoCreator/model/WexoRoot.h"
#include "WexoCreator/platform/WLogging.h"
#include "WexoCreator/platform/WUserDefaults.h"

#include "support/BackendFixture.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTest>

using namespace WexoCreator;
using WexoSample::RecordedRequest;
using WexoSample::ScriptedAnswer;

namespace {

const QString kSignIn = QStringLiteral("/mobileApi/user/signin");
const QString kCreate = QStringLiteral("/mobileApi/walkthroughElements/createElementIos");
// Status 0: the sample backend answers with its own data.
const ScriptedAnswer kReal{0, {}};

QJsonObject bodyOf(const RecordedRequest &request)
{
    return QJsonDocument::fromJson(request.body).object();
}

struct Answer {
    int calls = 0;
    bool record = false;
    QString identifier;
};

// kind: "list", "theme", "template", or the walkthrough whose steps are asked for.
std::shared_ptr<Answer> ask(const QString &kind)
{
    auto answer = std::make_shared<Answer>();
    auto take = [answer](const auto &record, const QString &id = QString()) {
        ++answer->calls;
        answer->record = record != nullptr;
        answer->identifier = id;
    };
    if (kind == QLatin1String("list"))
        WWebApiInterface::getAllWexos(take);
    else if (kind == QLatin1String("theme"))
        WWebApiInterface::getTheme(take);
    else if (kind == QLatin1String("template"))
        WWebApiInterface::getTemplate(take);
    else
        WWebApiInterface::getWexoSteps(kind, take);
    return answer;
}

QStringList captured;

void forgetCredentials()
{
    for (const QString &key : {WCredentials::wClientTokenKey, WCredentials::wClientAppIdKey, WCredentials::wAdminTokenKey,
                               WCredentials::wAdminEmailKey, WCredentials::wAdminPasswordKey})
        WUserDefaults::standard().remove(key);
}

} // namespace

class tst_WWebApiInterface : public QObject
{
    Q_OBJECT

    std::unique_ptr<BackendFixture> m_fixture;

    WexoSample::SampleBackend &backend() { return m_fixture->backend(); }

    void scriptIfSet(const QString &method, const QString &path, const ScriptedAnswer &answer)
    {
        if (answer.status)
            backend().script(method, path, answer);
    }

    std::shared_ptr<std::pair<int, bool>> create(const QVariantMap &body)
    {
        auto result = std::make_shared<std::pair<int, bool>>(0, false);
        WWebApiInterface::createElement(body, [result](std::shared_ptr<WexoCreate> record) {
            ++result->first;
            result->second = record && record->isCreated();
        });
        return result;
    }

    QVariantMap recordedStep()
    {
        return {{"value", "searchField"}, {"name", "New tour"}, {"className", "ProductListPage"},
                {"elementName", "QLineEdit"}, {"displayType", "popup"}, {"stepNumber", 1},
                {"site", backend().clientAppId()}, {"token", "stale-token"}};
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_fixture = std::make_unique<BackendFixture>();
        QVERIFY(m_fixture->isRunning());
    }

    void init()
    {
        backend().clearScripts();
        backend().clearRequests();
        forgetCredentials();
        WCredentials::setClientToken(backend().clientToken());
        WCredentials::setClientAppId(backend().clientAppId());
    }

    void cleanupTestCase() { forgetCredentials(); }

    void login_data()
    {
        QTest::addColumn<ScriptedAnswer>("scripted");
        QTest::addColumn<bool>("rightPassword");
        QTest::addColumn<bool>("record");
        QTest::addColumn<bool>("loggedIn");

        QTest::addRow("success") << kReal << true << true << true;
        QTest::addRow("wrong password") << kReal << false << false << false;
        QTest::addRow("success false") << ScriptedAnswer{200, R"({"success":false,"token":"t1"})"} << true << false << false;
        QTest::addRow("no token") << ScriptedAnswer{200, R"({"success":true})"} << true << true << false;
        QTest::addRow("empty token") << ScriptedAnswer{200, R"({"success":true,"token":""})"} << true << true << false;
        QTest::addRow("undecodable") << ScriptedAnswer{200, "<html>"} << true << false << false;
        QTest::addRow("500 with a good body") << ScriptedAnswer{500, R"({"success":true,"token":"t1"})"} << true << false << false;
    }

    void login()
    {
        QFETCH(ScriptedAnswer, scripted);
        QFETCH(bool, rightPassword);
        QFETCH(bool, record);
        QFETCH(bool, loggedIn);

        scriptIfSet(QStringLiteral("POST"), kSignIn, scripted);
        const QString email = backend().adminEmail();
        const QString password = rightPassword ? backend().adminPassword() : QStringLiteral("wrong");
        auto login = std::make_shared<std::optional<bool>>();
        WWebApiInterface::loginWith(email, password, [login](std::shared_ptr<WLogin> answer) { *login = answer != nullptr; });
        QTRY_COMPARE(*login, std::optional(record));
        const QList<RecordedRequest> sent = backend().requests(kSignIn);
        QCOMPARE(sent.size(), 1);
        QCOMPARE(bodyOf(sent.first()), (QJsonObject{{"email", email}, {"password", password}}));

        // A failed login leaves what an earlier one stored.
        const QString old = QStringLiteral("old");
        WCredentials::setAdminToken(old);
        WCredentials::setAdminEmail(old);
        WCredentials::setAdminPassword(old);
        auto admin = std::make_shared<std::optional<bool>>();
        WWebApiInterface::loginAdmin(email, password, [admin](bool success) { *admin = success; });
        QVERIFY(!*admin); // both outcomes arrive later, on the main thread
        QTRY_COMPARE(*admin, std::optional(loggedIn));
        QCOMPARE(WCredentials::adminToken() != old, loggedIn);
        QCOMPARE(WCredentials::adminEmail(), loggedIn ? email : old);
        QCOMPARE(WCredentials::adminPassword(), loggedIn ? password : old);
        // The stored keys are literal texts: stores written by earlier runs use them.
        const WUserDefaults &store = WUserDefaults::standard();
        QCOMPARE(store.string(QStringLiteral("WexolinManager.Client")), backend().clientToken());
        QCOMPARE(store.string(QStringLiteral("WexolinManager.ClientAppId")), backend().clientAppId());
        QCOMPARE(store.string(QStringLiteral("WexolinManager.Admin")), WCredentials::adminToken());
        QCOMPARE(store.string(QStringLiteral("WexolinManager.Admin.Email")), loggedIn ? email : old);
        QCOMPARE(store.string(QStringLiteral("WexolinManager.Admin.Password")), loggedIn ? password : old);
    }

    void createElement_data()
    {
        QTest::addColumn<ScriptedAnswer>("scripted");
        QTest::addColumn<QString>("password"); // stored with the e-mail; "": none stored
        QTest::addColumn<int>("creates");
        QTest::addColumn<int>("logins");
        QTest::addColumn<bool>("created");

        const ScriptedAnswer refused{403, R"({"success":false})"};
        const QString right = QStringLiteral("right");
        QTest::addRow("stale token, login, resend") << kReal << right << 2 << 1 << true;
        QTest::addRow("always 403 stops after one resend") << refused << right << 2 << 1 << false;
        QTest::addRow("403 without stored credentials") << refused << "" << 1 << 0 << false;
        QTest::addRow("403 and the login fails") << kReal << "wrong" << 1 << 1 << false;
        QTest::addRow("401 is not resent") << ScriptedAnswer{401, "{}"} << right << 1 << 0 << false;
        QTest::addRow("500 is not resent") << ScriptedAnswer{500, "{}"} << right << 1 << 0 << false;
    }

    void createElement()
    {
        QFETCH(ScriptedAnswer, scripted);
        QFETCH(QString, password);
        QFETCH(int, creates);
        QFETCH(int, logins);
        QFETCH(bool, created);

        scriptIfSet(QStringLiteral("POST"), kCreate, scripted);
        if (!password.isEmpty()) {
            WCredentials::setAdminEmail(backend().adminEmail());
            WCredentials::setAdminPassword(password == QLatin1String("right") ? backend().adminPassword() : password);
        }
        const auto result = create(recordedStep());
        QCOMPARE(result->first, 0);
        QTRY_COMPARE(result->first, 1);
        QCOMPARE(result->second, created);
        const QList<RecordedRequest> sent = backend().requests(kCreate);
        QCOMPARE(sent.size(), creates);
        QCOMPARE(backend().requests(kSignIn).size(), logins);
        QJsonObject expected = QJsonObject::fromVariantMap(recordedStep());
        QCOMPARE(bodyOf(sent.first()), expected);
        if (creates == 2) { // the resend differs only by the new token
            expected.insert(QStringLiteral("token"), *WCredentials::adminToken());
            QCOMPARE(bodyOf(sent.last()), expected);
        }
    }

    void contentRequest_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<ScriptedAnswer>("scripted");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("query"); // "": a POST with the client credentials as its JSON body
        QTest::addColumn<bool>("record");

        const QString list = QStringLiteral("/mobileApi/walkthrough/findbysite");
        const QString steps = QStringLiteral("/mobileApi/walkthroughElements/getStepsWithPage");
        const QString theme = QStringLiteral("/mobileApi/client/configurationsPerUrl");
        const QString templ = QStringLiteral("/mobileApi/epc/mobileTemplate");
        const QString origin = QStringLiteral("&origin=https//com.example.sampleshop&reqSource=iosSdk");
        const QString templateQuery = QStringLiteral("companyId=sample-client-token&CompanyUrl=com.example.sampleshop");

        QTest::addRow("list") << "list" << kReal << list << "" << true;
        QTest::addRow("list of the wrong type")
            << "list" << ScriptedAnswer{200, R"({"walkthrough":3,"success":true})"} << list << "" << false;
        QTest::addRow("steps") << "w-shop-tour" << kReal << steps << "walkthroughId=w-shop-tour" + origin << true;
        QTest::addRow("steps, undecodable")
            << "w-shop-tour" << ScriptedAnswer{200, "[]"} << steps << "walkthroughId=w-shop-tour" + origin << false;
        QTest::addRow("steps, identifier to encode")
            << "w 1&curl" << kReal << steps << "walkthroughId=w%201%26curl" + origin << false;
        QTest::addRow("theme") << "theme" << kReal << theme << "" << true;
        QTest::addRow("theme, 500") << "theme" << ScriptedAnswer{500, "{}"} << theme << "" << false;
        QTest::addRow("template") << "template" << kReal << templ << templateQuery << true;
        QTest::addRow("template, empty answer") << "template" << ScriptedAnswer{200, {}} << templ << templateQuery << false;
    }

    void contentRequest()
    {
        QFETCH(QString, kind);
        QFETCH(ScriptedAnswer, scripted);
        QFETCH(QString, path);
        QFETCH(QString, query);
        QFETCH(bool, record);

        const QString method = query.isEmpty() ? QStringLiteral("POST") : QStringLiteral("GET");
        scriptIfSet(method, path, scripted);
        const auto answer = ask(kind);
        QCOMPARE(answer->calls, 0);
        QTRY_COMPARE(answer->calls, 1);
        QCOMPARE(answer->record, record);
        if (path.contains(QLatin1String("Steps")))
            QCOMPARE(answer->identifier, kind);

        const QList<RecordedRequest> sent = backend().requests();
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent.first().method, method);
        QCOMPARE(sent.first().path, path);
        QCOMPARE(sent.first().rawQuery, query);
        QJsonObject body{{"appKey", backend().clientToken()}, {"site", backend().clientAppId()}};
        if (path.contains(QLatin1String("configurations")))
            body.insert(QStringLiteral("Url"), backend().clientAppId());
        QCOMPARE(bodyOf(sent.first()), query.isEmpty() ? body : QJsonObject());
        QCOMPARE(sent.first().body.isEmpty(), !query.isEmpty());
    }

    void missingCredentialAnswersAtOnce_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("withToken");
        QTest::addColumn<bool>("sends");

        for (const char *kind : {"list", "theme", "template"}) {
            QTest::addRow("%s without token", kind) << kind << false << false;
            QTest::addRow("%s without app id", kind) << kind << true << false;
        }
        QTest::addRow("steps without app id") << "w1" << true << false;
        QTest::addRow("steps without token still sent") << "w1" << false << true;
    }

    void missingCredentialAnswersAtOnce()
    {
        QFETCH(QString, kind);
        QFETCH(bool, withToken);
        QFETCH(bool, sends);

        withToken ? WCredentials::setClientAppId(std::nullopt) : WCredentials::setClientToken(std::nullopt);
        const auto answer = ask(kind);
        if (sends) {
            QTRY_COMPARE(answer->calls, 1);
            QCOMPARE(backend().requests().size(), 1);
            return;
        }
        QCOMPARE(answer->calls, 1);
        QVERIFY(!answer->record);
        if (kind == QLatin1String("w1"))
            QCOMPARE(answer->identifier, kind);
        // Answered after anything sent above would have arrived.
        auto fenced = std::make_shared<bool>(false);
        WWebApiInterface::loginWith(QString(), QString(), [fenced](std::shared_ptr<WLogin>) { *fenced = true; });
        QTRY_VERIFY(*fenced);
        QCOMPARE(backend().requests().size(), 1);
        QCOMPARE(backend().requests().first().path, kSignIn);
    }

    void passwordNeverReachesTheLog()
    {
        setDebugLogging(true);
        captured.clear();
        const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &line) {
            captured << line;
        });
        auto restore = qScopeGuard([previous] {
            qInstallMessageHandler(previous);
            setDebugLogging(false);
        });

        // A refused step sends the stored password again; the undecodable login
        // answer makes the client print its decoding error.
        backend().script(QStringLiteral("POST"), kSignIn, ScriptedAnswer{200, R"({"success":"no"})"});
        WCredentials::setAdminEmail(backend().adminEmail());
        WCredentials::setAdminPassword(backend().adminPassword());
        const auto result = create(recordedStep());
        QTRY_COMPARE(result->first, 1);
        QCOMPARE(backend().requests(kSignIn).size(), 1);
        QVERIFY(!captured.isEmpty());
        for (const QString &line : std::as_const(captured))
            QVERIFY2(!line.contains(backend().adminPassword()), qPrintable(line));
    }
};

QTEST_GUILESS_MAIN(tst_WWebApiInterface)
#include "tst_wwebapiinterface.moc"
