#include "WexoCreator/manager/WexoButtonController.h"

#include "WexoCreator/backend/WFeedManager.h"
#include "WexoCreator/configuration/WConfiguration.h"
#include "WexoCreator/extensions/WImageExtensions.h"
#include "WexoCreator/extensions/WTextChecks.h"
#include "WexoCreator/manager/WexoButtonWindow.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/menu/WexoOptionsViewController.h"
#include "WexoCreator/model/Wexo.h"
#include "WexoCreator/platform/WAlert.h"
#include "WexoCreator/platform/WConfigurationValues.h"
#include "WexoCreator/platform/WHostQueries.h"
#include "WexoCreator/platform/WHostSurface.h"
#include "WexoCreator/platform/WLogging.h"
#include "WexoCreator/platform/WMailCapability.h"
#include "WexoCreator/platform/WWebEngineRule.h"
#include "WexoCreator/platform/WNotificationCenter.h"
#include "WexoCreator/platform/WPerform.h"
#include "WexoCreator/platform/WUserDefaults.h"
#include "WexoCreator/playback/WOverlay.h"
#include "WexoCreator/recording/Inspector.h"
#include "WexoCreator/recording/WPlayConsole.h"
#include "WexoCreator/recording/WexoSteps.h"

#ifdef WEXO_WEB_VIEW
#include "WexoCreator/platform/WInAppBrowser.h"
#endif

#include <QDesktopServices>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>

#include <cmath>
#include <limits>

