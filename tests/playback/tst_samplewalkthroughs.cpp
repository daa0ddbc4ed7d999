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
        for (const std::shared_ptr<WexoRoot> &root : WFeedManager::shared().wexoFeed()) {
            QList<qint64> orders;
            for (const std::shared_ptr<Wexo> &page : root->wexos.value_or(QList<std::shared_ptr<Wexo>>()))
                for (const std::shared_ptr<WexoStep> &step : page->values.value_or(QList<std::shared_ptr<WexoStep>>()))
                    orders << step->OrderNumber;
            std::sort(orders.begin(), orders.end());
            for (qint64 order : orders)
                expected << QStringLiteral("%1:%2").arg(*root->wexoName->Id).arg(order);
        }

        QStringList shown;
        QStringList withoutTarget;
        QStringList recordedElsewhere;
        QTemporaryDir pictures;
        bool done = false;
        QStringList written;
        WalkthroughDemo demo(window, pictures.path(), [&](const QStringList &files) {
            written = files;
            done = true;
        });
        connect(&demo, &WalkthroughDemo::stepShown, this, [&](WOverlay *overlay) {
            const QString step = QStringLiteral("%1:%2").arg(*overlay->wexo()->WalkthroughId).arg(overlay->currentWexoStep()->OrderNumber);
            shown << step;
            const bool banner = overlay->banner() != nullptr;
            if (!banner && overlay->targets().size() != 1)
                withoutTarget << step;
            // Recording the target again names the page it plays on.
            const WexoStep &played = *overlay->currentWexoStep();
            QWidget *page = WHostQueries::wTopViewController();
            QWidget *target = played.isScrollElement() || played.ElementType == QLatin1String("UITabBarButton")
                ? nullptr : WTargetLocation::targetWidget(page, played.Frame.value_or(QString()));
            if (target && WHostQueries::pageName(WHostQueries::pageOf(target)) != overlay->wexo()->Page)
                recordedElsewhere << step;
        });
        demo.start();
        QTRY_VERIFY_WITH_TIMEOUT(done, 60000);

        std::sort(expected.begin(), expected.end());
        std::sort(shown.begin(), shown.end());
        QCOMPARE(shown, expected);
        QCOMPARE(withoutTarget, QStringList());
        QCOMPARE(recordedElsewhere, QStringList());
        QCOMPARE(written.size(), expected.size());
        QCOMPARE(WexolinManager::shared().currentPlayingWexo(), nullptr);
    }
};

QTEST_MAIN(tst_SampleWalkthroughs)
#include "tst_samplewalkthroughs.moc"
