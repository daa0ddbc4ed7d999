#include "WexoCreator/manager/WexoButtonWindow.h"
#include "WexoCreator/platform/WViewController.h"
#include "WexoCreator/recording/WPlayConsole.h"

#include <QMainWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace WexoCreator;

namespace {

using OptRegion = std::optional<QRegion>;

// A host whose whole content is one button, so any touch that falls through
// the library's window lands on it.
struct Host {
    QMainWindow window;
    QPushButton *button = new QPushButton(QStringLiteral("host"));
    QPointer<WexoButtonWindow> library;
    WViewController root;
    QPointer<WPlayConsole> console;
    QPointer<QWidget> crossHair;
    QPointer<QWidget> alert;

    Host()
    {
        window.setCentralWidget(button);
        window.resize(400, 600);
        library = new WexoButtonWindow(&window);
        library->setRootViewController(&root);
        console = new WPlayConsole(root.view());
        console->setGeometry(10, 10, 64, 64);
        crossHair = new QWidget(root.view());
        crossHair->setGeometry(200, 200, 100, 100);
        alert = new QWidget(root.view());
        alert->setGeometry(100, 400, 200, 100);
        window.show();
    }
};

} // namespace

class tst_WexoButtonWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void touchRule_data()
    {
        const QRegion console(0, 0, 64, 64);
        const QRegion crossHair(100, 100, 100, 100);
        const QRegion alert(50, 300, 200, 100);
        QTest::addColumn<OptRegion>("console");
        QTest::addColumn<OptRegion>("alert");
        QTest::addColumn<OptRegion>("crossHair");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<bool>("takes");

        QTest::addRow("nothing set takes every touch") << OptRegion() << OptRegion() << OptRegion() << QPoint(300, 500) << true;
        QTest::addRow("only crosshair still takes every touch") << OptRegion() << OptRegion() << OptRegion(crossHair) << QPoint(5, 5) << true;
        QTest::addRow("console: inside") << OptRegion(console) << OptRegion() << OptRegion() << QPoint(10, 10) << true;
        QTest::addRow("console: outside") << OptRegion(console) << OptRegion() << OptRegion() << QPoint(150, 150) << false;
        QTest::addRow("console: alert ignored") << OptRegion(console) << OptRegion(alert) << OptRegion() << QPoint(100, 350) << false;
        QTest::addRow("console+crosshair: in crosshair") << OptRegion(console) << OptRegion() << OptRegion(crossHair) << QPoint(150, 150) << true;
        QTest::addRow("console+crosshair: outside both") << OptRegion(console) << OptRegion() << OptRegion(crossHair) << QPoint(80, 80) << false;
        QTest::addRow("alert: inside") << OptRegion() << OptRegion(alert) << OptRegion() << QPoint(100, 350) << true;
        QTest::addRow("alert: outside") << OptRegion() << OptRegion(alert) << OptRegion() << QPoint(10, 10) << false;
        QTest::addRow("alert: crosshair ignored") << OptRegion() << OptRegion(alert) << OptRegion(crossHair) << QPoint(150, 150) << false;
        QTest::addRow("console claiming nothing passes all") << OptRegion(QRegion()) << OptRegion() << OptRegion() << QPoint(10, 10) << false;
    }

    void touchRule()
    {
        QFETCH(OptRegion, console);
        QFETCH(OptRegion, alert);
        QFETCH(OptRegion, crossHair);
        QFETCH(QPoint, point);
        QFETCH(bool, takes);
        QCOMPARE(WexoButtonWindow::takesTouch({console, alert, crossHair}, point), takes);
    }

    // Clicks go to the host window's QWindow, so Qt's own routing decides.
    void clicksRouteThroughTheWindow_data()
    {
        QTest::addColumn<bool>("consoleSet");
        QTest::addColumn<bool>("consoleHidden");
        QTest::addColumn<bool>("crossHairSet");
        QTest::addColumn<bool>("alertSet");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<bool>("hostClicked");

        const QPoint onConsole(40, 40), onCrossHair(250, 250), onAlert(200, 450), elsewhere(350, 100);
        QTest::addRow("no slot: console spot") << false << false << false << false << onConsole << false;
        QTest::addRow("no slot: elsewhere") << false << false << false << false << elsewhere << false;
        QTest::addRow("console: on it") << true << false << false << false << onConsole << false;
        QTest::addRow("console: elsewhere") << true << false << false << false << elsewhere << true;
        QTest::addRow("console: crosshair spot") << true << false << false << false << onCrossHair << true;
        QTest::addRow("console+crosshair: on crosshair") << true << false << true << false << onCrossHair << false;
        QTest::addRow("console+crosshair: elsewhere") << true << false << true << false << elsewhere << true;
        QTest::addRow("alert: on it") << false << false << false << true << onAlert << false;
        QTest::addRow("alert: elsewhere") << false << false << false << true << elsewhere << true;
        QTest::addRow("hidden console claims nothing") << true << true << false << false << onConsole << true;
    }

    void clicksRouteThroughTheWindow()
    {
        QFETCH(bool, consoleSet);
        QFETCH(bool, consoleHidden);
        QFETCH(bool, crossHairSet);
        QFETCH(bool, alertSet);
        QFETCH(QPoint, point);
        QFETCH(bool, hostClicked);

        Host host;
        QVERIFY(QTest::qWaitForWindowExposed(&host.window));
        host.console->setVisible(!consoleHidden);
        host.library->setWConsoleButton(consoleSet ? host.console.data() : nullptr);
        host.library->setCrossHair(crossHairSet ? host.crossHair.data() : nullptr);
        host.library->setAlert(alertSet ? host.alert.data() : nullptr);

        QSignalSpy clicked(host.button, &QPushButton::clicked);
        const QPoint at = host.library->mapTo(&host.window, point);
        QTest::mouseClick(host.window.windowHandle(), Qt::LeftButton, {}, at);
        QCOMPARE(clicked.count(), hostClicked ? 1 : 0);
    }

    void consoleOutsideTheWindowClaimsNothing()
    {
        Host host;
        QVERIFY(QTest::qWaitForWindowExposed(&host.window));
        WPlayConsole stray;
        host.library->setWConsoleButton(&stray);
        QSignalSpy clicked(host.button, &QPushButton::clicked);
        QTest::mouseClick(host.window.windowHandle(), Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(clicked.count(), 1);
    }

    void coversTheHostAndStaysOnTop()
    {
        Host host;
        QVERIFY(QTest::qWaitForWindowExposed(&host.window));
        host.window.resize(500, 700);
        QTRY_COMPARE(host.library->geometry(), host.window.rect());
        auto *late = new QWidget(&host.window);
        late->show();
        QCOMPARE(host.window.children().last(), host.library.data());
    }
};

QTEST_MAIN(tst_WexoButtonWindow)
#include "tst_wexobuttonwindow.moc"
