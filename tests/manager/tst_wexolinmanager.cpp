#include "WexoCreator/appearance-model/Theme.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/model/Wexo.h"
#include "WexoCreator/model/WexoCreate.h"
#include "WexoCreator/platform/WUserDefaults.h"

#include "WexoCreator/manager/WexoButtonController.h"
#include "WexoCreator/manager/WexoButtonWindow.h"
#include "WexoCreator/recording/WPlayConsole.h"

#include <QFile>
#include <QMainWindow>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

using namespace WexoCreator;

namespace {

using OptString = std::optional<QString>;

const QStringList credentialKeys = {WexolinManager::wClientTokenKey, WexolinManager::wClientAppIdKey,
                                    WexolinManager::wAdminTokenKey, WexolinManager::wAdminEmailKey,
                                    WexolinManager::wAdminPasswordKey};

void clearStore()
{
    for (const QString &key : credentialKeys)
        WUserDefaults::standard().remove(key);
}

} // namespace

class tst_WexolinManager : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // The host shows its window before it starts the library.
        m_host.resize(400, 300);
        m_host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_host));
        qputenv("WEXO_PRODUCTION_URL", "http://127.0.0.1:9/");
        QStandardPaths::setTestModeEnabled(true);
        QFile::remove(WUserDefaults::defaultFilePath());
        WUserDefaults::standard().reload();
    }

    void init()
    {
        clearStore();
        WexolinManager::reset();
        WexolinManager::setCurrentPlaying(nullptr);
        WexolinManager::setDefault(nullptr);
    }

    void freshInstallationHasNoCredentials()
    {
        const WexolinManager &m = WexolinManager::shared();
        QVERIFY(!m.wClientToken() && !m.wClientAppId() && !m.wAdminToken() && !m.wAdminEmail()
                && !m.wAdminPassword());
        QVERIFY(!WexolinManager::isAdmin());
    }

    void startUpGuards_data()
    {
        QTest::addColumn<OptString>("token");
        QTest::addColumn<OptString>("appId");
        QTest::addColumn<bool>("stored");
        QTest::addColumn<bool>("warned");
        QTest::addRow("no token, app id") << OptString() << OptString(QStringLiteral("app")) << false << false;
        QTest::addRow("null token, app id") << OptString(QString()) << OptString(QStringLiteral("app")) << false
                                            << false;
        QTest::addRow("nothing at all") << OptString() << OptString() << false << false;
        QTest::addRow("token, no app id") << OptString(QStringLiteral("tok")) << OptString() << false << true;
        QTest::addRow("token, null app id") << OptString(QStringLiteral("tok")) << OptString(QString()) << false
                                            << true;
        QTest::addRow("both") << OptString(QStringLiteral("tok")) << OptString(QStringLiteral("app")) << true
                              << false;
    }

    void startUpGuards()
    {
        QFETCH(OptString, token);
        QFETCH(OptString, appId);
        QFETCH(bool, stored);
        QFETCH(bool, warned);

        WexolinManager::initialiseWith(QStringLiteral("t0"), QStringLiteral("a0"), true, false);
        clearStore();
        WexolinManager::setDefault(nullptr);

        if (warned)
            QTest::ignoreMessage(QtWarningMsg, "Token cannot be empty !!!");
        else
            QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));

        WexolinManager::initialiseWith(token, appId, /*showConsole*/ false, /*debugLog*/ false);

        const WexolinManager &m = WexolinManager::shared();
        QCOMPARE(m.wClientToken(), stored ? token : OptString());
        QCOMPARE(m.wClientAppId(), stored ? appId : OptString());
        QCOMPARE(m.showConsole(), !stored);
        QCOMPARE(bool(m.defaultTheme()), stored);
    }

    void oneLauncherHowEverOftenTheHostStarts()
    {
        WexolinManager::initialiseWith(QStringLiteral("tok"), QStringLiteral("app"), true, false);
        WexoButtonController *launcher = WexolinManager::shared().wexoButtonController();
        QVERIFY(launcher);
        QCOMPARE(launcher->hostWindow(), &m_host);

        WexolinManager::initialiseWith(QStringLiteral("tok2"), QStringLiteral("app2"), true, false);
        QCOMPARE(WexolinManager::shared().wexoButtonController(), launcher);
        QCOMPARE(m_host.findChildren<WexoButtonWindow *>().size(), 1);
        QCOMPARE(WexolinManager::shared().wClientToken(), OptString(QStringLiteral("tok2")));
    }

    void nonStringCredentialReadsAbsent_data()
    {
        QTest::addColumn<QJsonValue>("stored");
        QTest::addColumn<bool>("admin");
        QTest::addRow("number") << QJsonValue(42) << false;
        QTest::addRow("bool") << QJsonValue(true) << false;
        QTest::addRow("object") << QJsonValue(QJsonObject{{QStringLiteral("t"), 1}}) << false;
        QTest::addRow("empty string still counts") << QJsonValue(QString()) << true;
        QTest::addRow("string") << QJsonValue(QStringLiteral("admin-token")) << true;
    }

    void nonStringCredentialReadsAbsent()
    {
        QFETCH(QJsonValue, stored);
        QFETCH(bool, admin);
        WUserDefaults::standard().setValue(WexolinManager::wAdminTokenKey, stored);
        QCOMPARE(WexolinManager::isAdmin(), admin);
        QCOMPARE(WexolinManager::shared().wAdminToken().has_value(), admin);
    }

    void credentialsSurviveANewRun()
    {
        WexolinManager::initialiseWith(QStringLiteral("tok"), QStringLiteral("com.example.app"), true, false);

        // What the next run of the host reads before it starts the library again.
        WUserDefaults nextRun(WUserDefaults::defaultFilePath());
        QCOMPARE(nextRun.string(WexolinManager::wClientTokenKey), OptString(QStringLiteral("tok")));
        QCOMPARE(nextRun.string(WexolinManager::wClientAppIdKey), OptString(QStringLiteral("com.example.app")));
        QCOMPARE(QFile::permissions(WUserDefaults::defaultFilePath()),
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser);

        // And values written by an earlier run are read without a start-up call.
        nextRun.setString(WexolinManager::wAdminTokenKey, QStringLiteral("earlier-admin"));
        WUserDefaults::standard().reload();
        QCOMPARE(WexolinManager::shared().wAdminToken(), OptString(QStringLiteral("earlier-admin")));
        QVERIFY(WexolinManager::isAdmin());
    }

    void logoutRemovesTokenAndPassword()
    {
        WUserDefaults::standard().setString(WexolinManager::wAdminTokenKey, QStringLiteral("adm"));
        WUserDefaults::standard().setString(WexolinManager::wAdminEmailKey, QStringLiteral("a@b.c"));
        WUserDefaults::standard().setString(WexolinManager::wAdminPasswordKey, QStringLiteral("secret"));

        WexolinManager::logoutAdmin();

        WUserDefaults onDisk(WUserDefaults::defaultFilePath());
        QVERIFY(!onDisk.contains(WexolinManager::wAdminTokenKey));
        QVERIFY(!onDisk.contains(WexolinManager::wAdminPasswordKey));
        QCOMPARE(onDisk.string(WexolinManager::wAdminEmailKey), OptString(QStringLiteral("a@b.c")));
        QVERIFY(!WexolinManager::isAdmin());
    }

    void playedFlagNeverOverwritesACredential_data()
    {
        QTest::addColumn<OptString>("wexoId");
        for (const QString &key : credentialKeys)
            QTest::addRow("%s", qPrintable(key)) << OptString(key);
        QTest::addRow("suffix of a key") << OptString(QStringLiteral("Admin"));
        QTest::addRow("absent") << OptString();
    }

    void playedFlagNeverOverwritesACredential()
    {
        QFETCH(OptString, wexoId);
        QVERIFY(!credentialKeys.contains(WexolinManager::playedFlagKey(wexoId)));
    }

    void recordedStepsCountOnTheSharedRoot()
    {
        WexolinManager::initialiseWith(QStringLiteral("tok"), QStringLiteral("app"), true, false);
        WexoButtonController *launcher = WexolinManager::shared().wexoButtonController();
        QVERIFY(launcher);
        launcher->wConsoleMenu()->setBadgeTitle(QStringLiteral("0"));

        WexolinManager::incrementCurrenStep(); // nothing created: no effect, the badge keeps its text
        QVERIFY(!WexolinManager::shared().currentCreatedWexo());
        QCOMPARE(launcher->wConsoleMenu()->stepNumberBadge()->text(), QStringLiteral("0"));

        auto root = std::make_shared<WexoNode<QString>>(QStringLiteral("ShopPage"), std::nullopt,
                                                        WexoOptionType::record, QStringLiteral("ShopPage"));
        WexolinManager::setCurrentCreated(root);
        WexolinManager::incrementCurrenStep();
        WexolinManager::incrementCurrenStep();
        QCOMPARE(root->stepNumber, 2);
        QCOMPARE(launcher->wConsoleMenu()->stepNumberBadge()->text(), QStringLiteral("2"));
    }

    void createdStepFillsTheRecordedRoot_data()
    {
        QTest::addColumn<OptString>("wexoId");
        QTest::addColumn<OptString>("stepId");
        QTest::addColumn<bool>("filed");
        QTest::addRow("both identifiers") << OptString(QStringLiteral("w1")) << OptString(QStringLiteral("s1")) << true;
        QTest::addRow("no step id") << OptString(QStringLiteral("w1")) << OptString() << false;
        QTest::addRow("no walkthrough id") << OptString() << OptString(QStringLiteral("s1")) << false;
        QTest::addRow("empty step id") << OptString(QStringLiteral("w1")) << OptString(QString()) << false;
    }

    void createdStepFillsTheRecordedRoot()
    {
        QFETCH(OptString, wexoId);
        QFETCH(OptString, stepId);
        QFETCH(bool, filed);

        WexoCreate created;
        created.walkthroughId = wexoId;
        created.walkthroughStepId = stepId;
        WexolinManager::addParamsToCurrentWexo(created, 3); // no root yet: nothing to fill

        auto root = std::make_shared<WexoNode<QString>>(QStringLiteral("p"), std::nullopt, WexoOptionType::record,
                                                        QStringLiteral("p"), std::nullopt, std::nullopt, 7);
        WexolinManager::setCurrentCreated(root);
        WexolinManager::addParamsToCurrentWexo(created, 3);

        QCOMPARE(root->wexoId, filed ? wexoId : OptString());
        QCOMPARE(root->stepId, filed ? stepId : OptString());
        QCOMPARE(root->stepNumber, filed ? 3 : 7);
    }

    void analyticsIdGoesToThePagePlaying()
    {
        WexolinManager::addAnalyticsId(QStringLiteral("lost")); // nothing playing: dropped

        auto page = std::make_shared<Wexo>();
        WexolinManager::setCurrentPlaying(page);
        WexolinManager::addAnalyticsId(QStringLiteral("a-1"));
        QCOMPARE(page->analyticsId, OptString(QStringLiteral("a-1")));

        // A reset during playback keeps the page playing but forgets its record.
        WexolinManager::reset();
        QCOMPARE(WexolinManager::shared().currentPlayingWexo(), page);
        QCOMPARE(page->analyticsId, OptString());
    }

    void resetEndsTheRecordingContextOnly()
    {
        WexolinManager &m = WexolinManager::shared();
        WexolinManager::setCurrentWexoType(WexoOptionType::record);
        WexolinManager::setWexo(QStringLiteral("Checkout"));
        WexolinManager::setCurrentCreated(std::make_shared<WexoNode<QString>>(
            QStringLiteral("p"), std::nullopt, WexoOptionType::record, QStringLiteral("p")));
        m.isRecording = true;
        m.isPaused = true;

        WexolinManager::reset();

        QVERIFY(!m.currentWexoType() && !m.currentWexoName() && !m.currentCreatedWexo());
        QVERIFY(m.isRecording && m.isPaused);
        m.isRecording = m.isPaused = false;
    }

private:
    QMainWindow m_host;
};

QTEST_MAIN(tst_WexolinManager)
#include "tst_wexolinmanager.moc"
