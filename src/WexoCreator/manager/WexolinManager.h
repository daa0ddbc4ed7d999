#pragma once

#include "WexoCreator/WexoCreatorExport.h"
#include "WexoCreator/appearance-model/Theme.h"
#include "WexoCreator/backend/WCredentials.h"
#include "WexoCreator/model/Wexo.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTabWidget>

#include <functional>
#include <memory>
#include <optional>

namespace WexoCreator {

// Internal to the library: a host never needs their definitions.
class Inspector;
class Template;
class WexoButtonController;
class WexoCreate;
template<typename T>
class WexoNode;
enum class WexoOptionType;

// The library's front door: a host application starts WexoCreator here and
// drives it through the static functions below. Call initialiseWith() once the
// main window exists; the manager then stores the client credentials, builds the
// floating launcher over the host window and downloads the walkthroughs, the
// theme and the template. Everything runs on the host's main thread.
//
//     #include "WexoCreator/manager/WexolinManager.h"
//
//     MainWindow window;
//     window.show();
//     using WexoCreator::WexolinManager;
//     WexolinManager::initialiseWith(QStringLiteral("client-token"),
//                                    QStringLiteral("com.example.app"),
//                                    /*showConsole*/ true, /*debugLog*/ false);
//     WexolinManager::setTabBarController(window.tabs());
//     // later, e.g. from a help button:
//     WexolinManager::showGuideMenu();
//     // or fetch one walkthrough and its page for the page now shown:
//     WexolinManager::downloadWexo(QStringLiteral("wt-42"), /*autoPlay*/ false,
//                                  [](bool ok, std::shared_ptr<WexoCreator::Wexo> page) { /* ... */ });
//     // or build a Help menu of the walkthroughs for the page on screen:
//     for (const std::shared_ptr<WexoCreator::Wexo> &page : WexolinManager::wexosOnCurrentView())
//         helpMenu->addAction(page->wexoName.value_or(QString()), [page] { WexolinManager::playWexo(page); });
//
// The one instance, shared(), holds the library's global state for the life of
// the process: the playback and recording state and the launcher. Credentials
// live in the user-defaults store (owner-readable only) across runs; theme and
// template live in memory (see WAppearanceState).
class WEXOCREATOR_EXPORT WexolinManager : public QObject
{
    Q_OBJECT

public:
    static WexolinManager &shared();

    static inline const QString &wClientTokenKey = WCredentials::wClientTokenKey;
    static inline const QString &wClientAppIdKey = WCredentials::wClientAppIdKey;
    static inline const QString &wAdminTokenKey = WCredentials::wAdminTokenKey;
    static inline const QString &wAdminEmailKey = WCredentials::wAdminEmailKey;
    static inline const QString &wAdminPasswordKey = WCredentials::wAdminPasswordKey;
    // Played flags live in the same store; the prefix keeps a walkthrough
    // identifier from ever landing on a credential key.
    static inline const QString wPlayedKeyPrefix = QStringLiteral("WexolinManager.Played.");
    static QString playedFlagKey(const std::optional<QString> &wexoId);

    using DownloadCompletion = std::function<void(bool success, std::shared_ptr<Wexo> page)>;

    // --- Host entry points ---------------------------------------------------

    // Starts the library. Nothing happens without a token; a token without an
    // application identifier is a programming error of the host and is only
    // logged. A later call stores the new values and reloads, reusing the launcher
    // while it has a host window; the launcher goes when its host window does.
    static void initialiseWith(const std::optional<QString> &token, const std::optional<QString> &appId,
                               bool showConsole, bool debugLog);
    // Pages of this tab widget are offered besides the page on screen.
    static void setTabBarController(QTabWidget *tabBarController);
    // Opens the options menu once the library has started.
    static void showGuideMenu();
    // Plays a walkthrough page the host holds (from downloadWexo, say).
    static void playWexo(std::shared_ptr<Wexo> wexo);
    // Continues the walkthrough being played on the page now on screen.
    static void autoPlayOn(QWidget *page);
    // Downloads one walkthrough and answers its page for the page on screen
    // (absent when it has none, with success still true). Answers on the main thread.
    static void downloadWexo(const QString &wexoId, bool autoPlay, DownloadCompletion completion);
    // Requests theme and template; a failed answer keeps what was downloaded before.
    static void getUI();
    // Stores the administrator's token, e-mail and password on success.
    // Answers on the main thread, always after the call has returned.
    static void loginAdmin(const QString &email, const QString &password, std::function<void(bool)> completion);
    static void logoutAdmin();
    // The theme whose values stand in for whatever the downloaded one lacks.
    // initialiseWith() puts the built-in default theme in place, so a host's own
    // default is set after it.
    static void setDefault(std::shared_ptr<Theme> theme);

