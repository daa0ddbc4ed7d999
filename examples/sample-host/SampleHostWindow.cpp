#include "SampleHostWindow.h"

#include "AccountPages.h"
#include "ShopPages.h"

#include "WexoCreator/manager/WexolinManager.h"

#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>

using WexoCreator::WexolinManager;

SampleHostWindow::SampleHostWindow(QWidget *parent)
    : QMainWindow(parent)
    , m_tabs(new QTabWidget(this))
    , m_shop(new ShopPage(m_tabs))
{
    setObjectName(QStringLiteral("sampleHostWindow"));
    setWindowTitle(tr("Sample Shop"));
    m_tabs->setObjectName(QStringLiteral("mainTabs"));

    struct Tab { QWidget *page; QString title; QString identifier; };
    const Tab tabs[] = {
        {m_shop, tr("Shop"), QStringLiteral("tab_shop")},
        {new SettingsPage(m_tabs), tr("Settings"), QStringLiteral("tab_settings")},
        {new ProfilePage(m_tabs), tr("Profile"), QStringLiteral("tab_profile")},
    };
    for (const Tab &tab : tabs) {
        const int index = m_tabs->addTab(tab.page, tab.title);
        // Walkthrough steps name a tab by the identifier kept in its data.
        m_tabs->tabBar()->setTabData(index, tab.identifier);
    }
    setCentralWidget(m_tabs);

    auto *toolBar = addToolBar(tr("Help"));
    toolBar->setObjectName(QStringLiteral("helpToolBar"));
    toolBar->setMovable(false);
    QAction *help = toolBar->addAction(tr("Help"), this, &SampleHostWindow::showHelp);
    toolBar->widgetForAction(help)->setObjectName(QStringLiteral("helpButton"));

    // A walkthrough that spans pages goes on where the person goes next.
    const auto pageChanged = [this] { WexolinManager::autoPlayOn(currentPage()); };
    connect(m_tabs, &QTabWidget::currentChanged, this, pageChanged);
    connect(m_shop, &QStackedWidget::currentChanged, this, pageChanged);
    resize(420, 720);
}

QWidget *SampleHostWindow::currentPage() const
{
    QWidget *page = m_tabs->currentWidget();
    return page == m_shop ? m_shop->currentWidget() : page;
}

void SampleHostWindow::showHelp()
{
    const auto offered = WexolinManager::wexosOnCurrentView();
    if (!offered.isEmpty())
        WexolinManager::playWexo(offered.first());
}
