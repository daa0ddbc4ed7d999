#include "SampleHostWindow.h"

#include "AccountPages.h"
#include "ShopPages.h"

#include <QTabBar>
#include <QTabWidget>

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
    resize(420, 720);
}
