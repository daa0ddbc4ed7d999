#include "WexoCreator/manager/WexoButtonController.h"
#include "WexoCreator/manager/WexoButtonWindow.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/model/Wexo.h"
#include "WexoCreator/model/WexoCreate.h"
#include "WexoCreator/platform/WUserDefaults.h"
#include "WexoCreator/recording/WPlayConsole.h"
#include "WexoCreator/recording/WexoNode.h"
#include "support/BackendFixture.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QMainWindow>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

using namespace WexoCreator;
using OptString = std::optional<QString>;

class tst_WexolinManager : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        m_host->show(); // the host shows its window before it starts the library
        qputenv("WEXO_PRODUCTION_URL", "http://127.0.0.1:9/");
        startWithEmptyDefaults();
    }

    void startUpGuards_data()
    {
        QTest::addColumn<OptString>("token");
        QTest::addColumn<OptString>("appId");
        QTest::addColumn<bool>("warned");
        QTest::addRow("no token") << OptString() << OptString("app") << false;
        QTest::addRow("null token") << OptString(QString()) << OptString("app") << false;
        QTest::addRow("token, no app id") << OptString("tok") << OptString() << true;
        QTest::addRow("token, null app id") << OptString("tok") << OptString(QString()) << true;
    }

    // Runs first: nothing is stored, no theme applied, no launcher built.
    void startUpGuards()
    {
        QFETCH(OptString, token);
        QFETCH(OptString, appId);
        QFETCH(bool, warned);
        if (warned)
            QTest::ignoreMessage(QtWarningMsg, "Token cannot be empty !!!");
        else
            QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));

        WexolinManager::initialiseWith(token, appId, /*showConsole*/ false, false);

        const WexolinManager &m = WexolinManager::shared();
        QVERIFY(!m.wClientToken() && !m.wClientAppId() && !m.defaultTheme() && !m.wexoButtonController());
        QVERIFY(m.showConsole());
    }

    void credentialsSurviveANewRunOwnerReadableOnly()
    {
        WexolinManager::initialiseWith(QStringLiteral("tok"), QStringLiteral("app"), true, false);
        QVERIFY(WexolinManager::shared().defaultTheme());

        WUserDefaults nextRun(WUserDefaults::defaultFilePath());
        QCOMPARE(nextRun.string(WexolinManager::wClientTokenKey), OptString("tok"));
        QCOMPARE(nextRun.string(WexolinManager::wClientAppIdKey), OptString("app"));
        QCOMPARE(QFile::permissions(WUserDefaults::defaultFilePath()),
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser);
    }

    void logoutRemovesTokenAndPassword()
    {
        WUserDefaults &store = WUserDefaults::standard();
        store.setString(WexolinManager::wAdminTokenKey, QStringLiteral("adm"));
        store.setString(WexolinManager::wAdminEmailKey, QStringLiteral("a@b.c"));
        store.setString(WexolinManager::wAdminPasswordKey, QStringLiteral("secret"));
        QVERIFY(WexolinManager::isAdmin());

        WexolinManager::logoutAdmin();

        WUserDefaults onDisk(WUserDefaults::defaultFilePath());
        QVERIFY(!onDisk.contains(WexolinManager::wAdminTokenKey) && !onDisk.contains(WexolinManager::wAdminPasswordKey));
        QCOMPARE(onDisk.string(WexolinManager::wAdminEmailKey), OptString("a@b.c"));
        QVERIFY(!WexolinManager::isAdmin());
        // A walkthrough named like a credential key cannot overwrite it with its played flag.
        QVERIFY(WexolinManager::playedFlagKey(WexolinManager::wAdminTokenKey) != WexolinManager::wAdminTokenKey);
    }

    void oneLauncherHowEverOftenTheHostStarts()
    {
        WexolinManager::initialiseWith(QStringLiteral("tok"), QStringLiteral("app"), true, false);
        WexoButtonController *launcher = WexolinManager::shared().wexoButtonController();
        QVERIFY(launcher);
        QCOMPARE(launcher->hostWindow(), m_host.get());

        WexolinManager::initialiseWith(QStringLiteral("tok2"), QStringLiteral("app2"), true, false);
        QCOMPARE(WexolinManager::shared().wexoButtonController(), launcher);
        QCOMPARE(m_host->findChildren<WexoButtonWindow *>().size(), 1);
        QCOMPARE(WexolinManager::shared().wClientToken(), OptString("tok2"));
    }

    void createdStepsFillAndCountTheRoot_data()
    {
        QTest::addColumn<OptString>("wexoId");
        QTest::addColumn<OptString>("stepId");
        QTest::addColumn<bool>("filed");
        QTest::addRow("both identifiers") << OptString("w1") << OptString("s1") << true;
        QTest::addRow("no step id") << OptString("w1") << OptString() << false;
        QTest::addRow("no walkthrough id") << OptString() << OptString("s1") << false;
        QTest::addRow("empty step id") << OptString("w1") << OptString(QString()) << false;
    }

    void createdStepsFillAndCountTheRoot()
    {
        QFETCH(OptString, wexoId);
        QFETCH(OptString, stepId);
        QFETCH(bool, filed);
        QPushButton *badge = WexolinManager::shared().wexoButtonController()->wConsoleMenu()->stepNumberBadge();
        badge->setText(QStringLiteral("-"));
        WexoCreate created;
        created.walkthroughId = wexoId;
        created.walkthroughStepId = stepId;

        WexolinManager::setCurrentCreated(nullptr);
        WexolinManager::addParamsToCurrentWexo(created, 3); // nothing recorded yet: no effect
        WexolinManager::incrementCurrenStep();
        QCOMPARE(badge->text(), QStringLiteral("-"));

        auto root = std::make_shared<WexoNode<QString>>(QStringLiteral("p"), std::nullopt, WexoOptionType::record,
                                                        QStringLiteral("p"), std::nullopt, std::nullopt, 7);
        WexolinManager::setCurrentCreated(root);
        WexolinManager::addParamsToCurrentWexo(created, 3);
        QCOMPARE(root->wexoId, filed ? wexoId : OptString());
        QCOMPARE(root->stepId, filed ? stepId : OptString());
        WexolinManager::incrementCurrenStep();
        QCOMPARE(root->stepNumber, filed ? 4 : 8);
        QCOMPARE(badge->text(), QString::number(root->stepNumber));
    }

    void resetEndsRecordingButKeepsPlayback()
    {
        WexolinManager &m = WexolinManager::shared();
        auto page = std::make_shared<Wexo>();
        WexolinManager::setCurrentPlaying(page);
        WexolinManager::addAnalyticsId(QStringLiteral("a-1"));
        QCOMPARE(page->analyticsId, OptString("a-1"));
        WexolinManager::setCurrentWexoType(WexoOptionType::record);
        WexolinManager::setWexo(QStringLiteral("Checkout"));
        m.isRecording = true;

        WexolinManager::reset();

        QVERIFY(!m.currentWexoType() && !m.currentWexoName() && !m.currentCreatedWexo() && m.isRecording);
        QCOMPARE(m.currentPlayingWexo(), page);
        QCOMPARE(page->analyticsId, OptString());
        m.isRecording = false;
        WexolinManager::setCurrentPlaying(nullptr);
    }

    // Several main windows: the active one, else the first made, whatever order
    // the application keeps its top-level widgets in.
    void hostWindowChoiceIsStable()
    {
        std::vector<std::unique_ptr<QMainWindow>> others;
        for (int i = 0; i < 12; ++i) {
            others.push_back(std::make_unique<QMainWindow>());
            others.back()->show();
        }
        QApplication::setActiveWindow(nullptr);
        QCOMPARE(WexolinManager::hostWindow(), std::optional<QWidget *>(m_host.get()));
        QApplication::setActiveWindow(others[7].get());
        QTRY_COMPARE(WexolinManager::hostWindow(), std::optional<QWidget *>(others[7].get()));
        QDialog dialog;
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QTRY_COMPARE(QApplication::activeWindow(), &dialog);
        QCOMPARE(WexolinManager::hostWindow(), std::optional<QWidget *>(m_host.get()));
    }

    // Last: the host replaces its main window.
    void aLauncherGoesWithItsHostWindow()
    {
        m_host.reset();
        QVERIFY(!WexolinManager::shared().wexoButtonController());
        // Started before the new window exists: the launcher has nothing to cover...
        WexolinManager::initialiseWith(QStringLiteral("tok"), QStringLiteral("app"), true, false);
        QVERIFY(!WexolinManager::shared().wexoButtonController()->hostWindow());
        // ... until a start with the window up puts one over it.
        m_host = std::make_unique<QMainWindow>();
        m_host->show();
        WexolinManager::initialiseWith(QStringLiteral("tok"), QStringLiteral("app"), true, false);
        QCOMPARE(WexolinManager::shared().wexoButtonController()->hostWindow(), m_host.get());
        QCOMPARE(m_host->findChildren<WexoButtonWindow *>().size(), 1);
    }

private:
    std::unique_ptr<QMainWindow> m_host = std::make_unique<QMainWindow>();
};

QTEST_MAIN(tst_WexolinManager)
#include "tst_wexolinmanager.moc"
