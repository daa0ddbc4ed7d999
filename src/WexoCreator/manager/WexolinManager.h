#pragma once

#include "WexoCreator/menu/WexoOptionType.h"
#include "WexoCreator/recording/WexoNode.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTabWidget>

#include <functional>
#include <memory>
#include <optional>

namespace WexoCreator {

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
//
// The one instance, shared(), holds the library's global state for the life of
// the process: the playback and recording state and the launcher. Credentials
// live in the user-defaults store (owner-readable only) across runs.
class WexolinManager : public QObject
{
    Q_OBJECT

public:
    static WexolinManager &shared();

    static inline const QString wClientTokenKey = QStringLiteral("WexolinManager.Client");
    static inline const QString wClientAppIdKey = QStringLiteral("WexolinManager.ClientAppId");
    static inline const QString wAdminTokenKey = QStringLiteral("WexolinManager.Admin");
    static inline const QString wAdminEmailKey = QStringLiteral("WexolinManager.Admin.Email");
    static inline const QString wAdminPasswordKey = QStringLiteral("WexolinManager.Admin.Password");
    // Played flags live in the same store; the prefix keeps a walkthrough
    // identifier from ever landing on a credential key.
    static inline const QString wPlayedKeyPrefix = QStringLiteral("WexolinManager.Played.");
    static QString playedFlagKey(const std::optional<QString> &wexoId);

    // --- Host entry points ---------------------------------------------------

    // Starts the library. Nothing happens without a token; a token without an
    // application identifier is a programming error of the host and is only
    // logged. A later call stores the new values and reloads, reusing the launcher.
    static void initialiseWith(const std::optional<QString> &token, const std::optional<QString> &appId,
                               bool showConsole, bool debugLog);
    static void setTabBarController(QTabWidget *tabBarController);
    static void logoutAdmin();

    // --- Recording and playback bookkeeping ----------------------------------

    static void setWexo(const std::optional<QString> &name);
    static void setCurrentCreated(std::shared_ptr<WexoNode<QString>> wexo);
    static void incrementCurrenStep();
    static void setCurrentWexoType(std::optional<WexoOptionType> wexoType);
    static void reset();

    // --- State ----------------------------------------------------------------

    std::optional<QString> wClientToken() const;
    std::optional<QString> wClientAppId() const;
    std::optional<QString> wAdminToken() const;
    std::optional<QString> wAdminEmail() const;
    std::optional<QString> wAdminPassword() const;
    static bool isAdmin();

    QTabWidget *tabBarController() const { return m_tabBarController; }
    std::shared_ptr<WexoNode<QString>> currentCreatedWexo() const { return m_currentCreatedWexo; }
    std::optional<QString> currentWexoName() const { return m_currentWexoName; }
    std::optional<WexoOptionType> currentWexoType() const { return m_currentWexoType; }
    bool showConsole() const { return m_showConsole; }
    bool debugLog() const { return m_debugLog; }

    // Settable by the launcher, the console and the options menu.
    bool isRecording = false;
    bool isPaused = false;

private:
    WexolinManager() = default;

    static void setCredential(const QString &key, const std::optional<QString> &value);
    static std::optional<QString> credential(const QString &key);

    QPointer<QTabWidget> m_tabBarController;
    std::shared_ptr<WexoNode<QString>> m_currentCreatedWexo;
    std::optional<QString> m_currentWexoName;
    std::optional<WexoOptionType> m_currentWexoType;
    bool m_showConsole = true;
    bool m_debugLog = false;
};

} // namespace WexoCreator
