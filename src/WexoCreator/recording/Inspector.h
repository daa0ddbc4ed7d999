#pragma once

#include "WexoCreator/recording/FrameView.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace WexoCreator {

class InspectorDelegate;

// The element picker of the recorder: while on, a transparent outline view
// lies over the host window and the current pick is outlined and reported to
// the delegate. One instance, reached through the manager.
class Inspector : public QObject
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

private:
    Inspector() = default;

    static QWidget *mainWindow();
    static void setAlpha(QWidget *view, qreal alpha);
    void updateViews();
    void updateFrameView();
    void toggleOutlines();
    void addOutlinesToFrameViewFromSubview(QWidget *view);
    QRectF frameInFrameView(const QWidget *view) const;

    QPointer<FrameView> m_frameView;
    QPointer<QWidget> m_currentView;
    QPointer<QObject> m_delegateGuard;
    InspectorDelegate *m_delegate = nullptr;
    bool m_delegateIsObject = false;
};

} // namespace WexoCreator
