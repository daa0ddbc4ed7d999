#pragma once

#include "WexoCreator/platform/WWeakDelegate.h"
#include "WexoCreator/recording/FrameView.h"
#include "WexoCreator/recording/FrameViewDelegate.h"
#include "WexoCreator/recording/InspectorDelegate.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <optional>

namespace WexoCreator {

// The element picker of the recorder: while on, a transparent outline view
// lies over the host window and the current pick is outlined and reported to
// the delegate. A touch on the outline view picks the host widget under it:
// the deepest one there that has an identity. One instance, reached through
// the manager.
class Inspector : public QObject, public FrameViewDelegate
{
    Q_OBJECT

public:
    static Inspector &shared();

    // Held weakly when the delegate is a QObject.
    void setHelperDelegate(InspectorDelegate *delegate);
    InspectorDelegate *helperDelegate() const;

    bool on = false;
    // Made on the first switch-on and kept; shown and hidden by its opacity.
    FrameView *frameView() const { return m_frameView; }
    QWidget *currentView() const { return m_currentView; }
    // The pick's geometry and opacity when it was picked; nothing reads them.
    std::optional<QRect> originalFrame() const { return m_originalFrame; }
    qreal originalAlpha() const { return m_originalAlpha; }

    // Switches over: on lays the outline view over the host window, off hides
    // it at once and forgets the pick.
    void invokeInspector();
    // Animates the widget's opacity to alpha in 0.1 s; below 0.01 it lets
    // every touch through to what lies under it.
    void fadeView(QWidget *view, qreal alpha);

    static qreal alpha(const QWidget *view);

    // A press on the outline view (in its coordinates) picks the widget under
    // it; a move of that press picks again, so the outline follows the finger.
    void touchAtPoint(const QPointF &point) override;
    void touchMovedToPoint(const QPointF &point) override;
    // True while the pick being reported comes from a move of a press rather
    // than from the press itself: only a press may record a step.
    bool pickFollowsPress() const { return m_pickFollowsPress; }
    // Where the last pick was made, in the host window's coordinates, and the
    // deepest widget there: a row or a tab is found from it, not from the
    // pick, which may have climbed past the list or the tab bar.
    std::optional<QPoint> pickPoint() const { return m_pickPoint; }
    QWidget *deepestAtPick() const { return m_deepestAtPick; }

    // From `parent`, the chain of widgets entered to reach the point (in
    // parent's coordinates): each time the front-most child whose geometry
    // holds it. Windows, hidden widgets and the library's own widgets are
    // passed over with everything inside them. The last one is the pick.
    QList<QWidget *> viewsAtPoint(const QPoint &point, QWidget *parent) const;
    // The last of viewsAtPoint, or null when no child holds the point.
    QWidget *pickAt(const QPoint &point, QWidget *parent) const;
    // What a pick of the deepest widget at a point stands for: the first widget
    // with an identity from it up toward its page (Qt's internal children, such
    // as a scroll area's viewport, so count as their owner). The page itself is
    // never a target, nor, outside every page, the window; when nothing on the
    // way has an identity the deepest widget stays the pick.
    static QWidget *identifiedWidget(QWidget *deepest);
    bool shouldIgnoreView(const QWidget *view) const;
    void selectView(QWidget *view);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Inspector() = default;

    static QWidget *mainWindow();
    // What the outline view lies over: the host window or its modal dialog.
    QWidget *surface() const;
    void attachTo(QWidget *window);
    void moveFrameView(QWidget *over);
    void raiseFrameView();
    static void setAlpha(QWidget *view, qreal alpha);
    void updateViews();
    void updateFrameView();
    void toggleOutlines();
    void addOutlinesToFrameViewFromSubview(QWidget *view);
    QWidget *frontChildAt(const QPoint &point, const QWidget *parent) const;
    QRectF frameInFrameView(const QWidget *view) const;

    QPointer<FrameView> m_frameView;
    QPointer<QWidget> m_host;
    QPointer<QWidget> m_currentView;
    std::optional<QRect> m_originalFrame;
    qreal m_originalAlpha = 1.0;
    WWeakDelegate<InspectorDelegate> m_delegate;
    bool m_pickFollowsPress = false;
    std::optional<QPoint> m_pickPoint;
    QPointer<QWidget> m_deepestAtPick;
};

} // namespace WexoCreator
