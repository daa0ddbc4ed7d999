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

#include <QScopeGuard>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTest>

#include <memory>

Q_DECLARE_METATYPE(std::optional<WexoSample::ScriptedAnswer>)

using namespace WexoCreator;
using WexoSample::RecordedRequest;
using WexoSample::ScriptedAnswer;

namespace {

const QString kSignIn = QStringLiteral("/mobileApi/user/signin");
const QString kCreate = QStringLiteral("/mobileApi/walkthroughElements/createElementIos");

ScriptedAnswer answer(int status, const QByteArray &body)
{
    ScriptedAnswer scripted;
    scripted.status = status;
    scripted.body = body;
    return scripted;
}

template<class T>
struct Result {
    int calls = 0;
    std::shared_ptr<T> record;
    QString identifier;
};

QJsonObject bodyOf(const RecordedRequest &request)
{
    return QJsonDocument::fromJson(request.body).object();
}

QStringList captured;

void captureMessages(QtMsgType, const QMessageLogContext &, const QString &message)
{
    captured << message;
}

} // namespace

class tst_WWebApiInterface : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void login_data();
    void login();
    void createElement_data();
    void createElement();
    void contentRequest_data();
    void contentRequest();
    void missingCredentialAnswersAtOnce_data();
    void missingCredentialAnswersAtOnce();
    void stepsQueryIsEncoded();
    void passwordNeverReachesTheLog();

private:
    WexoSample::SampleBackend &backend() { return m_fixture->backend(); }
    QList<RecordedRequest> requests(const QString &path) { return backend().requests(path); }
    QVariantMap recordedStep(const QString &token) const;
    std::shared_ptr<Result<WexoCreate>> create(const QVariantMap &body);

    std::unique_ptr<BackendFixture> m_fixture;
};

void tst_WWebApiInterface::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    m_fixture = std::make_unique<BackendFixture>();
    QVERIFY(m_fixture->isRunning());
}

void tst_WWebApiInterface::init()
{
    backend().clearScripts();
    backend().clearRequests();
    WCredentials::setClientToken(backend().clientToken());
    WCredentials::setClientAppId(backend().clientAppId());
    WCredentials::setAdminToken(std::nullopt);
    WCredentials::setAdminEmail(std::nullopt);
    WCredentials::setAdminPassword(std::nullopt);
}

void tst_WWebApiInterface::cleanupTestCase()
{
    for (const QString &key : {WCredentials::wClientTokenKey, WCredentials::wClientAppIdKey, WCredentials::wAdminTokenKey,
                               WCredentials::wAdminEmailKey, WCredentials::wAdminPasswordKey})
        WUserDefaults::standard().remove(key);
}

QVariantMap tst_WWebApiInterface::recordedStep(const QString &token) const
{
    return {{QStringLiteral("value"), QStringLiteral("searchField")},
            {QStringLiteral("name"), QStringLiteral("New tour")},
            {QStringLiteral("className"), QStringLiteral("ProductListPage")},
            {QStringLiteral("elementName"), QStringLiteral("QLineEdit")},
            {QStringLiteral("displayType"), QStringLiteral("popup")},
            {QStringLiteral("stepNumber"), 1},
            {QStringLiteral("site"), m_fixture->backend().clientAppId()},
            {QStringLiteral("token"), token}};
}

std::shared_ptr<Result<WexoCreate>> tst_WWebApiInterface::create(const QVariantMap &body)
{
    auto result = std::make_shared<Result<WexoCreate>>();
    WWebApiInterface::createElement(body, [result](std::shared_ptr<WexoCreate> record) {
        ++result->calls;
        result->record = std::move(record);
    });
    return result;
}

void tst_WWebApiInterface::login_data()
{
    QTest::addColumn<std::optional<ScriptedAnswer>>("scripted");
    QTest::addColumn<bool>("rightPassword");
    QTest::addColumn<bool>("record");
    QTest::addColumn<bool>("loggedIn");

    using Scripted = std::optional<ScriptedAnswer>;
    QTest::addRow("success") << Scripted() << true << true << true;
    QTest::addRow("wrong password") << Scripted() << false << false << false;
    QTest::addRow("success false with a token")
        << Scripted(answer(200, R"({"success":false,"token":"t1"})")) << true << false << false;
    QTest::addRow("no token") << Scripted(answer(200, R"({"success":true})")) << true << true << false;
    QTest::addRow("empty token") << Scripted(answer(200, R"({"success":true,"token":""})")) << true << true << false;
    QTest::addRow("success missing") << Scripted(answer(200, R"({"token":"t1"})")) << true << false << false;
    QTest::addRow("success not a boolean") << Scripted(answer(200, R"({"success":"yes","token":"t1"})")) << true << false << false;
    QTest::addRow("undecodable") << Scripted(answer(200, "<html>")) << true << false << false;
    QTest::addRow("500 with a good body")
        << Scripted(answer(500, R"({"success":true,"token":"t1"})")) << true << false << false;
}

