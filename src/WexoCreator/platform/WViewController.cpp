#include "WexoCreator/platform/WViewController.h"

#include "WexoCreator/platform/WLogging.h"

#include <QEvent>

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
    root->setGeometry(container->rect());
    container->installEventFilter(this);
    root->show();
}

bool WViewController::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && m_view && watched == m_view->parentWidget())
        m_view->setGeometry(m_view->parentWidget()->rect());
    return QObject::eventFilter(watched, event);
}

void WViewController::present(WViewController *child, bool animated, std::function<void()> completion)
{
    if (!child || child == this)
        return;
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

    viewWillDisappear(animated);
    child->embedViewIn(container);
    child->view()->raise();
    child->viewWillAppear(animated);
    child->viewDidAppear(animated);
    if (completion)
        completion();
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
    child->viewWillDisappear(animated);
    child->view()->hide();
    child->m_presenting = nullptr;
    m_presented = nullptr;
    viewWillAppear(animated);
    if (child->parent() == this)
        child->deleteLater();
    if (completion)
        completion();
}

} // namespace WexoCreator