namespace WexoCreator {

std::unique_ptr<WexoButtonController> WexoButtonController::initWith(QWidget *hostWindow)
{
    std::unique_ptr<WexoButtonController> controller(new WexoButtonController(hostWindow));
    controller->loadViewIfNeeded();
    controller->m_hostWindow = hostWindow;
    return controller;
}

WexoButtonController::WexoButtonController(QWidget *hostWindow)
    : m_window(new WexoButtonWindow(hostWindow))
{
    // Every layer of the library keeps to this window, whichever is active later.
    if (hostWindow)
        WHostQueries::setLibraryWindow(hostWindow);
    m_window->hide();
    m_window->setRootViewController(this);
    QPointer<WexoButtonController> self(this);
    m_window->heldKeysTarget = [self]() -> QWidget * { return self ? self->keyboardStep() : nullptr; };
    // Without a host the window would become a window of its own; it waits
    // hidden. Shown with its console slot already filled: shown with an empty
    // slot it would hold every touch, and the host's keyboard with them.
    if (hostWindow) {
        refillConsoleSlot();
        m_window->raise();
        m_window->show();
        beginAppearance(false);
    }
    if (WHostSurface *surface = WHostSurface::of(hostWindow))
        connect(surface, &WHostSurface::changed, this, &WexoButtonController::keepInView);
}

void WexoButtonController::keepInView()
{
    resetSockets();
    if (m_console && !m_console->isPinned()) {
        const QRectF frame = m_console->geometry();
        const QPointF centre = clampedConsoleCentre(frame.center(), frame.size(), view()->size());
        m_console->move((centre - QPointF(frame.width() / 2, frame.height() / 2)).toPoint());
    }
    if (m_crossHair) {
        const QRect area = view()->rect();
        const QPoint centre = m_crossHair->geometry().center();
        m_crossHair->move(QPoint(std::clamp(centre.x(), area.left(), area.right()),
                                 std::clamp(centre.y(), area.top(), area.bottom()))
                          - m_crossHair->rect().center());
    }
}

void WexoButtonController::onThemeApplied()
{
    // The console's face (its edge, its colours) comes from the theme: it is
    // redrawn whole when the theme arrives, also with an empty feed.
    WPlayConsole *console = wConsoleMenu();
    console->setMode(WexolinManager::shared().isRecording ? console->currentMode() : consoleMode());
    console->update();
}

WexoButtonController::~WexoButtonController()
{
    WNotificationCenter::defaultCenter().removeObserver(this);
    if (m_window)
        m_window->deleteLater();
}

QWidget *WexoButtonController::loadView()
{
    QWidget *view = WViewController::loadView();
    view->setObjectName(QStringLiteral("WexoButtonControllerView"));
    return view;
}

WPlayConsole *WexoButtonController::wConsoleMenu()
{
    if (m_console)
        return m_console;
    m_console = new WPlayConsole(view());
    m_console->setObjectName(QStringLiteral("wConsoleMenu"));
    m_console->setGeometry(0, 0, 0, 0);
    WPlayConsole::setShadow(m_console, true);
    m_console->setDelegate(this);
    m_panner = new WGestureTracker(m_console);
    connect(m_panner, &WGestureTracker::panned, this, &WexoButtonController::panDidFire);
    m_console->show();
    return m_console;
}

QLabel *WexoButtonController::crossHair()
{
    if (m_crossHair)
        return m_crossHair;
    const QPixmap image(WConfiguration::currentBundle() + QStringLiteral("images/wcrosshair.png"));
    if (image.isNull())
        qFatal("missing library image wcrosshair");
    m_crossHair = new QLabel(view());
    m_crossHair->setObjectName(QStringLiteral("crossHair"));
    m_crossHair->hide();
    m_crossHair->setScaledContents(true);
    m_crossHair->setPixmap(image);
    applyWTint(m_crossHair, WConfiguration::kPrimaryColor());
    m_crossHair->resize(kCrossHairSize, kCrossHairSize);
    m_crossHair->move(view()->rect().center() - m_crossHair->rect().center());
    auto *tap = new WGestureTracker(m_crossHair);
    connect(tap, &WGestureTracker::tapped, this, &WexoButtonController::onCrossHairTap);
    return m_crossHair;
}

void WexoButtonController::viewDidLoad()
{
    WViewController::viewDidLoad();
    view()->installEventFilter(this);
    WPlayConsole *console = wConsoleMenu();
    connect(m_panner, &WGestureTracker::tapped, this, &WexoButtonController::onWexo);
    connect(m_panner, &WGestureTracker::longPressed, this, &WexoButtonController::showLogin);

    // Without the console the launcher keeps it hidden: it then claims no
    // part of the window and the host keeps every touch.
    console->setVisible(WexolinManager::shared().showConsole());
    console->setMode(WConsoleMode::widget);
    reloadFeed();

    QPointer<WexoButtonController> self(this);
    WNotificationCenter::defaultCenter().addObserver(WFeedManager::WexoDownloadCompleteNotification, this, [self](const QVariantMap &) {
        WPerform::onMainThread([self] {
            if (self)
                self->onWexoDownloadComplete();
        });
    });
}

void WexoButtonController::viewWillAppear(bool animated)
{
    WViewController::viewWillAppear(animated);
    refillConsoleSlot();
}

void WexoButtonController::viewWillDisappear(bool animated)
{
    WViewController::viewWillDisappear(animated);
    if (m_window)
        m_window->setWConsoleButton(nullptr);
}

void WexoButtonController::reloadFeed()
{
    qCDebug(lcManager) << "Downloading Wexo's...";
    // Success is announced by the download-complete notification; a failure
    // leaves the console as it is.
    WFeedManager::reloadFeed([](bool success) {
        if (!success)
            qCDebug(lcManager) << "the walkthrough feed did not download";
    });
}

bool WexoButtonController::holdsEveryTouch() const
{
    return m_isPresenting || presentedViewController() != nullptr || (m_window && m_window->alert()) || m_namePrompt
        || !overlays().isEmpty();
}

void WexoButtonController::refillConsoleSlot()
{
    // A slot filled under an overlay or a menu would let the mask clip them.
    if (m_window && !holdsEveryTouch())
        m_window->setWConsoleButton(wConsoleMenu());
}

void WexoButtonController::onWexoDownloadComplete()
{
    WPlayConsole *console = wConsoleMenu();
    if (WexolinManager::shared().showConsole())
        console->show();
    // A refresh during a recording must not take the record bar (or the
    // crosshair face) away from the administrator mid-recording.
    if (!WexolinManager::shared().isRecording)
        console->setMode(consoleMode());
    // While a presentation holds every touch the slot stays empty; the end
    // of that presentation refills it.
    if (m_window && !m_window->wConsoleButton() && !holdsEveryTouch())
        m_window->setWConsoleButton(console);
}

WConsoleMode WexoButtonController::consoleMode()
{
    return WConfiguration::KPreferences() == QStringLiteral("widget") ? WConsoleMode::widget : WConsoleMode::hover;
}

// --- Dragging and docking ----------------------------------------------------

QPointF WexoButtonController::clampedConsoleCentre(const QPointF &centre, const QSizeF &console, const QSizeF &area)
{
    // The margins keep a small console clear of the edges; a larger one (the
    // record bar) is kept whole inside the area.
    const auto clampAxis = [](qreal value, qreal margin, qreal half, qreal extent) {
        const qreal low = std::max(margin, half);
        const qreal high = extent - low;
        if (high < low)
            return extent / 2;
        return std::clamp(value, low, high);
    };
    return {clampAxis(centre.x(), kDragMarginX, console.width() / 2, area.width()),
            clampAxis(centre.y(), kDragMarginY, console.height() / 2, area.height())};
}

QList<QPointF> WexoButtonController::socketSource(const QSizeF &console, const QRectF &safeArea)
{
    const qreal dx = console.width() / 2 + kSocketMargin;
    const qreal dy = console.height() / 2 + kSocketMargin;
    const QRectF r = safeArea.adjusted(dx, dy, -dx, -dy);
    const QPointF c = r.center();
    return {{r.left(), r.top()}, {r.left(), r.bottom()}, {r.right(), r.top()},
            {r.right(), r.bottom()}, {c.x(), r.top()}, {c.x(), r.bottom()},
            c, {r.right(), c.y()}, {r.left(), c.y()}};
}

QPointF WexoButtonController::nearestSocket(const QPointF &centre, const QList<QPointF> &sockets)
{
    QPointF best(0, 0);
    qreal shortest = std::numeric_limits<qreal>::infinity();
    for (const QPointF &socket : sockets) {
        const qreal d = std::hypot(centre.x() - socket.x(), centre.y() - socket.y());
        if (d < shortest) {
            best = socket;
            shortest = d;
        }
    }
    return best;
}

const QList<QPointF> &WexoButtonController::sockets()
{
    if (!m_sockets)
        m_sockets = socketSource(wConsoleMenu()->size(), view()->rect());
    return *m_sockets;
}

void WexoButtonController::resetSockets()
{
    m_sockets.reset();
    sockets();
}

void WexoButtonController::panDidFire(WGestureTracker::PanState state, const QPointF &delta)
{
    Q_UNUSED(state);
    WPlayConsole *console = m_console;
    if (!console || console->currentMode() == WConsoleMode::widget)
        return;
    const QRectF frame = console->geometry();
    const QPointF centre = clampedConsoleCentre(frame.center() + delta, frame.size(), view()->size());
    console->unpin();
    console->move((centre - QPointF(frame.width() / 2, frame.height() / 2)).toPoint());
}

void WexoButtonController::snapButtonToSocket()
{
    WPlayConsole *console = wConsoleMenu();
    const QPointF centre = nearestSocket(QRectF(console->geometry()).center(), sockets());
    console->unpin();
    console->move((centre - QPointF(console->width() / 2.0, console->height() / 2.0)).toPoint());
}

// --- Administrator login -------------------------------------------------------

void WexoButtonController::showLogin()
{
    if (m_isPresenting)
        return;
    m_isPresenting = true;
    if (m_window)
        m_window->setWConsoleButton(nullptr);

    auto *alert = new WAlert(QStringLiteral("Login as admin"), QString(), view());
    alert->setObjectName(QStringLiteral("adminLoginAlert"));
    const bool staging = WConfigurationValues::isStaging();
    alert->addTextField([staging](QLineEdit *field) {
        field->setObjectName(QStringLiteral("adminEmailField"));
        field->setPlaceholderText(QStringLiteral("Admin email"));
        if (staging)
            field->setText(WConfigurationValues::stagingAdminEmail());
    });
    alert->addTextField([staging](QLineEdit *field) {
        field->setObjectName(QStringLiteral("adminPasswordField"));
        field->setPlaceholderText(QStringLiteral("Admin password"));
        field->setEchoMode(QLineEdit::Password);
        if (staging)
            field->setText(WConfigurationValues::stagingAdminPassword());
    });

    QPointer<WexoButtonController> self(this);
    alert->addAction(QStringLiteral("Cancel"), WAlert::ActionStyle::Cancel, [self] {
        if (self)
            self->endLoginPrompt();
    });
    QPointer<WAlert> weakAlert(alert);
    alert->addAction(QStringLiteral("Ok"), WAlert::ActionStyle::Default, [self, weakAlert] {
        if (!self)
            return;
        const QList<QLineEdit *> fields = weakAlert ? weakAlert->textFields() : QList<QLineEdit *>();
        if (fields.isEmpty()) {
            self->endLoginPrompt();
            return;
        }
        const QString email = fields.first()->text();
        const QString password = fields.last()->text();
        if (isBlank(email) || !isEmail(email) || isBlank(password)) {
            self->endLoginPrompt();
            return;
        }
        self->submitLogin(email, password);
    });
    alert->open();
}

void WexoButtonController::submitLogin(const QString &email, const QString &password)
{
    // The window keeps every touch until the answer is in.
    QPointer<WexoButtonController> self(this);
    WexolinManager::loginAdmin(email, password, [self](bool success) {
        if (!self)
            return;
        // The prompt is over either way, so it can open again later.
        self->endLoginPrompt();
        if (success)
            self->onWexo();
    });
}

void WexoButtonController::endLoginPrompt()
{
    m_isPresenting = false;
    refillConsoleSlot();
}

// --- Hand-off points of the options menu and the recording callbacks ---------

void WexoButtonController::onWexo()
{
    // One menu at a time: a second request while one is up changes nothing.
    if (presentedViewController())
        return;
    WexoOptionsViewController *menu = WexoOptionsViewController::createWexoOptions();
    QPointer<WexoButtonController> self(this);
    menu->dismisser = [self](const WexoOption &option) {
        if (self)
            self->onOptionSelected(option);
    };
    menu->recordingStopper = [self] {
        if (self)
            self->endRecording();
    };
    present(menu, false);
}

void WexoButtonController::onWidgetClick()
{
    onWexo();
}

void WexoButtonController::onPlayDownloadedWexo(std::shared_ptr<Wexo> wexo)
{
    if (!wexo || !wexo->values || wexo->values->isEmpty())
        return;
    // The first listed step, whatever its number.
    std::shared_ptr<WexoStep> first = wexo->values->first();
    playFromStep(std::move(wexo), std::move(first));
}

void WexoButtonController::onOptionSelected(const WexoOption &option)
{
    if (!option.type)
        return;
    switch (*option.type) {
    case WexoOptionType::record:
        // A new recording: answers still under way belong to the one before.
        WexoSteps::endSession();
        [[fallthrough]];
    case WexoOptionType::resumeRecord:
        WexolinManager::enableIntrospect();
        WexolinManager::inspector().setHelperDelegate(this);
        WexolinManager::shared().isRecording = true;
        wConsoleMenu()->setMode(WConsoleMode::record);
        resetSockets();
        break;
    case WexoOptionType::play:
        if (option.wexoSteps && !option.wexoSteps->isEmpty())
            playFromStep(option.wexo, option.wexoSteps->constFirst());
        break;
    case WexoOptionType::about:
    case WexoOptionType::privacy:
    case WexoOptionType::poweredBy:
        presentWebView(option.contentURL());
        break;
    case WexoOptionType::support:
        presentMail();
        break;
    case WexoOptionType::screen:
    case WexoOptionType::element:
        WexolinManager::enableIntrospect();
        WexolinManager::inspector().setHelperDelegate(this);
        break;
    case WexoOptionType::stopRecord:
    case WexoOptionType::pauseRecord:
    case WexoOptionType::exit:
    case WexoOptionType::none:
    case WexoOptionType::refresh:
        break;
    }
}

void WexoButtonController::presentWebView(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
        qCDebug(lcManager) << "not opening a page that is no web address:" << url.scheme();
        return;
    }
#ifdef WEXO_WEB_VIEW
    // Decided before the first Qt WebEngine object: where it would end or
    // crash the host, the page goes to the system browser.
    if (WWebEngineRule::processVerdict() == WWebEngineRule::Verdict::inApp) {
        if (presentedViewController())
            return;
        // Covers the launcher's view: its callbacks empty the console slot now
        // and fill it again when the page goes.
        present(new WInAppBrowser(url), true);
        return;
    }
#endif
    if (!QDesktopServices::openUrl(url))
        showNotice(QStringLiteral("noBrowserAlert"), QStringLiteral("The page could not be opened."), url.toDisplayString());
}

