#include "WexoCreator/playback/WOverlay.h"

#include "WexoCreator/backend/WFeedManager.h"
#include "WexoCreator/configuration/WConfiguration.h"
#include "WexoCreator/extensions/WTime.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/model/Wexo.h"
#include "WexoCreator/platform/WAncestorChain.h"
#include "WexoCreator/platform/WGestureTracker.h"
#include "WexoCreator/platform/WHeldKeyGuard.h"
#include "WexoCreator/platform/WHostQueries.h"
#include "WexoCreator/platform/WLibraryWidgets.h"
#include "WexoCreator/platform/WLogging.h"
#include "WexoCreator/platform/WTiming.h"
#include "WexoCreator/playback/WOverlayDelegate.h"
#include "WexoCreator/playback/WPlacement.h"
#include "WexoCreator/playback/WTargetLocation.h"
#include "WexoCreator/views/WBanner.h"
#include "WexoCreator/views/WDetailedPopup.h"
#include "WexoCreator/views/WMobilePopup.h"
#include "WexoCreator/views/WPointerView.h"
#include "WexoCreator/views/WPopInEffect.h"
#include "WexoCreator/views/WPopup.h"
#include "WexoCreator/views/WPulse.h"
#include "WexoCreator/views/WStepNumberView.h"

#include <QAbstractItemView>
#include <QDialog>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPropertyAnimation>
#include <QScrollBar>
#include <QtNumeric>

namespace WexoCreator {

namespace {

constexpr double kScrollBackSeconds = 0.3;

enum class StepKey { none, tap, close };

// A held key repeats, a click does not: only its first press counts.
StepKey stepKey(const QKeyEvent *key)
{
    if (key->isAutoRepeat() || (key->modifiers() & ~Qt::KeypadModifier))
        return StepKey::none;
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        return StepKey::tap;
    case Qt::Key_Escape:
        return StepKey::close;
    default:
        return StepKey::none;
    }
}

} // namespace

WOverlay::WOverlay(std::shared_ptr<WexoStep> step, std::shared_ptr<Wexo> wexo, QWidget *parent, const QColor &bgColor)
    : QWidget(parent)
    , m_step(std::move(step))
    , m_wexo(std::move(wexo))
    , m_bgColor(m_step && m_step->HasBackDrop == false ? QColor(Qt::transparent) : bgColor)
    , m_bundle(WConfiguration::frameworkBundle)
{
    setObjectName(QStringLiteral("WOverlay"));
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_NoMousePropagation);
    WLibraryWidgets::mark(this);
    if (m_step)
        m_step->startTime = currentMillisecondsSince1970();
    if (parent) {
        setGeometry(parent->rect());
        parent->installEventFilter(this);
        // Over a host dialog (the library's window lies over it, kept above
        // the dialog's own widgets) the overlay goes when the dialog does.
        if (auto *dialog = qobject_cast<QDialog *>(parent->window()); dialog && !WLibraryWidgets::isLibraryOwned(dialog)
            && dialog != parent)
            dialog->installEventFilter(this);
    }
    m_tap = new WGestureTracker(this);
    connect(m_tap, &WGestureTracker::tapped, this, &WOverlay::onTap);
}

WOverlay::~WOverlay() = default;

// --- Building and painting ------------------------------------------------------

void WOverlay::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_built)
        build();
}

void WOverlay::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (isVisible())
        build();
}

void WOverlay::build()
{
    if (m_left)
        return;
    m_built = true;
    const QRectF r = rect();
    m_currentRect = r;
    startBuild(r);
    if (m_step) {
        switch (m_step->viewType()) {
        case WexoStepView::bannerTop:
        case WexoStepView::bannerBottom:
            // A banner keeps its run across builds; it only takes its new place.
            if (m_banner)
                m_banner->takeRestingPlace();
            else
                showBanner(m_step->viewType() == WexoStepView::bannerTop);
            break;
        case WexoStepView::popover:
            if (m_step->isScrollElement())
                showCellStep(r);
            else
                showMobileTemplate(r, std::nullopt);
            break;
        case WexoStepView::screen:
            showDefaultToolTip(r, std::nullopt);
            break;
        default:
            showPointerView(r);
            break;
        }
        reportMissingTarget();
    }
    update();
}

void WOverlay::reportMissingTarget()
{
    // The step dims with nothing on it: an author needs to know which target
    // was not found. Once per step, not on every resize.
    const WexoStepView kind = m_step->viewType();
    if (m_missingReported || !m_targets.isEmpty() || kind == WexoStepView::bannerTop || kind == WexoStepView::bannerBottom)
        return;
    m_missingReported = true;
    qCDebug(lcPlayback).noquote() << QStringLiteral("step %1: target %2 not found on this page")
                                         .arg(m_step->StepId.value_or(QString()), m_step->Frame.value_or(QString()));
}

