#include "WexoCreator/manager/WexolinManager.h"

#include "WexoCreator/appearance-model/Template.h"
#include "WexoCreator/appearance-model/Theme.h"
#include "WexoCreator/backend/WFeedManager.h"
#include "WexoCreator/backend/WWebApiInterface.h"
#include "WexoCreator/configuration/WAppearanceState.h"
#include "WexoCreator/configuration/WConfiguration.h"
#include "WexoCreator/manager/WexoButtonController.h"
#include "WexoCreator/manager/WexoButtonWindow.h"
#include "WexoCreator/model/Wexo.h"
#include "WexoCreator/model/WexoCreate.h"
#include "WexoCreator/model/WexoRoot.h"
#include "WexoCreator/platform/WHostQueries.h"
#include "WexoCreator/platform/WLogging.h"
#include "WexoCreator/platform/WNotificationCenter.h"
#include "WexoCreator/platform/WPerform.h"
#include "WexoCreator/recording/FrameView.h"
#include "WexoCreator/recording/Inspector.h"
#include "WexoCreator/recording/WPlayConsole.h"
#include "WexoCreator/recording/WexoSteps.h"

#include <QApplication>
#include <QTabBar>

namespace WexoCreator {

namespace {

// Qt hosts commonly pass a null QString for "no value".
bool isAbsent(const std::optional<QString> &value)
{
    return !value || value->isNull();
}

const QString kUnknownWexoName = QStringLiteral("Unknown");

// Every step of the walkthrough counts, whichever screen its page is for.
qint64 stepTotal(const WexoRoot &root)
{
    qint64 total = 0;
    for (const std::shared_ptr<Wexo> &page : root.wexos.value_or(QList<std::shared_ptr<Wexo>>()))
        total += page->values ? page->values->size() : 0;
    return total;
}

// Names every page of the walkthrough (the menu shows that name) and gives the
// first page made for the screen, or null.
std::shared_ptr<Wexo> namePagesAndFind(const WexoRoot &root, const QString &pageName)
{
    if (!root.wexos)
        return nullptr;
    const QString name = root.wexoName && root.wexoName->Name ? *root.wexoName->Name : kUnknownWexoName;
    std::shared_ptr<Wexo> match;
    for (const std::shared_ptr<Wexo> &page : *root.wexos) {
        page->wexoName = name;
        if (!match && page->Page && *page->Page == pageName)
            match = page;
    }
    return match;
}

void appendPagesFor(const QString &pageName, const QList<std::shared_ptr<WexoRoot>> &feed,
                    QList<std::shared_ptr<Wexo>> &result)
{
    for (const std::shared_ptr<WexoRoot> &root : feed) {
        const qint64 total = stepTotal(*root);
        if (std::shared_ptr<Wexo> page = namePagesAndFind(*root, pageName)) {
            page->totalWexoSteps = total;
            result.append(page);
        }
    }
}

} // namespace

WexolinManager::WexolinManager()
{
    // The launcher unregisters its observers when the manager lets it go at
    // exit, so the notification centre must be built first and die last.
    WNotificationCenter::defaultCenter();
    // Every feed reload forgets the recorded trees, except the one still being
    // recorded, and ends by fetching the appearance again.
    WFeedManager::setReloadHooks([] { WexoSteps::emptyForReload(); }, [] { getUI(); });
}

WexolinManager::~WexolinManager() = default;

WexolinManager &WexolinManager::shared()
{
    static WexolinManager manager;
    return manager;
}

QString WexolinManager::playedFlagKey(const std::optional<QString> &wexoId)
{
    return wPlayedKeyPrefix + wexoId.value_or(QString());
}

bool WexolinManager::isAdmin()
{
    return WCredentials::adminToken().has_value();
}

std::optional<QWidget *> WexolinManager::hostWindow()
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return std::nullopt;
    return WHostQueries::hostWindow();
}

std::shared_ptr<Theme> WexolinManager::defaultTheme() const { return WAppearanceState::defaultTheme(); }
std::shared_ptr<Theme> WexolinManager::theme() const { return WAppearanceState::theme(); }
std::shared_ptr<Template> WexolinManager::currentTemplate() const { return WAppearanceState::currentTemplate(); }

