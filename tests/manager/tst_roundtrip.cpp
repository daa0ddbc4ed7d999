// Recording a walkthrough on the sample host and playing it back: the
// administrator logs in, names a recording from the menu, picks a button,
// aims the crosshair at a product row, stops, and finds the walkthrough in
// the menu after the reload; playing it shows each step on what was picked.
#include "SampleHostWindow.h"
#include "ShopPages.h"

#include "WexoCreator/manager/WexoButtonController.h"
#include "WexoCreator/manager/WexoButtonWindow.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/menu/WexoOptionsViewController.h"
#include "WexoCreator/model/WexoStep.h"
#include "WexoCreator/platform/WAlert.h"
#include "WexoCreator/platform/WUserDefaults.h"
#include "WexoCreator/playback/WOverlay.h"
#include "WexoCreator/recording/Inspector.h"
#include "WexoCreator/recording/WPlayConsole.h"
#include "support/BackendFixture.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

using namespace WexoCreator;

class tst_RoundTrip : public QObject
{
    Q_OBJECT

    std::unique_ptr<BackendFixture> m_backend;
    std::unique_ptr<SampleHostWindow> m_host;
    DownloadCounter m_downloads;

    WexoButtonController *launcher() { return WexolinManager::shared().wexoButtonController(); }
    WPlayConsole *console() { return launcher()->wConsoleMenu(); }
    QWindow *window() { return m_host->windowHandle(); }
    QPoint at(const QWidget *widget, const QPoint &local) { return widget->mapTo(m_host.get(), local); }
    QPoint centreOf(const QWidget *widget) { return at(widget, widget->rect().center()); }
    WexoOptionsViewController *menu() { return qobject_cast<WexoOptionsViewController *>(launcher()->presentedViewController()); }

    void saveScreen(const QString &name)
    {
        const QString path = QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(name);
        QVERIFY(m_host->grab().save(path));
        qInfo("%s", qPrintable(path));
    }

    // Clicks the menu row with this title; false when the menu lists none.
    bool chooseRow(const QString &title)
    {
        const QList<WexoSection> &sections = menu()->wexoSection();
        for (int s = 0; s < sections.size(); ++s) {
            const QList<WexoOption> options = sections.at(s).sectionOptions.value_or(QList<WexoOption>());
            for (int r = 0; r < options.size(); ++r) {
                if (options.at(r).displayName != title)
                    continue;
                QListView *list = menu()->tableView();
                const QModelIndex index = list->model()->index(*menu()->listRow(s, r), 0);
                list->scrollTo(index);
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
                return true;
            }
        }
        return false;
    }