void WexoButtonController::presentMail()
{
    // One question at a time; the answer decides before anything is opened.
    if (m_askingMail)
        return;
    m_askingMail = true;
    QPointer<WexoButtonController> self(this);
    WMailCapability::query(this, [self](bool canSend) {
        if (!self)
            return;
        self->m_askingMail = false;
        const QUrl mail(QStringLiteral("mailto:") + WConfiguration::KSupportLink().toString());
        if (canSend && QDesktopServices::openUrl(mail))
            return;
        self->showNotice(QStringLiteral("noEmailAlert"), QStringLiteral("No email configured."), QString());
    });
}

void WexoButtonController::showNotice(const QString &name, const QString &title, const QString &message)
{
    if (m_isPresenting)
        return;
    m_isPresenting = true;
    if (m_window)
        m_window->setWConsoleButton(nullptr);
    auto *notice = new WAlert(title, message, view());
    notice->setObjectName(name);
    QPointer<WexoButtonController> self(this);
    notice->addAction(QStringLiteral("Ok"), WAlert::ActionStyle::Cancel, [self] {
        if (!self)
            return;
        self->m_isPresenting = false;
        self->refillConsoleSlot();
    });
    notice->open();
}

void WexoButtonController::endRecording()
{
    WexolinManager &manager = WexolinManager::shared();
    manager.isRecording = false;
    manager.isPaused = false;
    WexolinManager::disableIntrospect();
    WexolinManager::reset();
    // Crosshair mode ends with the recording.
    if (m_crossHair)
        m_crossHair->hide();
    if (m_window)
        m_window->setCrossHair(nullptr);
    wConsoleMenu()->setMode(consoleMode());
    // The next recording starts with pause, stop and target, whatever this one left,
    // and counts its own steps from nothing, however this one ended.
    wConsoleMenu()->resetRecordBar();
    wConsoleMenu()->setBadgeTitle(QStringLiteral("0"));
    resetSockets();
}

