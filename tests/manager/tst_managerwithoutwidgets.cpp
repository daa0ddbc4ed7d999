#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/platform/WUserDefaults.h"
#include "support/BackendFixture.h"

#include <QFile>
#include <QStandardPaths>
#include <QTest>

using namespace WexoCreator;

// An application without widgets has nowhere to show a launcher: the library
// stores the client and fetches its appearance, and the menu stays closed.
class tst_ManagerWithoutWidgets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsWithoutALauncher()
    {
        qputenv("WEXO_PRODUCTION_URL", "http://127.0.0.1:9/");
        startWithEmptyDefaults();

        QVERIFY(!WexolinManager::hostWindow());
        WexolinManager::initialiseWith(QStringLiteral("tok"), QStringLiteral("app"), true, false);
        WexolinManager::showGuideMenu();

        QCOMPARE(WexolinManager::shared().wClientAppId(), std::optional<QString>(QStringLiteral("app")));
        QVERIFY(WexolinManager::shared().defaultTheme());
        QVERIFY(!WexolinManager::shared().wexoButtonController());
    }
};

QTEST_GUILESS_MAIN(tst_ManagerWithoutWidgets)
#include "tst_managerwithoutwidgets.moc"
