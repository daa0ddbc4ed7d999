#pragma once

#include "WexoCreator/recording/FrameView.h"
#include "WexoCreator/recording/FrameViewDelegate.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <optional>

namespace WexoCreator {

class InspectorDelegate;

// The element picker of the recorder: while on, a transparent outline view
// lies over the host window and the current pick is outlined and reported to
// the delegate. A touch on the outline view picks the front-most, deepest host
// widget under it. One instance, reached through the manager.
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
    // Where the last pick was made, in the host window's coordinates.
    std::optional<QPoint> pickPoint() const { return m_pickPoint; }

    // From `parent`, the chain of widgets entered to reach the point (in
    // parent's coordinates): each time the front-most child whose geometry
    // holds it. Windows, hidden widgets and the library's own widgets are
    // passed over with everything inside them. The last one is the pick.
    QList<QWidget *> viewsAtPoint(const QPoint &point, QWidget *parent) const;
    // The last of viewsAtPoint, or null when no child holds the point.
    QWidget *pickAt(const QPoint &point, QWidget *parent) const;
    bool shouldIgnoreView(const QWidget *view) const;
    void selectView(QWidget *view);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Inspector() = default;

    static QWidget *mainWindow();
    static void setAlpha(QWidget *view, qreal alpha);
    void updateViews();
    void updateFrameView();
    void toggleOutlines();
    void addOutlinesToFrameViewFromSubview(QWidget *view);
    QWidget *frontChildAt(const QPoint &point, const QWidget *parent) const;
    QRectF frameInFrameView(const QWidget *view) const;

    QPointer<FrameView> m_frameView;
    QPointer<QWidget> m_currentView;
    QPointer<QObject> m_delegateGuard;
    InspectorDelegate *m_delegate = nullptr;
    bool m_delegateIsObject = false;
    bool m_pickFollowsPress = false;
    std::optional<QPoint> m_pickPoint;
};

} // namespace WexoCreator
