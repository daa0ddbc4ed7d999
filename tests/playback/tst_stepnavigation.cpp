#include "support/KeyStrokes.h"
#include "support/PlaybackSession.h"

#include "WexoCreator/manager/WexoButtonController.h"
#include "WexoCreator/manager/WexoButtonWindow.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/model/Wexo.h"
#include "WexoCreator/platform/WTiming.h"
#include "WexoCreator/playback/WOverlay.h"

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPropertyAnimation>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QListView>
#include <QTest>
#include <QTreeView>

using namespace WexoCreator;

namespace {

// A page of "screen" steps on the targets page, numbered as given.
std::shared_ptr<Wexo> pageNumbered(const QString &orders, qint64 total)
{
    QList<std::shared_ptr<WexoStep>> steps;
    for (const QString &order : orders.split(QLatin1Char(' '))) {
        steps << makeStep(order.toLongLong(), QStringLiteral("targetButton"), QStringLiteral("screen"));
        steps.last()->StepId = QStringLiteral("s-%1").arg(steps.size() - 1);
    }
    return makePage(steps, total);
}

// A page that is itself a tree: 5 sections of 20 rows, shown expanded.
QTreeView *sectionedTree()
{
    auto *tree = new QTreeView;
    auto *model = new QStandardItemModel(tree);
    for (int section = 0; section < 5; ++section) {
        model->appendRow(new QStandardItem(QStringLiteral("Section %1").arg(section)));
        for (int row = 0; row < 20; ++row)
            model->item(section)->appendRow(new QStandardItem(QStringLiteral("Row %1").arg(row)));
    }
    tree->setModel(model);
    tree->expandAll();
    return tree;
}

// "screen" steps at one target, step n numbered n and named "s-n".
std::shared_ptr<Wexo> walkthrough(const QString &target, int count)
{
    QList<std::shared_ptr<WexoStep>> steps;
    for (int order = 0; order < count; ++order)
        steps << makeStep(order, target, QStringLiteral("screen"));
    return makePage(steps, count);
}

// A key held past four repeats and let go. Qt flags a repeat pair only when
// the press is already waiting as it handles the release; so a pair may come
// flagged or as a plain release and press with one timestamp.
const QString kUnflaggedHold = QStringLiteral("P0 R660 P660 R700 P700 R740 P740 R780 P780 R800");
const QString kFlaggedHold = QStringLiteral("P0 R660r P660r R700r P700r R740r P740r R780r P780r R800");
const QString kMixedHold = QStringLiteral("P0 R660r P660r R700 P700 R740r P740r R780 P780 R800");

} // namespace

class tst_StepNavigation : public QObject
{
    Q_OBJECT

    std::unique_ptr<PlaybackSession> m_session;

    PlaybackSession &session() { return *m_session; }
    bool consoleSlotFilled() { return session().launcher()->window()->wConsoleButton() != nullptr; }
    HostFixture &host() { return m_session->host(); }
    QString shownStep() const
    {
        const WOverlay *overlay = m_session->shown();
        return overlay ? *overlay->currentWexoStep()->StepId : QString();
    }
    // The host's notes editor has the keyboard as a walkthrough over its page starts.
    QPlainTextEdit *focusEditor()
    {
        host().tabs->setCurrentWidget(host().workPage);
        host().workPage->editor->setFocus();
        return host().workPage->editor;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_session = std::make_unique<PlaybackSession>();
        QVERIFY(m_session->isReady());
    }
    void cleanupTestCase() { m_session.reset(); }
    void cleanup() { session().reset(); }

