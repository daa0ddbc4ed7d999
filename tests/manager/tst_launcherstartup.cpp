#include "support/BackendFixture.h"

#include "WexoCreator/configuration/WConfiguration.h"
#include "WexoCreator/manager/WexoButtonController.h"
#include "WexoCreator/manager/WexoButtonWindow.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/platform/WAlert.h"
#include "WexoCreator/platform/WUserDefaults.h"
#include "WexoCreator/recording/WPlayConsole.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>
#include <QVBoxLayout>

using namespace WexoCreator;

// The library started by the host as an application does it, against the
// sample backend: one launcher per process, so one process for these cases.
class tst_LauncherStartup : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BackendFixture> m_backend;
    std::unique_ptr<QMainWindow> m_host;
    QPushButton *m_hostButton = nullptr;
    DownloadCounter m_downloads;

    WexoButtonController *launcher() { return WexolinManager::shared().wexoButtonController(); }
    WPlayConsole *console() { return launcher()->wConsoleMenu(); }
    QPoint consoleCentre() { return console()->mapTo(m_host.get(), console()->rect().center()); }
    WAlert *prompt() { return launcher()->view()->findChild<WAlert *>(QStringLiteral("adminLoginAlert")); }

    bool hostGetsClickAt(const QPoint &point)
    {
        QSignalSpy clicked(m_hostButton, &QPushButton::clicked);
        QTest::mouseClick(m_host->windowHandle(), Qt::LeftButton, {}, point);
        return clicked.count() == 1;
    }

    void openPrompt()
    {
        QTest::mousePress(m_host->windowHandle(), Qt::LeftButton, {}, consoleCentre());
        QTRY_VERIFY(prompt() != nullptr);
        QTest::mouseRelease(m_host->windowHandle(), Qt::LeftButton, {}, consoleCentre());
    }

