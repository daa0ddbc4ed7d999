#include "WexoCreator/manager/WexoButtonWindow.h"

#include "WexoCreator/platform/WHostQueries.h"
#include "WexoCreator/platform/WHostSurface.h"
#include "WexoCreator/platform/WKeepOnTop.h"
#include "WexoCreator/platform/WLibraryWidgets.h"
#include "WexoCreator/platform/WLogging.h"
#include "WexoCreator/platform/WViewController.h"
#include "WexoCreator/recording/WPlayConsole.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QWindow>

#include <memory>
#include <utility>

namespace WexoCreator {

namespace {

// An object inside a library widget, or owned by one (a shortcut, an action).
bool belongsToLibrary(const QObject *object)
{
    while (object && !object->isWidgetType())
        object = object->parent();
    return WLibraryWidgets::isLibraryOwned(static_cast<const QWidget *>(object));
}

} // namespace

std::optional<QRegion> WexoButtonWindow::touchArea(const Slots &touchSlots)
{
    if (touchSlots.console) {
        QRegion area = *touchSlots.console;
        if (touchSlots.crossHair)
            area += *touchSlots.crossHair;
        return area;
    }
    if (touchSlots.alert)
        return *touchSlots.alert;
    return std::nullopt;
}

bool WexoButtonWindow::takesTouch(const Slots &touchSlots, const QPoint &point)
{
    const std::optional<QRegion> area = touchArea(touchSlots);
    return !area || area->contains(point);
}

WexoButtonWindow::WexoButtonWindow(QWidget *host)
    : QWidget(host)
    , m_host(host)
{
    setObjectName(QStringLiteral("WexoButtonWindow"));
    // Nothing of the library is ever picked or looked up as a host widget.
    WLibraryWidgets::mark(this);
    // Painted with alpha over the host, but never given a translucent native
    // window: once a host page goes native Qt makes this widget native too,
    // and an ARGB window that nothing composites paints black.
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    // A press that no library widget takes stops here instead of reaching the host.
    setAttribute(Qt::WA_NoMousePropagation);
    new WKeepOnTop(this);
    if (WHostSurface *surface = WHostSurface::of(host)) {
        connect(surface, &WHostSurface::changed, this, &WexoButtonWindow::moveTo);
        moveTo(surface->current());
    }
    raise();
}

void WexoButtonWindow::moveTo(QWidget *surface)
{
    if (!surface)
        return;
    if (parentWidget() != surface) {
        const bool shown = !isHidden();
        if (parentWidget())
            parentWidget()->removeEventFilter(this);
        setParent(surface);
        setVisible(shown);
    }
    surface->installEventFilter(this);
    setGeometry(surface->rect());
    raise();
    updateTouchArea();
}

WexoButtonWindow::~WexoButtonWindow()
{
    m_picking = false;
    setHolding(false);
}

void WexoButtonWindow::setRootViewController(WViewController *controller)
{
    if (m_root == controller)
        return;
    m_root = controller;
    if (!controller)
        return;
    controller->embedViewIn(this);
    if (!isHidden())
        controller->beginAppearance(false);
}

WPlayConsole *WexoButtonWindow::wConsoleButton() const
{
    return qobject_cast<WPlayConsole *>(m_console.data());
}

void WexoButtonWindow::setWConsoleButton(WPlayConsole *console)
{
    if (WPlayConsole *old = wConsoleButton())
        disconnect(old, &WPlayConsole::shapeChanged, this, &WexoButtonWindow::updateTouchArea);
    watch(m_console, console);
    m_console = console;
    // A new outline (circle or square) at the same place sends no move or resize.
    if (console)
        connect(console, &WPlayConsole::shapeChanged, this, &WexoButtonWindow::updateTouchArea, Qt::UniqueConnection);
    updateTouchArea();
}

void WexoButtonWindow::setAlert(QWidget *alert)
{
    watch(m_alert, alert);
    m_alert = alert;
    updateTouchArea();
}

void WexoButtonWindow::setCrossHair(QWidget *crossHair)
{
    watch(m_crossHair, crossHair);
    m_crossHair = crossHair;
    updateTouchArea();
}

void WexoButtonWindow::watch(QWidget *oldWidget, QWidget *newWidget)
{
    if (oldWidget && oldWidget != m_console && oldWidget != m_alert && oldWidget != m_crossHair)
        oldWidget->removeEventFilter(this);
    if (newWidget)
        newWidget->installEventFilter(this);
}

std::optional<QRegion> WexoButtonWindow::claimedArea(QWidget *widget) const
{
    if (!widget)
        return std::nullopt;
    // A hidden widget, or one shown somewhere else, keeps no touch from the host.
    if (!widget->isWindow()) {
        if (!isAncestorOf(widget) || !widget->isVisibleTo(this))
            return QRegion();
        const QPoint origin = widget->mapTo(this, QPoint(0, 0));
        const QRegion shape = widget->mask().isEmpty() ? QRegion(widget->rect()) : widget->mask();
        return shape.translated(origin);
    }
    // A separate window (an alert dialog): the part of it that lies over us.
    if (!widget->isVisible())
        return QRegion();
    const QRect global = widget->frameGeometry();
    return QRegion(QRect(mapFromGlobal(global.topLeft()), global.size())).intersected(rect());
}

WexoButtonWindow::Slots WexoButtonWindow::currentSlots() const
{
    return Slots{claimedArea(m_console), claimedArea(m_alert), claimedArea(m_crossHair)};
}

void WexoButtonWindow::updateTouchArea()
{
    const std::optional<QRegion> area = touchArea(currentSlots());
    setHolding(!area && !isHidden());
    if (!area) {
        clearMask();
        setAttribute(Qt::WA_TransparentForMouseEvents, false);
        return;
    }
    // An empty mask would mean "no mask" to Qt, so an empty area is made
    // transparent instead.
    setAttribute(Qt::WA_TransparentForMouseEvents, area->isEmpty());
    if (area->isEmpty())
        clearMask();
    else
        setMask(*area);
}

bool WexoButtonWindow::eventFilter(QObject *watched, QEvent *event)
{
    // While holding, this also filters every object of the application.
    if (m_filtering && filterHostInput(watched, event)) {
        if (m_holding)
            routeHeldKey(event);
        return true;
    }
    if (watched == parentWidget()) {
        if (event->type() == QEvent::Resize)
            setGeometry(parentWidget()->rect());
        return QWidget::eventFilter(watched, event);
    }
    if (watched != m_console && watched != m_alert && watched != m_crossHair)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::ParentChange:
        updateTouchArea();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

bool WexoButtonWindow::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Resize:
    case QEvent::ParentChange:
    case QEvent::Show:
    case QEvent::Hide:
        updateTouchArea();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void WexoButtonWindow::setPicking(bool picking)
{
    m_picking = picking;
    updateInputFilter();
}

void WexoButtonWindow::setHolding(bool holding)
{
    if (holding == m_holding)
        return;
    m_holding = holding;
    if (holding) {
        // Keys reach the library's widgets only; the host's focus is kept to
        // give back afterwards.
        QWidget *focus = QApplication::focusWidget();
        if (focus && !belongsToLibrary(focus))
            m_hostFocus = focus;
        else if (QWidget *host = parentWidget(); host && host->focusWidget() && !belongsToLibrary(host->focusWidget()))
            m_hostFocus = host->focusWidget();
        updateInputFilter();
        if (!QApplication::focusWidget() || !belongsToLibrary(QApplication::focusWidget()))
            setFocus(Qt::OtherFocusReason);
        return;
    }
    updateInputFilter();
    giveFocusBack();
}

void WexoButtonWindow::giveFocusBack()
{
    const QPointer<QWidget> recorded = std::exchange(m_hostFocus, nullptr);
    QWidget *focus = QApplication::focusWidget();
    if (recorded && recorded->isVisible() && recorded->isEnabled() && (!focus || belongsToLibrary(focus)))
        recorded->setFocus(Qt::OtherFocusReason);
    // Nothing of the library takes keys now: where the window's focus is
    // still the library's (no host widget had it, or that one is gone), the
    // window chooses as it does on its own. An inactive window makes that
    // choice when it next becomes active.
    QWidget *top = window();
    QWidget *own = top->focusWidget();
    if (!own || !belongsToLibrary(own))
        return;
    own->clearFocus();
    if (top->isActiveWindow()) {
        if (QWidget *first = WHostQueries::firstFocusWidget(top))
            first->setFocus(Qt::ActiveWindowFocusReason);
    }
}

void WexoButtonWindow::updateInputFilter()
{
    const bool filtering = m_holding || m_picking;
    if (filtering == m_filtering)
        return;
    m_filtering = filtering;
    if (!filtering) {
        qApp->removeEventFilter(this);
        return;
    }
    qApp->installEventFilter(this);
    // A native window a host embeds stays above every widget: nothing of the
    // library can be drawn over it, only its input held.
    static bool warned = false;
    const QList<QWidget *> widgets = window()->findChildren<QWidget *>();
    for (const QWidget *widget : widgets) {
        if (!warned && widget->inherits("QWindowContainer") && widget->isVisible()) {
            warned = true;
            qCWarning(lcManager) << "an embedded native window stays above the library's layers: its input is held,"
                                    " nothing can be drawn over it";
        }
    }
}

bool WexoButtonWindow::filterHostInput(QObject *receiver, QEvent *event) const
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::InputMethod:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
        break;
    default:
        return false;
    }
    if (!receiver->isWidgetType()) {
        // A widget's window hands its input on to a widget, which is judged
        // there; any other window is one the host embeds.
        if (receiver->isWindowType())
            return !receiver->inherits("QWidgetWindow");
        // The host's actions and shortcuts fire on keys the library holds.
        return m_holding && event->type() == QEvent::Shortcut && !belongsToLibrary(receiver);
    }
    if (belongsToLibrary(receiver))
        return false;
    if (m_holding)
        return true;
    // Picking: the window under the pick layer keeps its keys; the host's
    // other windows get nothing.
    return static_cast<QWidget *>(receiver)->window() != window();
}

void WexoButtonWindow::routeHeldKey(QEvent *event)
{
    // Whichever host widget had the keyboard, a key still reaches the library.
    // The override goes too, so that a host's shortcut on the same key does
    // not swallow the press that follows.
    if (m_routing || !heldKeysTarget || (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride))
        return;
    QWidget *target = heldKeysTarget();
    if (!target)
        return;
    const std::unique_ptr<QEvent> routed(event->clone());
    // A key the target leaves climbs its parents back to the host window and
    // this filter: it goes no further.
    const QScopedValueRollback<bool> routing(m_routing, true);
    QCoreApplication::sendEvent(target, routed.get());
    if (routed->isAccepted())
        event->accept();
}

bool WexoButtonWindow::focusNextPrevChild(bool next)
{
    // Tab must not walk out of the library into the host while it holds the keys.
    if (m_holding)
        return true;
    return QWidget::focusNextPrevChild(next);
}

} // namespace WexoCreator
