#include "support/BackendFixture.h"

#include "WexoCreator/appearance-model/ElementConfiguration.h"
#include "WexoCreator/appearance-model/Template.h"
#include "WexoCreator/appearance-model/Theme.h"
#include "WexoCreator/appearance-model/ThemeConfiguration.h"
#include "WexoCreator/appearance-model/WFonts.h"
#include "WexoCreator/backend/WCredentials.h"
#include "WexoCreator/backend/WFeedManager.h"
#include "WexoCreator/backend/WWebApiInterface.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/model/Wexo.h"
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
class ListPage : public QWidget { Q_OBJECT };
class DetailPage : public QWidget { Q_OBJECT };
class SettingsPage : public QWidget { Q_OBJECT };
class HostTabs : public QTabWidget { Q_OBJECT };

namespace {

const QString kSite = QStringLiteral("com.example.sampleshop");

// A walkthrough answer: pages given as "PageName:steps" ("" for a page without a name).
QJsonObject walkthrough(const QString &id, const QJsonValue &name, const QString &site, const QStringList &pages)
{
    QJsonArray pageArray;
    for (const QString &spec : pages) {
        QJsonArray values;
        for (int i = 0; i < spec.section(u':', 1).toInt(); ++i)
            values.append(QJsonObject{{"StepId", QStringLiteral("%1-%2").arg(spec).arg(i)}, {"OrderNumber", i}});
        QJsonObject page{{"PageOrderNo", 0}, {"WalkthroughId", id}, {"values", values}};
        if (!spec.section(u':', 0, 0).isEmpty())
            page.insert("Page", spec.section(u':', 0, 0));
        pageArray.append(page);
    }
    QJsonObject root{{"Id", id}, {"className", pageArray}};
    if (!site.isEmpty())
        root.insert("wexoName", QJsonObject{{"Id", id}, {"domain", site}, {"Name", name}});
    return root;
}

// "name|page|total", the form expectations are written in.
QString describe(const std::shared_ptr<Wexo> &p)
{
    return p ? QStringLiteral("%1|%2|%3").arg(p->wexoName.value_or("-"), p->Page.value_or("")).arg(p->totalWexoSteps)
             : QString();
}

} // namespace

