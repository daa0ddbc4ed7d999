#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace WexoCreator {

// The library's own controller layer: one root widget, loaded on first use,
// with appearance callbacks. Presenting shows the child's view over this one,
// filling the same container (the library's covering window).
class WViewController : public QObject
{
    Q_OBJECT

public:
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
    QPointer<QWidget> m_view;
    QPointer<WViewController> m_presented;
    QPointer<WViewController> m_presenting;
};

} // namespace WexoCreator
