#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/platform/WHostQueries.h"
#include "WexoCreator/platform/WLibraryWidgets.h"
#include "WexoCreator/recording/CrossHairView.h"
#include "WexoCreator/recording/FrameView.h"
#include "WexoCreator/recording/FrameViewDelegate.h"
#include "WexoCreator/recording/Inspector.h"
#include "WexoCreator/recording/InspectorDelegate.h"

#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QToolBar>

using namespace WexoCreator;

namespace {

// A host page with widgets placed by hand, so every rectangle is known.
class PickPage : public QWidget
{
    Q_OBJECT
public:
    PickPage()
    {
        auto *back = make(this, "back", {0, 0, 150, 150});
        make(make(back, "backDeep", {10, 10, 130, 130}), "backDeeper", {10, 10, 100, 100});
        make(make(this, "front", {50, 50, 60, 60}), "", {30, 30, 20, 20});
        make(make(this, "smallParent", {200, 0, 40, 40}), "escapee", {30, 0, 40, 20});
        auto *stack = new QStackedWidget(this);
        stack->setObjectName(QStringLiteral("stack"));
        stack->setGeometry(200, 100, 150, 90);
        for (const char *name : {"shownPage", "hiddenPage"}) {
            auto *page = new QWidget;
            page->setObjectName(QLatin1String(name));
            make(page, QByteArray(name).replace("Page", "Button"), {0, 0, 150, 90});
            stack->addWidget(page);
        }
        make(this, "underLibrary", {0, 200, 100, 50});
        WLibraryWidgets::mark(make(this, "libraryCover", {0, 200, 100, 50}));
        auto *disabled = make(this, "disabledButton", {120, 200, 60, 30});
        disabled->setEnabled(false);
        make(disabled, "qt_scrollarea_viewport", {40, 0, 20, 30});
        make(this, "", {300, 200, 40, 40});
    }

    static QWidget *make(QWidget *parent, const char *name, const QRect &geometry)
    {
        auto *widget = new QWidget(parent);
        widget->setObjectName(QLatin1String(name));
        widget->setGeometry(geometry);
        return widget;
    }
};

class PickLog : public QObject, public InspectorDelegate
{
public:
    struct Pick {
        QPointer<QWidget> element;
        std::optional<QRectF> rect;
    };
    QList<Pick> picks;
    void selectedElement(QWidget *element, std::optional<QRectF> rect) override
    {
        picks.append({element, rect});
    }
};

class TouchLog : public FrameViewDelegate
{
public:
    QList<QPointF> presses;
    QList<QPointF> moves;
    void touchAtPoint(const QPointF &point) override { presses.append(point); }
    void touchMovedToPoint(const QPointF &point) override { moves.append(point); }
};

} // namespace

