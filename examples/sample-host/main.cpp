// The sample host: a small shop application that starts the guidance library.
//
//   wexo-sample-host [--backend URL] [--screenshot DIR] [--offscreen] [--debug]

#include "SampleHostWindow.h"
#include "ShopPages.h"
#include "WalkthroughDemo.h"

#include "WexoCreator/backend/WFeedManager.h"
#include "WexoCreator/manager/WexoButtonController.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/menu/WexoOption.h"
#include "WexoCreator/platform/WNotificationCenter.h"
#include "WexoCreator/recording/WexoItemListViewController.h"
#ifdef WEXO_WEB_VIEW
#include "WexoCreator/platform/WInAppBrowser.h"
#endif

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTextStream>
#include <QTimer>
#include <QUrl>

namespace {

const QString clientToken = QStringLiteral("sample-client-token");
const QString clientAppId = QStringLiteral("com.example.sampleshop");

// Saves one PNG per screen of the host, with whatever the library shows on top.
QStringList saveScreens(SampleHostWindow &window, const QString &directory)
{
    QDir().mkpath(directory);
    QStringList written;
    auto save = [&](const QString &name) {
        const QString path = QDir(directory).absoluteFilePath(name + QStringLiteral(".png"));
        if (window.grab().save(path))
            written << path;
    };
    QTabWidget *tabs = window.tabs();
    tabs->setCurrentIndex(0);
    save(QStringLiteral("shop"));
    window.shopPage()->openSelectedProduct();
    save(QStringLiteral("shop-detail"));
    window.shopPage()->setCurrentIndex(0);
    tabs->setCurrentIndex(1);
    save(QStringLiteral("settings"));
    tabs->setCurrentIndex(2);
    save(QStringLiteral("profile"));
    tabs->setCurrentIndex(0);
    return written;
}

// What the demo's summary reports: the library state a person can check on the screenshots.
void printSummary()
{
    QTextStream out(stdout);
    out << "walkthroughs downloaded: " << WexoCreator::WFeedManager::shared().wexoFeed().size() << Qt::endl;
    out << "theme applied: "
        << (WexoCreator::WexolinManager::shared().theme() ? "the backend's theme" : "the default theme (no answer)")
        << Qt::endl;
}

// The sample backend's administrator (examples/sample-host/data/account.json).
const QString adminEmail = QStringLiteral("admin@sampleshop.example");
const QString adminPassword = QStringLiteral("sample-admin-password");

// The options menu over the shop as the administrator sees it, then a search in
// it; reports the PNGs written once both are taken.
void saveMenuScreens(SampleHostWindow &window, const QString &directory, std::function<void(QStringList)> done)
{
    using WexoCreator::WexolinManager;
    // Past the card's slide (a quarter of a second).
    constexpr int settleMs = 400;
    auto save = [&window, directory](const QString &name, QStringList &written) {
        const QString path = QDir(directory).absoluteFilePath(name + QStringLiteral(".png"));
        if (window.grab().save(path))
            written << path;
    };
    WexolinManager::loginAdmin(adminEmail, adminPassword, [&window, save, done](bool) {
        WexolinManager::showGuideMenu();
        QTimer::singleShot(settleMs, &window, [&window, save, done] {
            QStringList written;
            save(QStringLiteral("menu-admin"), written);
            if (auto *field = window.findChild<QLineEdit *>(QStringLiteral("wexoSearchField"))) {
                field->setFocus();
                field->setText(QStringLiteral("tour"));
            }
            QTimer::singleShot(settleMs, &window, [save, done, written]() mutable {
                save(QStringLiteral("menu-search"), written);
                done(written);
            });
        });
    });
}

// The administrator's list of recorded steps in edit mode, each row with its
// delete control and drag handle; the steps are made up here and sent nowhere.
void saveStepsListScreen(SampleHostWindow &window, const QString &directory, std::function<void(QStringList)> done)
{
    using namespace WexoCreator;
    using Node = WexoNode<QString>;
    WexoButtonController *launcher = WexolinManager::shared().wexoButtonController();
    if (!launcher) {
        done({});
        return;
    }
    if (WViewController *open = launcher->presentedViewController())
        open->dismiss(false);
    const QString page = QStringLiteral("ShopPage");
    auto root = std::make_shared<Node>(page, std::nullopt, WexoOptionType::record, page);
    for (const char *name : {"QPushButton", "QLineEdit", "QListView", "QTabBar"})
        root->addChild(std::make_shared<Node>(QStringLiteral("{{0, 0}, {1, 1}}"), std::nullopt, WexoOptionType::record, page,
                                              QString::fromLatin1(name)));
    WexolinManager::setCurrentCreated(root);
    QPointer<WexoItemListViewController> list = WexoItemListViewController::createWexoItemListViewController();
    launcher->present(list, true);
    // Past the list's slide in (0.3 s).
    QTimer::singleShot(500, &window, [&window, directory, done, list] {
        if (list)
            list->rightButton()->click();
        QTimer::singleShot(100, &window, [&window, directory, done, list] {
            QStringList written;
            const QString path = QDir(directory).absoluteFilePath(QStringLiteral("steps-edit.png"));
            if (window.grab().save(path))
                written << path;
            if (list)
                list->dismiss(false);
            WexolinManager::setCurrentCreated(nullptr);
            done(written);
        });
    });
}

// The About page as the menu opens it: its reader face first (entered by
// itself for an article), then the page itself; reports the PNGs written.
void saveAboutScreens(SampleHostWindow &window, const QString &directory, std::function<void(QStringList)> done)
{
#ifdef WEXO_WEB_VIEW
    using namespace WexoCreator;
    constexpr int settleMs = 700;
    WexoButtonController *launcher = WexolinManager::shared().wexoButtonController();
    // About is chosen from a closed menu, as a person would after closing it.
    launcher->dismiss(false);
    WexoOption about;
    about.type = WexoOptionType::about;
    launcher->onOptionSelected(about);
    auto *browser = qobject_cast<WInAppBrowser *>(launcher->presentedViewController());
    if (!browser) {
        done({});
        return;
    }
    auto written = std::make_shared<QStringList>();
    auto finished = std::make_shared<bool>(false);
    const auto finish = [browser = QPointer<WInAppBrowser>(browser), written, finished, done] {
        if (*finished)
            return;
        *finished = true;
        if (browser)
            browser->close();
        done(*written);
    };
    const auto save = [&window, directory, written](const QString &name) {
        const QString path = QDir(directory).absoluteFilePath(name + QStringLiteral(".png"));
        if (window.grab().save(path))
            *written << path;
    };
    QObject::connect(browser, &WInAppBrowser::readerChecked, &window, [&window, browser, save, finish](bool readable) {
        QTimer::singleShot(settleMs, &window, [browser, save, finish, readable] {
            if (readable) {
                save(QStringLiteral("menu-about-reader"));
                browser->showReader(false);
                return;
            }
            save(QStringLiteral("menu-about"));
            finish();
        });
    });
    QTimer::singleShot(20000, &window, finish);
#else
    Q_UNUSED(window);
    Q_UNUSED(directory);
    done({});
#endif
}

} // namespace