void WOverlay::startBuild(const QRectF &rect)
{
    clearViews();
    m_targets.clear();
    m_backdrop = QPainterPath();
    m_backdrop.setFillRule(Qt::OddEvenFill);
    m_backdrop.addRect(rect);
}

void WOverlay::clearViews()
{
    // A new build replaces every card and marker (a marker takes its pulse along).
    for (const QPointer<QWidget> &view : std::as_const(m_views)) {
        if (view) {
            view->hide();
            view->deleteLater();
        }
    }
    m_views.clear();
    m_defaultPopupView.clear();
    m_mobilePopupView.clear();
    m_detailedPopupView.clear();
}

void WOverlay::cutOut(const QRectF &rect, const QList<QRectF> &targets)
{
    m_targets = targets;
    for (const QRectF &target : targets) {
        const QRectF hole = target.intersected(rect);
        if (!hole.isEmpty())
            m_backdrop.addRect(hole);
    }
}

void WOverlay::paintEvent(QPaintEvent *)
{
    if (m_bgColor.alpha() == 0)
        return;
    QPainter painter(this);
    painter.fillPath(m_backdrop, m_bgColor);
}

void WOverlay::showDefaultToolTip(const QRectF &rect, const std::optional<QList<QRectF>> &rects)
{
    cutOut(rect, rects ? *rects : transparentRects());
    for (const QRectF &target : std::as_const(m_targets)) {
        auto *card = new WPopup(m_step->Title.value_or(QString()), m_step->description.value_or(QString()),
                                WPopupPosition::up, shownNumber(), m_wexo ? m_wexo->totalWexoSteps : 0,
                                /*showProgressBar*/ true, this);
        card->move(WPlacement::defaultCard(target, card->size(), QRectF(this->rect())).topLeft().toPoint());
        card->show();
        m_defaultPopupView = card;
        m_views.append(card);
        WPopInEffect::popIn(card);
    }
}

void WOverlay::showMobileTemplate(const QRectF &rect, const std::optional<QList<QRectF>> &rects)
{
    cutOut(rect, rects ? *rects : transparentRects());
    addMobileCards(m_targets);
}

void WOverlay::addMobileCards(const QList<QRectF> &targets)
{
    for (const QRectF &target : targets) {
        WMobilePopup *card = WMobilePopup::createView(QString(), this);
        fillCard(card);
        card->setDelegate(this);
        const int width = int(WPlacement::kMobileWidth);
        card->setGeometry(WPlacement::mobileCard(target, card->descriptionHeight(width), QRectF(rect())).toRect());
        card->show();
        m_mobilePopupView = card;
        m_views.append(card);
        WPopInEffect::popIn(card);
    }
}

void WOverlay::fillCard(WTemplateCard *card) const
{
    card->setTitle(m_step->Title.value_or(QString()));
    card->setDescriptionText(m_step->description.value_or(QString()));
    card->setCurrentStep(shownNumber());
    card->setTotalSteps(m_wexo ? m_wexo->totalWexoSteps : 0);
    card->updateTemplate();
}

void WOverlay::showTemplateToolTip()
{
    if (m_left || !m_step)
        return;
    const QRectF area = rect();
    // In place of what the latest build showed.
    startBuild(area);
    cutOut(area, transparentRects());
    update();
    for (const QRectF &target : std::as_const(m_targets)) {
        WDetailedPopup *card = WDetailedPopup::createView(QString(), this);
        fillCard(card);
        card->setGeometry(WPlacement::templateCard(target, area).toRect());
        card->show();
        m_detailedPopupView = card;
        m_views.append(card);
        WPopInEffect::popIn(card);
    }
}

void WOverlay::showPointerView(const QRectF &rect)
{
    cutOut(rect, transparentRects());
    const WexoStepView kind = m_step->viewType();
    for (const QRectF &target : std::as_const(m_targets)) {
        auto *marker = new WPointerView(WPlacement::markerAnchor(target, kind), kind, this);
        marker->setDelegate(this);
        marker->show();
        m_views.append(marker);
    }
}

void WOverlay::showBanner(bool top)
{
    // Nothing to show a banner over: the backdrop stays and a tap moves on.
    if (!WHostQueries::wTopViewController())
        return;
    QPointer<WOverlay> self(this);
    auto *banner = new WBanner(m_step->Title.value_or(QString()), m_step->description.value_or(QString()),
                               top ? WBannerPosition::top : WBannerPosition::bottom, shownNumber(),
                               [self] {
                                   if (self)
                                       self->moveNext();
                               },
                               this);
    banner->setDelegate(this);
    banner->show();
    m_banner = banner;
    banner->showWBanner();
}

