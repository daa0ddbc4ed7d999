#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/recording/WexoItemCell.h"
#include "WexoCreator/recording/WexoItemListViewController.h"
#include "WexoCreator/recording/WexoListViewController.h"
#include "WexoCreator/recording/WexoSteps.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace WexoCreator;
using Node = WexoNode<QString>;

namespace {

std::shared_ptr<Node> step(const std::optional<QString> &elementName)
{
    return std::make_shared<Node>(QStringLiteral("{{0, 0}, {1, 1}}"), std::nullopt, WexoOptionType::record,
                                  QStringLiteral("Page"), elementName);
}

QStringList rowTexts(const QListWidget *list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}

QStringList childNames(const Node &root)
{
    QStringList names;
    for (const std::shared_ptr<Node> &child : root.children)
        names << child->elementName.value_or(QStringLiteral("Undefined"));
    return names;
}

void click(QPushButton *button)
{
    QVERIFY(button->isVisible() && button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
}

void clickRow(QListWidget *list, int row)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

QPoint deleteControlOf(QListWidget *list, int row)
{
    return WexoItemCell::deleteControlRect(list->visualItemRect(list->item(row))).center();
}

QPoint handleOf(QListWidget *list, int row)
{
    return WexoItemCell::reorderHandleRect(list->visualItemRect(list->item(row))).center();
}

// Presses a row's handle and lets go over another row, by way of each row between.
void dragRow(QListWidget *list, int from, int to)
{
    QWidget *viewport = list->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, handleOf(list, from));
    const int step = to > from ? 1 : -1;
    QPoint at;
    for (int row = from + step; row != to + step; row += step) {
        at = QPoint(handleOf(list, from).x(), list->visualItemRect(list->item(row)).center().y());
        QTest::mouseMove(viewport, at);
    }
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
}

} // namespace

class tst_RecordedLists : public QObject
{
    Q_OBJECT

    QWidget m_screen;
    WViewController *m_presenter = nullptr;

