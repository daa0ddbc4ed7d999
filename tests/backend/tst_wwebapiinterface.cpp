#include "WexoCreator/appearance-model/Template.h"
#include "WexoCreator/appearance-model/Theme.h"
#include "WexoCreator/backend/WCredentials.h"
#include "WexoCreator/backend/WURLConstants.h"
#include "WexoCreator/backend/WWebApiInterface.h"
#include "WexoCreator/model/AllWexo.h"
#include "WexoCreator/model/WLogin.h"
#include "WexoCreator/model/WexoCreate.h"
#include "WexoCreator/model/WexoRoot.h"
#include "WexoCreator/platform/WLogging.h"
#include "WexoCreator/platform/WUserDefaults.h"

#include "support/BackendFixture.h"
#include "support/RecordCoding.h"

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
    QString writeBack; // what went wrong writing the record back, "" when nothing
};

// A decoded answer written back must decode into an equal record. A theme is
// never written: its element configuration is.
template<class T>
QString answerWriteBack(const T &record)
{
    return writeBackMismatch(record);
}

QString answerWriteBack(const Theme &theme)
{
    const auto &config = theme.config();
    return config && config->Configurations() ? writeBackMismatch(*config->Configurations()) : QString();
}

// kind: "list", "theme", "template", or the walkthrough whose steps are asked for.
std::shared_ptr<Answer> ask(const QString &kind)
{
    auto answer = std::make_shared<Answer>();
    auto take = [answer](const auto &record, const QString &id = QString()) {
        ++answer->calls;
        answer->record = record != nullptr;
        answer->identifier = id;
        if (record)
            answer->writeBack = answerWriteBack(*record);
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

    std::shared_ptr<std::pair<int, bool>> create()
    {
        auto result = std::make_shared<std::pair<int, bool>>(0, false);
        WWebApiInterface::createElement(recordedStep(), [result](std::shared_ptr<WexoCreate> record) {
            ++result->first;
            result->second = record && record->isCreated();
            if (record)
                QCOMPARE(writeBackMismatch(*record), QString());
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

    void addresses_data()
    {
        QTest::addColumn<bool>("staging");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QByteArray>("expected");

        // Roots holding the template's placeholder words must come through intact.
        const QByteArray prod = "http://curl-cid.test:81/mobileApi/";
        QTest::addRow("login on production") << false << "login" << "" << "" << prod + "user/signin";
        QTest::addRow("login on staging") << true << "login" << "" << "" << QByteArray("http://stage.test:82/mobileApi/user/signin");
        QTest::addRow("steps, blank, ampersand and curl")
            << false << "steps" << "w 1&curl" << "my app/1"
            << prod + "walkthroughElements/getStepsWithPage?walkthroughId=w%201%26curl&origin=https//my%20app%2F1&reqSource=iosSdk";
        QTest::addRow("template, values holding the placeholder words")
            << false << "template" << "cidcurl" << "curl=cid" << prod + "epc/mobileTemplate?companyId=cidcurl&CompanyUrl=curl%3Dcid";
    }

    void addresses()
    {
        QFETCH(bool, staging);
        QFETCH(QString, kind);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QByteArray, expected);

        auto restore = qScopeGuard([root = qgetenv("WEXO_PRODUCTION_URL")] {
            qputenv("WEXO_PRODUCTION_URL", root);
            qunsetenv("WEXO_STAGING_URL");
            qunsetenv("WEXO_STAGING");
        });
        qputenv("WEXO_PRODUCTION_URL", "http://curl-cid.test:81/");
        qputenv("WEXO_STAGING_URL", "http://stage.test:82");
        qputenv("WEXO_STAGING", staging ? "1" : "");
        const QUrl url = kind == QLatin1String("login") ? WURLConstants::urlFor(WServiceType::login)
                       : kind == QLatin1String("steps") ? WURLConstants::stepsUrl(first, second)
                                                        : WURLConstants::templateUrl(first, second);
        QCOMPARE(url.toEncoded(), expected);
    }

    void login_data()
    {
        QTest::addColumn<ScriptedAnswer>("scripted");
        QTest::addColumn<bool>("rightPassword");
        QTest::addColumn<bool>("record");
        QTest::addColumn<bool>("loggedIn");

        QTest::addRow("success") << kReal << true << true << true;
        QTest::addRow("wrong password") << kReal << false << false << false;
        QTest::addRow("success false") << ScriptedAnswer{200, R"({"success":false,"token":"t1"})"} << true << false << false;
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

        if (scripted.status)
            backend().script(QStringLiteral("POST"), kSignIn, scripted);
        const QString email = backend().adminEmail();
        const QString password = rightPassword ? backend().adminPassword() : QStringLiteral("wrong");
        auto login = std::make_shared<std::optional<bool>>();
        WWebApiInterface::loginWith(email, password, [login](std::shared_ptr<WLogin> answer) {
            *login = answer != nullptr;
            if (answer)
                QCOMPARE(writeBackMismatch(*answer), QString());
        });
        QTRY_COMPARE(*login, std::optional(record));
        QCOMPARE(backend().requests(kSignIn).size(), 1);
        QCOMPARE(bodyOf(backend().requests(kSignIn).first()), (QJsonObject{{"email", email}, {"password", password}}));

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
        // The stored keys are literal texts: stores written by earlier runs use them.
        QStringList stored;
        for (const char *key : {"Client", "ClientAppId", "Admin.Email", "Admin.Password"})
            stored << WUserDefaults::standard().string(QStringLiteral("WexolinManager.") + key).value_or("-");
        QCOMPARE(stored, (QStringList{backend().clientToken(), backend().clientAppId(), loggedIn ? email : old,
                                      loggedIn ? password : old}));
        QCOMPARE(WUserDefaults::standard().string(QStringLiteral("WexolinManager.Admin")), WCredentials::adminToken());
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
    }

    void createElement()
    {
        QFETCH(ScriptedAnswer, scripted);
        QFETCH(QString, password);
        QFETCH(int, creates);
        QFETCH(int, logins);
        QFETCH(bool, created);

        if (scripted.status)
            backend().script(QStringLiteral("POST"), kCreate, scripted);
        if (!password.isEmpty()) {
            WCredentials::setAdminEmail(backend().adminEmail());
            WCredentials::setAdminPassword(password == QLatin1String("right") ? backend().adminPassword() : password);
        }
        const auto result = create();
        QCOMPARE(result->first, 0);
        QTRY_COMPARE(result->first, 1);
        QCOMPARE(result->second, created);
        const QList<RecordedRequest> sent = backend().requests(kCreate);
        QCOMPARE(sent.size(), creates);
        QCOMPARE(backend().requests(kSignIn).size(), logins);
        QJsonObject expected = QJsonObject::fromVariantMap(recordedStep());
        QCOMPARE(bodyOf(sent.first()), expected);
        // The resend differs only by the new token.
        expected.insert(QStringLiteral("token"), creates == 2 ? *WCredentials::adminToken() : QStringLiteral("stale-token"));
        QCOMPARE(bodyOf(sent.last()), expected);
    }

    // The request's shape is the sample backend's to check: it refuses a wrong
    // method, path, query or body, and every end-to-end test goes through it.
    void contentRequest_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<ScriptedAnswer>("scripted"); // on the route of `path`
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("record");

        const QString list = QStringLiteral("POST /mobileApi/walkthrough/findbysite");
        const QString steps = QStringLiteral("GET /mobileApi/walkthroughElements/getStepsWithPage");
        const QString theme = QStringLiteral("POST /mobileApi/client/configurationsPerUrl");
        QTest::addRow("list") << "list" << kReal << list << true;
        QTest::addRow("list of the wrong type") << "list" << ScriptedAnswer{200, R"({"walkthrough":3,"success":true})"} << list << false;
        for (const char *id : {"w-shop-tour", "w-settings", "w-orders", "w-cart", "w-other-site"})
            QTest::addRow("steps of %s", id) << id << kReal << steps << true;
        QTest::addRow("steps, undecodable") << "w-shop-tour" << ScriptedAnswer{200, "[]"} << steps << false;
        QTest::addRow("theme") << "theme" << kReal << theme << true;
        QTest::addRow("theme, 500") << "theme" << ScriptedAnswer{500, "{}"} << theme << false;
        QTest::addRow("template") << "template" << kReal << "" << true;
    }

    void contentRequest()
    {
        QFETCH(QString, kind);
        QFETCH(ScriptedAnswer, scripted);
        QFETCH(QString, path);
        QFETCH(bool, record);

        if (scripted.status)
            backend().script(path.section(u' ', 0, 0), path.section(u' ', 1), scripted);
        const auto answer = ask(kind);
        QCOMPARE(answer->calls, 0);
        QTRY_COMPARE(answer->calls, 1);
        QCOMPARE(answer->record, record);
        QCOMPARE(answer->writeBack, QString());
        QCOMPARE(answer->identifier, path == QLatin1String("GET /mobileApi/walkthroughElements/getStepsWithPage") ? kind : QString());
        QCOMPARE(backend().requests().size(), 1);
    }

    void missingCredentialAnswersAtOnce_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("withToken");
        QTest::addColumn<bool>("sends");

        QTest::addRow("list without token") << "list" << false << false;
        QTest::addRow("theme without app id") << "theme" << true << false;
        QTest::addRow("template without token") << "template" << false << false;
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
        QCOMPARE(answer->identifier, kind == QLatin1String("w1") ? kind : QString());
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
        const auto result = create();
        QTRY_COMPARE(result->first, 1);
        QCOMPARE(backend().requests(kSignIn).size(), 1);
        QVERIFY(!captured.isEmpty());
        for (const QString &line : std::as_const(captured))
            QVERIFY2(!line.contains(backend().adminPassword()), qPrintable(line));
    }
};

QTEST_GUILESS_MAIN(tst_WWebApiInterface)
#include "tst_wwebapiinterface.moc"