class tst_Pick : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        m_page = new PickPage;
        m_host.setCentralWidget(m_page);
        m_toolButton = new QPushButton(QStringLiteral("Tool"));
        m_toolButton->setObjectName(QStringLiteral("toolButton"));
        m_host.addToolBar(QStringLiteral("tools"))->addWidget(m_toolButton);
        m_host.resize(400, 320);
        m_host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_host));
        WexolinManager::enableIntrospect();
        WexolinManager::inspector().setHelperDelegate(&m_log);
        QTRY_COMPARE(Inspector::alpha(WexolinManager::inspector().frameView()), 1.0);
    }

    void init() { m_log.picks.clear(); }

    void pickUnderAClick_data()
    {
        QTest::addColumn<QString>("widget"); // where the click lands, as an offset from this widget
        QTest::addColumn<QPoint>("offset");
        QTest::addColumn<QString>("picked");

        QTest::addRow("front-most sibling wins over deeper earlier ones") << "front" << QPoint(5, 5) << "front";
        QTest::addRow("deepest along the chain, top-left edges inside") << "backDeeper" << QPoint(0, 0) << "backDeeper";
        // A page is never a target: a click on it picks nothing.
        QTest::addRow("right edge lies outside") << "back" << QPoint(150, 20) << "";
        QTest::addRow("child outside its parent is unreachable") << "smallParent" << QPoint(50, 5) << "";
        QTest::addRow("unnamed child picks its named parent") << "front" << QPoint(35, 35) << "front";
        QTest::addRow("a child Qt names counts as its owner") << "disabledButton" << QPoint(45, 5) << "disabledButton";
        QTest::addRow("nothing named up to the page: the deepest") << "disabledButton" << QPoint(190, 5) << "QWidget";
        QTest::addRow("child inside its parent") << "smallParent" << QPoint(35, 5) << "escapee";
        QTest::addRow("hidden stack page is skipped though front-most") << "stack" << QPoint(10, 10) << "shownButton";
        QTest::addRow("library widget is skipped though front-most") << "underLibrary" << QPoint(10, 10) << "underLibrary";
        QTest::addRow("disabled widgets are picked") << "disabledButton" << QPoint(5, 5) << "disabledButton";
        QTest::addRow("tool bar button") << "toolButton" << QPoint(3, 3) << "toolButton";
    }
    void pickUnderAClick()
    {
        QFETCH(QString, widget);
        QFETCH(QPoint, offset);
        QFETCH(QString, picked);

        clickAt(find(widget), offset);
        QCOMPARE(m_log.picks.size(), picked.isEmpty() ? 0 : 1);
        if (picked.isEmpty())
            return;
        QWidget *element = m_log.picks.first().element;
        QVERIFY(element);
        QCOMPARE(element->objectName().isEmpty() ? WHostQueries::pageName(element) : element->objectName(), picked);
        QCOMPARE(WexolinManager::inspector().currentView(), element);
    }

    void missChangesNothing()
    {
        clickAt(find(QStringLiteral("front")), QPoint(5, 5));
        Inspector &inspector = WexolinManager::inspector();
        const std::optional<QRectF> before = inspector.frameView()->mainRect();
        inspector.touchAtPoint(QPointF(-40, -40));
        QCOMPARE(m_log.picks.size(), 1);
        QCOMPARE(inspector.currentView(), find(QStringLiteral("front")));
        QCOMPARE(inspector.frameView()->mainRect(), before);
    }

    void rectanglesInTheOutlineView_data()
    {
        QTest::addColumn<QString>("widget");
        QTest::addColumn<QString>("parent"); // empty: the parent is the window

        QTest::addRow("grandparent present") << "backDeeper" << "backDeep";
        QTest::addRow("parent is the window") << "PickPage" << "";
    }
    void rectanglesInTheOutlineView()
    {
        QFETCH(QString, widget);
        QFETCH(QString, parent);

        QWidget *target = widget == QLatin1String("PickPage") ? m_page : find(widget);
        WexolinManager::inspector().selectView(target);
        FrameView *frame = WexolinManager::inspector().frameView();
        const auto inFrame = [frame, this](QWidget *w) {
            return QRectF(frame->mapFrom(&m_host, w->mapTo(&m_host, QPoint(0, 0))), w->size());
        };
        QCOMPARE(frame->mainRect(), std::optional<QRectF>(inFrame(target)));
        QCOMPARE(frame->superRect(), std::optional<QRectF>(parent.isEmpty() ? QRectF() : inFrame(find(parent))));
        QCOMPARE(m_log.picks.last().rect, frame->mainRect());
    }

    void outlineViewFollowsTheHostSize()
    {
        m_host.resize(460, 360);
        QTRY_COMPARE(WexolinManager::inspector().frameView()->geometry(), m_host.rect());
    }

    // The point reported is the touch less (1, 2); the coordinate label keeps
    // inside the view and drops below the finger near the top.
    void touchPointAndLabel_data()
    {
        QTest::addColumn<QPoint>("touch");
        QTest::addColumn<QPointF>("reported");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("labelPlace");

        QTest::addRow("near the top") << QPoint(100, 50) << QPointF(99, 48) << "99, 48" << "below";
        QTest::addRow("far from the top") << QPoint(100, 200) << QPointF(99, 198) << "99, 198" << "above";
        QTest::addRow("left edge") << QPoint(3, 200) << QPointF(2, 198) << "2, 198" << "left2";
        QTest::addRow("right edge") << QPoint(318, 200) << QPointF(317, 198) << "317, 198" << "right2";
    }
    void touchPointAndLabel()
    {
        QFETCH(QPoint, touch);
        QFETCH(QPointF, reported);
        QFETCH(QString, text);
        QFETCH(QString, labelPlace);

        TouchLog log;
        FrameView view(QRect(0, 0, 320, 480), &log, nullptr);
        QTest::mouseClick(&view, Qt::LeftButton, {}, touch);
        QCOMPARE(log.presses, QList<QPointF>{reported});
        QLabel *label = view.touchPointLabel();
        QCOMPARE(label->text(), text);
        const QRect g = label->geometry();
        if (labelPlace == QLatin1String("below"))
            QVERIFY(g.top() > reported.y());
        else if (labelPlace == QLatin1String("above"))
            QVERIFY(g.bottom() < reported.y());
        else if (labelPlace == QLatin1String("left2"))
            QCOMPARE(g.left(), 2);
        else
            QCOMPARE(g.right() + 1, 320 - 2);
        QCOMPARE(view.touchPointView()->geometry().center(), reported.toPoint());
    }

private:
    QWidget *find(const QString &name) const
    {
        if (name == QLatin1String("toolButton"))
            return m_toolButton;
        return m_page->findChild<QWidget *>(name);
    }

    // Where to click in the host window so that the reported point, the click
    // less (1, 2), lands at `offset` inside `widget`.
    QPoint pointFor(QWidget *widget, const QPoint &offset) const
    {
        return widget->mapTo(const_cast<QMainWindow *>(&m_host), offset) + QPoint(1, 2);
    }

    void clickAt(QWidget *widget, const QPoint &offset)
    {
        QTest::mouseClick(m_host.windowHandle(), Qt::LeftButton, {}, pointFor(widget, offset));
    }

    QMainWindow m_host;
    PickPage *m_page = nullptr;
    QPushButton *m_toolButton = nullptr;
    PickLog m_log;
};

QTEST_MAIN(tst_Pick)
#include "tst_pick.moc"
