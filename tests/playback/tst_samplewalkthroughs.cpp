#include "support/BackendFixture.h"

#include "SampleHostWindow.h"
#include "WalkthroughDemo.h"

#include "WexoCreator/backend/WFeedManager.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/model/Wexo.h"
#include "WexoCreator/model/WexoName.h"
#include "WexoCreator/model/WexoRoot.h"
#include "WexoCreator/model/WexoStep.h"
#include "WexoCreator/platform/WHostQueries.h"
#include "WexoCreator/playback/WOverlay.h"
#include "WexoCreator/playback/WTargetLocation.h"
#include "WexoCreator/views/WBanner.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace WexoCreator;

// Every sample walkthrough played on the sample host's own pages, by clicks,
// as the demo plays them: each step is shown at a target that was found.
class tst_SampleWalkthroughs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyStepAtAFoundTarget()
    {
        QStandardPaths::setTestModeEnabled(true);
        BackendFixture backend;
        SampleHostWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        WexolinManager::initialiseWith(backend->clientToken(), backend->clientAppId(), true, false);
        WexolinManager::setTabBarController(window.tabs());
        QTRY_VERIFY_WITH_TIMEOUT(WFeedManager::shared().wexoFeed().size() == 4, 10000);

        // Every step of every walkthrough, as "walkthrough:order".
        QStringList expected;
        for (const std::shared_ptr<WexoRoot> &root : WFeedManager::shared().wexoFeed())
            for (const std::shared_ptr<Wexo> &page : root->wexos.value_or(QList<std::shared_ptr<Wexo>>()))
                for (const std::shared_ptr<WexoStep> &step : page->values.value_or(QList<std::shared_ptr<WexoStep>>()))
                    expected << QStringLiteral("%1:%2").arg(*root->wexoName->Id).arg(step->OrderNumber);

        QStringList shown, faults, written;
        QTemporaryDir pictures;
        WalkthroughDemo demo(window, pictures.path(), [&written](const QStringList &files) { written = files; });
        connect(&demo, &WalkthroughDemo::stepShown, this, [&](WOverlay *overlay) {
            const WexoStep &played = *overlay->currentWexoStep();
            shown << QStringLiteral("%1:%2").arg(*overlay->wexo()->WalkthroughId).arg(played.OrderNumber);
            if (!overlay->banner() && overlay->targets().size() != 1)
                faults << shown.last() + QStringLiteral(" has no target");
            // Recording the target again names the page it plays on.
            QWidget *target = played.isScrollElement() || played.ElementType == QLatin1String("UITabBarButton")
                ? nullptr : WTargetLocation::targetWidget(WHostQueries::wTopViewController(), played.Frame.value_or(QString()));
            if (target && WHostQueries::pageName(WHostQueries::pageOf(target)) != overlay->wexo()->Page)
                faults << shown.last() + QStringLiteral(" is recorded on another page");
        });
        demo.start();
        QTRY_VERIFY_WITH_TIMEOUT(!written.isEmpty(), 60000);

        std::sort(expected.begin(), expected.end());
        std::sort(shown.begin(), shown.end());
        QCOMPARE(shown, expected);
        QCOMPARE(faults, QStringList());
        QCOMPARE(written.size(), expected.size());
        QCOMPARE(WexolinManager::shared().currentPlayingWexo(), nullptr);
    }
};

QTEST_MAIN(tst_SampleWalkthroughs)
#include "tst_samplewalkthroughs.moc"
