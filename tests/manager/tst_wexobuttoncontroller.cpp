#include "WexoCreator/appearance-model/Theme.h"
#include "WexoCreator/configuration/WAppearanceState.h"
#include "WexoCreator/manager/WexoButtonController.h"
#include "WexoCreator/manager/WexoButtonWindow.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "support/BackendFixture.h"
#include "WexoCreator/platform/WAlert.h"
#include "WexoCreator/platform/WNotificationCenter.h"
#include "WexoCreator/platform/WPerform.h"
#include "WexoCreator/recording/WPlayConsole.h"

#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

using namespace WexoCreator;

namespace {

struct Host {
    QMainWindow window;
    QPushButton *button = new QPushButton(QStringLiteral("host"));
    std::unique_ptr<WexoButtonController> launcher;

    Host()
    {
        window.setCentralWidget(button);
        window.resize(400, 600);
        window.show();
        launcher = WexoButtonController::initWith(&window);
    }

    QWindow *handle() { return window.windowHandle(); }
    WPlayConsole *console() { return launcher->wConsoleMenu(); }
    QPoint consoleCentre() { return console()->mapTo(&window, console()->rect().center()); }
    WAlert *prompt() { return launcher->view()->findChild<WAlert *>(QStringLiteral("adminLoginAlert")); }

    bool hostGetsClickAt(const QPoint &point)
    {
        QSignalSpy clicked(button, &QPushButton::clicked);
        QTest::mouseClick(handle(), Qt::LeftButton, {}, point);
        return clicked.count() == 1;
    }

    void longPressConsole()
    {
        QTest::mousePress(handle(), Qt::LeftButton, {}, consoleCentre());
        QTRY_VERIFY(prompt() != nullptr);
        QTest::mouseRelease(handle(), Qt::LeftButton, {}, consoleCentre());
    }
};

} // namespace