void tst_WWebApiInterface::login()
{
    QFETCH(std::optional<ScriptedAnswer>, scripted);
    QFETCH(bool, rightPassword);
    QFETCH(bool, record);
    QFETCH(bool, loggedIn);

    if (scripted)
        backend().script(QStringLiteral("POST"), kSignIn, *scripted);
    const QString email = backend().adminEmail();
    const QString password = rightPassword ? backend().adminPassword() : QStringLiteral("wrong");

    auto login = std::make_shared<Result<WLogin>>();
    WWebApiInterface::loginWith(email, password, [login](std::shared_ptr<WLogin> answer) {
        ++login->calls;
        login->record = std::move(answer);
    });
    QTRY_COMPARE(login->calls, 1);
    QCOMPARE(login->record != nullptr, record);
    const QList<RecordedRequest> sent = requests(kSignIn);
    QCOMPARE(sent.size(), 1);
    QCOMPARE(bodyOf(sent.first()), (QJsonObject{{QStringLiteral("email"), email}, {QStringLiteral("password"), password}}));

    // A failed login leaves what an earlier one stored.
    const QString old = QStringLiteral("old");
    WCredentials::setAdminToken(old);
    WCredentials::setAdminEmail(old);
    WCredentials::setAdminPassword(old);
    int adminCalls = 0;
    bool adminResult = !loggedIn;
    WWebApiInterface::loginAdmin(email, password, [&](bool success) {
        ++adminCalls;
        adminResult = success;
    });
    QCOMPARE(adminCalls, 0); // both outcomes arrive later, on the main thread
    QTRY_COMPARE(adminCalls, 1);
    QCOMPARE(adminResult, loggedIn);
    QCOMPARE(WCredentials::adminToken() != old, loggedIn);
    QCOMPARE(WCredentials::adminEmail(), loggedIn ? email : old);
    QCOMPARE(WCredentials::adminPassword(), loggedIn ? password : old);
}

void tst_WWebApiInterface::createElement_data()
{
    QTest::addColumn<std::optional<ScriptedAnswer>>("createAnswer");
    QTest::addColumn<bool>("storeAdmin");
    QTest::addColumn<bool>("rightPassword");
    QTest::addColumn<int>("creates");
    QTest::addColumn<int>("logins");
    QTest::addColumn<bool>("created");

    using Scripted = std::optional<ScriptedAnswer>;
    const ScriptedAnswer refused = answer(403, R"({"success":false})");
    QTest::addRow("stale token, login, resend") << Scripted() << true << true << 2 << 1 << true;
    QTest::addRow("always 403 stops after one resend") << Scripted(refused) << true << true << 2 << 1 << false;
    QTest::addRow("403 without stored credentials") << Scripted(refused) << false << true << 1 << 0 << false;
    QTest::addRow("403 and the login fails") << Scripted() << true << false << 1 << 1 << false;
    QTest::addRow("401 is not resent") << Scripted(answer(401, "{}")) << true << true << 1 << 0 << false;
    QTest::addRow("500 is not resent") << Scripted(answer(500, "{}")) << true << true << 1 << 0 << false;
    QTest::addRow("undecodable answer") << Scripted(answer(200, "[1]")) << true << true << 1 << 0 << false;
}

void tst_WWebApiInterface::createElement()
{
    QFETCH(std::optional<ScriptedAnswer>, createAnswer);
    QFETCH(bool, storeAdmin);
    QFETCH(bool, rightPassword);
    QFETCH(int, creates);
    QFETCH(int, logins);
    QFETCH(bool, created);

    if (createAnswer)
        backend().script(QStringLiteral("POST"), kCreate, *createAnswer);
    if (storeAdmin) {
        WCredentials::setAdminEmail(backend().adminEmail());
        WCredentials::setAdminPassword(rightPassword ? backend().adminPassword() : QStringLiteral("wrong"));
    }
    const QVariantMap body = recordedStep(QStringLiteral("stale-token"));
    const auto result = create(body);
    QCOMPARE(result->calls, 0);
    QTRY_COMPARE(result->calls, 1);

    QCOMPARE(result->record != nullptr, created);
    if (created)
        QVERIFY(result->record->isCreated());
    const QList<RecordedRequest> sent = requests(kCreate);
    QCOMPARE(sent.size(), creates);
    QCOMPARE(requests(kSignIn).size(), logins);
    QCOMPARE(bodyOf(sent.first()), QJsonObject::fromVariantMap(body));
    if (creates == 2) {
        // The resend carries the new token and is otherwise the same body.
        QJsonObject expected = QJsonObject::fromVariantMap(body);
        expected.insert(QStringLiteral("token"), *WCredentials::adminToken());
        QCOMPARE(bodyOf(sent.last()), expected);
    }
}