void WexolinManager::initialiseWith(const std::optional<QString> &token, const std::optional<QString> &appId,
                                    bool showConsole, bool debugLog)
{
    if (isAbsent(token))
        return;
    if (isAbsent(appId)) {
        qCWarning(lcManager, "Token cannot be empty !!!");
        return;
    }

    WexolinManager &manager = shared();
    WCredentials::setClientToken(token);
    WCredentials::setClientAppId(appId);
    manager.m_showConsole = showConsole;
    manager.m_debugLog = debugLog;
    setDebugLogging(debugLog);

    // Present before anything is drawn, so every getter has its fallback.
    WConfiguration::applyDefaultTheme();

    // One launcher at a time: a second start-up reloads through it instead of
    // stacking a second window and console. A launcher without a host window
    // shows nothing, so one over the host window now present replaces it.
    if (const std::optional<QWidget *> window = hostWindow()) {
        WexoButtonController *launcher = manager.m_wexoButtonController.get();
        if (launcher && (launcher->hostWindow() || !*window)) {
            launcher->reloadFeed();
        } else {
            manager.m_wexoButtonController = WexoButtonController::initWith(*window);
            launcher = manager.m_wexoButtonController.get();
            // Its window goes with the host window; a launcher left behind
            // would rebuild its view and observe the feed a second time.
            if (*window) {
                connect(*window, &QObject::destroyed, launcher, [launcher] {
                    WexolinManager &owner = shared();
                    if (owner.m_wexoButtonController.get() == launcher)
                        owner.m_wexoButtonController.reset();
                });
            }
        }
    }
    getUI();
}

void WexolinManager::setTabBarController(QTabWidget *tabBarController)
{
    shared().m_tabBarController = tabBarController;
}

void WexolinManager::showGuideMenu()
{
    if (WexoButtonController *launcher = shared().wexoButtonController())
        launcher->onWidgetClick();
}

void WexolinManager::playWexo(std::shared_ptr<Wexo> wexo)
{
    if (WexoButtonController *launcher = shared().wexoButtonController())
        launcher->onPlayDownloadedWexo(std::move(wexo));
}

void WexolinManager::autoPlayOn(QWidget *page)
{
    if (WexoButtonController *launcher = shared().wexoButtonController())
        launcher->onAutoPlayWexo(page);
}

void WexolinManager::downloadWexo(const QString &wexoId, bool autoPlay, DownloadCompletion completion)
{
    const QWidget *top = WHostQueries::wTopViewController();
    if (!top) {
        if (completion)
            completion(false, nullptr);
        return;
    }
    // The name is taken now: the page may be gone when the answer comes.
    const QString pageName = WHostQueries::pageName(top);
    WFeedManager::downloadWexo(wexoId, [pageName, autoPlay, completion = std::move(completion)](
                                           bool success, std::shared_ptr<WexoRoot> root) {
        const bool found = success && root && root->wexos;
        std::shared_ptr<Wexo> match = found ? namePagesAndFind(*root, pageName) : nullptr;
        // Cards count "Step n / total", and playback ends the walkthrough at the total.
        if (match)
            match->totalWexoSteps = stepTotal(*root);
        // Playback builds widgets and the host may too: both get the answer
        // from the main loop, never from inside the network callback.
        WPerform::onMainThread([found, match, autoPlay, completion] {
            if (found && autoPlay && match)
                playWexo(match);
            if (completion)
                completion(found, match);
        });
    });
}

void WexolinManager::getUI()
{
    // Runs overlap (start-up, then a refresh): each is numbered, and an answer is
    // used only when its run is newer than the run whose answer is in use. A late
    // answer never replaces a newer one, and a newer run that failed never throws
    // away the only good answer.
    static quint64 latestRun = 0;
    static quint64 themeRun = 0;
    static quint64 templateRun = 0;
    const quint64 run = ++latestRun;
    WWebApiInterface::getTheme([run](std::shared_ptr<Theme> theme) {
        if (!theme || run < themeRun)
            return;
        themeRun = run;
        WAppearanceState::setTheme(theme);
        if (WexoButtonController *launcher = shared().wexoButtonController())
            launcher->onThemeApplied();
        WFeedManager::downloadFont(theme);
    });
    WWebApiInterface::getTemplate([run](std::shared_ptr<Template> value) {
        // Like the theme, a failed request keeps the template already in use.
        if (!value || run < templateRun)
            return;
        templateRun = run;
        WAppearanceState::setTemplate(std::move(value));
    });
}

void WexolinManager::loginAdmin(const QString &email, const QString &password, std::function<void(bool)> completion)
{
    WWebApiInterface::loginAdmin(email, password, std::move(completion));
}

void WexolinManager::logoutAdmin()
{
    // The password goes with the token: a logged-out administrator leaves no
    // usable secret behind. The e-mail stays to pre-fill the next login.
    WCredentials::setAdminToken(std::nullopt);
    WCredentials::setAdminPassword(std::nullopt);
}