    // Taps, back and close, from the first step shown; the analytics the
    // backend records when asked: every step moved on from, the last one too
    // and before the completion, nothing on back or close.
    void navigation_data()
    {
        QTest::addColumn<QString>("orders");
        QTest::addColumn<int>("total");
        QTest::addColumn<QString>("actions");
        QTest::addColumn<QString>("shown"); // StepId on screen, "" when the page is done
        QTest::addColumn<bool>("playing");
        QTest::addColumn<QStringList>("events");

        QTest::addRow("step 0 of 3 to step 1") << "0 1 2" << 3 << "tap" << "s-1" << true << QStringList();
        // A double click is one click.
        QTest::addRow("a double click moves on one step") << "0 1 2" << 3 << "double" << "s-1" << true << QStringList();
        QTest::addRow("last of 3 ends the walkthrough") << "0 1 2" << 3 << "tap tap tap" << "" << false
                                                        << QStringList{"AddNew", "addStep:s-0", "addStep:s-1", "addStep:s-2", "Complete"};
        QTest::addRow("uncounted total keeps playing") << "0 1 2" << 0 << "tap tap tap" << "" << true << QStringList();
        QTest::addRow("first page of two keeps playing") << "0 1 2" << 6 << "tap tap tap" << "" << true << QStringList();
        QTest::addRow("a gap ends the page") << "0 1 3" << 4 << "tap tap" << "" << true << QStringList();
        QTest::addRow("of two with one number the first") << "0 1 1" << 2 << "tap" << "s-1" << true << QStringList();
        QTest::addRow("listed out of order, found by number") << "0 2 1" << 3 << "tap" << "s-2" << true << QStringList();
        // Nothing can follow the largest number, whatever the count says.
        QTest::addRow("largest order number ends the walkthrough") << "9223372036854775807 -9223372036854775808" << 5 << "tap" << "" << false << QStringList();
        QTest::addRow("back from step 1") << "0 1 2" << 6 << "tap back" << "s-0" << true << QStringList();
        QTest::addRow("back at step 0 stays") << "0 1 2" << 6 << "back" << "s-0" << true << QStringList();
        QTest::addRow("back across pages stays") << "3 4" << 6 << "back" << "s-0" << true << QStringList();
        QTest::addRow("back at the smallest order number stays") << "-9223372036854775808 9223372036854775807" << 6 << "back" << "s-0" << true << QStringList();
        QTest::addRow("close ends the playback") << "0 1 2" << 3 << "tap back close" << "" << false << QStringList{"AddNew", "addStep:s-0"};
    }
    void navigation()
    {
        QFETCH(QString, orders);
        QFETCH(int, total);
        QFETCH(QString, actions);
        QFETCH(QString, shown);
        QFETCH(bool, playing);
        QFETCH(QStringList, events);

        const auto page = pageNumbered(orders, total);
        WexolinManager::playWexo(page);
        if (!events.isEmpty())
            QTRY_VERIFY(page->analyticsId.has_value());
        for (const QString &action : actions.split(QLatin1Char(' '))) {
            QVERIFY(session().shown());
            if (action == QLatin1String("tap"))
                session().tapAside();
            else if (action == QLatin1String("double"))
                QTest::mouseDClick(session().shown()->window()->windowHandle(), Qt::LeftButton, {}, QPoint(6, 6));
            else if (action == QLatin1String("back"))
                session().shown()->movePrev();
            else
                session().shown()->discardAll();
        }
        QCOMPARE(session().shown() ? *session().shown()->currentWexoStep()->StepId : QString(), shown);
        QCOMPARE(session().overlays().size(), shown.isEmpty() ? 0 : 1);
        QCOMPARE(WexolinManager::shared().currentPlayingWexo() == page, playing);
        QCOMPARE(consoleSlotFilled(), shown.isEmpty());
        // The requests are sent in this order but may arrive in any.
        events.sort();
        if (!events.isEmpty())
            QTRY_COMPARE([&] { QStringList got = session().analyticsOf(*page->analyticsId); got.sort(); return got; }(), events);
    }

