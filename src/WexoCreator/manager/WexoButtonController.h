#pragma once

#include "WexoCreator/manager/WexoButtonWindow.h"
#include "WexoCreator/menu/WActivityIndicator.h"
#include "WexoCreator/menu/WexoOptionType.h"
#include "WexoCreator/platform/WViewController.h"
#include "WexoCreator/recording/InspectorDelegate.h"
#include "WexoCreator/recording/WConsoleDelegate.h"
#include "WexoCreator/recording/WConsoleMode.h"
#include "WexoCreator/platform/WGestureTracker.h"
#include "WexoCreator/platform/WIndexPath.h"
#include "WexoCreator/playback/WOverlayDelegate.h"

#include <QList>
#include <QModelIndex>
#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QSizeF>
#include <QUrl>

#include <memory>
#include <optional>
#include <utility>

class QAbstractItemView;
class QLabel;
class QTabBar;

namespace WexoCreator {

class WAlert;
class Wexo;
class WexoStep;
class WOverlay;
class WPlayConsole;
struct WexoOption;

// The launcher: root controller of the library's covering window, owner of
// the floating console. A tap on the console opens the options menu, a
// one-second press asks for the administrator login, a drag moves it (outside
// widget mode). It keeps the window's console slot filled while nothing of
// the library needs every touch.
class WexoButtonController : public WViewController,
                             public WConsoleDelegate,
                             public InspectorDelegate,
                             public WOverlayDelegate
{
    Q_OBJECT

public:
    static constexpr qreal kDragMarginX = 35;
    static constexpr qreal kDragMarginY = 80;
    static constexpr qreal kSocketMargin = 4;
    static constexpr int kCrossHairSize = 100;

    // Builds the launcher over the host window (which may be absent: the
    // launcher then works but shows nothing until there is a window).
    static std::unique_ptr<WexoButtonController> initWith(QWidget *hostWindow);
    ~WexoButtonController() override;

    WexoButtonWindow *window() const { return m_window; }
    QWidget *hostWindow() const { return m_hostWindow; }
    WPlayConsole *wConsoleMenu();
    QLabel *crossHair();
    bool isPresenting() const { return m_isPresenting; }
    // The desktop is being asked whether it has a mail program.
    bool isAskingMail() const { return m_askingMail; }
    bool dragging = false;

    // Docking points of the console, made on first use.
    const QList<QPointF> &sockets();
    void resetSockets();

    // Pure drag and docking arithmetic, in the launcher view's coordinates.
    static QPointF clampedConsoleCentre(const QPointF &centre, const QSizeF &console, const QSizeF &area);
    static QList<QPointF> socketSource(const QSizeF &console, const QRectF &safeArea);
    static QPointF nearestSocket(const QPointF &centre, const QList<QPointF> &sockets);

    void panDidFire(WGestureTracker::PanState state, const QPointF &delta);
    void snapButtonToSocket();
    void showLogin();
    void onWexo();
    // The host's way to the options menu (showGuideMenu).
    void onWidgetClick();
    // Starts playback of a walkthrough page at its first listed step.
    void onPlayDownloadedWexo(std::shared_ptr<Wexo> wexo);

    // --- Options menu hand-off ----------------------------------------------
    // What the launcher does with the row the menu hands over once it is gone.
    void onOptionSelected(const WexoOption &option);
    // Support: the desktop's mail program when it names one, else a notice.
    void presentMail();
    // About, Privacy and Powered By, web addresses only: the in-app page over
    // the host window, or the system browser where Qt WebEngine cannot run
    // here (with a notice when that cannot be opened either).
    void presentWebView(const QUrl &url);
    // Ends a recording without reloading the feed: flags, inspector,
    // recording context, crosshair mode, the console's resting face.
    void endRecording();
    // Remembers the pick and, by the recording type, posts it, asks for a
    // walkthrough name first, or does nothing more.
    void selectedElement(QWidget *element, std::optional<QRectF> rect) override;
    // Plays the page of the walkthrough being played that belongs to this page.
    void onAutoPlayWexo(QWidget *page);

    // --- Playback hand-off ---------------------------------------------------
    // Makes the page the playing walkthrough, shows the step and asks for an
    // analytics identifier. Without a page on screen nothing starts.
    void playFromStep(std::shared_ptr<Wexo> wexo, std::shared_ptr<WexoStep> step);
    void onNext(std::shared_ptr<Wexo> wexo, std::shared_ptr<WexoStep> nextWexo) override;
    void onPrev(std::shared_ptr<Wexo> wexo, std::shared_ptr<WexoStep> prevWexo) override;
    // The overlays on screen, oldest first (stacked walkthroughs lie one above the other).
    QList<WOverlay *> overlays() const;
    // The step that answers the keyboard: the top overlay, unless something
    // of the library lies over it.
    WOverlay *keyboardStep() const;
    void setBadgeTitle(const QString &title);
    // Played flags of walkthroughs, by the step's walkthrough identifier.
    static void saveAutoPlayedWexo(const WexoStep &step);
    static bool isStepPlayed(const WexoStep &step);
    // The busy indicator shows nothing.
    void showBusy(const QString &title) { Q_UNUSED(title); }
    void removeBusy() {}
    // A spinner the launcher could show; nothing assigns it.
    QPointer<WActivityIndicator> activityView;
    // Something of the library is up that must keep every touch.
    bool holdsEveryTouch() const;
    void onCrossHairTap();
    void reloadFeed();

    // The resting face: widget when the theme prefers it, hover otherwise.
    static WConsoleMode consoleMode();
    // The downloaded theme is in use: the console takes it whole.
    void onThemeApplied();

    // Console buttons.
    void onSelectMode(QPushButton *sender) override;
    void onStop(QPushButton *sender) override;
    void onPlay(QPushButton *sender) override;
    void onPause(QPushButton *sender) override;
    void onTargetView(QPushButton *sender) override;
    void onCancelTarget(QPushButton *sender) override;
    void onSelectTarget(QPushButton *sender) override;
    void onWexoBadge(QPushButton *sender) override;

    // --- Recording callbacks (WexoButtonControllerRecording.cpp) -------------
    // The last pick of the inspector and its rectangle in the outline view;
    // with them where the pick was made (in the host window) and the deepest
    // widget there, kept together so that a later select finds the same row.
    QPointer<QWidget> targettedView;
    std::optional<QRectF> targettedFrame;
    std::optional<QPoint> targettedPoint;
    QPointer<QWidget> targettedDeepest;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    QWidget *loadView() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

private:
    explicit WexoButtonController(QWidget *hostWindow);

    void onWexoDownloadComplete();
    // The library's window moved over a dialog or back, or changed size: the
    // console and the crosshair stay within reach.
    void keepInView();
    // Gives the console its slot back unless something still keeps every touch.
    void refillConsoleSlot();
    // Lays an overlay for the step over the page on screen; false without one.
    bool addOverlayWith(std::shared_ptr<WexoStep> step, std::shared_ptr<Wexo> wexo);
    void endLoginPrompt();
    // A notice with one "Ok" that keeps every touch while it is up; none while
    // another prompt is.
    void showNotice(const QString &name, const QString &title, const QString &message);
    void submitLogin(const QString &email, const QString &password);

    // What a recorded step is made of. Identity, page and element name come
    // from the widget unless the target names them (a tab, a cell).
    struct RecordTarget {
        QPointer<QWidget> view;
        QRectF frame;
        std::optional<QString> identity;
        std::optional<QString> page;
        std::optional<QString> elementName;
    };
    // The target with whatever it leaves open taken from its widget; absent
    // when the widget is gone or has no identity or page.
    static std::optional<RecordTarget> completed(const RecordTarget &target);
    void reactToPick(const RecordTarget &target);
    void recordElement(const RecordTarget &target);
    void showNamePrompt(const RecordTarget &target, WexoOptionType type);
    void endNamePrompt();
    void onSelectElement();
    // The row under the stored pick, found from the deepest widget there.
    struct AimedRow {
        QAbstractItemView *view;
        QModelIndex cell;
        WIndexPath path;
    };
    std::optional<AimedRow> aimedRow() const;
    // The tab of the registered tab widget under the stored pick, as its bar
    // and index; absent off that bar.
    std::optional<std::pair<QTabBar *, int>> aimedTab() const;
    // Outlines the one tab or row that a select would record.
    void outlineAimedPart();
    void dragCrossHair(const QPoint &location);
    QPointer<WAlert> m_namePrompt;

    QPointer<WPlayConsole> m_console;
    QPointer<QLabel> m_crossHair;
    QPointer<WexoButtonWindow> m_window;
    QPointer<QWidget> m_hostWindow;
    QPointer<WGestureTracker> m_panner;
    std::optional<QList<QPointF>> m_sockets;
    QList<QPointer<WOverlay>> m_overlays;
    bool m_isPresenting = false;
    bool m_askingMail = false;
};

} // namespace WexoCreator
