#pragma once

#include <QDialog>
#include <QMainWindow>
#include <QString>
#include <QWidget>

#include <memory>
#include <optional>

class QDockWidget;
class QListView;
class QPushButton;
class QLineEdit;
class QTabWidget;
class QTableView;
class QToolBar;

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

// The page a dialog shows.
class DialogPage : public QDialog
{
    Q_OBJECT
public:
    explicit DialogPage(QWidget *parent);
    QPushButton *button; // "dialogButton"
};

// The host the playback tests run over: a main window with a tool bar, a dock
// and three tabs (data "tab_targets", "tab_grid", "tab_empty"), shown at 480 × 640.
class HostFixture : public QMainWindow
{
    Q_OBJECT
public:
    HostFixture();
    QTabWidget *tabs;
    TargetsPage *targets;
    GridPage *gridPage;
    EmptyListPage *emptyPage;
    QToolBar *toolBar;        // its action's button is "toolButton"
    QDockWidget *dock;        // holds "dockButton"
    QPushButton *dockButton;

    // Opened as hosts do (open(), never exec()), parented to the main window.
    DialogPage *openDialog();
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