void tst_WWebApiInterface::contentRequest_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<std::optional<ScriptedAnswer>>("scripted");
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("bodyKeys");
    QTest::addColumn<bool>("record");

    using Scripted = std::optional<ScriptedAnswer>;
    const QString app = QStringLiteral("com.example.sampleshop");
    const QString listPath = QStringLiteral("/mobileApi/walkthrough/findbysite");
    const QString stepsPath = QStringLiteral("/mobileApi/walkthroughElements/getStepsWithPage");
    const QString themePath = QStringLiteral("/mobileApi/client/configurationsPerUrl");
    const QString templatePath = QStringLiteral("/mobileApi/epc/mobileTemplate");
    const QString stepsQuery = QStringLiteral("walkthroughId=w-shop-tour&origin=https//%1&reqSource=iosSdk").arg(app);
    const QStringList client{QStringLiteral("appKey"), QStringLiteral("site")};
    const QStringList theme{QStringLiteral("Url"), QStringLiteral("appKey"), QStringLiteral("site")};
    const QString templateQuery = QStringLiteral("companyId=sample-client-token&CompanyUrl=%1").arg(app);

    QTest::addRow("list") << "list" << Scripted() << "POST" << listPath << QString() << client << true;
    QTest::addRow("list, 500") << "list" << Scripted(answer(500, "{}")) << "POST" << listPath << QString() << client << false;
    QTest::addRow("list, undecodable") << "list" << Scripted(answer(200, "{\"walkthrough\":3,\"success\":true}")) << "POST"
                                       << listPath << QString() << client << false;
    QTest::addRow("steps") << "steps" << Scripted() << "GET" << stepsPath << stepsQuery << QStringList() << true;
    QTest::addRow("steps, undecodable") << "steps" << Scripted(answer(200, "[]")) << "GET" << stepsPath << stepsQuery
                                        << QStringList() << false;
    QTest::addRow("theme") << "theme" << Scripted() << "POST" << themePath << QString() << theme << true;
    QTest::addRow("theme, 500") << "theme" << Scripted(answer(500, "{}")) << "POST" << themePath << QString() << theme << false;
    QTest::addRow("template") << "template" << Scripted() << "GET" << templatePath << templateQuery << QStringList() << true;
    QTest::addRow("template, empty answer") << "template" << Scripted(answer(200, "")) << "GET" << templatePath
                                            << templateQuery << QStringList() << false;
}

void tst_WWebApiInterface::contentRequest()
{
    QFETCH(QString, kind);
    QFETCH(std::optional<ScriptedAnswer>, scripted);
    QFETCH(QString, method);
    QFETCH(QString, path);
    QFETCH(QString, query);
    QFETCH(QStringList, bodyKeys);
    QFETCH(bool, record);

    if (scripted)
        backend().script(method, path, *scripted);
    int calls = 0;
    bool gotRecord = false;
    QString identifier;
    if (kind == QLatin1String("list")) {
        WWebApiInterface::getAllWexos([&](std::shared_ptr<AllWexo> list) {
            ++calls;
            gotRecord = list && list->walkthrough && !list->walkthrough->isEmpty();
        });
    } else if (kind == QLatin1String("steps")) {
        WWebApiInterface::getWexoSteps(QStringLiteral("w-shop-tour"), [&](std::shared_ptr<WexoRoot> root, QString id) {
            ++calls;
            gotRecord = root && root->wexos && !root->wexos->isEmpty();
            identifier = id;
        });
    } else if (kind == QLatin1String("theme")) {
        WWebApiInterface::getTheme([&](std::shared_ptr<Theme> theme) {
            ++calls;
            gotRecord = theme != nullptr;
        });
    } else {
        WWebApiInterface::getTemplate([&](std::shared_ptr<Template> templ) {
            ++calls;
            gotRecord = templ != nullptr;
        });
    }
    QCOMPARE(calls, 0);
    QTRY_COMPARE(calls, 1);
    QCOMPARE(gotRecord, record);
    if (kind == QLatin1String("steps"))
        QCOMPARE(identifier, QStringLiteral("w-shop-tour"));

    const QList<RecordedRequest> sent = backend().requests();
    QCOMPARE(sent.size(), 1);
    QCOMPARE(sent.first().method, method);
    QCOMPARE(sent.first().path, path);
    QCOMPARE(sent.first().rawQuery, query);
    QCOMPARE(sent.first().body.isEmpty(), bodyKeys.isEmpty());
    if (bodyKeys.isEmpty())
        return;
    const QJsonObject body = bodyOf(sent.first());
    QCOMPARE(body.keys(), bodyKeys);
    for (const QString &key : bodyKeys)
        QCOMPARE(body.value(key).toString(), key == QLatin1String("appKey") ? backend().clientToken() : backend().clientAppId());
}

