#include "support/PlaybackSession.h"

#include "WexoCreator/manager/WexoButtonController.h"
#include "WexoCreator/manager/WexoButtonWindow.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/model/Wexo.h"
#include "WexoCreator/playback/WOverlay.h"

#include <QScrollBar>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTreeView>

using namespace WexoCreator;

namespace {

// A page of "screen" steps on the targets page, numbered as given.
std::shared_ptr<Wexo> pageNumbered(const QString &orders, qint64 total)
{
    QList<std::shared_ptr<WexoStep>> steps;
    int index = 0;
    for (const QString &order : orders.split(QLatin1Char(' '))) {
        auto step = makeStep(order.toLongLong(), QStringLiteral("targetButton"), QStringLiteral("screen"));
        step->StepId = QStringLiteral("s-%1").arg(index++);
        steps << step;
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

} // namespace

class tst_StepNavigation : public QObject
{
    Q_OBJECT

    std::unique_ptr<PlaybackSession> m_session;

    PlaybackSession &session() { return *m_session; }
    bool consoleSlotFilled() { return session().launcher()->window()->wConsoleButton() != nullptr; }

    // Plays the page and waits for the backend's analytics record.
    void play(const std::shared_ptr<Wexo> &page)
    {
        WexolinManager::playWexo(page);
        QVERIFY(session().shown());
        QTRY_VERIFY(page->analyticsId.has_value());
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_session = std::make_unique<PlaybackSession>();
        QVERIFY(m_session->isReady());
    }
    void cleanupTestCase() { m_session.reset(); }
    void cleanup() { session().reset(); }

    void tapsMoveOn_data()
    {
        QTest::addColumn<QString>("orders");
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("taps");
        QTest::addColumn<QString>("shown"); // StepId on screen, "" when the page is done
        QTest::addColumn<bool>("playing");

        QTest::addRow("step 0 of 3 to step 1") << "0 1 2" << 3 << 1 << "s-1" << true;
        QTest::addRow("step 1 of 3 to step 2") << "0 1 2" << 3 << 2 << "s-2" << true;
        QTest::addRow("last of 3 ends the walkthrough") << "0 1 2" << 3 << 3 << "" << false;
        QTest::addRow("uncounted total keeps playing") << "0 1 2" << 0 << 3 << "" << true;
        QTest::addRow("first page of two keeps playing") << "0 1 2" << 6 << 3 << "" << true;
        QTest::addRow("a gap ends the page") << "0 1 3" << 4 << 2 << "" << true;
        QTest::addRow("of two with one number the first") << "0 1 1" << 2 << 1 << "s-1" << true;
        QTest::addRow("listed out of order, found by number") << "0 2 1" << 3 << 1 << "s-2" << true;
        // Nothing can follow the largest number, whatever the count says.
        QTest::addRow("largest order number ends the walkthrough") << "9223372036854775807 -9223372036854775808" << 5 << 1 << "" << false;
    }
    void tapsMoveOn()
    {
        QFETCH(QString, orders);
        QFETCH(int, total);
        QFETCH(int, taps);
        QFETCH(QString, shown);
        QFETCH(bool, playing);

        const auto page = pageNumbered(orders, total);
        WexolinManager::playWexo(page);
        for (int tap = 0; tap < taps; ++tap) {
            QVERIFY(session().shown());
            session().tapAside();
        }
        WOverlay *overlay = session().shown();
        QCOMPARE(overlay ? *overlay->currentWexoStep()->StepId : QString(), shown);
        QCOMPARE(session().overlays().size(), shown.isEmpty() ? 0 : 1);
        QCOMPARE(WexolinManager::shared().currentPlayingWexo() == page, playing);
        QCOMPARE(consoleSlotFilled(), shown.isEmpty());
    }

    void backAndClose_data()
    {
        QTest::addColumn<QString>("orders");
        QTest::addColumn<int>("tapsFirst");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("shown");

        QTest::addRow("back from step 1") << "0 1 2" << 1 << "back" << "s-0";
        QTest::addRow("back at step 0 stays") << "0 1 2" << 0 << "back" << "s-0";
        QTest::addRow("back across pages stays") << "3 4" << 0 << "back" << "s-0";
        QTest::addRow("back at the smallest order number stays") << "-9223372036854775808 9223372036854775807" << 0 << "back" << "s-0";
        QTest::addRow("close ends the playback") << "0 1 2" << 1 << "close" << "";
    }
    void backAndClose()
    {
        QFETCH(QString, orders);
        QFETCH(int, tapsFirst);
        QFETCH(QString, action);
        QFETCH(QString, shown);

        const auto page = pageNumbered(orders, 6);
        WexolinManager::playWexo(page);
        for (int tap = 0; tap < tapsFirst; ++tap)
            session().tapAside();
        if (action == QLatin1String("back"))
            session().shown()->movePrev();
        else
            session().shown()->discardAll();
        WOverlay *overlay = session().shown();
        QCOMPARE(overlay ? *overlay->currentWexoStep()->StepId : QString(), shown);
        QCOMPARE(WexolinManager::shared().currentPlayingWexo() == page, !shown.isEmpty());
        QCOMPARE(consoleSlotFilled(), shown.isEmpty());
    }

    // Every step moved on from is reported, the last one too and before the
    // completion; moving back and closing report nothing.
    void analyticsTheBackendRecords_data()
    {
        QTest::addColumn<QString>("actions");
        QTest::addColumn<QStringList>("events");

        QTest::addRow("played to the end") << "tap tap tap"
                                           << QStringList{"AddNew", "addStep:s-0", "addStep:s-1", "addStep:s-2", "Complete"};
        QTest::addRow("back and close") << "tap back close" << QStringList{"AddNew", "addStep:s-0"};
    }
    void analyticsTheBackendRecords()
    {
        QFETCH(QString, actions);
        QFETCH(QStringList, events);

        const auto page = pageNumbered(QStringLiteral("0 1 2"), 3);
        play(page);
        for (const QString &action : actions.split(QLatin1Char(' '))) {
            if (action == QLatin1String("tap"))
                session().tapAside();
            else if (action == QLatin1String("back"))
                session().shown()->movePrev();
            else
                session().shown()->discardAll();
        }
        // The requests are sent in this order but may arrive in any.
        events.sort();
        QTRY_COMPARE([&] { QStringList got = session().analyticsOf(*page->analyticsId); got.sort(); return got; }(), events);
    }

    void pageEndScrollsListsBack_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addRow("a scrolled table goes back to the top") << 0;
        QTest::addRow("an empty table is left alone") << 2;
        // Above the first section's own row too.
        QTest::addRow("a tree with sections goes back to the top") << 3;
    }
    void pageEndScrollsListsBack()
    {
        QFETCH(int, tab);
        QTabWidget *tabs = session().host().tabs;
        std::unique_ptr<QTreeView> tree(tab == tabs->count() ? sectionedTree() : nullptr);
        if (tree)
            tabs->addTab(tree.get(), QStringLiteral("Tree"));
        tabs->setCurrentIndex(tab);
        QAbstractItemView *list = tree ? tree.get()
                                       : tab == 0 ? static_cast<QAbstractItemView *>(session().host().targets->table)
                                                  : session().host().emptyPage->table;
        list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum());
        WexolinManager::playWexo(pageNumbered(QStringLiteral("0"), 1));
        session().tapAside();
        QVERIFY(!session().shown());
        QCOMPARE(list->verticalScrollBar()->value(), 0);
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
};

QTEST_MAIN(tst_StepNavigation)
#include "tst_stepnavigation.moc"
