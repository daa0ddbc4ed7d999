#pragma once

#include <QMainWindow>

class QTabWidget;
class ShopPage;

// The sample shop: three tabs whose pages carry named widgets for walkthroughs.
class SampleHostWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit SampleHostWindow(QWidget *parent = nullptr);
    QTabWidget *tabs() const { return m_tabs; }
    ShopPage *shopPage() const { return m_shop; }
    // The page a person sees: the current tab, or the shop stack's current page.
    QWidget *currentPage() const;

private:
    // Help plays the first walkthrough offered for the page on screen.
    void showHelp();

    QTabWidget *m_tabs;
    ShopPage *m_shop;
};
