// The launcher's recording callbacks: what it does with each pick of the
// inspector, the name prompt, the record bar's buttons and crosshair target
// mode. Kept apart from the launcher's own set-up, presentation and login.
#include "WexoCreator/manager/WexoButtonController.h"

#include "WexoCreator/extensions/WElementIdentity.h"
#include "WexoCreator/manager/WexoButtonWindow.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/platform/WAlert.h"
#include "WexoCreator/platform/WAncestorChain.h"
#include "WexoCreator/platform/WHostQueries.h"
#include "WexoCreator/platform/WLogging.h"
#include "WexoCreator/playback/WItemViewCellFinder.h"
#include "WexoCreator/recording/FrameView.h"
#include "WexoCreator/recording/Inspector.h"
#include "WexoCreator/recording/WPlayConsole.h"
#include "WexoCreator/recording/WexoItemListViewController.h"
#include "WexoCreator/recording/WexoSteps.h"

#include <QAbstractItemView>
#include <QDebug>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTabBar>
#include <QTabWidget>

namespace WexoCreator {

namespace {

// The element name playback looks for on a tab.
const QString kTabElementName = QStringLiteral("UITabBarButton");

QString className(const QObject *object)
{
    return QString::fromLatin1(object->metaObject()->className());
}

// From the outermost ancestor (or `root`, or a window, when it lies on the way) down to the view.
QList<QWidget *> viewHierarchy(QWidget *view, const QWidget *root)
{
    return ancestorChain(view, root, WChainEnd::atRootOrWindow);
}

} // namespace

// --- Picks -------------------------------------------------------------------

void WexoButtonController::selectedElement(QWidget *element, std::optional<QRectF> rect)
{
    if (!rect || !element)
        return;
    targettedView = element;
    targettedFrame = rect;
    targettedPoint = WexolinManager::inspector().pickPoint();
    targettedDeepest = WexolinManager::inspector().deepestAtPick();
    if (WexolinManager::shared().debugLog()) {
        QString described;
        QDebug(&described) << element;
        qCDebug(lcRecording).noquote() << QStringLiteral("**** Element: ") + described;
    }
    const bool aiming = wConsoleMenu()->currentMode() == WConsoleMode::sniping;
    if (aiming)
        outlineAimedPart();
    // While a press moves on, its picks only follow the finger: the press
    // itself has already been handled.
    if (WexolinManager::inspector().pickFollowsPress() || aiming)
        return;
    reactToPick(RecordTarget{element, *rect, {}, {}, {}});
}

std::optional<WexoButtonController::AimedRow> WexoButtonController::aimedRow() const
{
    QWidget *deepest = targettedDeepest ? targettedDeepest.data() : targettedView.data();
    if (!deepest || !targettedPoint)
        return std::nullopt;
    // The outermost item view between the page and the deepest widget.
    QAbstractItemView *items = nullptr;
    for (QWidget *ancestor : viewHierarchy(deepest, WHostQueries::pageOf(deepest))) {
        if ((items = qobject_cast<QAbstractItemView *>(ancestor)))
            break;
    }
    if (!items)
        return std::nullopt;
    // A header or a scroll bar is on no row, and a tree's top-level rows are
    // its sections, not cells.
    const QPoint local = items->viewport()->mapFrom(deepest->window(), *targettedPoint);
    if (!items->viewport()->rect().contains(local))
        return std::nullopt;
    const std::optional<WIndexPath> path = WHostQueries::indexPathOf(items, items->indexAt(local));
    if (!path)
        return std::nullopt;
    return AimedRow{items, WHostQueries::cellIndex(items, *path), *path};
}

std::optional<std::pair<QTabBar *, int>> WexoButtonController::aimedTab() const
{
    QWidget *deepest = targettedDeepest ? targettedDeepest.data() : targettedView.data();
    QTabWidget *tabs = WexolinManager::shared().tabBarController();
    QTabBar *bar = tabs ? tabs->tabBar() : nullptr;
    if (!deepest || !targettedPoint || !bar || (deepest != bar && !bar->isAncestorOf(deepest)))
        return std::nullopt;
    return std::pair{bar, bar->tabAt(bar->mapFrom(deepest->window(), *targettedPoint))};
}

void WexoButtonController::outlineAimedPart()
{
    FrameView *frame = WexolinManager::inspector().frameView();
    if (!frame)
        return;
    // What a select records is the tab or the row, not the bar or the list around it.
    QWidget *owner = nullptr;
    QRect rect;
    if (const auto tab = aimedTab(); tab && tab->second >= 0) {
        owner = tab->first;
        rect = WHostQueries::shownPart(owner, tab->first->tabRect(tab->second));
    } else if (const std::optional<AimedRow> row = aimedRow()) {
        owner = row->view;
        rect = WHostQueries::shownPart(row->view, WItemViewCellFinder::rowRect(row->view, row->cell));
    }
    if (owner)
        frame->setMainRect(QRectF(frame->mapFromGlobal(owner->mapToGlobal(rect.topLeft())), rect.size()));
}

void WexoButtonController::reactToPick(const RecordTarget &target)
{
    const std::optional<WexoOptionType> type = WexolinManager::shared().currentWexoType();
    if (!type)
        return;
    switch (*type) {
    case WexoOptionType::record:
        recordElement(target);
        break;
    case WexoOptionType::screen:
    case WexoOptionType::element:
        showNamePrompt(target, *type);
        break;
    default:
        break;
    }
    WexoSteps::preview();
}

std::optional<WexoButtonController::RecordTarget> WexoButtonController::completed(const RecordTarget &target)
{
    RecordTarget done = target;
    if (!done.view)
        return std::nullopt;
    if (!done.identity)
        done.identity = wexoElementIdentifier(done.view);
    if (!done.page) {
        if (QWidget *page = WHostQueries::pageOf(done.view))
            done.page = WHostQueries::pageName(page);
    }
    if (!done.elementName)
        done.elementName = className(done.view);
    if (!done.identity || !done.page) {
        qCDebug(lcRecording) << "nothing recorded: the widget has no" << (done.identity ? "page" : "identity");
        return std::nullopt;
    }
    return done;
}

void WexoButtonController::recordElement(const RecordTarget &target)
{
    const std::optional<WexoOptionType> type = WexolinManager::shared().currentWexoType();
    const std::optional<RecordTarget> done = completed(target);
    if (!type || !done)
        return;
    const WexolinManager &manager = WexolinManager::shared();
    const std::shared_ptr<WexoNode<QString>> root = manager.currentCreatedWexo();
    WexoSteps::add(*done->page, *done->identity, done->frame, manager.currentWexoName().value_or(QString()), *type,
                   done->elementName, root ? root->stepNumber : 0, root ? root->wexoId : std::nullopt);
}

// --- Name prompt ---------------------------------------------------------------

void WexoButtonController::showNamePrompt(const RecordTarget &target, WexoOptionType type)
{
    // One prompt at a time; while it is up it holds every click and key.
    if (m_namePrompt)
        return;
    auto *alert = new WAlert(QStringLiteral("Add a name to your wexo"), QString(), view());
    alert->setObjectName(QStringLiteral("wexoNameAlert"));
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->addTextField([](QLineEdit *field) {
        field->setObjectName(QStringLiteral("wexoNameField"));
        field->setPlaceholderText(QStringLiteral("name goes here"));
    });
    QPointer<WexoButtonController> self(this);
    alert->addAction(QStringLiteral("Cancel"), WAlert::ActionStyle::Cancel, [self] {
        WexolinManager::reset();
        WexolinManager::disableIntrospect();
        if (self)
            self->endNamePrompt();
    });
    QPointer<WAlert> weakAlert(alert);
    alert->addAction(QStringLiteral("Ok"), WAlert::ActionStyle::Default, [self, weakAlert, target, type] {
        const QString name = weakAlert && !weakAlert->textFields().isEmpty() ? weakAlert->textFields().first()->text() : QString();
        // The identity is read now: the widget may have been renamed or gone.
        const std::optional<RecordTarget> done = completed(target);
        if (done && !name.isEmpty()) {
            if (self)
                self->onWexo();
            WexoSteps::add(*done->page, *done->identity, done->frame, name, type, std::nullopt, 0, std::nullopt);
            WexolinManager::disableIntrospect();
            WexolinManager::reset();
        }
        if (self)
            self->endNamePrompt();
    });

    m_namePrompt = alert;
    if (m_window) {
        m_window->setWConsoleButton(nullptr);
        m_window->setAlert(alert);
    }
    alert->open();
    // Presented: from here on the library's window holds every click.
    if (m_window)
        m_window->setAlert(nullptr);
}

void WexoButtonController::endNamePrompt()
{
    m_namePrompt = nullptr;
    // The menu that Ok may have opened gives the console back when it closes.
    refillConsoleSlot();
}

// --- Record bar ------------------------------------------------------------------

void WexoButtonController::onPause(QPushButton *)
{
    WexolinManager::shared().isPaused = true;
    WexolinManager::disableIntrospect();
    WexolinManager::setCurrentWexoType(WexoOptionType::pauseRecord);
}

void WexoButtonController::onPlay(QPushButton *)
{
    WexolinManager &manager = WexolinManager::shared();
    manager.isPaused = false;
    WexolinManager::setCurrentWexoType(WexoOptionType::record);
    WexolinManager::enableIntrospect();
    WexolinManager::inspector().setHelperDelegate(this);
    manager.isRecording = true;
}

void WexoButtonController::onStop(QPushButton *)
{
    endRecording();
    // A reload that ran ahead of the last picks' answers would list the
    // walkthrough without them until the next reload.
    WexoSteps::afterEndedSessionsAnswered([self = QPointer<WexoButtonController>(this)] {
        if (self)
            self->reloadFeed();
    });
}

void WexoButtonController::onWexoBadge(QPushButton *)
{
    present(WexoItemListViewController::createWexoItemListViewController(), true);
}

// --- Crosshair target mode ---------------------------------------------------------

void WexoButtonController::onTargetView(QPushButton *)
{
    QLabel *aim = crossHair();
    // Left where it was, but the window may have shrunk since.
    keepInView();
    // The drag is watched here; taps are the crosshair's own tracker's.
    aim->installEventFilter(this);
    aim->show();
    aim->raise();
    if (m_window)
        m_window->setCrossHair(aim);
}

void WexoButtonController::onCancelTarget(QPushButton *)
{
    dragging = false;
    if (m_window)
        m_window->setCrossHair(nullptr);
    if (m_crossHair)
        m_crossHair->hide();
}

void WexoButtonController::onSelectTarget(QPushButton *)
{
    onCrossHairTap();
}

void WexoButtonController::onCrossHairTap()
{
    // While paused nothing is recorded, a cell included.
    if (WexolinManager::shared().isPaused)
        return;
    WPlayConsole *console = wConsoleMenu();
    console->setMode(WConsoleMode::record);
    onSelectElement();
    console->setMode(WConsoleMode::sniping);
}

void WexoButtonController::onSelectElement()
{
    QWidget *view = targettedView;
    if (!view || !targettedFrame)
        return;
    // Rows and tabs are found from the deepest widget at the pick: the pick
    // itself may have climbed past the list or the tab bar to a named parent.
    // A tab of the registered tab widget: its tab data names it.
    if (const auto tab = aimedTab()) {
        const std::optional<QString> identity = WHostQueries::tabItemIdentifier(tab->first, tab->second);
        if (!identity) {
            qCDebug(lcRecording) << "nothing recorded: the tab has no identifier";
            return;
        }
        reactToPick(RecordTarget{tab->first, *targettedFrame, identity,
                                 WHostQueries::pageName(WexolinManager::shared().tabBarController()), kTabElementName});
        return;
    }

    if (const std::optional<AimedRow> row = aimedRow()) {
        QAbstractItemView *items = row->view;
        const QString cellClass = WHostQueries::cellClassName(items, row->cell);
        const QModelIndex last = row->cell.siblingAtColumn(std::max(0, items->model()->columnCount(row->cell.parent()) - 1));
        const QRectF rect = items->visualRect(row->cell).united(items->visualRect(last));
        recordElement(RecordTarget{items, rect, cellClass + QStringLiteral("_indexpath_") + row->path.toString(),
                                   std::nullopt, cellClass});
        return;
    }

    reactToPick(RecordTarget{view, *targettedFrame, {}, {}, {}});
}

void WexoButtonController::dragCrossHair(const QPoint &location)
{
    FrameView *frame = WexolinManager::inspector().frameView();
    if (!frame || !m_crossHair)
        return;
    // The centre stays inside the launcher's view, so the crosshair can
    // always be grabbed again.
    const QRect area = view()->rect();
    const QPoint centre(std::clamp(location.x(), area.left(), area.right()),
                        std::clamp(location.y(), area.top(), area.bottom()));
    m_crossHair->move(centre - m_crossHair->rect().center());
    frame->touchesMoved(frame->mapFromGlobal(view()->mapToGlobal(QPointF(centre))));
}

bool WexoButtonController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == view() && event->type() == QEvent::Resize)
        keepInView();
    if (watched != m_crossHair)
        return WViewController::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        dragging = static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton;
        break;
    case QEvent::MouseMove:
        if (dragging)
            dragCrossHair(m_crossHair->mapTo(view(), static_cast<QMouseEvent *>(event)->position().toPoint()));
        break;
    case QEvent::MouseButtonRelease:
    case QEvent::UngrabMouse:
    case QEvent::Hide:
        dragging = false;
        break;
    default:
        break;
    }
    return false;
}

} // namespace WexoCreator