int main(int argc, char *argv[])
{
    // The platform must be chosen before the application object exists.
    // The help text needs no display either.
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--offscreen") == 0 || qstrcmp(argv[i], "--help") == 0 || qstrcmp(argv[i], "-h") == 0)
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("wexo-sample-host"));
    QApplication::setOrganizationName(QStringLiteral("WexoCreator"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A sample shop that hosts the guidance library."));
    parser.addHelpOption();
    const QCommandLineOption backendOption(
        QStringLiteral("backend"),
        QStringLiteral("Backend root URL. Without it the library uses WEXO_PRODUCTION_URL, or WEXO_STAGING_URL when "
                       "WEXO_STAGING=1, else its built-in root (https://api.wexocreator.example/)."),
        QStringLiteral("url"));
    const QCommandLineOption screenshotOption(QStringLiteral("screenshot"),
                                              QStringLiteral("Save PNGs of every screen into DIR, then quit."),
                                              QStringLiteral("dir"));
    const QCommandLineOption offscreenOption(QStringLiteral("offscreen"), QStringLiteral("Run without a display."));
    const QCommandLineOption debugOption(QStringLiteral("debug"), QStringLiteral("Print the library's debug log."));
    parser.addOptions({backendOption, screenshotOption, offscreenOption, debugOption});
    parser.process(app);

    // Names what is wrong instead of failing later without a word.
    const auto fail = [](const QString &problem) {
        QTextStream(stderr) << "wexo-sample-host: " << problem << " (see --help)" << Qt::endl;
        return 2;
    };
    if (parser.isSet(backendOption)) {
        const QString root = parser.value(backendOption);
        const QUrl url(root, QUrl::StrictMode);
        const bool web = url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
        if (!url.isValid() || !web || url.host().isEmpty() || !url.path().endsWith(QLatin1Char('/')))
            return fail(QStringLiteral("--backend \"%1\" is not a server root URL such as http://127.0.0.1:8080/").arg(root));
        qputenv("WEXO_PRODUCTION_URL", root.toUtf8());
    }
    if (parser.isSet(screenshotOption)) {
        const QString directory = parser.value(screenshotOption);
        if (QFileInfo::exists(directory) && !QFileInfo(directory).isDir())
            return fail(QStringLiteral("--screenshot %1 is a file, not a folder").arg(directory));
        if (!QDir().mkpath(directory))
            return fail(QStringLiteral("--screenshot %1: the folder cannot be created").arg(directory));
    }

    SampleHostWindow window;
    window.show();

    WexoCreator::WexolinManager::initialiseWith(clientToken, clientAppId, /*showConsole=*/true,
                                                parser.isSet(debugOption));
    WexoCreator::WexolinManager::setTabBarController(window.tabs());

    if (parser.isSet(screenshotOption)) {
        const QString directory = parser.value(screenshotOption);
        QObject screenshots;
        bool taken = false;
        auto takeAndQuit = [&] {
            if (taken)
                return;
            taken = true;
            // Let the library lay out what the download brought before grabbing.
            QTimer::singleShot(300, &app, [&] {
                const QStringList written = saveScreens(window, directory);
                saveMenuScreens(window, directory, [&window, directory, written](const QStringList &menuShots) {
                    saveStepsListScreen(window, directory, [&window, directory, written, menuShots](const QStringList &stepShots) {
                        WexoCreator::WexolinManager::logoutAdmin();
                        saveAboutScreens(window, directory, [&window, directory, written, menuShots, stepShots](const QStringList &pages) {
                            const QStringList menus = menuShots + stepShots + pages;
                            // Then every walkthrough, played by clicks, one PNG per step.
                            auto *demo = new WalkthroughDemo(window, directory, [written, menus, directory](const QStringList &steps) {
                                printSummary();
                                QTextStream out(stdout);
                                for (const QString &path : written + menus + steps)
                                    out << "screenshot: " << path << Qt::endl;
                                if (written.isEmpty())
                                    QTextStream(stderr) << "wexo-sample-host: no screenshot could be written into " << directory << Qt::endl;
                                QApplication::exit(written.isEmpty() ? 1 : 0);
                            });
                            demo->start();
                        });
                    });
                });
            });
        };
        WexoCreator::WNotificationCenter::defaultCenter().addObserver(
            WexoCreator::WFeedManager::WexoDownloadCompleteNotification, &screenshots,
            [&](const QVariantMap &) { takeAndQuit(); });
        // Without an answer from the backend, still show the host as it is.
        QTimer::singleShot(15000, &screenshots, takeAndQuit);
        return QApplication::exec();
    }
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &printSummary);
    return QApplication::exec();
}