class tst_ManagerBackend : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        startWithEmptyDefaults();

        m_tabs = new HostTabs;
        m_stack = new QStackedWidget;
        m_stack->addWidget(new ListPage);
        m_stack->addWidget(new DetailPage);
        m_tabs->addTab(m_stack, QStringLiteral("Shop"));
        m_tabs->addTab(new SettingsPage, QStringLiteral("Settings"));
        m_host.setCentralWidget(m_tabs);
        m_host.show();
        WexolinManager::setTabBarController(m_tabs);

        const QDir sample(QStringLiteral(WEXO_SAMPLE_DATA_DIR));
        for (const char *file : {"account.json", "theme.json", "template.json"})
            QVERIFY(QFile::copy(sample.filePath(file), m_data.filePath(file)));
        QDir(m_data.path()).mkpath("walkthroughs");
        const QJsonValue unnamed; // name record without a "Name"
        writeWalkthrough("1", walkthrough("w-tour", "Tour", kSite, {"ListPage:2", ":1", "ListPage:1", "DetailPage:2"}));
        writeWalkthrough("2", walkthrough("w-settings", unnamed, kSite, {"SettingsPage:1", "HostTabs:2"}));
        writeWalkthrough("3", walkthrough("w-other", unnamed, kSite, {"ListPage:4"}));
        writeWalkthrough("4", walkthrough("w-elsewhere", "Elsewhere", "com.example.otherapp", {"ListPage:1"}));
        writeWalkthrough("5", walkthrough("w-nameless", unnamed, QString(), {"SettingsPage:1"})); // no name record
        QJsonObject noId = walkthrough("w-noid", "NoId", kSite, {"DetailPage:1"});
        QJsonObject nameWithoutId = noId.value("wexoName").toObject();
        nameWithoutId.remove("Id");
        noId.insert("wexoName", nameWithoutId);
        writeWalkthrough("6", noId);

        WexoSample::SampleBackend::Options options;
        options.dataDir = m_data.path();
        m_backend = std::make_unique<BackendFixture>(options);
        QVERIFY(m_backend->isRunning());
        WCredentials::setClientToken(m_backend->backend().clientToken());
        WCredentials::setClientAppId(kSite);
    }

    void cleanupTestCase() { WexolinManager::setTabBarController(nullptr); }

    void failedAnswerKeepsTheAppearanceInUse_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("path");
        QTest::addRow("template") << "GET" << "/mobileApi/epc/mobileTemplate";
        QTest::addRow("theme") << "POST" << "/mobileApi/client/configurationsPerUrl";
    }

    // Runs before anything else asks the backend, so no earlier answer is still on its way.
    void failedAnswerKeepsTheAppearanceInUse()
    {
        QFETCH(QString, method);
        QFETCH(QString, path);
        WexoSample::SampleBackend &backend = m_backend->backend();
        const auto appearance = [] {
            return std::pair(WexolinManager::shared().theme(), WexolinManager::shared().currentTemplate());
        };
        const auto before = appearance();
        WexolinManager::getUI();
        // Answers come in any order on a busy machine: waited for, not for a round trip after them.
        QTRY_VERIFY(appearance().first != before.first && appearance().second != before.second);
        const auto [theme, templ] = appearance();
        QVERIFY(theme && templ);

        const qsizetype asked = backend.requests(path).size();
        backend.script(method, path, WexoSample::ScriptedAnswer{500, "{}"});
        WexolinManager::getUI();
        // The failed kind keeps its record; the other one takes the fresh answer.
        const bool templateFailed = path.endsWith(QLatin1String("mobileTemplate"));
        QTRY_VERIFY(templateFailed ? WexolinManager::shared().theme() != theme
                                   : WexolinManager::shared().currentTemplate() != templ);
        QTRY_COMPARE(backend.requests(path).size(), asked + 1);
        settle();
        backend.clearScripts();
        QCOMPARE(WexolinManager::shared().currentTemplate() == templ, templateFailed);
        QCOMPARE(WexolinManager::shared().theme() == theme, !templateFailed);
    }

    void lateAppearanceAnswer_data()
    {
        QTest::addColumn<int>("newerStatus");
        QTest::addRow("dropped once a newer run answered") << 200;
        QTest::addRow("kept when the newer run failed") << 500;
    }

    // Start-up and a refresh overlap: the first run's answers come last.
    void lateAppearanceAnswer()
    {
        QFETCH(int, newerStatus);
        WexoSample::SampleBackend &backend = m_backend->backend();
        const QString themePath = QStringLiteral("/mobileApi/client/configurationsPerUrl");
        const QString templatePath = QStringLiteral("/mobileApi/epc/mobileTemplate");
        const auto answer = [&](int status, int ms) {
            const QByteArray theme = status == 200 ? dataFile("theme.json") : QByteArray("{}");
            const QByteArray templ = status == 200 ? dataFile("template.json") : QByteArray("{}");
            backend.script(QStringLiteral("POST"), themePath, {.status = status, .body = theme, .delayMs = ms, .times = 1});
            backend.script(QStringLiteral("GET"), templatePath, {.status = status, .body = templ, .delayMs = ms, .times = 1});
        };
        const auto appearance = [] {
            return std::pair(WexolinManager::shared().theme(), WexolinManager::shared().currentTemplate());
        };
        const auto changed = [&appearance](const auto &from) {
            return appearance().first != from.first && appearance().second != from.second;
        };
        const qsizetype themeRequests = backend.requests(themePath).size();
        const qsizetype templateRequests = backend.requests(templatePath).size();
        const auto before = appearance();

        answer(200, 300);
        WexolinManager::getUI();
        QTRY_COMPARE(backend.requests(themePath).size(), themeRequests + 1);
        QTRY_COMPARE(backend.requests(templatePath).size(), templateRequests + 1);
        answer(newerStatus, 0);
        WexolinManager::getUI();
        // Either the newer run's answers, or the first run's, the only good ones.
        QTRY_VERIFY(changed(before));
        const auto used = appearance();

        answer(200, 1000);
        settle(); // answers after the first run's
        QCOMPARE(appearance(), used);
        backend.clearScripts();
    }

    void pagesOfTheCurrentView_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("stackPage");
        QTest::addColumn<bool>("tabBarShown");
        QTest::addColumn<QStringList>("firstPass"); // sorted: the feed keeps the order answers arrived in
        QTest::addColumn<QStringList>("tabPass");

        const QStringList tabs = {"Unknown|HostTabs|3"};
        const QStringList list = {"Tour|ListPage|6", "Unknown|ListPage|4"};
        QTest::addRow("first of two pages for one screen") << 0 << 0 << true << list << tabs;
        QTest::addRow("page inside a stack") << 0 << 1 << true << QStringList{"NoId|DetailPage|1", "Tour|DetailPage|6"} << tabs;
        QTest::addRow("one walkthrough in both passes") << 1 << 0 << true << QStringList{"Unknown|SettingsPage|3"} << tabs;
        QTest::addRow("tab bar hidden") << 0 << 0 << false << list << QStringList();
    }

    void pagesOfTheCurrentView()
    {
        QFETCH(int, tab);
        QFETCH(int, stackPage);
        QFETCH(bool, tabBarShown);
        QFETCH(QStringList, firstPass);
        QFETCH(QStringList, tabPass);
        if (WFeedManager::shared().wexoFeed().isEmpty()) {
            QVERIFY(WexolinManager::wexosOnCurrentView().isEmpty());
            bool complete = false;
            QObject context;
            WNotificationCenter::defaultCenter().addObserver(WFeedManager::WexoDownloadCompleteNotification, &context,
                                                             [&](const QVariantMap &) { complete = true; });
            WFeedManager::reloadFeed();
            QTRY_VERIFY(complete);
        }
        m_tabs->setCurrentIndex(tab);
        m_stack->setCurrentIndex(stackPage);
        m_tabs->tabBar()->setVisible(tabBarShown);

        QStringList found;
        for (const std::shared_ptr<Wexo> &page : WexolinManager::wexosOnCurrentView())
            found << describe(page);
        m_tabs->tabBar()->setVisible(true);

        QStringList first = found.mid(0, firstPass.size());
        first.sort();
        QCOMPARE(first, firstPass);
        QCOMPARE(found.mid(firstPass.size()), tabPass);
    }

    void downloadWexo_data()
    {
        QTest::addColumn<QString>("wexoId");
        QTest::addColumn<int>("tab");
        QTest::addColumn<bool>("success");
        QTest::addColumn<QString>("match");
        QTest::addRow("page for the screen") << "w-tour" << 0 << true << "Tour|ListPage|6";
        QTest::addRow("no page for the screen") << "w-tour" << 1 << true << QString();
        QTest::addRow("no name record") << "w-nameless" << 1 << true << "Unknown|SettingsPage|1";
        QTest::addRow("unknown walkthrough") << "w-missing" << 0 << false << QString();
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
        WexolinManager::downloadWexo(wexoId, /*autoPlay*/ true, [&](bool ok, std::shared_ptr<Wexo> p) { answer.emplace(ok, p); });
        QVERIFY(!answer); // handed over from the main loop, never inside the call
        QTRY_VERIFY(answer);
        QCOMPARE(answer->first, success);
        QCOMPARE(describe(answer->second), match);
    }

    void continueOnAnotherScreen_data()
    {
        QTest::addColumn<bool>("playing");
        QTest::addColumn<QString>("playingWexoId"); // empty: the playing page has none
        QTest::addColumn<QString>("expected");
        QTest::addRow("nothing playing") << false << "w-tour" << QString();
        QTest::addRow("next screen of the walkthrough") << true << "w-tour" << "Tour|DetailPage|6";
        QTest::addRow("walkthrough without a page there") << true << "w-settings" << QString();
        QTest::addRow("no identifier never matches a root without one") << true << QString() << QString();
    }

    void continueOnAnotherScreen()
    {
        QFETCH(bool, playing);
        QFETCH(QString, playingWexoId);
        QFETCH(QString, expected);
        auto current = std::make_shared<Wexo>();
        if (!playingWexoId.isEmpty())
            current->WalkthroughId = playingWexoId;
        WexolinManager::setCurrentPlaying(playing ? current : nullptr);
        m_stack->setCurrentIndex(1);

        QCOMPARE(describe(WexolinManager::wexoOnCurrentViewController(m_stack->currentWidget())), expected);
        WexolinManager::setCurrentPlaying(nullptr);
    }

    void startUpFetchesTheAppearanceAndFonts()
    {
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

    QByteArray dataFile(const char *name) const
    {
        QFile file(m_data.filePath(QString::fromLatin1(name)));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void writeWalkthrough(const QString &name, const QJsonObject &object)
    {
        QFile file(m_data.filePath(QStringLiteral("walkthroughs/%1.json").arg(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QJsonDocument(object).toJson());
    }

    QTemporaryDir m_data;
    std::unique_ptr<BackendFixture> m_backend;
    QMainWindow m_host;
    HostTabs *m_tabs = nullptr;
    QStackedWidget *m_stack = nullptr;
};

QTEST_MAIN(tst_ManagerBackend)
#include "tst_managerbackend.moc"