void WOverlay::showCellStep(const QRectF &rect)
{
    const std::optional<WIndexPath> path = m_step->indexPathForElement();
    QAbstractItemView *view = WTargetLocation::cellView(WHostQueries::wTopViewController(), *m_step);
    if (WHostQueries::isCollectionView(view)) {
        UICollectionViewCellFinder finder;
        finder.delegate = this;
        finder.find(path, view, rect);
    } else if (view) {
        UITableViewCellFinder finder;
        finder.delegate = this;
        finder.find(path, view, rect);
    }
}

void WOverlay::didFindCell(const QModelIndex &cell, const WIndexPath &, QAbstractItemView *view, const QRectF &rect)
{
    if (!parentWidget())
        return;
    const QRectF row = WTargetLocation::mapRect(view, WItemViewCellFinder::rowRect(view, cell), this);
    showDefaultToolTip(rect, QList<QRectF>{row});
}

// --- Target look-up -------------------------------------------------------------

QList<QRectF> WOverlay::transparentRects() const
{
    return m_step ? WTargetLocation::transparentRects(*m_step, this) : QList<QRectF>();
}

QAbstractItemView *WOverlay::tableView() const
{
    return WTargetLocation::tableView(WHostQueries::wTopViewController());
}

QAbstractItemView *WOverlay::collectionView() const
{
    return WTargetLocation::collectionView(WHostQueries::wTopViewController());
}

// --- Input ----------------------------------------------------------------------

void WOverlay::mousePressEvent(QMouseEvent *event)
{
    // Every press is the overlay's: nothing reaches the host underneath.
    event->accept();
}

void WOverlay::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
}

bool WOverlay::event(QEvent *event)
{
    // Claimed before the shortcut map sees it: a host's own shortcut on one
    // of these keys would otherwise take the press away from the step.
    if (event->type() == QEvent::ShortcutOverride && stepKey(static_cast<QKeyEvent *>(event)) != StepKey::none) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void WOverlay::keyPressEvent(QKeyEvent *event)
{
    // The key's repeats and release go nowhere: neither to the next step nor,
    // once the walkthrough is over, to the host.
    switch (stepKey(event)) {
    case StepKey::tap:
        event->accept();
        WHeldKeyGuard::hold(event);
        moveNext();
        return;
    case StepKey::close:
        event->accept();
        WHeldKeyGuard::hold(event);
        discardAll();
        return;
    case StepKey::none:
        break;
    }
    QWidget::keyPressEvent(event);
}

bool WOverlay::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    // Over a host dialog, the dialog closing ends the playback as a close does
    // (a minimised window hides spontaneously and stays).
    if (event->type() == QEvent::Hide && !event->spontaneous() && watched == window()
        && qobject_cast<QDialog *>(watched))
        discardAll();
    return QWidget::eventFilter(watched, event);
}

void WOverlay::onTap()
{
    // The banner takes its own taps (they slide it out).
    QWidget *pressed = m_tap ? m_tap->pressedWidget() : nullptr;
    if (m_banner && pressed && (pressed == m_banner || m_banner->isAncestorOf(pressed)))
        return;
    moveNext();
}

void WOverlay::onPrev(WMobilePopup *)
{
    movePrev();
}

void WOverlay::onClose(WMobilePopup *)
{
    discardAll();
}

void WOverlay::onPrev(WBanner *)
{
    movePrev();
}

void WOverlay::onClose(WBanner *)
{
    discardAll();
}

void WOverlay::onPointerView()
{
    // Outside a build: the backdrop stays as the latest build left it.
    if (!m_left && m_step)
        addMobileCards(transparentRects());
}

WPopup *WOverlay::defaultPopupView() const
{
    return m_defaultPopupView;
}

void WOverlay::setDefaultPopupView(WPopup *popup)
{
    m_defaultPopupView = popup;
}

void WOverlay::setMobilePopupView(WMobilePopup *popup)
{
    m_mobilePopupView = popup;
}

void WOverlay::setDetailedPopupView(WDetailedPopup *popup)
{
    m_detailedPopupView = popup;
}

QList<QWidget *> WOverlay::topViewSubViews() const
{
    QList<QWidget *> alive;
    for (const QPointer<QWidget> &view : m_topViewSubViews) {
        if (view)
            alive.append(view);
    }
    return alive;
}

void WOverlay::listSubviews(QWidget *view)
{
    if (!view)
        return;
    for (QObject *object : view->children()) {
        auto *child = qobject_cast<QWidget *>(object);
        if (!child || child->isWindow())
            continue;
        m_topViewSubViews.append(child);
        listSubviews(child);
    }
}

