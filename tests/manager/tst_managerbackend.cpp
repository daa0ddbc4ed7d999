#include "support/BackendFixture.h"

#include "WexoCreator/appearance-model/Template.h"
#include "WexoCreator/appearance-model/Theme.h"
#include "WexoCreator/backend/WCredentials.h"
#include "WexoCreator/backend/WWebApiInterface.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/model/Wexo.h"
#include "WexoCreator/model/WexoRoot.h"
#include "WexoCreator/platform/WUserDefaults.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMainWindow>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

using namespace WexoCreator;

// Host pages: their class names are the page names walkthroughs use.
class ListPage : public QWidget
{
    Q_OBJECT
};
class DetailPage : public QWidget
{
    Q_OBJECT
};
class SettingsPage : public QWidget
{
    Q_OBJECT
};
class ShopStack : public QStackedWidget
{
    Q_OBJECT
};
class HostTabs : public QTabWidget
{
    Q_OBJECT
};

namespace {

const QString kSite = QStringLiteral("com.example.sampleshop");

QJsonObject page(const QString &pageName, int steps, const QString &wexoId)
{
    QJsonArray values;
    for (int i = 0; i < steps; ++i) {
        values.append(QJsonObject{{QStringLiteral("StepId"), QStringLiteral("%1-%2-%3").arg(wexoId, pageName).arg(i)},
                                  {QStringLiteral("Frame"), QStringLiteral("searchField")},
                                  {QStringLiteral("PlaybookNotes"), QStringLiteral("popover")},
                                  {QStringLiteral("OrderNumber"), i},
                                  {QStringLiteral("WalkthroughId"), wexoId}});
    }
    QJsonObject object{{QStringLiteral("PageOrderNo"), 0}, {QStringLiteral("WalkthroughId"), wexoId},
                       {QStringLiteral("values"), values}};
    if (!pageName.isEmpty())
        object.insert(QStringLiteral("Page"), pageName);
    return object;
}

QJsonObject walkthrough(const QString &id, const QJsonValue &name, const QString &site, const QJsonArray &pages)
{
    QJsonObject nameRecord{{QStringLiteral("Id"), id}, {QStringLiteral("domain"), site}};
    if (name.isString())
        nameRecord.insert(QStringLiteral("Name"), name);
    return QJsonObject{{QStringLiteral("Id"), id}, {QStringLiteral("wexoName"), nameRecord},
                       {QStringLiteral("className"), pages}};
}

} // namespace

class tst_ManagerBackend : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QFile::remove(WUserDefaults::defaultFilePath());
        WUserDefaults::standard().reload();
        buildHost();
        writeData();

        WexoSample::SampleBackend::Options options;
        options.dataDir = m_data.path();
        m_backend = std::make_unique<BackendFixture>(options);
        QVERIFY(m_backend->isRunning());
        WCredentials::setClientToken(m_backend->backend().clientToken());
        WCredentials::setClientAppId(kSite);
    }

    void cleanupTestCase()
    {
        WexolinManager::setTabBarController(nullptr);
        m_backend.reset();
    }

    void loginStoresTheAdministrator_data()
    {
        QTest::addColumn<bool>("rightPassword");
        QTest::addRow("accepted") << true;
        QTest::addRow("refused") << false;
    }

    void loginStoresTheAdministrator()
    {
        QFETCH(bool, rightPassword);
        WCredentials::setAdminEmail(QStringLiteral("earlier@example.com"));
        WCredentials::setAdminPassword(QStringLiteral("earlier"));
        WexolinManager::logoutAdmin();

        const QString email = m_backend->backend().adminEmail();
        const QString password = rightPassword ? m_backend->backend().adminPassword() : QStringLiteral("wrong");
        std::optional<bool> answer;
        WexolinManager::loginAdmin(email, password, [&](bool ok) { answer = ok; });
        QVERIFY(!answer);
        QTRY_VERIFY(answer);
        QCOMPARE(*answer, rightPassword);
        QCOMPARE(WexolinManager::isAdmin(), rightPassword);
        QCOMPARE(WexolinManager::shared().wAdminEmail(),
                 std::optional<QString>(rightPassword ? email : QStringLiteral("earlier@example.com")));
        QCOMPARE(WexolinManager::shared().wAdminPassword(),
                 rightPassword ? std::optional<QString>(password) : std::nullopt);
    }

    void startUpFetchesTheAppearanceAndFonts()
    {
        m_backend->backend().clearRequests();
        WexolinManager::initialiseWith(m_backend->backend().clientToken(), kSite, true, false);
        QVERIFY(WexolinManager::shared().defaultTheme());
        QTRY_VERIFY(WexolinManager::shared().theme() && WexolinManager::shared().currentTemplate());
        QTRY_VERIFY(!m_backend->backend().requests(QStringLiteral("/fonts/")).isEmpty());
        QVERIFY(!m_backend->backend().requests(QStringLiteral("/mobileApi/epc/mobileTemplate")).isEmpty());
    }

    void failedAnswersKeepTheAppearanceInUse_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("path");
        QTest::addRow("template") << QStringLiteral("GET") << QStringLiteral("/mobileApi/epc/mobileTemplate");
        QTest::addRow("theme") << QStringLiteral("POST") << QStringLiteral("/mobileApi/client/configurationsPerUrl");
    }

    void failedAnswersKeepTheAppearanceInUse()
    {
        QFETCH(QString, method);
        QFETCH(QString, path);
        WexolinManager::getUI();
        QTRY_VERIFY(WexolinManager::shared().theme() && WexolinManager::shared().currentTemplate());
        const std::shared_ptr<Theme> theme = WexolinManager::shared().theme();
        const std::shared_ptr<Template> templ = WexolinManager::shared().currentTemplate();

        m_backend->backend().script(method, path, WexoSample::ScriptedAnswer{500, "{}"});
        WexolinManager::getUI();
        // A later request of the same kind answers after the manager's one has.
        bool themeDone = false;
        bool templateDone = false;
        WWebApiInterface::getTheme([&](std::shared_ptr<Theme>) { themeDone = true; });
        WWebApiInterface::getTemplate([&](std::shared_ptr<Template>) { templateDone = true; });
        QTRY_VERIFY(themeDone && templateDone);
        m_backend->backend().clearScripts();

        QCOMPARE(WexolinManager::shared().theme() == theme, path.contains(QStringLiteral("configurationsPerUrl")));
        QCOMPARE(WexolinManager::shared().currentTemplate() == templ, path.contains(QStringLiteral("Template")));
        QVERIFY(WexolinManager::shared().theme() && WexolinManager::shared().currentTemplate());
    }

