#include "WexoCreator/recording/Inspector.h"

#include "WexoCreator/extensions/WElementIdentity.h"
#include "WexoCreator/platform/WHostQueries.h"
#include "WexoCreator/platform/WHostSurface.h"
#include "WexoCreator/platform/WLibraryWidgets.h"
#include "WexoCreator/platform/WViewController.h"
#include "WexoCreator/recording/FrameView.h"
#include "WexoCreator/recording/InspectorDelegate.h"

#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QPropertyAnimation>

namespace WexoCreator {

namespace {

constexpr int kFadeMs = 100;

QGraphicsOpacityEffect *opacityEffect(QWidget *view)
{
    auto *effect = qobject_cast<QGraphicsOpacityEffect *>(view->graphicsEffect());
    if (!effect) {
        effect = new QGraphicsOpacityEffect(view);
        effect->setOpacity(1.0);
        view->setGraphicsEffect(effect);
        QObject::connect(effect, &QGraphicsOpacityEffect::opacityChanged, view, [view](qreal opacity) {
            view->setAttribute(Qt::WA_TransparentForMouseEvents, opacity < 0.01);
        });
    }
    return effect;
}

} // namespace

Inspector &Inspector::shared()
{
    static Inspector inspector;
    return inspector;
}

void Inspector::setHelperDelegate(InspectorDelegate *delegate)
{
    m_delegate.set(delegate);
}

InspectorDelegate *Inspector::helperDelegate() const
{
    return m_delegate.get();
}

QWidget *Inspector::mainWindow()
{
    // The window the library's layers live over, whichever window is active now.
    QWidget *library = WHostQueries::libraryWindow();
    return library ? library : WHostQueries::hostWindow();
}

QWidget *Inspector::surface() const
{
    return m_frameView ? m_frameView->parentWidget() : nullptr;
}

qreal Inspector::alpha(const QWidget *view)
{
    const auto *effect = view ? qobject_cast<const QGraphicsOpacityEffect *>(view->graphicsEffect()) : nullptr;
    return effect ? effect->opacity() : 1.0;
}

void Inspector::setAlpha(QWidget *view, qreal alpha)
{
    opacityEffect(view)->setOpacity(alpha);
}

void Inspector::fadeView(QWidget *view, qreal alpha)
{
    if (!view)
        return;
    auto *animation = new QPropertyAnimation(opacityEffect(view), "opacity", view);
    animation->setDuration(kFadeMs);
    animation->setEndValue(alpha);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void Inspector::invokeInspector()
{
    on = !on;
    if (on) {
        updateViews();
        updateFrameView();
        return;
    }
    toggleOutlines();
    if (m_frameView)
        setAlpha(m_frameView, 0);
    m_currentView = nullptr;
}

// A desktop window has one orientation: the outline view covers the host
// window, or the modal dialog that blocks it.
void Inspector::updateViews()
{
    if (QWidget *window = surface())
        m_frameView->setGeometry(window->rect());
    m_currentView = nullptr;
    updateFrameView();
}

QRectF Inspector::frameInFrameView(const QWidget *view) const
{
    // The part a person sees: a canvas larger than its scroll area is
    // outlined where the viewport shows it, not across the docks beside it.
    const QRect shown = WHostQueries::shownPart(view, view->rect());
    const QRect rect = shown.isEmpty() ? view->rect() : shown;
    return QRectF(m_frameView->mapFromGlobal(view->mapToGlobal(rect.topLeft())), rect.size());
}

void Inspector::attachTo(QWidget *window)
{
    WHostSurface *hostSurface = WHostSurface::of(window);
    if (m_host)
        disconnect(WHostSurface::of(m_host), &WHostSurface::changed, this, &Inspector::moveFrameView);
    m_host = window;
    connect(hostSurface, &WHostSurface::changed, this, &Inspector::moveFrameView);
    if (m_frameView) {
        moveFrameView(hostSurface->current());
        return;
    }
    QWidget *over = hostSurface->current();
    m_frameView = new FrameView(over->rect(), this, over);
    WLibraryWidgets::mark(m_frameView);
    // The outline view follows the size of what it covers.
    over->installEventFilter(this);
    setAlpha(m_frameView, 0);
    m_frameView->show();
    updateViews();
}

void Inspector::moveFrameView(QWidget *over)
{
    if (!m_frameView || !over)
        return;
    if (QWidget *old = surface(); old != over) {
        old->removeEventFilter(this);
        m_frameView->setParent(over);
        m_frameView->show();
        over->installEventFilter(this);
    }
    m_frameView->setGeometry(over->rect());
    raiseFrameView();
}

void Inspector::raiseFrameView()
{
    // Over the host's widgets but under the library's own window, whose
    // console must stay usable while picking.
    m_frameView->raise();
    const QObjectList siblings = surface()->children();
    for (QObject *sibling : siblings) {
        auto *library = qobject_cast<QWidget *>(sibling);
        if (library && library != m_frameView && WLibraryWidgets::isMarked(library))
            library->raise();
    }
}

void Inspector::updateFrameView()
{
    QWidget *window = mainWindow();
    if (!window)
        return;
    if (!m_frameView || m_host != window)
        attachTo(window);
    raiseFrameView();
    if (!on) {
        fadeView(m_frameView, 0);
        return;
    }

    QWidget *parent = m_currentView ? m_currentView->parentWidget() : nullptr;
    if (!parent) {
        m_frameView->setMainRect(QRectF());
    } else {
        m_frameView->setMainRect(frameInFrameView(m_currentView));
        QWidget *grand = parent->parentWidget();
        m_frameView->setSuperRect(parent == surface() || !grand ? QRectF() : frameInFrameView(parent));
    }
    fadeView(m_frameView, 1.0);
    if (InspectorDelegate *delegate = helperDelegate())
        delegate->selectedElement(m_currentView, m_frameView->mainRect());
}

void Inspector::toggleOutlines()
{
    QWidget *window = surface();
    if (!window)
        return;
    addOutlinesToFrameViewFromSubview(window);
    if (m_frameView)
        m_frameView->update();
}

void Inspector::addOutlinesToFrameViewFromSubview(QWidget *view)
{
    const QObjectList children = view->children();
    for (QObject *object : children) {
        auto *child = qobject_cast<QWidget *>(object);
        if (!child || child->isWindow() || !m_frameView)
            continue;
        m_frameView->rectsToOutline.append(frameInFrameView(child));
        addOutlinesToFrameViewFromSubview(child);
    }
}

bool Inspector::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && m_frameView && watched == m_frameView->parentWidget())
        m_frameView->setGeometry(m_frameView->parentWidget()->rect());
    return QObject::eventFilter(watched, event);
}

