// Recording on what real applications are made of, then playing it back: each
// row records one step on one kind of target, by a click or by the crosshair,
// stops (the feed reloads), and plays the walkthrough that came back.
#include "support/PlaybackSession.h"

#include "WexoCreator/manager/WexoButtonController.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/menu/WexoOption.h"
#include "WexoCreator/model/Wexo.h"
#include "WexoCreator/model/WexoStep.h"
#include "WexoCreator/platform/WHostQueries.h"
#include "WexoCreator/playback/WOverlay.h"
#include "WexoCreator/recording/FrameView.h"
#include "WexoCreator/recording/Inspector.h"
#include "WexoCreator/recording/WPlayConsole.h"

#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QTreeView>

using namespace WexoCreator;

class tst_RecordPlay : public QObject
{
    Q_OBJECT

    std::unique_ptr<PlaybackSession> m_session;

    HostFixture &host() { return m_session->host(); }
    WexoButtonController *launcher() { return m_session->launcher(); }
    QWindow *window() { return host().windowHandle(); }
    QPoint crossHairCentre() { return host().pointOf(launcher()->crossHair()); }

    // The widget, or the row of an item view, that a row of the table names,
    // and the rectangle of it in window coordinates.
    struct Target {
        QWidget *widget = nullptr;
        QModelIndex index;
        QRect rect() const
        {
            auto *view = qobject_cast<QAbstractItemView *>(widget);
            if (!index.isValid())
                return QRect(widget->mapTo(widget->window(), QPoint(0, 0)), widget->size());
            const QRect row = view->visualRect(index);
            return QRect(view->viewport()->mapTo(widget->window(), row.topLeft()), row.size());
        }
    };

    Target targetNamed(const QString &name)
    {
        WorkPage *work = host().workPage;
        const auto row = [](QAbstractItemView *view, int section, int item) {
            const QModelIndex parent = section < 0 ? QModelIndex() : view->model()->index(section, 0);
            // Every list here shows one column: the last (the dock's hides its first).
            const QModelIndex index = view->model()->index(item, view->model()->columnCount(parent) - 1, parent);
            view->scrollTo(index);
            return Target{view, index};
        };
        if (name == QLatin1String("toolButton"))
            return {host().toolBar->widgetForAction(host().toolAction), {}};
        if (name == QLatin1String("dockList"))
            return row(host().dockList, -1, 6);
        if (name == QLatin1String("treeChild"))
            return row(host().dockTree, 1, 1);
        if (name == QLatin1String("treeSection"))
            return row(host().dockTree, -1, 0);
        if (name == QLatin1String("innerButton"))
            return {host().innerButton, {}};
        if (name == QLatin1String("wizardNext"))
            return {work->wizardNext, {}};
        if (name == QLatin1String("editor"))
            return {work->editor->viewport(), {}};
        // The part of the canvas a person sees is the scroll area's viewport.
        if (name == QLatin1String("formCanvas"))
            return {work->formArea->viewport(), {}};
        if (name == QLatin1String("groupLabel"))
            return {work->groupLabel, {}};
        if (name == QLatin1String("plainList"))
            return row(work->plainList, -1, 1);
        if (name == QLatin1String("badgeList"))
            return row(work->badgeList, -1, 1);
        return {};
    }

    // A recording named `name` on the work page, the pick layer up.
    void startRecording(const QString &name)
    {
        host().tabs->setCurrentWidget(host().workPage);
        WexolinManager::setWexo(name);
        WexolinManager::setCurrentWexoType(WexoOptionType::record);
        WexoOption option;
        option.type = WexoOptionType::record;
        launcher()->onOptionSelected(option);
        QTRY_COMPARE(Inspector::alpha(WexolinManager::inspector().frameView()), 1.0);
    }

    QWidget *named(const QString &name) { return host().findChild<QWidget *>(name); }

