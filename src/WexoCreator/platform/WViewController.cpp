#include "WexoCreator/platform/WViewController.h"

#include "WexoCreator/platform/WLogging.h"

#include <QEasingCurve>
#include <QEvent>
#include <QVariantAnimation>

#include <utility>

namespace WexoCreator {

WViewController::WViewController(QObject *parent)
    : QObject(parent)
{
}

WViewController::~WViewController()
{
    // The view usually lives in a container widget by now; it goes with us.
    if (m_view)
        m_view->deleteLater();
}

QWidget *WViewController::view()
{
    if (!m_view) {
        m_view = loadView();
        viewDidLoad();
    }
    return m_view;
}

QWidget *WViewController::loadView()
{
    auto *view = new QWidget;
    view->setAttribute(Qt::WA_NoSystemBackground);
    return view;
}

void WViewController::embedViewIn(QWidget *container)
{
    QWidget *root = view();
    if (!container || root->parentWidget() == container)
        return;
    if (QWidget *old = root->parentWidget())
        old->removeEventFilter(this);
    root->setParent(container);
    placeView();
    container->installEventFilter(this);
    root->show();
}

void WViewController::placeView()
{
    if (!m_view || !m_view->parentWidget())
        return;
    const QRect area = m_view->parentWidget()->rect();
    m_view->setGeometry(area.translated(0, qRound(m_slideOffset * area.height())));
}

bool WViewController::eventFilter(QObject *watched, QEvent *event)
{
    // The offset is a share of the height: a resize during a slide keeps
    // the view on its way and full width.
    if (event->type() == QEvent::Resize && m_view && watched == m_view->parentWidget())
        placeView();
    return QObject::eventFilter(watched, event);
}

bool WViewController::isTransitioning() const
{
    return m_transitionKind != Transition::None;
}

void WViewController::present(WViewController *child, bool animated, std::function<void()> completion)
{
    if (!child || child == this)
        return;
    // A new presentation does not wait for the last one to slide out.
    if (m_transitionKind == Transition::Dismissing)
        finishDismissal();
    if (m_presented) {
        qCDebug(lcPlatform) << "already presenting; ignoring a second presentation";
        return;
    }
    QWidget *presenterView = view();
    QWidget *container = presenterView->parentWidget() ? presenterView->parentWidget() : presenterView;

    if (!child->parent())
        child->setParent(this);
    m_presented = child;
    child->m_presenting = this;
    child->m_slideOffset = animated ? 1.0 : 0.0;

    viewWillDisappear(animated);
    child->embedViewIn(container);
    child->placeView();
    // A controller presented again shows the view its last dismissal hid.
    child->view()->show();
    child->view()->raise();
    child->viewWillAppear(animated);
    if (!animated) {
        child->viewDidAppear(false);
        if (completion)
            completion();
        return;
    }
    m_presentCompletion = std::move(completion);
    slide(0.0, kTransitionMs, Transition::Presenting);
}

void WViewController::dismiss(bool animated, std::function<void()> completion)
{
    if (!m_presented && m_presenting) {
        m_presenting->dismiss(animated, std::move(completion));
        return;
    }
    QPointer<WViewController> child = m_presented;
    if (!child) {
        if (completion)
            completion();
        return;
    }
    m_dismissCompletions.push_back(std::move(completion));
    if (m_transitionKind == Transition::Dismissing) {
        // Already on its way out: this caller waits for the same end, unless
        // it wants the view gone now.
        if (!animated)
            finishDismissal();
        return;
    }
    // Dismissed while still sliding in: the presentation ends where the view
    // stands, and the way back starts from there.
    if (m_transitionKind == Transition::Presenting)
        finishPresentation();
    m_dismissAnimated = animated;
    if (!child) {
        finishDismissal();
        return;
    }
    child->viewWillDisappear(animated);
    const qreal from = child->m_slideOffset;
    if (!animated || !child->m_view || from >= 1.0) {
        finishDismissal();
        return;
    }
    slide(1.0, qMax(1, qRound(kTransitionMs * (1.0 - from))), Transition::Dismissing);
}

void WViewController::slide(qreal to, int ms, Transition kind)
{
    stopSlide();
    auto *animation = new QVariantAnimation(this);
    m_transition = animation;
    m_transitionKind = kind;
    animation->setStartValue(m_presented ? m_presented->m_slideOffset : to);
    animation->setEndValue(to);
    animation->setDuration(ms);
    animation->setEasingCurve(kind == Transition::Presenting ? QEasingCurve::OutCubic : QEasingCurve::InCubic);
    connect(animation, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) { slideStep(value.toReal()); });
    connect(animation, &QVariantAnimation::finished, this, [this, kind] {
        if (kind == Transition::Presenting)
            finishPresentation();
        else
            finishDismissal();
    });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void WViewController::stopSlide()
{
    if (!m_transition)
        return;
    m_transition->disconnect(this);
    m_transition->stop();
    m_transition = nullptr;
}

void WViewController::slideStep(qreal offset)
{
    WViewController *child = m_presented;
    // The view went away on the way (its window closed): the slide is over.
    if (!child || !child->m_view) {
        if (m_transitionKind == Transition::Presenting)
            finishPresentation();
        else
            finishDismissal();
        return;
    }
    child->m_slideOffset = offset;
    child->placeView();
}

void WViewController::finishPresentation()
{
    stopSlide();
    m_transitionKind = Transition::None;
    std::function<void()> completion = std::exchange(m_presentCompletion, {});
    QPointer<WViewController> child = m_presented;
    if (child && child->m_view)
        child->viewDidAppear(true);
    if (completion)
        completion();
}

void WViewController::finishDismissal()
{
    stopSlide();
    m_transitionKind = Transition::None;
    QPointer<WViewController> child = m_presented;
    if (child) {
        if (child->m_view)
            child->m_view->hide();
        child->m_presenting = nullptr;
    }
    m_presented = nullptr;
    viewWillAppear(m_dismissAnimated);
    if (child && child->parent() == this)
        child->deleteLater();
    const std::vector<std::function<void()>> completions = std::exchange(m_dismissCompletions, {});
    for (const std::function<void()> &completion : completions) {
        if (completion)
            completion();
    }
}

} // namespace WexoCreator