bool Inspector::shouldIgnoreView(const QWidget *view) const
{
    return view == m_frameView || WLibraryWidgets::isMarked(view);
}

// The front-most child of `parent` whose geometry holds the point (in parent's
// coordinates), passing over windows, hidden widgets and the library's own.
QWidget *Inspector::frontChildAt(const QPoint &point, const QWidget *parent) const
{
    const QObjectList &children = parent->children();
    for (auto it = children.crbegin(); it != children.crend(); ++it) {
        if (!(*it)->isWidgetType())
            continue;
        auto *child = static_cast<QWidget *>(*it);
        if (!child->isWindow() && !child->isHidden() && child->geometry().contains(point) && !shouldIgnoreView(child))
            return child;
    }
    return nullptr;
}

QList<QWidget *> Inspector::viewsAtPoint(const QPoint &point, QWidget *parent) const
{
    QList<QWidget *> views;
    QPoint p = point;
    for (QWidget *child = frontChildAt(p, parent); child; child = frontChildAt(p, child)) {
        views.append(child);
        p -= child->pos();
    }
    return views;
}

QWidget *Inspector::pickAt(const QPoint &point, QWidget *parent) const
{
    QWidget *pick = nullptr;
    QPoint p = point;
    for (QWidget *child = frontChildAt(p, parent); child; child = frontChildAt(p, child)) {
        pick = child;
        p -= child->pos();
    }
    return pick;
}

QWidget *Inspector::identifiedWidget(QWidget *deepest)
{
    if (!deepest)
        return nullptr;
    QWidget *page = WHostQueries::pageOf(deepest);
    const QWidget *end = page && (page == deepest || page->isAncestorOf(deepest)) ? page : deepest->window();
    for (QWidget *candidate = deepest; candidate && candidate != end; candidate = candidate->parentWidget()) {
        if (wexoElementIdentifier(candidate))
            return candidate;
    }
    return deepest == end ? nullptr : deepest;
}

void Inspector::touchAtPoint(const QPointF &point)
{
    // The window the outline view lies in, not whichever window is active:
    // points map only within one window.
    QWidget *window = surface();
    if (!window)
        return;
    // The last of viewsAtPoint, without building the list: it runs at every
    // move of a press.
    const QPoint p = m_frameView->mapTo(window, point.toPoint());
    QWidget *deepest = pickAt(p, window);
    QWidget *pick = identifiedWidget(deepest);
    if (!pick)
        return;
    m_pickPoint = p;
    m_deepestAtPick = deepest;
    selectView(pick);
}

void Inspector::touchMovedToPoint(const QPointF &point)
{
    m_pickFollowsPress = true;
    touchAtPoint(point);
    m_pickFollowsPress = false;
}

void Inspector::selectView(QWidget *view)
{
    m_currentView = view;
    m_originalFrame = view ? std::optional<QRect>(view->geometry()) : std::nullopt;
    m_originalAlpha = view ? alpha(view) : 1.0;
    if (m_frameView && !m_frameView->rectsToOutline.isEmpty()) {
        m_frameView->rectsToOutline.clear();
        m_frameView->update();
    }
    updateFrameView();
}

} // namespace WexoCreator
