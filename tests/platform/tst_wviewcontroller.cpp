#include "WexoCreator/platform/WAlert.h"
#include "WexoCreator/platform/WViewController.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

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
                                   QStringLiteral("child:appear"), QStringLiteral("child:disappear"), QStringLiteral("root:appear")}));
        QVERIFY(!root.presentedViewController());
        QTRY_VERIFY(child.isNull());
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
