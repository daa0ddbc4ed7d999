#include "support/BackendFixture.h"

#include "WexoCreator/appearance-model/Template.h"
#include "WexoCreator/appearance-model/Theme.h"
#include "WexoCreator/appearance-model/ThemeConfiguration.h"
#include "WexoCreator/appearance-model/ElementConfiguration.h"
#include "WexoCreator/appearance-model/WFonts.h"
#include "WexoCreator/configuration/WAppearanceState.h"
#include "WexoCreator/backend/WCredentials.h"
#include "WexoCreator/backend/WFeedManager.h"
#include "WexoCreator/backend/WWebApiInterface.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/model/Wexo.h"
#include "WexoCreator/model/WexoRoot.h"
#include "WexoCreator/platform/WNotificationCenter.h"
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

// "name|page|total" of each page, the form the expectations are written in.
QStringList describe(const QList<std::shared_ptr<Wexo>> &pages)
{
    QStringList lines;
    for (const std::shared_ptr<Wexo> &p : pages)
        lines << QStringLiteral("%1|%2|%3").arg(p->wexoName.value_or(QStringLiteral("-")), p->Page.value_or(QString()))
                     .arg(p->totalWexoSteps);
    return lines;
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
        settle();
        const std::shared_ptr<Theme> theme = WexolinManager::shared().theme();
        const std::shared_ptr<Template> templ = WexolinManager::shared().currentTemplate();

        m_backend->backend().script(method, path, WexoSample::ScriptedAnswer{500, "{}"});
        WexolinManager::getUI();
        settle();
        m_backend->backend().clearScripts();

        QCOMPARE(WexolinManager::shared().theme() == theme, path.contains(QStringLiteral("configurationsPerUrl")));
        QCOMPARE(WexolinManager::shared().currentTemplate() == templ, path.contains(QStringLiteral("Template")));
        QVERIFY(WexolinManager::shared().theme() && WexolinManager::shared().currentTemplate());
    }

    void nothingBeforeTheFeedHasDownloaded()
    {
        QVERIFY(WexolinManager::wexosOnCurrentView().isEmpty());
    }

    void reloadTheFeed()
    {
        bool complete = false;
        QObject context;
        WNotificationCenter::defaultCenter().addObserver(WFeedManager::WexoDownloadCompleteNotification, &context,
                                                         [&](const QVariantMap &) { complete = true; });
        WFeedManager::reloadFeed();
        QTRY_VERIFY(complete);
        QCOMPARE(WFeedManager::shared().wexoFeed().size(), 3);
    }

    void pagesOfTheCurrentView_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("stackPage");
        QTest::addColumn<bool>("tabBarShown");
        QTest::addColumn<QStringList>("firstPass"); // any order: the feed keeps the order answers arrived in
        QTest::addColumn<QStringList>("tabPass");

        const QStringList tabs = {QStringLiteral("Unknown|HostTabs|3")};
        QTest::addRow("list page, first of two pages for it")
            << 0 << 0 << true << QStringList{QStringLiteral("Tour|ListPage|6"), QStringLiteral("Unknown|ListPage|4")}
            << tabs;
        QTest::addRow("detail page inside the stack") << 0 << 1 << true << QStringList{QStringLiteral("Tour|DetailPage|6")}
                                                      << tabs;
        QTest::addRow("one walkthrough in both passes")
            << 1 << 0 << true << QStringList{QStringLiteral("Unknown|SettingsPage|3")} << tabs;
        QTest::addRow("tab bar hidden: no second pass")
            << 0 << 0 << false << QStringList{QStringLiteral("Tour|ListPage|6"), QStringLiteral("Unknown|ListPage|4")}
            << QStringList();
    }

    void pagesOfTheCurrentView()
    {
        QFETCH(int, tab);
        QFETCH(int, stackPage);
        QFETCH(bool, tabBarShown);
        QFETCH(QStringList, firstPass);
        QFETCH(QStringList, tabPass);

        m_tabs->setCurrentIndex(tab);
        m_stack->setCurrentIndex(stackPage);
        m_tabs->tabBar()->setVisible(tabBarShown);

        const QStringList found = describe(WexolinManager::wexosOnCurrentView());
        m_tabs->tabBar()->setVisible(true);

        QCOMPARE(found.size(), firstPass.size() + tabPass.size());
        QStringList first = found.mid(0, firstPass.size());
        first.sort();
        firstPass.sort();
        QCOMPARE(first, firstPass);
        QCOMPARE(found.mid(firstPass.size()), tabPass);
    }

    void everyPageOfAMatchedWalkthroughIsNamed()
    {
        m_tabs->setCurrentIndex(0);
        m_stack->setCurrentIndex(0);
        WexolinManager::wexosOnCurrentView();
        for (const std::shared_ptr<WexoRoot> &root : WFeedManager::shared().wexoFeed()) {
            for (const std::shared_ptr<Wexo> &p : *root->wexos)
                QVERIFY2(p->wexoName.has_value(), qPrintable(p->Page.value_or(QStringLiteral("(no page)"))));
        }
    }

    void downloadWexo_data()
    {
        QTest::addColumn<QString>("wexoId");
        QTest::addColumn<int>("tab");
        QTest::addColumn<bool>("success");
        QTest::addColumn<QString>("match");

        QTest::addRow("page for the screen") << QStringLiteral("w-tour") << 0 << true << QStringLiteral("Tour|ListPage|0");
        QTest::addRow("no page for the screen") << QStringLiteral("w-tour") << 1 << true << QString();
        QTest::addRow("no name record") << QStringLiteral("w-nameless") << 1 << true
                                        << QStringLiteral("Unknown|SettingsPage|0");
        QTest::addRow("unknown walkthrough") << QStringLiteral("w-missing") << 0 << false << QString();
    }

    void downloadWexo()
    {
        QFETCH(QString, wexoId);
        QFETCH(int, tab);
        QFETCH(bool, success);
        QFETCH(QString, match);

        m_tabs->setCurrentIndex(tab);
        m_stack->setCurrentIndex(0);
        std::optional<std::pair<bool, std::shared_ptr<Wexo>>> answer;
        WexolinManager::downloadWexo(wexoId, /*autoPlay*/ false,
                                     [&](bool ok, std::shared_ptr<Wexo> p) { answer.emplace(ok, p); });
        QVERIFY(!answer); // never inside the call
        QTRY_VERIFY(answer);
        QCOMPARE(answer->first, success);
        QCOMPARE(answer->second ? describe({answer->second}).first() : QString(), match);
    }

    void continueOnAnotherScreen_data()
    {
        QTest::addColumn<QString>("playingWexoId"); // empty: the playing page has no walkthrough id
        QTest::addColumn<bool>("playing");
        QTest::addColumn<int>("stackPage");
        QTest::addColumn<QString>("expected");

        QTest::addRow("nothing playing") << QStringLiteral("w-tour") << false << 1 << QString();
        QTest::addRow("next screen of the walkthrough")
            << QStringLiteral("w-tour") << true << 1 << QStringLiteral("Tour|DetailPage|6");
        QTest::addRow("walkthrough has no page there") << QStringLiteral("w-settings") << true << 1 << QString();
        QTest::addRow("playing page without walkthrough id") << QString() << true << 1 << QString();
    }

    void continueOnAnotherScreen()
    {
        QFETCH(QString, playingWexoId);
        QFETCH(bool, playing);
        QFETCH(int, stackPage);
        QFETCH(QString, expected);

        auto current = std::make_shared<Wexo>();
        if (!playingWexoId.isEmpty())
            current->WalkthroughId = playingWexoId;
        WexolinManager::setCurrentPlaying(playing ? current : nullptr);
        m_stack->setCurrentIndex(stackPage);

        const std::shared_ptr<Wexo> next = WexolinManager::wexoOnCurrentViewController(m_stack->currentWidget());
        WexolinManager::setCurrentPlaying(nullptr);
        QCOMPARE(next ? describe({next}).first() : QString(), expected);
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
        WAppearanceState::setTheme(nullptr);
        WAppearanceState::setTemplate(nullptr);
        m_backend->backend().clearRequests();
        WexolinManager::initialiseWith(m_backend->backend().clientToken(), kSite, true, false);
        QVERIFY(WexolinManager::shared().defaultTheme());
        QTRY_VERIFY(WexolinManager::shared().theme() && WexolinManager::shared().currentTemplate());
        const auto fonts = WexolinManager::shared().theme()->config()->Configurations()->fonts();
        QVERIFY(fonts && !fonts->isEmpty());
        for (const std::shared_ptr<WFonts> &font : *fonts)
            QTRY_VERIFY(font->localURL().has_value());
    }

private:
    // Requests of the same kinds sent now answer after the ones sent before.
    void settle()
    {
        bool themeDone = false;
        bool templateDone = false;
        WWebApiInterface::getTheme([&](std::shared_ptr<Theme>) { themeDone = true; });
        WWebApiInterface::getTemplate([&](std::shared_ptr<Template>) { templateDone = true; });
        QTRY_VERIFY(themeDone && templateDone);
    }

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