class tst_WexoButtonController : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void consoleIsUpAtLoadInWidgetMode()
    {
        Host host;
        QVERIFY(QTest::qWaitForWindowExposed(&host.window));
        QCOMPARE(host.launcher->window()->wConsoleButton(), host.console());
        QVERIFY(host.console()->isVisible());
        QCOMPARE(host.console()->currentMode(), WConsoleMode::widget);
        QCOMPARE(host.console()->geometry(), QRect(0, 268, 64, 64));
        QVERIFY(!host.hostGetsClickAt(host.consoleCentre()));
        // That click opened the options menu; without it the host has its clicks.
        QVERIFY(host.launcher->presentedViewController());
        host.launcher->presentedViewController()->dismiss(false);
        QVERIFY(host.hostGetsClickAt(QPoint(300, 300)));
        // Back from the round hover face, the square's corners are the console's again.
        host.console()->setMode(WConsoleMode::hover);
        host.console()->setMode(WConsoleMode::widget);
        QVERIFY(!host.hostGetsClickAt(host.console()->mapTo(&host.window, QPoint(2, 2))));
    }

    void clampedCentre_data()
    {
        QTest::addColumn<QPointF>("centre");
        QTest::addColumn<QSizeF>("console");
        QTest::addColumn<QPointF>("expected");
        const QSizeF small(64, 64);
        QTest::addRow("inside stays") << QPointF(200, 300) << small << QPointF(200, 300);
        QTest::addRow("10 from the left") << QPointF(10, 300) << small << QPointF(35, 300);
        QTest::addRow("10 beyond the right") << QPointF(410, 300) << small << QPointF(365, 300);
        QTest::addRow("10 inside the right edge is pulled in") << QPointF(390, 300) << small << QPointF(365, 300);
        QTest::addRow("above the top") << QPointF(200, -50) << small << QPointF(200, 80);
        QTest::addRow("beyond the bottom") << QPointF(200, 650) << small << QPointF(200, 520);
        QTest::addRow("record bar stays whole") << QPointF(20, 300) << QSizeF(196, 64) << QPointF(98, 300);
        QTest::addRow("area narrower than the console centres it") << QPointF(20, 300) << QSizeF(500, 64) << QPointF(200, 300);
    }

    void clampedCentre()
    {
        QFETCH(QPointF, centre);
        QFETCH(QSizeF, console);
        QFETCH(QPointF, expected);
        QCOMPARE(WexoButtonController::clampedConsoleCentre(centre, console, QSizeF(400, 600)), expected);
    }

    void sockets()
    {
        const QList<QPointF> sockets = WexoButtonController::socketSource(QSizeF(64, 64), QRectF(0, 47, 390, 763));
        QCOMPARE(sockets.size(), 9);
        QCOMPARE(sockets.first(), QPointF(36, 83));
        QCOMPARE(sockets.at(6), QRectF(0, 47, 390, 763).center());
        QCOMPARE(sockets.at(3), QPointF(354, 774));
    }

    void nearestSocket_data()
    {
        QTest::addColumn<QPointF>("centre");
        QTest::addColumn<QList<QPointF>>("sockets");
        QTest::addColumn<QPointF>("expected");
        const QList<QPointF> two{{0, 0}, {10, 0}};
        QTest::addRow("closer second") << QPointF(8, 0) << two << QPointF(10, 0);
        QTest::addRow("midway picks the first") << QPointF(5, 0) << two << QPointF(0, 0);
        QTest::addRow("none goes to the origin") << QPointF(50, 50) << QList<QPointF>() << QPointF(0, 0);
    }

    void nearestSocket()
    {
        QFETCH(QPointF, centre);
        QFETCH(QList<QPointF>, sockets);
        QFETCH(QPointF, expected);
        QCOMPARE(WexoButtonController::nearestSocket(centre, sockets), expected);
    }

    void drag_data()
    {
        QTest::addColumn<WConsoleMode>("mode");
        QTest::addColumn<QPoint>("by");
        QTest::addColumn<QPoint>("expectedCentre");
        // The console starts pinned left and centred: centre (32, 300).
        QTest::addRow("widget does not move") << WConsoleMode::widget << QPoint(100, 50) << QPoint(32, 300);
        QTest::addRow("hover moves") << WConsoleMode::hover << QPoint(100, 50) << QPoint(132, 350);
        QTest::addRow("hover clamps at the top") << WConsoleMode::hover << QPoint(100, -290) << QPoint(132, 80);
        QTest::addRow("hover clamps at the right") << WConsoleMode::hover << QPoint(500, 0) << QPoint(365, 300);
    }

    void drag()
    {
        QFETCH(WConsoleMode, mode);
        QFETCH(QPoint, by);
        QFETCH(QPoint, expectedCentre);
        Host host;
        QVERIFY(QTest::qWaitForWindowExposed(&host.window));
        host.console()->setMode(mode);
        const QPoint start = host.consoleCentre();
        QTest::mousePress(host.handle(), Qt::LeftButton, {}, start);
        // Several steps, as a real drag reports them.
        for (int step = 1; step <= 4; ++step)
            QTest::mouseMove(host.handle(), start + by * step / 4);
        QTest::mouseRelease(host.handle(), Qt::LeftButton, {}, start + by);
        QCOMPARE(host.console()->geometry().center() + QPoint(1, 1), expectedCentre);
        QVERIFY(!host.prompt());
    }

    void longPressOpensOnePrompt()
    {
        Host host;
        QVERIFY(QTest::qWaitForWindowExposed(&host.window));
        QTest::mousePress(host.handle(), Qt::LeftButton, {}, host.consoleCentre());
        QTRY_VERIFY(host.prompt() != nullptr);
        QPointer<WAlert> first = host.prompt();
        // A second long press while it is up opens nothing more.
        host.launcher->showLogin();
        QTest::mouseRelease(host.handle(), Qt::LeftButton, {}, host.consoleCentre());
        QCOMPARE(host.launcher->view()->findChildren<WAlert *>().size(), 1);
        QVERIFY(host.launcher->isPresenting());
        QVERIFY(!host.launcher->window()->wConsoleButton());

        QCOMPARE(first->windowTitle(), QStringLiteral("Login as admin"));
        const QList<QLineEdit *> fields = first->textFields();
        QCOMPARE(fields.size(), 2);
        QCOMPARE(fields.at(0)->placeholderText(), QStringLiteral("Admin email"));
        QCOMPARE(fields.at(1)->placeholderText(), QStringLiteral("Admin password"));
        QCOMPARE(fields.at(1)->echoMode(), QLineEdit::Password);
        QVERIFY(fields.at(0)->text().isEmpty() && fields.at(1)->text().isEmpty());
    }

    void cancelGivesTheHostItsTouchesBack()
    {
        Host host;
        QVERIFY(QTest::qWaitForWindowExposed(&host.window));
        host.longPressConsole();
        QVERIFY(!host.hostGetsClickAt(QPoint(300, 300)));
        QTest::mouseClick(host.prompt()->actionButton(QStringLiteral("Cancel")), Qt::LeftButton);
        QTRY_VERIFY(!host.prompt());
        QVERIFY(!host.launcher->isPresenting());
        QCOMPARE(host.launcher->window()->wConsoleButton(), host.console());
        QVERIFY(host.hostGetsClickAt(QPoint(300, 300)));
        // And the prompt can open again.
        host.longPressConsole();
        QVERIFY(host.prompt());
    }

    void stagingPrefill_data()
    {
        QTest::addColumn<QByteArray>("staging");
        QTest::addColumn<QString>("email");
        QTest::addColumn<QString>("password");
        QTest::addRow("production stays empty") << QByteArray("0") << QString() << QString();
        QTest::addRow("staging fills both") << QByteArray("1") << QStringLiteral("stage@example.com") << QStringLiteral("s3cret!!");
    }

    void stagingPrefill()
    {
        QFETCH(QByteArray, staging);
        QFETCH(QString, email);
        QFETCH(QString, password);
        qputenv("WEXO_STAGING", staging);
        qputenv("WEXO_STAGING_ADMIN_EMAIL", "stage@example.com");
        qputenv("WEXO_STAGING_ADMIN_PASSWORD", "s3cret!!");
        Host host;
        QVERIFY(QTest::qWaitForWindowExposed(&host.window));
        host.launcher->showLogin();
        QVERIFY(host.prompt());
        QCOMPARE(host.prompt()->textFields().first()->text(), email);
        QCOMPARE(host.prompt()->textFields().last()->text(), password);
        qunsetenv("WEXO_STAGING");
        qunsetenv("WEXO_STAGING_ADMIN_EMAIL");
        qunsetenv("WEXO_STAGING_ADMIN_PASSWORD");
    }

    void downloadComplete_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("preference");
        QTest::addColumn<bool>("filled");
        QTest::addColumn<WConsoleMode>("mode");
        QTest::addRow("filled slot stays") << QStringLiteral("nothing") << QStringLiteral("widget") << true << WConsoleMode::widget;
        QTest::addRow("empty slot is filled") << QStringLiteral("empty slot") << QStringLiteral("widget") << true << WConsoleMode::widget;
        QTest::addRow("prompt keeps every touch") << QStringLiteral("prompt") << QStringLiteral("widget") << false << WConsoleMode::widget;
        QTest::addRow("record mode back to rest") << QStringLiteral("record") << QStringLiteral("widget") << true << WConsoleMode::widget;
        QTest::addRow("hover preferred") << QStringLiteral("nothing") << QStringLiteral("hover") << true << WConsoleMode::hover;
    }

    void downloadComplete()
    {
        QFETCH(QString, before);
        QFETCH(QString, preference);
        QFETCH(bool, filled);
        QFETCH(WConsoleMode, mode);

        auto settings = std::make_shared<ElementConfiguration>();
        settings->setPreferences(preference);
        auto config = std::make_shared<ThemeConfiguration>();
        config->setConfigurations(settings);
        auto theme = std::make_shared<Theme>();
        theme->setConfig(config);
        WAppearanceState::setTheme(theme);

        Host host;
        QVERIFY(QTest::qWaitForWindowExposed(&host.window));
        if (before == QStringLiteral("empty slot"))
            host.launcher->window()->setWConsoleButton(nullptr);
        else if (before == QStringLiteral("prompt"))
            host.launcher->showLogin();
        else if (before == QStringLiteral("record"))
            host.console()->setMode(WConsoleMode::record);

        WNotificationCenter::defaultCenter().post(QStringLiteral("Wexo.DownloadComplete.Notification"));
        // The handler runs on a later turn of the event loop, before this marker.
        QCOMPARE(host.console()->currentMode(), before == QStringLiteral("record") ? WConsoleMode::record : WConsoleMode::widget);
        bool handled = false;
        WPerform::onMainThread([&handled] { handled = true; });
        QTRY_VERIFY(handled);
        QCOMPARE(host.console()->currentMode(), mode);
        QCOMPARE(host.launcher->window()->wConsoleButton() != nullptr, filled);
        QVERIFY(host.console()->isVisible());
        WAppearanceState::setTheme(nullptr);
        if (!filled) {
            QTest::mouseClick(host.prompt()->actionButton(QStringLiteral("Cancel")), Qt::LeftButton);
            QCOMPARE(host.launcher->window()->wConsoleButton(), host.console());
        }
    }

    // Last: the host starts the library without its console. No host window
    // exists yet, so the manager's own launcher has nothing to cover.
    void withoutConsoleTheHostKeepsEveryTouch()
    {
        BackendFixture backend;
        WexolinManager::initialiseWith(backend->clientToken(), backend->clientAppId(), false, false);
        QVERIFY(WexolinManager::shared().wexoButtonController()->window()->isHidden());
        Host host;
        QVERIFY(QTest::qWaitForWindowExposed(&host.window));
        QVERIFY(!host.console()->isVisible());
        QVERIFY(host.hostGetsClickAt(host.consoleCentre()));
        WNotificationCenter::defaultCenter().post(QStringLiteral("Wexo.DownloadComplete.Notification"));
        bool handled = false;
        WPerform::onMainThread([&handled] { handled = true; });
        QTRY_VERIFY(handled);
        QVERIFY(!host.console()->isVisible());
        QVERIFY(host.hostGetsClickAt(host.consoleCentre()));
    }
};

QTEST_MAIN(tst_WexoButtonController)
#include "tst_wexobuttoncontroller.moc"
