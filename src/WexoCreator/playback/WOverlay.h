#pragma once

#include "WexoCreator/platform/WWeakDelegate.h"
#include "WexoCreator/playback/UICollectionViewCellFinder.h"
#include "WexoCreator/playback/UITableViewCellFinder.h"
#include "WexoCreator/playback/WOverlayDelegate.h"
#include "WexoCreator/views/WBannerDelegate.h"
#include "WexoCreator/views/WMobilePopupDelegate.h"
#include "WexoCreator/views/WPoineterDelegate.h"

#include <QColor>
#include <QList>
#include <QPainterPath>
#include <QPointer>
#include <QRectF>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

namespace WexoCreator {

class WBanner;
class WDetailedPopup;
class WGestureTracker;
class WMobilePopup;
class WPointerView;
class WPopup;
class WTemplateCard;
class Wexo;
class WexoStep;

// One step of a playing walkthrough over the host: it fills its parent, dims it
// (unless the step asks for no backdrop) with a hole at the step's target, and
// shows the step's card, banner or marker there. A tap moves on; the views'
// buttons move back or close. It never shows a second step: moving either way
// hands the page and the other step to its delegate, which lays a new overlay.
class WOverlay : public QWidget,
                 public UITableViewCellFinderDelegate,
                 public UICollectionViewCellFinderDelegate,
                 public WMobilePopupDelegate,
                 public WPoineterDelegate,
                 public WBannerDelegate
{
    Q_OBJECT

public:
    static QColor defaultBackdrop() { return QColor(0, 0, 0, 128); }

    WOverlay(std::shared_ptr<WexoStep> step, std::shared_ptr<Wexo> wexo, QWidget *parent,
             const QColor &bgColor = defaultBackdrop());
    ~WOverlay() override;

    // The page, the step and the rectangle of the latest build (the overlay's
    // own). A later change is only stored: the overlay builds what it shows
    // from them on its next build.
    std::shared_ptr<Wexo> wexo() const { return m_wexo; }
    void setWexo(std::shared_ptr<Wexo> wexo) { m_wexo = std::move(wexo); }
    std::shared_ptr<WexoStep> currentWexoStep() const { return m_step; }
    void setCurrentWexoStep(std::shared_ptr<WexoStep> step) { m_step = std::move(step); }
    std::optional<QRectF> currentRect() const { return m_currentRect; }
    void setCurrentRect(const std::optional<QRectF> &rect) { m_currentRect = rect; }
    // Clear for a step without backdrop.
    QColor backgroundColor() const { return m_bgColor; }
    // The targets of the latest build, in the overlay's coordinates.
    const QList<QRectF> &targets() const { return m_targets; }
    // What paintEvent fills: the overlay's rectangle with the holes cut out.
    const QPainterPath &backdropPath() const { return m_backdrop; }
    // Moved on, moved back or closed: an overlay that has left never acts again.
    bool hasLeft() const { return m_left; }

    // The cards of the latest build. Setting one only stores it: a build
    // takes away the cards it made itself and forgets one set here.
    WPopup *defaultPopupView() const;
    void setDefaultPopupView(WPopup *popup);
    WMobilePopup *mobilePopupView() const;
    void setMobilePopupView(WMobilePopup *popup);
    WDetailedPopup *detailedPopupView() const;
    void setDetailedPopupView(WDetailedPopup *popup);

    // Where the library's own forms and images live: its own resources.
    QString bundle() const { return m_bundle; }

    // A flat list of a widget tree, filled only by listSubviews(); entries
    // deleted since are left out.
    QList<QWidget *> topViewSubViews() const;
    // Appends every descendant of the widget (windows of their own, such as
    // dialogs, and what lies in them excluded), each before its own children.
    void listSubviews(QWidget *view);
    // For each topViewSubViews() entry that is `view`: the view and its
    // ancestors up to `root` (the outermost one when `root` is not on the
    // way), root first.
    QList<QWidget *> getViewHierarchyFor(QWidget *view, const QWidget *root) const;
    // Every descendant of type T (windows of their own excluded), a child's
    // own matches before the child itself.
    template <typename T>
    static QList<T *> getSubviewsOf(QWidget *view)
    {
        QList<T *> found;
        if (!view)
            return found;
        for (QObject *object : view->children()) {
            auto *child = qobject_cast<QWidget *>(object);
            if (!child || child->isWindow())
                continue;
            found += getSubviewsOf<T>(child);
            if (auto *typed = qobject_cast<T *>(child))
                found.append(typed);
        }
        return found;
    }
    WBanner *banner() const;
    // The markers of the latest build (one per target).
    QList<WPointerView *> markers() const;

    WOverlayDelegate *delegate() const { return m_delegate.get(); }
    void setDelegate(WOverlayDelegate *delegate) { m_delegate.set(delegate); }
    // Run when the page is finished or the playback closed, after the overlay left.
    std::function<void()> onDismiss;

    // Navigation: a tap, the banner's end, the back buttons, the close buttons.
    void moveNext();
    void movePrev();
    void discardAll();

    // The step's target on the page now on screen.
    QList<QRectF> transparentRects() const;
    QAbstractItemView *tableView() const;
    QAbstractItemView *collectionView() const;

    // The template card at the step's target, sized by the overlay. Nothing in
    // the playback shows it; it is there for a host of the template card.
    void showTemplateToolTip();

    void didFindCell(const QModelIndex &cell, const WIndexPath &indexPath, QAbstractItemView *view,
                     const QRectF &rect) override;
    // The views' buttons: back moves back, close ends the playback; a click on
    // the marker opens the mobile card at the latest build's rectangle.
    void onPrev(WMobilePopup *popup) override;
    void onClose(WMobilePopup *popup) override;
    void onPrev(WBanner *banner) override;
    void onClose(WBanner *banner) override;
    void onPointerView() override;

protected:
    // Return, Enter and Space are a tap on the overlay, Escape the close
    // control, so a keyboard alone can move on or leave.
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Targets, holes and views, built on the first show and on each resize.
    void build();
    // A fresh backdrop over the rectangle, without the views of the latest build.
    void startBuild(const QRectF &rect);
    void clearViews();
    void showDefaultToolTip(const QRectF &rect, const std::optional<QList<QRectF>> &rects);
    void showMobileTemplate(const QRectF &rect, const std::optional<QList<QRectF>> &rects);
    void showPointerView(const QRectF &rect);
    void showBanner(bool top);
    // Logs the step whose target this build did not find.
    void reportMissingTarget();
    // The mobile card at each target, without touching the backdrop.
    void addMobileCards(const QList<QRectF> &targets);
    // A template card's four inputs from the step and the page.
    void fillCard(WTemplateCard *card) const;
    void showCellStep(const QRectF &rect);
    // Cuts the holes of these targets and keeps them as the build's targets.
    void cutOut(const QRectF &rect, const QList<QRectF> &targets);
    void onTap();
    void leave();
    // next: absent past the largest order number.
    void finishPage(std::optional<qint64> next);
    void scrollListsToTop();
    // The order number one on or one back; absent where it would overflow.
    static std::optional<qint64> nextNumber(qint64 orderNumber, int by);
    // The one-based number the step's views show.
    qint64 shownNumber() const;
    std::shared_ptr<WexoStep> stepNumbered(qint64 orderNumber) const;

    std::shared_ptr<WexoStep> m_step;
    std::shared_ptr<Wexo> m_wexo;
    QColor m_bgColor;
    WWeakDelegate<WOverlayDelegate> m_delegate;
    QPointer<WGestureTracker> m_tap;
    QPointer<WPopup> m_defaultPopupView;
    QPointer<WMobilePopup> m_mobilePopupView;
    QPointer<WDetailedPopup> m_detailedPopupView;
    QPointer<WBanner> m_banner;
    // Cards and markers of the latest build, replaced whole by the next one.
    QList<QPointer<QWidget>> m_views;
    std::optional<QRectF> m_currentRect;
    QList<QRectF> m_targets;
    QPainterPath m_backdrop;
    QString m_bundle;
    QList<QPointer<QWidget>> m_topViewSubViews;
    bool m_built = false;
    bool m_left = false;
    bool m_missingReported = false;
};

} // namespace WexoCreator
