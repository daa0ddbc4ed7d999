#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <vector>

class QVariantAnimation;

namespace WexoCreator {

// The library's own controller layer: one root widget, loaded on first use,
// with appearance callbacks. Presenting shows the child's view over this one,
// filling the same container (the library's covering window). An animated
// presentation slides the child's view up from the container's bottom edge,
// an animated dismissal slides it back down; the completions run once the
// slide has ended.
class WViewController : public QObject
{
    Q_OBJECT

public:
    // Length of the slide in and of the slide out.
    static constexpr int kTransitionMs = 300;

    explicit WViewController(QObject *parent = nullptr);
    ~WViewController() override;

    QWidget *view();
    bool isViewLoaded() const { return !m_view.isNull(); }
    void loadViewIfNeeded() { view(); }

    WViewController *presentedViewController() const { return m_presented; }
    WViewController *presentingViewController() const { return m_presenting; }

    // A child without a parent becomes owned by its presenter until dismissed.
    virtual void present(WViewController *child, bool animated, std::function<void()> completion = {});
    // On a presented controller this asks its presenter; on a presenter it
    // removes what it presented.
    virtual void dismiss(bool animated, std::function<void()> completion = {});

    // True while this controller slides a presented view in or out.
    bool isTransitioning() const;

    // Puts the view into a container, filling it and following its size; the
    // container calls the appearance callbacks itself.
    void embedViewIn(QWidget *container);

    // Called by whoever shows or removes the root view (the window, a presenter).
    void beginAppearance(bool animated) { viewWillAppear(animated); }
    void endAppearance(bool animated) { viewWillDisappear(animated); }

protected:
    // Builds the root widget; the default is a plain transparent widget.
    virtual QWidget *loadView();
    virtual void viewDidLoad() {}
    virtual void viewWillAppear(bool animated) { Q_UNUSED(animated); }
    // After a presentation has put the view on screen, laid out at its size.
    virtual void viewDidAppear(bool animated) { Q_UNUSED(animated); }
    virtual void viewWillDisappear(bool animated) { Q_UNUSED(animated); }

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Transition { None, Presenting, Dismissing };

    // The view fills its container, pushed down by the slide offset.
    void placeView();
    void slide(qreal to, int ms, Transition kind);
    void stopSlide();
    void slideStep(qreal offset);
    void finishPresentation();
    void finishDismissal();

    QPointer<QWidget> m_view;
    QPointer<WViewController> m_presented;
    QPointer<WViewController> m_presenting;
    // On the presenter: the slide of what it presents, and who waits for it.
    QPointer<QVariantAnimation> m_transition;
    Transition m_transitionKind = Transition::None;
    std::function<void()> m_presentCompletion;
    std::vector<std::function<void()>> m_dismissCompletions;
    bool m_dismissAnimated = false;
    // On the presented: how far down its view stands, in container heights.
    qreal m_slideOffset = 0;
};

} // namespace WexoCreator