    void record(const Target &aim, bool byCrossHair)
    {
        const QPoint point = aim.rect().center();
        if (!byCrossHair) {
            // The outline view reports a point 1 px left of and 2 px above the press.
            QTest::mouseClick(window(), Qt::LeftButton, {}, point + QPoint(1, 2));
            return;
        }
        WPlayConsole *console = launcher()->wConsoleMenu();
        QTest::mouseClick(window(), Qt::LeftButton, {}, host().pointOf(console->targetModeBtn()));
        QTest::mousePress(window(), Qt::LeftButton, {}, crossHairCentre());
        QTest::mouseMove(window(), (crossHairCentre() + point) / 2);
        QTest::mouseMove(window(), point + QPoint(1, 2));
        QTest::mouseRelease(window(), Qt::LeftButton, {}, point + QPoint(1, 2));
        QTest::mouseClick(window(), Qt::LeftButton, {}, host().pointOf(console->selectTargetViewBtn()));
        QTest::mouseClick(window(), Qt::LeftButton, {}, host().pointOf(console->cancelTargetModeBtn()));
    }

    std::shared_ptr<Wexo> recorded(const QString &name)
    {
        for (const std::shared_ptr<Wexo> &page : WexolinManager::wexosOnCurrentView()) {
            if (page->wexoName == name)
                return page;
        }
        return nullptr;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_session = std::make_unique<PlaybackSession>();
        QVERIFY(m_session->isReady());
        bool loggedIn = false;
        WexolinManager::loginAdmin(m_session->backend()->adminEmail(), m_session->backend()->adminPassword(),
                                   [&loggedIn](bool ok) { loggedIn = ok; });
        QTRY_VERIFY(loggedIn);
    }

    void cleanupTestCase() { m_session.reset(); }

    // A failed row leaves nothing recording or playing for the next.
    void cleanup()
    {
        launcher()->endRecording();
        m_session->reset();
    }

    // Stopped while its pick is still being stored: the reload that follows
    // lists the walkthrough with that step, not without it.
    void stopWaitsForTheLastStep()
    {
        const QString name = QStringLiteral("stopped while storing");
        const QString create = QStringLiteral("/mobileApi/walkthroughElements/createElementIos");
        startRecording(name);
        if (QTest::currentTestFailed())
            return;
        WexoSample::ScriptedAnswer slowStore;
        slowStore.delayMs = 1500;
        slowStore.thenRealAnswer = true;
        slowStore.times = 1;
        m_session->backend()->clearRequests();
        m_session->backend()->script(QStringLiteral("POST"), create, slowStore);

        record(targetNamed(QStringLiteral("wizardNext")), false);
        QTRY_VERIFY(!m_session->backend()->requests(create).isEmpty());
        launcher()->onStop(nullptr);

        std::shared_ptr<Wexo> page;
        QTRY_VERIFY_WITH_TIMEOUT((page = recorded(name)), 10000);
        QCOMPARE(page->values->value(0)->Frame.value_or(QString()), QStringLiteral("wizardNext"));
    }

    void recordThenPlay_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("byCrossHair");
        QTest::addColumn<QString>("identity");
        QTest::addColumn<QString>("shownAt"); // the widget the step plays at, when not the target

