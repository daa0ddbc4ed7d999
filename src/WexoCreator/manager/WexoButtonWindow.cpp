#include "WexoCreator/manager/WexoButtonWindow.h"

#include "WexoCreator/platform/WKeepOnTop.h"
#include "WexoCreator/platform/WLibraryWidgets.h"
#include "WexoCreator/platform/WLogging.h"
#include "WexoCreator/platform/WViewController.h"
#include "WexoCreator/recording/WPlayConsole.h"

#include <QApplication>
#include <QEvent>

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
{
    setObjectName(QStringLiteral("WexoButtonWindow"));
    // Nothing of the library is ever picked or looked up as a host widget.
    WLibraryWidgets::mark(this);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    // A press that no library widget takes stops here instead of reaching the host.
    setAttribute(Qt::WA_NoMousePropagation);
    if (host) {
        setGeometry(host->rect());
        host->installEventFilter(this);
    }
    new WKeepOnTop(this);
    raise();
}

WexoButtonWindow::~WexoButtonWindow()
{
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
    if (m_holding && filterHostInput(watched, event))
        return true;
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
        qApp->installEventFilter(this);
        if (!QApplication::focusWidget() || !belongsToLibrary(QApplication::focusWidget()))
            setFocus(Qt::OtherFocusReason);
        return;
    }
    qApp->removeEventFilter(this);
    QWidget *focus = QApplication::focusWidget();
    if (m_hostFocus && (!focus || belongsToLibrary(focus)))
        m_hostFocus->setFocus(Qt::OtherFocusReason);
    m_hostFocus.clear();
}

bool WexoButtonWindow::filterHostInput(QObject *receiver, QEvent *event) const
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::InputMethod:
        // Events for the windows themselves pass: they hand keys to the focus widget.
        return receiver->isWidgetType() && !belongsToLibrary(receiver);
    case QEvent::Shortcut:
        return !belongsToLibrary(receiver);
    default:
        return false;
    }
}

bool WexoButtonWindow::focusNextPrevChild(bool next)
{
    // Tab must not walk out of the library into the host while it holds the keys.
    if (m_holding)
        return true;
    return QWidget::focusNextPrevChild(next);
}

} // namespace WexoCreator