private Q_SLOTS:
    void initTestCase()
    {
        startWithEmptyDefaults();
        m_backend = std::make_unique<BackendFixture>();
        QVERIFY(m_backend->isRunning());

        m_host = std::make_unique<QMainWindow>();
        auto *tabs = new QTabWidget;
        auto *page = new QWidget;
        m_hostButton = new QPushButton(QStringLiteral("Add to cart"), page);
        m_hostButton->setObjectName(QStringLiteral("hostButton"));
        auto *layout = new QVBoxLayout(page);
        layout->addWidget(new QLabel(QStringLiteral("A host page under the library")));
        layout->addWidget(m_hostButton, 1);
        tabs->addTab(page, QStringLiteral("Shop"));
        m_host->setCentralWidget(tabs);
        m_host->resize(420, 700);
        m_host->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));

        // The first feed is empty: it sends no download-complete notification.
        m_backend->backend().script(QStringLiteral("POST"), QStringLiteral("/mobileApi/walkthrough/findbysite"),
                                    {200, R"({"walkthrough": [], "message": "none", "success": true})", "application/json", 0,
                                     false, false, 1});
        WexolinManager::initialiseWith(m_backend->backend().clientToken(), m_backend->backend().clientAppId(), true, false);
        WexolinManager::setTabBarController(tabs);
        QVERIFY(launcher());
    }

    void consoleIsUpBeforeTheDownload()
    {
        QCOMPARE(launcher()->window()->parentWidget(), m_host.get());
        QVERIFY(console()->isVisible());
        QCOMPARE(console()->currentMode(), WConsoleMode::widget);
        QCOMPARE(launcher()->window()->wConsoleButton(), console());
    }

    // With an empty feed nothing announces a download: the console takes the
    // theme's face (its edge, its colours) when the theme arrives.
    void emptyFeedConsoleTakesTheTheme()
    {
        QTRY_VERIFY_WITH_TIMEOUT(WexolinManager::shared().theme(), 10000);
        QCOMPARE(m_downloads.count, 0);
        QCOMPARE(console()->geometry().right(), launcher()->view()->width() - 1);
        const QImage face = console()->grab().toImage();
        QCOMPARE(face.pixelColor(face.width() - 2, face.height() / 2), WConfiguration::kPlayIconbackgroundColor());
        launcher()->reloadFeed();
    }

    void downloadBringsThePreferredFace()
    {
        QTRY_VERIFY_WITH_TIMEOUT(m_downloads.count > 0, 10000);
        QTRY_COMPARE(launcher()->window()->wConsoleButton(), console());
        // Pinned to a side edge (which one depends on whether the theme is in
        // yet), vertically centred.
        QCOMPARE(console()->currentMode(), WConsoleMode::widget);
        QCOMPARE(console()->size(), QSize(64, 64));
        const QRect frame = console()->geometry();
        QVERIFY(frame.left() == 0 || frame.right() == launcher()->view()->width() - 1);
        QCOMPARE(frame.center().y(), launcher()->view()->rect().center().y());
        QVERIFY(!hostGetsClickAt(consoleCentre()));
        // That click opened the options menu; without it the host has its clicks.
        QVERIFY(launcher()->presentedViewController());
        launcher()->presentedViewController()->dismiss(false);
        QVERIFY(hostGetsClickAt(m_hostButton->mapTo(m_host.get(), QPoint(10, 10))));

        const QString path = QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("launcher-demo.png"));
        QVERIFY(m_host->grab().save(path));
        qInfo("demo screen with the console: %s", qPrintable(path));
    }

    // The widget face is a tab on the window edge in the theme's colour, leaving
    // its free side's shadow inside the console, where no mask clips it.
    void widgetFaceIsATabOnTheWindowEdge()
    {
        QTRY_COMPARE(WConfiguration::KPlacement(), QStringLiteral("right"));
        const QImage face = console()->grab().toImage();
        const QColor fill = WConfiguration::kPlayIconbackgroundColor();
        const int middle = face.height() / 2;
        QCOMPARE(face.pixelColor(face.width() - 2, middle), fill);
        QVERIFY(face.pixelColor(0, middle) != fill);
        QVERIFY(face.pixelColor(face.width() - 2, 0) != fill);
        QCOMPARE(face.pixelColor(8, middle), fill);
    }

    void tabbingThroughTheHostNeverLandsInTheConsole()
    {
        m_host->activateWindow();
        m_hostButton->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), m_hostButton);
        for (int press = 0; press < 8; ++press) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QVERIFY(QApplication::focusWidget());
            QVERIFY2(!launcher()->window()->isAncestorOf(QApplication::focusWidget()),
                     qPrintable(QApplication::focusWidget()->objectName()));
        }
    }

    void invalidEntriesSendNothing_data()
    {
        QTest::addColumn<QString>("email");
        QTest::addColumn<QString>("password");
        QTest::addRow("not an address") << QStringLiteral("admin") << QStringLiteral("sample-admin-password");
        QTest::addRow("blank password") << QStringLiteral("admin@sampleshop.example") << QStringLiteral(" ");
    }

    void invalidEntriesSendNothing()
    {
        QFETCH(QString, email);
        QFETCH(QString, password);
        m_backend->backend().clearRequests();
        openPrompt();
        QVERIFY(prompt());
        prompt()->textFields().first()->setText(email);
        prompt()->textFields().last()->setText(password);
        QTest::mouseClick(prompt()->actionButton(QStringLiteral("Ok")), Qt::LeftButton);
        QTRY_VERIFY(!prompt());
        QCOMPARE(launcher()->window()->wConsoleButton(), console());
        QVERIFY(m_backend->backend().requests(QStringLiteral("/mobileApi/user/signin")).isEmpty());
    }

    void refusedLoginStoresNothing()
    {
        openPrompt();
        QVERIFY(prompt());
        prompt()->textFields().first()->setText(QStringLiteral("admin@sampleshop.example"));
        prompt()->textFields().last()->setText(QStringLiteral("wrong-password"));
        QTest::mouseClick(prompt()->actionButton(QStringLiteral("Ok")), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!launcher()->isPresenting(), 10000);
        QCOMPARE(m_backend->backend().requests(QStringLiteral("/mobileApi/user/signin")).size(), 1);
        QVERIFY(!WexolinManager::isAdmin());
        QCOMPARE(launcher()->window()->wConsoleButton(), console());
    }

    void validLoginStoresTheCredentials()
    {
        m_backend->backend().clearRequests();
        openPrompt();
        QVERIFY(prompt());
        prompt()->textFields().first()->setText(m_backend->backend().adminEmail());
        prompt()->textFields().last()->setText(m_backend->backend().adminPassword());
        QTest::mouseClick(prompt()->actionButton(QStringLiteral("Ok")), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(WexolinManager::isAdmin(), 10000);
        QCOMPARE(WexolinManager::shared().wAdminEmail(), std::optional<QString>(m_backend->backend().adminEmail()));
        // The login opens the options menu; once it is gone the prompt can open again.
        QTRY_VERIFY(!launcher()->isPresenting());
        QVERIFY(launcher()->presentedViewController());
        launcher()->presentedViewController()->dismiss(false);
        openPrompt();
        QVERIFY(prompt());
        QTest::mouseClick(prompt()->actionButton(QStringLiteral("Cancel")), Qt::LeftButton);
        QTRY_VERIFY(!prompt());
    }
};

QTEST_MAIN(tst_LauncherStartup)
#include "tst_launcherstartup.moc"