QList<QWidget *> WOverlay::getViewHierarchyFor(QWidget *view, const QWidget *root) const
{
    QList<QWidget *> chains;
    if (!view)
        return chains;
    for (const QPointer<QWidget> &entry : m_topViewSubViews) {
        if (entry == view)
            chains = ancestorChain(view, root, WChainEnd::atRoot) + chains;
    }
    return chains;
}

WMobilePopup *WOverlay::mobilePopupView() const
{
    return m_mobilePopupView;
}

WDetailedPopup *WOverlay::detailedPopupView() const
{
    return m_detailedPopupView;
}

WBanner *WOverlay::banner() const
{
    return m_banner;
}

QList<WPointerView *> WOverlay::markers() const
{
    QList<WPointerView *> found;
    for (const QPointer<QWidget> &view : m_views) {
        if (auto *marker = qobject_cast<WPointerView *>(view.data()))
            found.append(marker);
    }
    return found;
}

// --- Navigation -----------------------------------------------------------------

std::optional<qint64> WOverlay::nextNumber(qint64 orderNumber, int by)
{
    qint64 next = 0;
    if (qAddOverflow(orderNumber, qint64(by), &next))
        return std::nullopt;
    return next;
}

qint64 WOverlay::shownNumber() const
{
    // At the largest order number the views show that number instead of overflowing.
    return nextNumber(m_step->OrderNumber, 1).value_or(m_step->OrderNumber);
}

std::shared_ptr<WexoStep> WOverlay::stepNumbered(qint64 orderNumber) const
{
    if (!m_wexo || !m_wexo->values)
        return nullptr;
    for (const std::shared_ptr<WexoStep> &step : *m_wexo->values) {
        if (step && step->OrderNumber == orderNumber)
            return step;
    }
    return nullptr;
}

void WOverlay::leave()
{
    m_left = true;
    if (QWidget *parent = parentWidget())
        parent->removeEventFilter(this);
    if (QWidget *dialog = window(); dialog != this)
        dialog->removeEventFilter(this);
    hide();
    deleteLater();
}

void WOverlay::moveNext()
{
    if (m_left || !m_wexo || !m_step)
        return;
    // Every step a person moves on from is reported, a page's last one too.
    WFeedManager::sendEventWexoStepPlay(WexolinManager::shared().currentPlayingWexo(), m_step);
    // Nothing can follow the largest order number: the walkthrough ends there.
    const std::optional<qint64> next = nextNumber(m_step->OrderNumber, 1);
    const std::shared_ptr<WexoStep> found = next ? stepNumbered(*next) : nullptr;
    if (!found) {
        finishPage(next);
        return;
    }
    leave();
    if (WOverlayDelegate *delegate = m_delegate.get())
        delegate->onNext(m_wexo, found);
}

void WOverlay::finishPage(std::optional<qint64> next)
{
    // Reported while the walkthrough is still the playing one.
    WFeedManager::sendEventCompleteWexoStepPlay(WexolinManager::shared().currentPlayingWexo(), m_step);
    if (!next || *next == m_wexo->totalWexoSteps)
        WexolinManager::setCurrentPlaying(nullptr);
    leave();
    scrollListsToTop();
    if (const std::function<void()> dismiss = onDismiss)
        dismiss();
}

void WOverlay::scrollListsToTop()
{
    for (QAbstractItemView *view : {tableView(), collectionView()}) {
        // Back at the very top, above a first section's own row too; an empty
        // list is left alone.
        if (!view || !view->model() || view->model()->rowCount(view->rootIndex()) <= 0)
            continue;
        QScrollBar *bar = view->verticalScrollBar();
        if (bar->value() == bar->minimum())
            continue;
        // Animated, as a list scrolls; the animation lives with the list (the
        // overlay is already on its way out).
        auto *scroll = new QPropertyAnimation(bar, "value", bar);
        scroll->setDuration(WTiming::ms(kScrollBackSeconds));
        scroll->setEasingCurve(QEasingCurve::OutCubic);
        scroll->setEndValue(bar->minimum());
        scroll->start(QAbstractAnimation::DeleteWhenStopped);
    }
}

void WOverlay::movePrev()
{
    if (m_left)
        return;
    if (!m_wexo || !m_step) {
        WexolinManager::reset();
        return;
    }
    const std::optional<qint64> prev = nextNumber(m_step->OrderNumber, -1);
    if (!prev || *prev < 0)
        return;
    const std::shared_ptr<WexoStep> found = stepNumbered(*prev);
    if (!found)
        return;
    leave();
    if (WOverlayDelegate *delegate = m_delegate.get())
        delegate->onPrev(m_wexo, found);
}

void WOverlay::discardAll()
{
    if (m_left)
        return;
    leave();
    WexolinManager::setCurrentPlaying(nullptr);
    if (const std::function<void()> dismiss = onDismiss)
        dismiss();
}

} // namespace WexoCreator
