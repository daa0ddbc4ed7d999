#include "WexoCreator/platform/WAlert.h"
#include "WexoCreator/platform/WViewController.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace WexoCreator;

namespace {

class Probe : public WViewController
{
public:
    explicit Probe(QString name, QStringList *log)
        : m_name(std::move(name))
        , m_log(log)
    {
    }

protected:
    void viewDidLoad() override { *m_log << m_name + QStringLiteral(":load"); }
    void viewWillAppear(bool) override { *m_log << m_name + QStringLiteral(":appear"); }
    void viewDidAppear(bool) override { *m_log << m_name + QStringLiteral(":didAppear"); }
    void viewWillDisappear(bool) override { *m_log << m_name + QStringLiteral(":disappear"); }

private:
    QString m_name;
    QStringList *m_log;
};

} // namespace

class tst_WViewController : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void presentAndDismissOrderTheAppearanceCalls()
    {
        QStringList log;
        QWidget container;
        container.resize(300, 200);
        Probe root(QStringLiteral("root"), &log);
        root.embedViewIn(&container);
        QCOMPARE(root.view()->geometry(), container.rect());

        QPointer<Probe> child = new Probe(QStringLiteral("child"), &log);
        root.present(child, false);
        QCOMPARE(child->parent(), &root);
        QCOMPARE(child->view()->parentWidget(), &container);
        QCOMPARE(child->view()->geometry(), container.rect());
        container.resize(500, 400);
        container.show();
        QTRY_COMPARE(child->view()->geometry(), container.rect());

        // Dismissing from the child goes through its presenter.
        child->dismiss(false);
        QCOMPARE(log, (QStringList{QStringLiteral("root:load"), QStringLiteral("root:disappear"), QStringLiteral("child:load"),
                                   QStringLiteral("child:appear"), QStringLiteral("child:didAppear"), QStringLiteral("child:disappear"), QStringLiteral("root:appear")}));
        QVERIFY(!root.presentedViewController());
        QTRY_VERIFY(child.isNull());
    }

    // A slide up from the bottom edge, then the completion; a slide back
    // down, then the presenter's appearance and the completion.
    void animatedPresentAndDismissCompleteAfterTheSlide()
    {
        QStringList log;
        QWidget container;
        container.resize(300, 200);
        container.show();
        Probe root(QStringLiteral("root"), &log);
        root.embedViewIn(&container);
        QPointer<Probe> child = new Probe(QStringLiteral("child"), &log);

        std::optional<QRect> presentedAt;
        root.present(child, true, [&] { presentedAt = child->view()->geometry(); });
        QVERIFY(root.isTransitioning());
        QVERIFY(!presentedAt);
        QCOMPARE(child->view()->geometry(), container.rect().translated(0, 200));
        QVERIFY(!log.contains(QStringLiteral("child:didAppear")));
        QTRY_VERIFY(child->view()->y() > 0 && child->view()->y() < 200);
        QTRY_VERIFY(presentedAt);
        QCOMPARE(*presentedAt, container.rect());
        QCOMPARE(log.last(), QStringLiteral("child:didAppear"));

        std::optional<bool> visibleAtEnd;
        QStringList logAtEnd;
        child->dismiss(true, [&] {
            visibleAtEnd = child && child->view()->isVisible();
            logAtEnd = log;
        });
        QVERIFY(!visibleAtEnd);
        QCOMPARE(root.presentedViewController(), child.data());
        QCOMPARE(log.last(), QStringLiteral("child:disappear"));
        QTRY_VERIFY(child->view()->y() > 0);
        QVERIFY(child->view()->isVisible());
        QTRY_VERIFY(visibleAtEnd);
        QCOMPARE(*visibleAtEnd, false);
        QCOMPARE(logAtEnd.last(), QStringLiteral("root:appear"));
        QVERIFY(!root.presentedViewController());
        QTRY_VERIFY(child.isNull());
    }

    // A controller that outlives its dismissal (it has an owner of its own)
    // shows again when presented again.
    void presentedAgainIsShown()
    {
        QStringList log;
        QWidget container;
        container.resize(300, 200);
        container.show();
        Probe root(QStringLiteral("root"), &log);
        root.embedViewIn(&container);
        Probe kept(QStringLiteral("kept"), &log);
        kept.setParent(&container);
        root.present(&kept, false);
        root.dismiss(false);
        QVERIFY(kept.view()->isHidden());
        root.present(&kept, true);
        QVERIFY(kept.view()->isVisible());
        QTRY_COMPARE(kept.view()->geometry(), container.rect());
        root.dismiss(false);
    }

    // Whatever cuts into a slide, every completion runs exactly once and the
    // presenter ends in a sound state.
    void interruptedSlides_data()
    {
        QTest::addColumn<QString>("interruption");
        QTest::addColumn<bool>("stillPresented");
        QTest::addRow("dismissed while sliding in") << "dismiss in" << false;
        QTest::addRow("dismissed at once while sliding in") << "dismiss now in" << false;
        QTest::addRow("dismissed twice") << "dismiss twice" << false;
        QTest::addRow("view deleted while sliding in") << "delete view in" << true;
        QTest::addRow("view deleted while sliding out") << "delete view out" << false;
        QTest::addRow("controller deleted while sliding out") << "delete controller out" << false;
        QTest::addRow("window resized while sliding in") << "resize in" << true;
        QTest::addRow("presented again while sliding out") << "present out" << true;
    }
    void interruptedSlides()
    {
        QFETCH(QString, interruption);
        QFETCH(bool, stillPresented);

        QStringList log;
        auto container = std::make_unique<QWidget>();
        container->resize(300, 200);
        container->show();
        Probe root(QStringLiteral("root"), &log);
        root.embedViewIn(container.get());
        QPointer<Probe> child = new Probe(QStringLiteral("child"), &log);
        int presented = 0;
        int dismissed = 0;
        root.present(child, true, [&] { ++presented; });
        const bool out = interruption.endsWith(QLatin1String("out"));
        if (out) {
            QTRY_COMPARE(presented, 1);
            child->dismiss(true, [&] { ++dismissed; });
            QTRY_VERIFY(child->view()->y() > 0);
        } else {
            QTRY_VERIFY(child->view()->y() < 200);
        }
        QPointer<Probe> second;
        if (interruption == QLatin1String("dismiss in") || interruption == QLatin1String("dismiss twice")) {
            child->dismiss(true, [&] { ++dismissed; });
            if (interruption == QLatin1String("dismiss twice"))
                root.dismiss(true, [&] { ++dismissed; });
        } else if (interruption == QLatin1String("dismiss now in")) {
            child->dismiss(false, [&] { ++dismissed; });
            QCOMPARE(dismissed, 1);
        } else if (interruption.startsWith(QLatin1String("delete view"))) {
            child->view()->deleteLater();
        } else if (interruption == QLatin1String("delete controller out")) {
            child->deleteLater();
        } else if (interruption == QLatin1String("resize in")) {
            container->resize(500, 400);
            QCOMPARE(child->view()->width(), 500);
        } else if (interruption == QLatin1String("present out")) {
            second = new Probe(QStringLiteral("second"), &log);
            root.present(second, true, [&] { ++presented; });
            QCOMPARE(dismissed, 1);
            QCOMPARE(root.presentedViewController(), second.data());
        }
        QTRY_VERIFY(!root.isTransitioning());
        const int expectedPresented = interruption == QLatin1String("present out") ? 2 : 1;
        QCOMPARE(presented, expectedPresented);
        QCOMPARE(dismissed, interruption == QLatin1String("dismiss twice") ? 2 : (stillPresented && !out ? 0 : 1));
        QCOMPARE(root.presentedViewController() != nullptr, stillPresented);
        if (interruption == QLatin1String("resize in"))
            QCOMPARE(child->view()->geometry(), container->rect());
        if (!stillPresented)
            QCOMPARE(log.last(), QStringLiteral("root:appear"));
        root.dismiss(false);
        QVERIFY(!root.presentedViewController());
    }

    void alertAnswers_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("handled");
        QTest::addRow("ok") << QStringLiteral("Ok") << QStringList{QStringLiteral("ok")};
        QTest::addRow("cancel") << QStringLiteral("Cancel") << QStringList{QStringLiteral("cancel")};
        QTest::addRow("escape is cancel") << QStringLiteral("escape") << QStringList{QStringLiteral("cancel")};
        QTest::addRow("closing is cancel") << QStringLiteral("close") << QStringList{QStringLiteral("cancel")};
    }

    void alertAnswers()
    {
        QFETCH(QString, how);
        QFETCH(QStringList, handled);

        QWidget parent;
        parent.show();
        QPointer<WAlert> alert = new WAlert(QStringLiteral("<b>Title</b>"), QString(), &parent);
        QStringList log;
        bool visibleInHandler = true;
        alert->addAction(QStringLiteral("Cancel"), WAlert::ActionStyle::Cancel, [&] {
            log << QStringLiteral("cancel");
            visibleInHandler = alert->isVisible();
        });
        alert->addAction(QStringLiteral("Ok"), WAlert::ActionStyle::Default, [&] {
            log << QStringLiteral("ok");
            visibleInHandler = alert->isVisible();
        });
        alert->open();
        QVERIFY(alert->isVisible());
        QCOMPARE(alert->findChild<QLabel *>(QStringLiteral("alertTitle"))->textFormat(), Qt::PlainText);

        if (how == QStringLiteral("escape"))
            QTest::keyClick(alert, Qt::Key_Escape);
        else if (how == QStringLiteral("close"))
            alert->close();
        else
            QTest::mouseClick(alert->actionButton(how), Qt::LeftButton);
        // A second answer is never delivered.
        if (alert)
            alert->reject();

        QCOMPARE(log, handled);
        QVERIFY(!visibleInHandler);
        QTRY_VERIFY(alert.isNull());
    }

};

QTEST_MAIN(tst_WViewController)
#include "tst_wviewcontroller.moc"
