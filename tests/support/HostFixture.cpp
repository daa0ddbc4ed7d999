#include "support/HostFixture.h"

#include "WexoCreator/model/Wexo.h"
#include "WexoCreator/model/WexoStep.h"

#include <QAction>
#include <QDockWidget>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QStringListModel>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

#include <limits>

namespace WexoCreator {

namespace {

template<typename W>
W *named(W *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QStringListModel *rows(int count, QObject *parent)
{
    QStringList texts;
    for (int i = 0; i < count; ++i)
        texts << QStringLiteral("row %1").arg(i);
    return new QStringListModel(texts, parent);
}

QDockWidget *addDock(QMainWindow *window, const char *name, QWidget *content)
{
    auto *dock = named(new QDockWidget(QString::fromLatin1(name), window), name);
    dock->setWidget(content);
    window->addDockWidget(Qt::LeftDockWidgetArea, dock);
    return dock;
}

} // namespace

// Hosts draw items their own way through delegates of their own classes.
class BadgeDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
};

TargetsPage::TargetsPage(QWidget *parent)
    : QWidget(parent)
    , button(named(new QPushButton(QStringLiteral("Add to cart"), this), "targetButton"))
    , field(named(new QLineEdit(this), "nameField"))
    , hiddenTwin(named(new QLabel(QStringLiteral("hidden twin"), this), "twin"))
    , twin(named(new QLabel(QStringLiteral("shown twin"), this), "twin"))
    , table(named(new QTableView(this), "ordersTable"))
{
    auto *model = new QStandardItemModel(200, 3, this);
    for (int row = 0; row < 200; ++row) {
        for (int column = 0; column < 3; ++column)
            model->setItem(row, column, new QStandardItem(QStringLiteral("r%1 c%2").arg(row).arg(column)));
    }
    table->setModel(model);
    table->horizontalHeader()->setStretchLastSection(true);
    hiddenTwin->hide();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(field);
    layout->addWidget(twin);
    layout->addWidget(table, 1);
    layout->addWidget(button);
}

GridPage::GridPage(QWidget *parent)
    : QWidget(parent)
    , grid(named(new QListView(this), "productGrid"))
{
    QStringList items;
    for (int i = 0; i < 60; ++i)
        items << QStringLiteral("item %1").arg(i);
    grid->setModel(new QStringListModel(items, grid));
    grid->setViewMode(QListView::IconMode);
    grid->setGridSize(QSize(100, 60));
    grid->setMovement(QListView::Static);
    grid->setResizeMode(QListView::Adjust);
    (new QVBoxLayout(this))->addWidget(grid);
}

EmptyListPage::EmptyListPage(QWidget *parent)
    : QWidget(parent)
    , table(named(new QTableView(this), "emptyTable"))
{
    table->setModel(new QStandardItemModel(0, 2, table));
    (new QVBoxLayout(this))->addWidget(table);
}

WorkPage::WorkPage(QWidget *parent)
    : QWidget(parent)
    , group(named(new QGroupBox(QStringLiteral("Delivery"), this), "deliveryGroup"))
    , groupLabel(new QLabel(QStringLiteral("Sample Street 1"), group))
    , editor(named(new QPlainTextEdit(QStringLiteral("Notes"), this), "notesEditor"))
    , formArea(new QScrollArea(this))
    , formCanvas(named(new QWidget, "formCanvas"))
    , plainList(new QListView(this))
    , badgeList(named(new QListView(this), "badgeList"))
    , wizard(new QStackedWidget(this))
    , wizardNext(named(new QPushButton(QStringLiteral("Next")), "wizardNext"))
{
    (new QVBoxLayout(group))->addWidget(groupLabel);
    formCanvas->setFixedSize(800, 600);
    formArea->setWidget(formCanvas);
    plainList->setModel(rows(5, plainList));
    badgeList->setModel(rows(5, badgeList));
    badgeList->setItemDelegate(new BadgeDelegate(badgeList));
    auto *first = new QWidget;
    (new QVBoxLayout(first))->addWidget(wizardNext);
    wizard->addWidget(first);
    wizard->addWidget(new QLabel(QStringLiteral("Done")));
    auto *editors = new QHBoxLayout;
    editors->addWidget(editor);
    editors->addWidget(formArea);
    auto *lists = new QHBoxLayout;
    lists->addWidget(plainList);
    lists->addWidget(badgeList);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(editors);
    layout->addLayout(lists);
    layout->addWidget(wizard);
}

DialogPage::DialogPage(QWidget *parent)
    : QDialog(parent)
    , button(named(new QPushButton(QStringLiteral("Confirm"), this), "dialogButton"))
{
    setObjectName(QStringLiteral("confirmDialog"));
    // At the top: the record bar rests across the middle.
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(button);
    layout->addStretch();
    resize(300, 200);
}

HostFixture::HostFixture()
    : tabs(named(new QTabWidget(this), "mainTabs"))
    , targets(new TargetsPage)
    , gridPage(new GridPage)
    , emptyPage(new EmptyListPage)
    , workPage(new WorkPage)
    , toolBar(named(new QToolBar(QStringLiteral("Tools"), this), "mainToolBar"))
    , toolAction(named(new QAction(QStringLiteral("Help"), this), "toolButton"))
    , dock(named(new QDockWidget(QStringLiteral("Filters"), this), "filterDock"))
    , dockButton(named(new QPushButton(QStringLiteral("Apply")), "dockButton"))
    , dockList(new QTreeView)
    , dockTree(new QTreeView)
    , innerWindow(named(new QMainWindow, "innerWindow"))
    , innerButton(named(new QPushButton(QStringLiteral("Inspect")), "innerButton"))
{
    setObjectName(QStringLiteral("hostFixture"));
    const struct { QWidget *page; const char *title; const char *data; } pages[] = {
        {targets, "Targets", "tab_targets"}, {gridPage, "Grid", "tab_grid"}, {emptyPage, "Empty", "tab_empty"},
        {workPage, "Work", "tab_work"}};
    for (const auto &page : pages) {
        const int index = tabs->addTab(page.page, QString::fromLatin1(page.title));
        tabs->tabBar()->setTabData(index, QString::fromLatin1(page.data));
    }
    setCentralWidget(tabs);
    menuBar()->addMenu(QStringLiteral("File"))->addAction(named(new QAction(QStringLiteral("Open"), this), "openAction"));
    toolBar->addAction(toolAction);
    toolBar->addAction(named(new QAction(QStringLiteral("Print"), this), "printAction"));
    addToolBar(toolBar);
    dock->setWidget(dockButton);
    addDockWidget(Qt::RightDockWidgetArea, dock);

    auto *products = new QStandardItemModel(20, 2, dockList);
    for (int row = 0; row < 20; ++row)
        products->setItem(row, 1, new QStandardItem(QStringLiteral("product %1").arg(row)));
    dockList->setModel(products);
    dockList->setRootIsDecorated(false);
    dockList->hideColumn(0);
    listDock = addDock(this, "productDock", dockList);
    auto *sections = new QStandardItemModel(dockTree);
    for (int section = 0; section < 3; ++section) {
        auto *item = new QStandardItem(QStringLiteral("section %1").arg(section));
        for (int row = 0; row < 3; ++row)
            item->appendRow(new QStandardItem(QStringLiteral("setting %1.%2").arg(section).arg(row)));
        sections->appendRow(item);
    }
    dockTree->setModel(sections);
    dockTree->expandAll();
    treeDock = addDock(this, "settingsDock", dockTree);
    auto *innerPage = new QWidget;
    (new QVBoxLayout(innerPage))->addWidget(innerButton);
    innerWindow->setCentralWidget(innerPage);
    innerDock = addDock(this, "inspectorDock", innerWindow);
    resize(760, 640);
}

DialogPage *HostFixture::openDialog(Qt::WindowModality modality)
{
    auto *dialog = new DialogPage(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    if (modality == Qt::WindowModal) {
        dialog->open();
        return dialog;
    }
    dialog->setWindowModality(modality);
    dialog->show();
    return dialog;
}

// Pages of their own classes, so their names are page names.
class NativePage : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;
};

class EmbeddedPage : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;
};