void WexolinManager::setDefault(std::shared_ptr<Theme> theme)
{
    WAppearanceState::setDefaultTheme(std::move(theme));
}

void WexolinManager::setWexo(const std::optional<QString> &name)
{
    shared().m_currentWexoName = name;
}

void WexolinManager::setCurrentCreated(std::shared_ptr<WexoNode<QString>> wexo)
{
    shared().m_currentCreatedWexo = std::move(wexo);
}

void WexolinManager::setCurrentPlaying(std::shared_ptr<Wexo> wexo)
{
    shared().m_currentPlayingWexo = std::move(wexo);
}

void WexolinManager::addParamsToCurrentWexo(const WexoCreate &created, qint64 currentStep)
{
    const std::shared_ptr<WexoNode<QString>> &node = shared().m_currentCreatedWexo;
    // An answer that names no walkthrough or no step created nothing to file.
    if (!node || !created.isCreated())
        return;
    node->wexoId = created.walkthroughId;
    node->stepNumber = currentStep;
    node->stepId = created.walkthroughStepId;
}

void WexolinManager::incrementCurrenStep()
{
    WexolinManager &manager = shared();
    if (!manager.m_currentCreatedWexo)
        return;
    ++manager.m_currentCreatedWexo->stepNumber;
    if (WexoButtonController *launcher = manager.wexoButtonController())
        launcher->setBadgeTitle(QString::number(manager.m_currentCreatedWexo->stepNumber));
}

void WexolinManager::addAnalyticsId(const std::optional<QString> &analyticsId)
{
    if (const std::shared_ptr<Wexo> &playing = shared().m_currentPlayingWexo)
        playing->analyticsId = analyticsId;
}

void WexolinManager::setCurrentWexoType(std::optional<WexoOptionType> wexoType)
{
    shared().m_currentWexoType = wexoType;
}

Inspector &WexolinManager::inspector()
{
    return Inspector::shared();
}

namespace {

// Nothing in the host's other windows can be picked: while the pick layer is
// up they get no input at all.
void holdOtherWindows()
{
    WexoButtonController *launcher = WexolinManager::shared().wexoButtonController();
    if (launcher && launcher->window())
        launcher->window()->setPicking(WexolinManager::inspector().on);
}

} // namespace

void WexolinManager::enableIntrospect()
{
    // Starting or resuming a recording while the inspector is already on must
    // not switch it off.
    if (!inspector().on)
        inspector().invokeInspector();
    holdOtherWindows();
}

void WexolinManager::disableIntrospect()
{
    inspector().on = false;
    if (FrameView *frameView = inspector().frameView())
        inspector().fadeView(frameView, 0);
    holdOtherWindows();
}


void WexolinManager::reset()
{
    addAnalyticsId(std::nullopt);
    setWexo(std::nullopt);
    setCurrentCreated(nullptr);
    setCurrentWexoType(std::nullopt);
    // Answers still on their way belong to the recording that just ended.
    WexoSteps::endSession();
}

QList<std::shared_ptr<Wexo>> WexolinManager::wexosOnCurrentView()
{
    QList<std::shared_ptr<Wexo>> result;
    const QWidget *top = WHostQueries::wTopViewController();
    if (!top)
        return result;
    // One copy of the feed serves both passes.
    const QList<std::shared_ptr<WexoRoot>> feed = WFeedManager::shared().wexoFeed();
    appendPagesFor(WHostQueries::pageName(top), feed, result);

    const QTabWidget *tabs = shared().m_tabBarController;
    if (tabs && !tabs->tabBar()->isHidden())
        appendPagesFor(WHostQueries::pageName(tabs), feed, result);
    return result;
}

std::shared_ptr<Wexo> WexolinManager::wexoOnCurrentViewController(QWidget *page)
{
    const std::shared_ptr<Wexo> &playing = shared().m_currentPlayingWexo;
    // A page without a walkthrough identifier belongs to no walkthrough: it
    // must not pick up whichever root happens to lack one too.
    if (!playing || !playing->WalkthroughId || !page)
        return nullptr;
    for (const std::shared_ptr<WexoRoot> &root : WFeedManager::shared().wexoFeed()) {
        if (!root->wexoName || root->wexoName->Id != playing->WalkthroughId)
            continue;
        const qint64 total = stepTotal(*root);
        std::shared_ptr<Wexo> match = namePagesAndFind(*root, WHostQueries::pageName(page));
        if (match)
            match->totalWexoSteps = total;
        return match;
    }
    return nullptr;
}

} // namespace WexoCreator