void WexoButtonController::onAutoPlayWexo(QWidget *page)
{
    if (std::shared_ptr<Wexo> next = WexolinManager::wexoOnCurrentViewController(page))
        onPlayDownloadedWexo(std::move(next));
}

// --- Playback hand-off ----------------------------------------------------------

void WexoButtonController::playFromStep(std::shared_ptr<Wexo> wexo, std::shared_ptr<WexoStep> step)
{
    if (!wexo || !step)
        return;
    qCDebug(lcPlayback) << "playing" << wexo->wexoName.value_or(QString()) << "from step" << step->OrderNumber;
    WexolinManager::setCurrentPlaying(wexo);
    if (!addOverlayWith(std::move(step), wexo))
        return;
    WFeedManager::getAnalyticsId(WexolinManager::shared().currentPlayingWexo());
}

void WexoButtonController::onNext(std::shared_ptr<Wexo> wexo, std::shared_ptr<WexoStep> nextWexo)
{
    addOverlayWith(std::move(nextWexo), std::move(wexo));
}

void WexoButtonController::onPrev(std::shared_ptr<Wexo> wexo, std::shared_ptr<WexoStep> prevWexo)
{
    addOverlayWith(std::move(prevWexo), std::move(wexo));
}

bool WexoButtonController::addOverlayWith(std::shared_ptr<WexoStep> step, std::shared_ptr<Wexo> wexo)
{
    QWidget *page = WHostQueries::wTopViewController();
    if (!page || !step) {
        // Nothing to lay it over: the playback ends as a close ends it, and
        // the host keeps its clicks.
        qCDebug(lcPlayback) << "no page on screen; playback ends";
        WexolinManager::setCurrentPlaying(nullptr);
        refillConsoleSlot();
        return false;
    }
    // Over a modal host dialog the library's window lies over that dialog.
    QWidget *container = view();
    auto *overlay = new WOverlay(std::move(step), std::move(wexo), container);
    overlay->setDelegate(this);
    QPointer<WexoButtonController> self(this);
    overlay->onDismiss = [self] {
        if (self)
            self->refillConsoleSlot();
    };
    m_overlays.removeIf([](const QPointer<WOverlay> &old) { return !old || old->hasLeft(); });
    m_overlays.append(overlay);
    if (m_window)
        m_window->setWConsoleButton(nullptr);
    overlay->show();
    overlay->raise();
    return true;
}

