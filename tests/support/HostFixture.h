#pragma once

#include <QDialog>
#include <QMainWindow>
#include <QWindow>
#include <QString>
#include <QWidget>

#include <memory>
#include <optional>

class QAction;
class QDockWidget;
class QGroupBox;
class QLabel;
class QListView;
class QPlainTextEdit;
class QPushButton;
class QLineEdit;
class QScrollArea;
class QStackedWidget;
class QTabWidget;
class QTableView;
class QToolBar;
class QTreeView;

namespace WexoCreator {

class Wexo;
class WexoStep;

// A page with named widgets and a long table (200 rows, 3 columns).
class TargetsPage : public QWidget
{
    Q_OBJECT
public:
    explicit TargetsPage(QWidget *parent = nullptr);
    QPushButton *button;   // "targetButton"
    QLineEdit *field;      // "nameField", has the host's focus
    QWidget *hiddenTwin;   // "twin", hidden, before the shown one
    QWidget *twin;         // "twin"
    QTableView *table;     // "ordersTable"
};

// A page whose only list is an icon-mode list view of 60 items.
class GridPage : public QWidget
{
    Q_OBJECT
public:
    explicit GridPage(QWidget *parent = nullptr);
    QListView *grid; // "productGrid"
};

// A page with an empty table.
class EmptyListPage : public QWidget
{
    Q_OBJECT
public:
    explicit EmptyListPage(QWidget *parent = nullptr);
    QTableView *table;
};

// A page laid out as real applications are: a named group box holding unnamed
// labels, an editor (a scroll area), a form canvas larger than the scroll area
// beside it (as form editors show one), two lists with different item
// delegates (the first unnamed) and a stack nested inside the page.
class WorkPage : public QWidget
{
    Q_OBJECT
public:
    explicit WorkPage(QWidget *parent = nullptr);
    QGroupBox *group;        // "deliveryGroup"
    QLabel *groupLabel;      // unnamed, inside the group
    QPlainTextEdit *editor;  // "notesEditor"
    QScrollArea *formArea;   // unnamed, shows the canvas's top-left part
    QWidget *formCanvas;     // "formCanvas", 800 x 600
    QListView *plainList;    // unnamed, 5 rows, Qt's own delegate
    QListView *badgeList;    // "badgeList", 5 rows, a delegate of its own class
    QStackedWidget *wizard;  // unnamed, nested in the page
    QPushButton *wizardNext; // "wizardNext", on the wizard's current page
};

// The page a dialog shows.
class DialogPage : public QDialog
{
    Q_OBJECT
public:
    explicit DialogPage(QWidget *parent);
    QPushButton *button; // "dialogButton"
};

// The host the playback and recording tests run over, built as real
// applications are: a menu bar, a tool bar made from named actions (the
// buttons Qt makes for them unnamed), docks, a main window nested in a dock,
// and four tabs (data "tab_targets", "tab_grid", "tab_empty", "tab_work").
class HostFixture : public QMainWindow
{
    Q_OBJECT
public:
    HostFixture();
    QTabWidget *tabs;
    TargetsPage *targets;
    GridPage *gridPage;
    EmptyListPage *emptyPage;
    WorkPage *workPage;
    QToolBar *toolBar;        // the action "toolButton"; its button has no name
    QAction *toolAction;
    QDockWidget *dock;        // holds "dockButton"
    QPushButton *dockButton;
    QDockWidget *listDock;    // "productDock": an unnamed flat list of 20 rows, shown
    QTreeView *dockList;      // by a tree view that hides the first of its two columns
    QDockWidget *treeDock;    // "settingsDock": an unnamed tree, 3 sections of 3 rows
    QTreeView *dockTree;
    QDockWidget *innerDock;   // "inspectorDock": a main window of its own
    QMainWindow *innerWindow; // its central widget holds "innerButton"
    QPushButton *innerButton;

    // Opened as hosts do (open(), never exec()), parented to the main window;
    // application-modal ones are shown with show().
    DialogPage *openDialog(Qt::WindowModality modality = Qt::WindowModal);
    // Pages real applications have, added on demand (they change the window
    // for good): one with a native child (winId()), one embedding a QWindow.
    QWidget *addNativePage();       // "NativePage", its button "nativeButton" is native
    QWindow *addEmbeddedWindowPage(); // "EmbeddedPage", the window embedded with createWindowContainer
    // A point of the widget in window coordinates (for clicks on the window).
    QPoint pointOf(const QWidget *widget, std::optional<QPoint> local = std::nullopt) const;
    // Shows the window and waits until it is exposed.
    bool showAndWait();
};

// Steps and pages as the backend's answers give them.
std::shared_ptr<WexoStep> makeStep(qint64 orderNumber, const QString &frame, const QString &display,
                                   std::optional<bool> backdrop = std::nullopt, const QString &elementType = {});
std::shared_ptr<Wexo> makePage(const QList<std::shared_ptr<WexoStep>> &steps, qint64 totalSteps,
                               const QString &walkthroughId = QStringLiteral("w-shop-tour"));

} // namespace WexoCreator