    void pageEndScrollsListsBack_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addRow("a scrolled table goes back to the top") << "table";
        QTest::addRow("a scrolled grid goes back to the top") << "grid";
        QTest::addRow("a hidden list before the table is passed over") << "behind hidden";
        QTest::addRow("an empty table is left alone") << "empty";
        // Above the first section's own row too: scroll value 0.
        QTest::addRow("a tree with sections goes back to the top") << "tree";
    }
    void pageEndScrollsListsBack()
    {
        QFETCH(QString, list);
        HostFixture &host = session().host();
        std::unique_ptr<QTreeView> tree(list == QLatin1String("tree") ? sectionedTree() : nullptr);
        std::unique_ptr<QTableView> hidden(list == QLatin1String("behind hidden") ? new QTableView(host.targets) : nullptr);
        if (hidden) {
            hidden->setModel(host.targets->table->model());
            hidden->hide();
            hidden->lower();
        }
        const std::map<QString, QAbstractItemView *> lists{{"tree", tree.get()}, {"table", host.targets->table},
            {"behind hidden", host.targets->table}, {"grid", host.gridPage->grid}, {"empty", host.emptyPage->table}};
        QAbstractItemView *view = lists.at(list);
        if (tree)
            host.tabs->addTab(tree.get(), QStringLiteral("Tree"));
        host.tabs->setCurrentWidget(tree ? tree.get() : view->parentWidget());
        view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
        QCOMPARE(view->verticalScrollBar()->value() > 0, list != QLatin1String("empty"));
        WexolinManager::playWexo(pageNumbered(QStringLiteral("0"), 1));
        // At its real length, so the scroll is seen under way.
        const double timing = WTiming::scale();
        WTiming::setScale(1);
        const auto restore = qScopeGuard([timing] { WTiming::setScale(timing); });
        session().tapAside();
        QVERIFY(!session().shown());
        // Animated, and ending at the top.
        const auto *scroll = view->verticalScrollBar()->findChild<QPropertyAnimation *>();
        QCOMPARE(scroll != nullptr, list != QLatin1String("empty"));
        if (scroll)
            QCOMPARE(scroll->propertyName(), QByteArray("value"));
        QTRY_COMPARE(view->verticalScrollBar()->value(), 0);
    }

    // The keyboard does what the mouse does on a step, wherever the host's
    // keyboard was: Return, Enter and Space move on, Escape closes. The host
    // gets none of them, not even through a shortcut of its own on the key.
    void keysMoveOnAndClose_data()
    {
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<bool>("throughWindow");
        QTest::addColumn<bool>("menuOver");
        QTest::addColumn<QString>("shown");
        const Qt::KeyboardModifiers none = Qt::NoModifier;
        QTest::addRow("Return at the host's field moves on") << Qt::Key_Return << none << false << false << "s-1";
        QTest::addRow("keypad Enter at the host's field moves on") << Qt::Key_Enter << Qt::KeyboardModifiers(Qt::KeypadModifier) << false << false << "s-1";
        QTest::addRow("Space at the host's field moves on") << Qt::Key_Space << none << false << false << "s-1";
        QTest::addRow("Escape at the host's field closes") << Qt::Key_Escape << none << false << false << "";
        QTest::addRow("Return through the window moves on") << Qt::Key_Return << none << true << false << "s-1";
        QTest::addRow("Escape through the window closes") << Qt::Key_Escape << none << true << false << "";
        QTest::addRow("Shift+Return does nothing") << Qt::Key_Return << Qt::KeyboardModifiers(Qt::ShiftModifier) << false << false << "s-0";
        // The menu keeps the keyboard as it keeps the clicks.
        QTest::addRow("Escape with the menu over the step") << Qt::Key_Escape << none << false << true << "s-0";
    }
    void keysMoveOnAndClose()
    {
        QFETCH(Qt::Key, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(bool, throughWindow);
        QFETCH(bool, menuOver);
        QFETCH(QString, shown);
        HostFixture &host = session().host();
        QLineEdit *field = host.targets->field;
        field->setFocus();
        QAction hostAction;
        hostAction.setShortcut(QKeySequence(key | modifiers));
        host.addAction(&hostAction);
        const auto removeAction = qScopeGuard([&] { host.removeAction(&hostAction); });
        QSignalSpy fired(&hostAction, &QAction::triggered);
        const auto page = pageNumbered(QStringLiteral("0 1 2"), 3);
        WexolinManager::playWexo(page);
        QVERIFY(session().shown());
        if (menuOver)
            WexolinManager::showGuideMenu();
        const auto closeMenu = qScopeGuard([this] { session().launcher()->dismiss(false); });

        QVERIFY(!session().hostGetsKey(field, key, modifiers, throughWindow));
        QCOMPARE(session().launcher()->presentedViewController() != nullptr, menuOver);
        QCOMPARE(session().shown() ? *session().shown()->currentWexoStep()->StepId : QString(), shown);
        QCOMPARE(WexolinManager::shared().currentPlayingWexo() == page, !shown.isEmpty());
        QCOMPARE(consoleSlotFilled(), shown.isEmpty());
        QCOMPARE(fired.count(), 0);
        QCOMPARE(field->text(), QString());
    }

    // An overlay that has moved on, back or closed never acts again.
    void aLeftOverlayNeverActsAgain()
    {
        const auto page = pageNumbered(QStringLiteral("0 1 2"), 3);
        WexolinManager::playWexo(page);
        // A second click, a late banner end or a close reaching the same
        // overlay before its deletion.
        WOverlay *first = session().shown();
        first->moveNext();
        WOverlay *second = session().shown();
        QVERIFY(first->hasLeft() && second != first);
        first->moveNext();
        first->discardAll();
        first->movePrev();
        QCOMPARE(session().overlays(), QList<WOverlay *>{second});
        QCOMPARE(*second->currentWexoStep()->StepId, QStringLiteral("s-1"));
        QCOMPARE(WexolinManager::shared().currentPlayingWexo(), page);
        QVERIFY(!consoleSlotFilled());
    }

    // One press of the physical key acts once however it repeats; neither its
    // repeats nor its release reach the host's editor once the walkthrough
    // has ended; the next press acts again.
    void heldKeyActsOnce_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("steps");
        QTest::addColumn<QString>("held");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("shownAfterNextPress");
        QTest::addRow("Return held on step 1, pairs not flagged") << int(Qt::Key_Return) << 5 << kUnflaggedHold << "s-1" << "s-2";
        QTest::addRow("Space held on step 1, some pairs flagged") << int(Qt::Key_Space) << 5 << kMixedHold << "s-1" << "s-2";
        QTest::addRow("Return held on the last step, pairs not flagged") << int(Qt::Key_Return) << 1 << kUnflaggedHold << "" << "";
        QTest::addRow("Return held on the last step, pairs flagged") << int(Qt::Key_Return) << 1 << kFlaggedHold << "" << "";
        QTest::addRow("Escape held, pairs not flagged") << int(Qt::Key_Escape) << 3 << kUnflaggedHold << "" << "";
        QTest::addRow("Escape held, pairs flagged") << int(Qt::Key_Escape) << 3 << kFlaggedHold << "" << "";
    }
    void heldKeyActsOnce()
    {
        QFETCH(int, key);
        QFETCH(int, steps);
        QFETCH(QString, held);
        QFETCH(QString, shown);
        QFETCH(QString, shownAfterNextPress);
        QPlainTextEdit *editor = focusEditor();
        const QString notes = editor->toPlainText();
        KeyCounter reached(editor, key);
        WexolinManager::playWexo(walkthrough(QStringLiteral("notesEditor"), steps));
        QVERIFY(session().shown());

        sendKeyScript(host().windowHandle(), key, held);
        QCOMPARE(shownStep(), shown);
        QCOMPARE(reached.events, 0);
        QCOMPARE(editor->toPlainText(), notes);

        // A new press: the step's again, or the host's when the walkthrough is over.
        sendKeyScript(host().windowHandle(), key, QStringLiteral("P0 R90"));
        QCOMPARE(shownStep(), shownAfterNextPress);
        QCOMPARE(reached.events, shown.isEmpty() ? 2 : 0);
    }

    // Escape held over a host's modal dialog closes the walkthrough, and its
    // repeats leave the dialog open (with what was chosen in it); the next
    // press closes the dialog.
    void escapeHeldOverModalDialog_data()
    {
        QTest::addColumn<QString>("held");
        QTest::addRow("pairs not flagged") << kUnflaggedHold;
        QTest::addRow("pairs flagged") << kFlaggedHold;
    }
    void escapeHeldOverModalDialog()
    {
        QFETCH(QString, held);
        QPointer<DialogPage> dialog = host().openDialog();
        const auto activateHost = qScopeGuard([this, &dialog] {
            if (dialog)
                dialog->reject();
            host().activateWindow();
        });
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        KeyCounter reached(dialog, Qt::Key_Escape);
        WexolinManager::playWexo(walkthrough(QStringLiteral("dialogButton"), 3));
        QVERIFY(session().shown());

        sendKeyScript(dialog->windowHandle(), Qt::Key_Escape, held);
        QVERIFY(!session().shown());
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(reached.events, 0);

        sendKeyScript(dialog->windowHandle(), Qt::Key_Escape, QStringLiteral("P0 R90"));
        QVERIFY(!dialog || !dialog->isVisible());
    }

    // On a real X server, the key pressed and held as a keyboard does (the
    // server repeats it; Qt flags the pairs or not as they come): neither the
    // host's editor, nor its dialog, nor its shortcut on the key gets any of it.
    void realHeldKey_data()
    {
        QTest::addColumn<QString>("keysym");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("steps");
        QTest::addColumn<bool>("overDialog");
        QTest::addRow("Return held on the last step") << "Return" << int(Qt::Key_Return) << 1 << false;
        QTest::addRow("Escape held on step 1 of 3") << "Escape" << int(Qt::Key_Escape) << 3 << false;
        QTest::addRow("Escape held over a modal dialog") << "Escape" << int(Qt::Key_Escape) << 3 << true;
    }
    void realHeldKey()
    {
        QFETCH(QString, keysym);
        QFETCH(int, key);
        QFETCH(int, steps);
        QFETCH(bool, overDialog);
        if (const std::optional<QString> why = XKeyboard::unavailable())
            QSKIP(qPrintable(*why));
        QPlainTextEdit *editor = focusEditor();
        const QString notes = editor->toPlainText();
        QPointer<DialogPage> dialog = overDialog ? host().openDialog() : nullptr;
        const auto activateHost = qScopeGuard([this, &dialog] {
            if (dialog)
                dialog->reject();
            host().activateWindow();
        });
        QWidget *active = dialog ? static_cast<QWidget *>(dialog) : &host();
        active->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(active));
        XKeyboard keyboard;
        QVERIFY(keyboard.focus(active->windowHandle()));
        KeyCounter reached(dialog ? static_cast<QObject *>(dialog) : editor, key);
        // A shortcut of the host's on the key fires on repeats as a press would.
        QAction hostAction;
        hostAction.setShortcut(QKeySequence(key));
        host().addAction(&hostAction);
        const auto removeAction = qScopeGuard([&] { host().removeAction(&hostAction); });
        QSignalSpy fired(&hostAction, &QAction::triggered);
        WexolinManager::playWexo(walkthrough(QString::fromLatin1(dialog ? "dialogButton" : "notesEditor"), steps));
        QVERIFY(session().shown());

        QVERIFY(keyboard.keyDown(keysym));
        QVERIFY(keyboard.waitForPresses(6));
        QVERIFY(keyboard.keyUp(keysym));
        QVERIFY(keyboard.settle());
        QVERIFY(!session().shown());
        QCOMPARE(reached.events, 0);
        QCOMPARE(editor->toPlainText(), notes);
        QCOMPARE(fired.count(), 0);
        QCOMPARE(dialog && dialog->isVisible(), overDialog);
    }
};

QTEST_MAIN(tst_StepNavigation)
#include "tst_stepnavigation.moc"