private:
    void buildHost()
    {
        m_tabs = new HostTabs;
        m_stack = new ShopStack;
        m_stack->addWidget(new ListPage);
        m_stack->addWidget(new DetailPage);
        m_tabs->addTab(m_stack, QStringLiteral("Shop"));
        m_tabs->addTab(new SettingsPage, QStringLiteral("Settings"));
        m_host.setCentralWidget(m_tabs);
        m_host.resize(400, 300);
        m_host.show();
        WexolinManager::setTabBarController(m_tabs);
    }

    void writeData()
    {
        QVERIFY(m_data.isValid());
        const QDir sample(QStringLiteral(WEXO_SAMPLE_DATA_DIR));
        for (const QString &file : {QStringLiteral("account.json"), QStringLiteral("theme.json"),
                                    QStringLiteral("template.json")}) {
            QVERIFY(QFile::copy(sample.filePath(file), m_data.filePath(file)));
        }
        QDir(m_data.path()).mkpath(QStringLiteral("walkthroughs"));
        const QString tour = QStringLiteral("w-tour");
        const QString settings = QStringLiteral("w-settings");
        const QString other = QStringLiteral("w-other");
        const QString nameless = QStringLiteral("w-nameless");
        writeWalkthrough(QStringLiteral("1.json"),
                         walkthrough(tour, QStringLiteral("Tour"), kSite,
                                     {page(QStringLiteral("ListPage"), 2, tour), page(QString(), 1, tour),
                                      page(QStringLiteral("ListPage"), 1, tour), page(QStringLiteral("DetailPage"), 2, tour)}));
        writeWalkthrough(QStringLiteral("2.json"),
                         walkthrough(settings, QJsonValue(), kSite,
                                     {page(QStringLiteral("SettingsPage"), 1, settings),
                                      page(QStringLiteral("HostTabs"), 2, settings)}));
        writeWalkthrough(QStringLiteral("3.json"),
                         walkthrough(other, QJsonValue(), kSite, {page(QStringLiteral("ListPage"), 4, other)}));
        writeWalkthrough(QStringLiteral("4.json"),
                         walkthrough(QStringLiteral("w-elsewhere"), QStringLiteral("Elsewhere"),
                                     QStringLiteral("com.example.otherapp"),
                                     {page(QStringLiteral("ListPage"), 1, QStringLiteral("w-elsewhere"))}));
        // Downloaded by identifier only: without a name record it is listed for no site.
        QJsonObject noName{{QStringLiteral("Id"), nameless},
                           {QStringLiteral("className"), QJsonArray{page(QStringLiteral("SettingsPage"), 1, nameless)}}};
        writeWalkthrough(QStringLiteral("5.json"), noName);
    }

    void writeWalkthrough(const QString &name, const QJsonObject &object)
    {
        QFile file(m_data.filePath(QStringLiteral("walkthroughs/") + name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QJsonDocument(object).toJson());
    }

    QTemporaryDir m_data;
    std::unique_ptr<BackendFixture> m_backend;
    QMainWindow m_host;
    HostTabs *m_tabs = nullptr;
    ShopStack *m_stack = nullptr;
};

QTEST_MAIN(tst_ManagerBackend)
#include "tst_managerbackend.moc"