QWidget *HostFixture::addNativePage()
{
    auto *page = new NativePage;
    auto *button = named(new QPushButton(QStringLiteral("Native")), "nativeButton");
    (new QVBoxLayout(page))->addWidget(button);
    tabs->addTab(page, QStringLiteral("Native"));
    tabs->setCurrentWidget(page);
    button->winId();
    return page;
}

QWindow *HostFixture::addEmbeddedWindowPage()
{
    auto *page = new EmbeddedPage;
    auto *embedded = new QWindow;
    QWidget *container = named(QWidget::createWindowContainer(embedded, page), "embeddedWindow");
    (new QVBoxLayout(page))->addWidget(container);
    tabs->addTab(page, QStringLiteral("Embedded"));
    tabs->setCurrentWidget(page);
    return embedded;
}

QPoint HostFixture::pointOf(const QWidget *widget, std::optional<QPoint> local) const
{
    return widget->mapTo(this, local.value_or(widget->rect().center()));
}

bool HostFixture::showAndWait()
{
    show();
    activateWindow();
    targets->field->setFocus();
    // Keys and shortcuts go to the active window, also on a real X server.
    return QTest::qWaitForWindowExposed(this) && QTest::qWaitForWindowActive(this);
}

std::shared_ptr<WexoStep> makeStep(qint64 orderNumber, const QString &frame, const QString &display,
                                   std::optional<bool> backdrop, const QString &elementType)
{
    auto step = std::make_shared<WexoStep>();
    step->StepId = QStringLiteral("s-%1").arg(orderNumber);
    step->ElementId = QStringLiteral("el-%1").arg(orderNumber);
    step->Frame = frame;
    step->dislplayType = display;
    // Numbered as a person counts; the largest order number keeps its own.
    const qint64 number = orderNumber < std::numeric_limits<qint64>::max() ? orderNumber + 1 : orderNumber;
    step->Title = QStringLiteral("Step %1").arg(number);
    step->description = QStringLiteral("What step %1 is about.").arg(number);
    step->HasBackDrop = backdrop;
    step->OrderNumber = orderNumber;
    if (!elementType.isEmpty())
        step->ElementType = elementType;
    return step;
}

std::shared_ptr<Wexo> makePage(const QList<std::shared_ptr<WexoStep>> &steps, qint64 totalSteps,
                               const QString &walkthroughId)
{
    auto page = std::make_shared<Wexo>();
    page->Page = QStringLiteral("TargetsPage");
    page->WalkthroughId = walkthroughId;
    page->wexoName = QStringLiteral("A walkthrough");
    for (const std::shared_ptr<WexoStep> &step : steps)
        step->wexoId = walkthroughId;
    page->values = steps;
    page->totalWexoSteps = totalSteps;
    return page;
}

} // namespace WexoCreator

#include "HostFixture.moc"