    QRectF inLauncher(const QWidget *widget, const QRect &local)
    {
        return QRectF(launcher()->view()->mapFrom(m_host.get(), widget->mapTo(m_host.get(), local.topLeft())), local.size());
    }

private Q_SLOTS:
    void initTestCase()
    {
        startWithEmptyDefaults();
        m_backend = std::make_unique<BackendFixture>();
        QVERIFY(m_backend->isRunning());
        m_host = std::make_unique<SampleHostWindow>();
        m_host->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));
        WexolinManager::initialiseWith(m_backend->backend().clientToken(), m_backend->backend().clientAppId(), true, false);
        WexolinManager::setTabBarController(m_host->tabs());
        QTRY_VERIFY_WITH_TIMEOUT(m_downloads.count > 0, 10000);
    }

    void recordAndPlay()
    {
        ProductListPage *page = m_host->shopPage()->listPage();
        QPushButton *openDetail = page->openDetailButton();
        QListView *products = page->productList();

        // Administrator login: a long press on the console.
        QTest::mousePress(window(), Qt::LeftButton, {}, centreOf(console()));
        WAlert *login = nullptr;
        QTRY_VERIFY((login = launcher()->view()->findChild<WAlert *>(QStringLiteral("adminLoginAlert"))));
        QTest::mouseRelease(window(), Qt::LeftButton, {}, centreOf(console()));
        login->textFields().first()->setText(m_backend->backend().adminEmail());
        login->textFields().last()->setText(m_backend->backend().adminPassword());
        QTest::mouseClick(login->actionButton(QStringLiteral("Ok")), Qt::LeftButton);
        QTRY_VERIFY(menu() && !menu()->wexoSection().isEmpty());

        // "Record Wexo", named.
        QTRY_VERIFY(chooseRow(QStringLiteral("Record Wexo")));
        QTRY_VERIFY(menu()->namingAlert());
        menu()->namingAlert()->textFields().first()->setText(QStringLiteral("Round trip tour"));
        QTest::mouseClick(menu()->namingAlert()->actionButton(QStringLiteral("Ok")), Qt::LeftButton);
        QTRY_VERIFY(!launcher()->presentedViewController());
        QTRY_COMPARE(console()->currentMode(), WConsoleMode::record);
        QTRY_COMPARE(Inspector::alpha(WexolinManager::inspector().frameView()), 1.0);

        // Step 1: a click on the button.
        QTest::mouseClick(window(), Qt::LeftButton, {}, at(openDetail, QPoint(10, 10)) + QPoint(1, 2));
        QTRY_COMPARE(console()->stepNumberBadge()->text(), QStringLiteral("1"));
        saveScreen(QStringLiteral("recording-outlined-pick.png"));

        // Step 2: the crosshair on the third product, then select.
        QTest::mouseClick(window(), Qt::LeftButton, {}, centreOf(console()->targetModeBtn()));
        QLabel *aim = launcher()->crossHair();
        const QModelIndex third = products->model()->index(2, 0);
        const QPoint row = at(products->viewport(), products->visualRect(third).center()) + QPoint(1, 2);
        QTest::mousePress(window(), Qt::LeftButton, {}, centreOf(aim));
        QTest::mouseMove(window(), (centreOf(aim) + row) / 2);
        QTest::mouseMove(window(), row);
        QTest::mouseRelease(window(), Qt::LeftButton, {}, row);
        QTest::mouseClick(window(), Qt::LeftButton, {}, centreOf(console()->selectTargetViewBtn()));
        QTRY_COMPARE(console()->stepNumberBadge()->text(), QStringLiteral("2"));
        saveScreen(QStringLiteral("recording-badge-2.png"));

        // Stop: the feed reloads with the new walkthrough in it.
        QTest::mouseClick(window(), Qt::LeftButton, {}, centreOf(console()->cancelTargetModeBtn()));
        const int downloads = m_downloads.count;
        QTest::mouseClick(window(), Qt::LeftButton, {}, centreOf(console()->stopBtn()));
        QVERIFY(!WexolinManager::shared().isRecording);
        QTRY_VERIFY_WITH_TIMEOUT(m_downloads.count > downloads, 10000);
        QTRY_COMPARE(launcher()->window()->wConsoleButton(), console());

        // The page's menu lists it; playing shows each step on its pick.
        QTest::mouseClick(window(), Qt::LeftButton, {}, centreOf(console()));
        QTRY_VERIFY(menu());
        QTRY_VERIFY(chooseRow(QStringLiteral("Round trip tour")));
        QTRY_VERIFY(!launcher()->overlays().isEmpty());
        WOverlay *overlay = launcher()->overlays().last();
        const qint64 first = overlay->currentWexoStep()->OrderNumber;
        QCOMPARE(overlay->currentWexoStep()->Frame, QStringLiteral("openDetailButton"));
        QCOMPARE(overlay->targets().value(0), inLauncher(openDetail, openDetail->rect()));
        saveScreen(QStringLiteral("roundtrip-step-1.png"));

        QTest::mouseClick(window(), Qt::LeftButton, {}, QPoint(5, 5));
        QTRY_VERIFY(!launcher()->overlays().isEmpty() && launcher()->overlays().last()->currentWexoStep()->OrderNumber == first + 1);
        overlay = launcher()->overlays().last();
        QCOMPARE(overlay->currentWexoStep()->Frame, QStringLiteral("QStyledItemDelegate_indexpath_[0, 2]"));
        QCOMPARE(overlay->targets().value(0), inLauncher(products->viewport(), products->visualRect(third)));
        saveScreen(QStringLiteral("roundtrip-step-2.png"));
    }
};

QTEST_MAIN(tst_RoundTrip)
#include "tst_roundtrip.moc"