        QTest::addRow("tool-bar button made for an action, clicked") << "toolButton" << false << "toolButton" << "";
        QTest::addRow("tool-bar button made for an action, aimed at") << "toolButton" << true << "toolButton" << "";
        QTest::addRow("row of a list in a dock") << "dockList" << true << "QStyledItemDelegate_indexpath_[0, 6]" << "";
        QTest::addRow("a click in a dock's unnamed list names the dock") << "dockList" << false << "productDock" << "productDock";
        QTest::addRow("child row of a tree in a dock") << "treeChild" << true << "QStyledItemDelegate_indexpath_[1, 1]" << "";
        QTest::addRow("a tree's section row is its view") << "treeSection" << true << "settingsDock" << "settingsDock";
        QTest::addRow("a click in a tree's child row names the dock") << "treeChild" << false << "settingsDock" << "settingsDock";
        for (const bool aimed : {false, true}) {
            const char *how = aimed ? "aimed at" : "clicked";
            QTest::addRow("button of a main window nested in a dock, %s", how) << "innerButton" << aimed << "innerButton" << "";
            QTest::addRow("button on a stack nested in the page, %s", how) << "wizardNext" << aimed << "wizardNext" << "";
            QTest::addRow("editor in a scroll area, %s", how) << "editor" << aimed << "notesEditor" << "notesEditor";
            QTest::addRow("unnamed label in a named group box, %s", how) << "groupLabel" << aimed << "deliveryGroup" << "deliveryGroup";
            // Only the part its scroll area shows is cut out, never the docks beside it.
            QTest::addRow("canvas larger than its scroll area, %s", how) << "formCanvas" << aimed << "formCanvas" << "";
        }
        QTest::addRow("row of the list with Qt's delegate") << "plainList" << true << "QStyledItemDelegate_indexpath_[0, 1]" << "";
        QTest::addRow("row of the list with a delegate of its own")
            << "badgeList" << true << "WexoCreator::BadgeDelegate_indexpath_[0, 1]" << "";
        QTest::addRow("a click in a named list names the list") << "badgeList" << false << "badgeList" << "badgeList";
    }
    void recordThenPlay()
    {
        QFETCH(QString, target);
        QFETCH(bool, byCrossHair);
        QFETCH(QString, identity);
        QFETCH(QString, shownAt);

        const QString name = QString::fromLatin1(QTest::currentDataTag());
        startRecording(name);
        if (QTest::currentTestFailed())
            return;

        const Target aim = targetNamed(target);
        QVERIFY(aim.widget);
        // What is outlined and cut out: the part of it a person sees.
        const Target shown = shownAt.isEmpty() ? aim : Target{named(shownAt), {}};
        record(aim, byCrossHair);
        QTRY_COMPARE(launcher()->wConsoleMenu()->stepNumberBadge()->text(), QStringLiteral("1"));
        if (!byCrossHair) {
            FrameView *frame = WexolinManager::inspector().frameView();
            QCOMPARE(frame->mainRect(), QRectF(frame->mapFrom(&host(), shown.rect().topLeft()), shown.rect().size()));
        }
        launcher()->onStop(nullptr);

        std::shared_ptr<Wexo> page;
        QTRY_VERIFY_WITH_TIMEOUT((page = recorded(name)), 10000);
        QCOMPARE(page->Page, WHostQueries::pageName(host().workPage));
        QCOMPARE(page->values->value(0)->Frame.value_or(QString()), identity);

        // Played back on a list scrolled elsewhere, it is found again.
        if (aim.index.isValid())
            qobject_cast<QAbstractItemView *>(aim.widget)->scrollToBottom();
        WexolinManager::playWexo(page);
        WOverlay *overlay = m_session->shown();
        QVERIFY(overlay);
        const QRect expected(overlay->mapFrom(&host(), shown.rect().topLeft()), shown.rect().size());
        const bool cutOut = overlay->targets() == QList<QRectF>{QRectF(expected)}
            && !overlay->backdropPath().contains(QRectF(expected).center());
        // One line of the table of targets: what was recorded, and whether it played at its place.
        qInfo("target: %s | %s @ %s | played with its cut-out: %s", QTest::currentDataTag(),
              qPrintable(page->values->value(0)->Frame.value_or(QString())), qPrintable(page->Page.value_or(QString())),
              cutOut ? "yes" : "no");
        QCOMPARE(overlay->targets(), QList<QRectF>{QRectF(expected)});
        QVERIFY(!overlay->backdropPath().contains(QRectF(expected).center()));
        QVERIFY(overlay->mobilePopupView() || overlay->defaultPopupView());
    }
};

QTEST_MAIN(tst_RecordPlay)
#include "tst_recordplay.moc"