void tst_WWebApiInterface::missingCredentialAnswersAtOnce_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("withToken");
    QTest::addColumn<bool>("withAppId");
    QTest::addColumn<bool>("sends");

    for (const char *kind : {"list", "theme", "template"}) {
        QTest::addRow("%s without token", kind) << kind << false << true << false;
        QTest::addRow("%s without app id", kind) << kind << true << false << false;
    }
    QTest::addRow("steps without app id") << "steps" << true << false << false;
    QTest::addRow("steps without token still sent") << "steps" << false << true << true;
}

void tst_WWebApiInterface::missingCredentialAnswersAtOnce()
{
    QFETCH(QString, kind);
    QFETCH(bool, withToken);
    QFETCH(bool, withAppId);
    QFETCH(bool, sends);

    if (!withToken)
        WCredentials::setClientToken(std::nullopt);
    if (!withAppId)
        WCredentials::setClientAppId(std::nullopt);
    int calls = 0;
    bool absent = false;
    QString identifier;
    if (kind == QLatin1String("list"))
        WWebApiInterface::getAllWexos([&](std::shared_ptr<AllWexo> r) { ++calls, absent = !r; });
    else if (kind == QLatin1String("theme"))
        WWebApiInterface::getTheme([&](std::shared_ptr<Theme> r) { ++calls, absent = !r; });
    else if (kind == QLatin1String("template"))
        WWebApiInterface::getTemplate([&](std::shared_ptr<Template> r) { ++calls, absent = !r; });
    else
        WWebApiInterface::getWexoSteps(QStringLiteral("w1"), [&](std::shared_ptr<WexoRoot> r, QString id) {
            ++calls, absent = !r, identifier = id;
        });

    if (sends) {
        QTRY_COMPARE(calls, 1);
        QCOMPARE(backend().requests().size(), 1);
        return;
    }
    QCOMPARE(calls, 1);
    QVERIFY(absent);
    if (kind == QLatin1String("steps"))
        QCOMPARE(identifier, QStringLiteral("w1"));
    // A request sent after this one has been answered: anything sent before would be in too.
    bool fenced = false;
    WWebApiInterface::loginWith(QString(), QString(), [&](std::shared_ptr<WLogin>) { fenced = true; });
    QTRY_VERIFY(fenced);
    QCOMPARE(backend().requests().size(), 1);
    QCOMPARE(backend().requests().first().path, kSignIn);
}

void tst_WWebApiInterface::stepsQueryIsEncoded()
{
    const QString id = QStringLiteral("w 1&curl");
    QString answered;
    bool absent = false;
    WWebApiInterface::getWexoSteps(id, [&](std::shared_ptr<WexoRoot> root, QString asked) {
        answered = asked;
        absent = !root;
    });
    QTRY_COMPARE(answered, id);
    QVERIFY(absent); // no such walkthrough: 404
    const QList<RecordedRequest> sent = backend().requests();
    QCOMPARE(sent.size(), 1);
    QCOMPARE(sent.first().rawQuery,
             QStringLiteral("walkthroughId=w%201%26curl&origin=https//com.example.sampleshop&reqSource=iosSdk"));
}

void tst_WWebApiInterface::passwordNeverReachesTheLog()
{
    setDebugLogging(true);
    captured.clear();
    const QtMessageHandler previous = qInstallMessageHandler(captureMessages);
    auto restore = qScopeGuard([previous] {
        qInstallMessageHandler(previous);
        setDebugLogging(false);
    });

    // A refused step makes the stored password travel again; an undecodable
    // login answer makes the client print its decoding error.
    backend().script(QStringLiteral("POST"), kSignIn, answer(200, "{\"success\":\"no\"}"));
    WCredentials::setAdminEmail(backend().adminEmail());
    WCredentials::setAdminPassword(backend().adminPassword());
    const auto result = create(recordedStep(QStringLiteral("stale-token")));
    QTRY_COMPARE(result->calls, 1);
    QCOMPARE(requests(kSignIn).size(), 1);
    QVERIFY(!captured.isEmpty());
    for (const QString &line : std::as_const(captured))
        QVERIFY2(!line.contains(backend().adminPassword()), qPrintable(line));
}

QTEST_GUILESS_MAIN(tst_WWebApiInterface)
#include "tst_wwebapiinterface.moc"