    // --- Recording and playback bookkeeping ----------------------------------

    static void setWexo(const std::optional<QString> &name);
    static void setCurrentCreated(std::shared_ptr<WexoNode<QString>> wexo);
    static void setCurrentPlaying(std::shared_ptr<Wexo> wexo);
    static void addParamsToCurrentWexo(const WexoCreate &created, qint64 currentStep = 0);
    static void incrementCurrenStep();
    static void addAnalyticsId(const std::optional<QString> &analyticsId);
    static void setCurrentWexoType(std::optional<WexoOptionType> wexoType);
    // Switches the element inspector on (a call while it is on changes nothing).
    static void enableIntrospect();
    // Switches it off, fading its outline view out; the pick stays.
    static void disableIntrospect();
    // Ends the recording context; a walkthrough being played keeps playing.
    static void reset();

    // The pages of the downloaded walkthroughs for the page on screen, then
    // for the tab widget while its tab bar shows: at most one per walkthrough
    // and pass, each named and given its walkthrough's step total.
    static QList<std::shared_ptr<Wexo>> wexosOnCurrentView();
    // The page of the walkthrough being played that belongs to the given page.
    static std::shared_ptr<Wexo> wexoOnCurrentViewController(QWidget *page);

    // --- State ----------------------------------------------------------------

    std::optional<QString> wClientToken() const { return WCredentials::clientToken(); }
    std::optional<QString> wClientAppId() const { return WCredentials::clientAppId(); }
    std::optional<QString> wAdminToken() const { return WCredentials::adminToken(); }
    std::optional<QString> wAdminEmail() const { return WCredentials::adminEmail(); }
    std::optional<QString> wAdminPassword() const { return WCredentials::adminPassword(); }
    static bool isAdmin();
    static Inspector &inspector();

    // Absent in an application without widgets (no QApplication); otherwise the
    // host's main window, which may itself be null.
    static std::optional<QWidget *> hostWindow();

    QTabWidget *tabBarController() const { return m_tabBarController; }
    WexoButtonController *wexoButtonController() const { return m_wexoButtonController.get(); }
    std::shared_ptr<WexoNode<QString>> currentCreatedWexo() const { return m_currentCreatedWexo; }
    std::shared_ptr<Wexo> currentPlayingWexo() const { return m_currentPlayingWexo; }
    std::optional<QString> currentWexoName() const { return m_currentWexoName; }
    std::optional<WexoOptionType> currentWexoType() const { return m_currentWexoType; }
    std::shared_ptr<Theme> defaultTheme() const;
    std::shared_ptr<Theme> theme() const;
    std::shared_ptr<Template> currentTemplate() const;
    bool showConsole() const { return m_showConsole; }
    bool debugLog() const { return m_debugLog; }

    // Settable by the launcher, the console and the options menu.
    bool isRecording = false;
    bool isPaused = false;

private:
    WexolinManager();
    ~WexolinManager() override;

    QPointer<QTabWidget> m_tabBarController;
    std::unique_ptr<WexoButtonController> m_wexoButtonController;
    std::shared_ptr<WexoNode<QString>> m_currentCreatedWexo;
    std::shared_ptr<Wexo> m_currentPlayingWexo;
    std::optional<QString> m_currentWexoName;
    std::optional<WexoOptionType> m_currentWexoType;
    bool m_showConsole = true;
    bool m_debugLog = false;
};

} // namespace WexoCreator