    // Presented as the launcher does, slid in.
    template<typename Controller>
    Controller *present(Controller *controller)
    {
        m_presenter->present(controller, true);
        if (!QTest::qWaitFor([this] { return !m_presenter->isTransitioning(); }))
            qWarning("the list did not finish sliding in");
        return controller;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_screen.resize(360, 640);
        m_presenter = new WViewController(&m_screen);
        m_presenter->embedViewIn(&m_screen);
        m_screen.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_screen));
    }

    void cleanup()
    {
        m_presenter->dismiss(false);
        WexolinManager::reset();
        WexoSteps::shared().steps.clear();
    }

    void stepsListShowsTheRecordedSteps()
    {
        auto root = step(std::nullopt);
        for (const auto &name : {std::optional<QString>(QStringLiteral("QPushButton")), std::optional<QString>(),
                                 std::optional<QString>(QStringLiteral("QLineEdit"))})
            root->addChild(step(name));
        WexolinManager::setCurrentCreated(root);
        auto *list = present(WexoItemListViewController::createWexoItemListViewController());
        QCOMPARE(list->title(), QStringLiteral("Current Item's"));
        QCOMPARE(rowTexts(list->tableView()), (QStringList{"QPushButton", "Undefined", "QLineEdit"}));
        QCOMPARE(list->tableView()->visualItemRect(list->tableView()->item(1)).height(), 64);
        QCOMPARE(list->view()->geometry(), m_screen.rect());
        QCOMPARE(list->rightButton()->text(), QStringLiteral("Edit"));
    }

    // Each step: "edit", "done", "cancel", "del N" (select, Delete key),
    // "x N" (the row's delete control), "drag F T" (by the row's handle),
    // "up N" (select, Ctrl+Up), "arrive" (a step confirmed meanwhile).
    void editingSteps_data()
    {
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QStringList>("children");

        QTest::addRow("delete the second, Done") << QStringList{"edit", "del 1", "done"} << QStringList{"a", "c"};
        QTest::addRow("delete with the row's control") << QStringList{"edit", "x 0", "done"} << QStringList{"b", "c"};
        QTest::addRow("delete two rows with their controls") << QStringList{"edit", "x 2", "x 0", "done"} << QStringList{"b"};
        QTest::addRow("drag the last row to the top") << QStringList{"edit", "drag 2 0", "done"} << QStringList{"c", "a", "b"};
        QTest::addRow("drag the first row down one") << QStringList{"edit", "drag 0 1", "done"} << QStringList{"b", "a", "c"};
        QTest::addRow("a click on the text neither deletes nor moves") << QStringList{"edit", "row 1", "done"} << QStringList{"a", "b", "c"};
        QTest::addRow("controls do nothing outside edit mode") << QStringList{"x 0", "drag 2 0", "edit", "done"} << QStringList{"a", "b", "c"};
        QTest::addRow("move the last to the top") << QStringList{"edit", "up 2", "up 1", "done"} << QStringList{"c", "a", "b"};
        QTest::addRow("Cancel drops the edits") << QStringList{"edit", "del 0", "cancel"} << QStringList{"a", "b", "c"};
        QTest::addRow("Done without edits") << QStringList{"edit", "done"} << QStringList{"a", "b", "c"};
        QTest::addRow("a step arriving while open survives Done")
            << QStringList{"edit", "arrive", "del 0", "done"} << QStringList{"b", "c", "d"};
        QTest::addRow("keys do nothing outside edit mode") << QStringList{"del 0", "edit", "done"} << QStringList{"a", "b", "c"};
    }
    void editingSteps()
    {
        QFETCH(QStringList, actions);
        QFETCH(QStringList, children);

        auto root = step(std::nullopt);
        for (const char *name : {"a", "b", "c"})
            root->addChild(step(QLatin1String(name)));
        root->stepNumber = 3;
        WexolinManager::setCurrentCreated(root);
        auto *list = present(WexoItemListViewController::createWexoItemListViewController());
        QListWidget *table = list->tableView();
        for (const QString &action : std::as_const(actions)) {
            const QStringList parts = action.split(u' ');
            const int row = parts.size() > 1 ? parts.at(1).toInt() : 0;
            if (parts.first() == QLatin1String("edit") || parts.first() == QLatin1String("done"))
                click(list->rightButton());
            else if (parts.first() == QLatin1String("cancel"))
                click(list->cancelButton());
            else if (parts.first() == QLatin1String("arrive"))
                root->addChild(step(QStringLiteral("d")));
            else if (parts.first() == QLatin1String("x"))
                QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, deleteControlOf(table, row));
            else if (parts.first() == QLatin1String("drag"))
                dragRow(table, row, parts.at(2).toInt());
            else {
                clickRow(table, row);
                if (parts.first() == QLatin1String("row"))
                    continue;
                if (parts.first() == QLatin1String("del"))
                    QTest::keyClick(table, Qt::Key_Delete);
                else
                    QTest::keyClick(table, Qt::Key_Up, Qt::ControlModifier);
            }
        }
        QCOMPARE(childNames(*root), children);
        QCOMPARE(root->stepNumber, 3);
    }

    // A deleted row stays in place while it fades to nothing, takes no more
    // clicks, and then leaves the list; text stays where it was in edit mode.
    void deletedRowFadesOut()
    {
        auto root = step(std::nullopt);
        for (const char *name : {"a", "b", "c"})
            root->addChild(step(QLatin1String(name)));
        WexolinManager::setCurrentCreated(root);
        auto *list = present(WexoItemListViewController::createWexoItemListViewController());
        QListWidget *table = list->tableView();
        click(list->rightButton());
        QListWidgetItem *fading = table->item(1);
        QList<qreal> opacities;
        QObject context;
        connect(table->model(), &QAbstractItemModel::dataChanged, &context, [&](const QModelIndex &index) {
            if (index.data().toString() == QLatin1String("b") && index.data(WexoItemCell::OpacityRole).isValid())
                opacities << index.data(WexoItemCell::OpacityRole).toReal();
        });
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, deleteControlOf(table, 1));
        QCOMPARE(rowTexts(table), (QStringList{"a", "b", "c"}));
        QVERIFY(!(fading->flags() & Qt::ItemIsEnabled));
        QTRY_COMPARE(rowTexts(table), (QStringList{"a", "c"}));
        QVERIFY(!opacities.isEmpty());
        QCOMPARE(opacities.last(), 0.0);
        QVERIFY(std::is_sorted(opacities.rbegin(), opacities.rend()));
    }

    void stepsListWithoutRecording()
    {
        auto *list = present(WexoItemListViewController::createWexoItemListViewController());
        QCOMPARE(list->tableView()->count(), 0);
        QVERIFY(!list->rightButton()->isEnabled());
        // A recording that starts meanwhile is not the one this list shows.
        WexolinManager::setCurrentCreated(step(std::nullopt));
        click(list->cancelButton());
        QTRY_VERIFY(!m_presenter->presentedViewController());
    }

    void walkthroughsListHandsBackTheChosenTree_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("handed"); // key of the tree the callback got, "" for none
        QTest::addColumn<bool>("closed");

        QTest::addRow("choose the second") << "row 1" << "w-2" << true;
        QTest::addRow("Cancel") << "cancel" << "" << true;
        QTest::addRow("a row whose tree has gone") << "forget row 0" << "" << false;
    }
    void walkthroughsListHandsBackTheChosenTree()
    {
        QFETCH(QString, action);
        QFETCH(QString, handed);
        QFETCH(bool, closed);

        auto &steps = WexoSteps::shared().steps;
        steps[QStringLiteral("w-1")] = step(QStringLiteral("first"));
        steps[QStringLiteral("w-2")] = step(QStringLiteral("second"));
        WexolinManager::setCurrentWexoType(WexoOptionType::record);
        auto *list = WexoListViewController::createWexoList();
        std::shared_ptr<Node> got;
        int calls = 0;
        list->dismisser = [&](std::shared_ptr<Node> tree) {
            ++calls;
            got = tree;
        };
        present(list);
        QCOMPARE(list->title(), QStringLiteral("Wexo's"));
        QCOMPARE(rowTexts(list->tableView()), (QStringList{"w-1", "w-2"}));

        if (action.startsWith(QLatin1String("forget")))
            steps.erase(QStringLiteral("w-1"));
        if (action == QLatin1String("cancel"))
            click(list->cancelButton());
        else
            clickRow(list->tableView(), action.back().digitValue());

        // The tree is handed over once the list has slid out, not before.
        QCOMPARE(calls, 0);
        QTRY_VERIFY(!m_presenter->isTransitioning());
        QCOMPARE(!m_presenter->presentedViewController(), closed);
        QCOMPARE(calls, handed.isEmpty() ? 0 : 1);
        if (!handed.isEmpty())
            QCOMPARE(got, steps.at(handed));
        const bool played = !handed.isEmpty();
        QCOMPARE(WexolinManager::shared().currentWexoType(),
                 std::optional<WexoOptionType>(played ? WexoOptionType::play : WexoOptionType::record));
    }
};

QTEST_MAIN(tst_RecordedLists)
#include "tst_recordedlists.moc"