WOverlay *WexoButtonController::keyboardStep() const
{
    // A menu, a page or a prompt over the step keeps the keyboard as it does
    // the clicks.
    if (m_isPresenting || presentedViewController() || m_namePrompt || (m_window && m_window->alert()))
        return nullptr;
    const QList<WOverlay *> shown = overlays();
    return shown.isEmpty() ? nullptr : shown.constLast();
}

QList<WOverlay *> WexoButtonController::overlays() const
{
    QList<WOverlay *> live;
    for (const QPointer<WOverlay> &overlay : m_overlays) {
        if (overlay && !overlay->hasLeft())
            live.append(overlay);
    }
    return live;
}

void WexoButtonController::setBadgeTitle(const QString &title)
{
    wConsoleMenu()->setBadgeTitle(title);
}

void WexoButtonController::saveAutoPlayedWexo(const WexoStep &step)
{
    if (step.wexoId)
        WUserDefaults::standard().setBool(WexolinManager::playedFlagKey(step.wexoId), true);
}

bool WexoButtonController::isStepPlayed(const WexoStep &step)
{
    return WUserDefaults::standard().boolValue(WexolinManager::playedFlagKey(step.wexoId));
}

void WexoButtonController::onSelectMode(QPushButton *) { onWexo(); }

} // namespace WexoCreator
