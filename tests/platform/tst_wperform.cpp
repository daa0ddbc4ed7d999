#include "WexoCreator/platform/WPerform.h"

#include <QObject>
#include <QStringList>
#include <QTest>
#include <QThread>

#include <cmath>
#include <memory>

using namespace WexoCreator;

class tst_WPerform : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void blockRunsAfterTheCallReturnsInPostingOrder()
    {
        QStringList order;
        WPerform::onMainThread([&] { order << QStringLiteral("first"); });
        WPerform::onMainThread([&] { order << QStringLiteral("second"); });
        order << QStringLiteral("caller");
        QCOMPARE(order, QStringList{QStringLiteral("caller")});
        QTRY_COMPARE(order, (QStringList{QStringLiteral("caller"), QStringLiteral("first"), QStringLiteral("second")}));
    }

    void blockPostedFromAnotherThreadRunsOnTheMainThread()
    {
        QThread *ranOn = nullptr;
        std::unique_ptr<QThread> worker(QThread::create([&] { WPerform::onMainThread([&] { ranOn = QThread::currentThread(); }); }));
        worker->start();
        worker->wait();
        QTRY_COMPARE(ranOn, QCoreApplication::instance()->thread());
    }

    void delay_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addRow("zero still defers") << 0.0;
        QTest::addRow("negative treated as zero") << -5.0;
        QTest::addRow("not a number treated as zero") << std::nan("");
        QTest::addRow("short delay") << 0.05;
    }

    void delay()
    {
        QFETCH(double, seconds);
        bool ran = false;
        WPerform::delay(seconds, [&] { ran = true; });
        QVERIFY(!ran);
        QTRY_VERIFY(ran);
    }

    void delayWithContextIsDroppedWhenContextDies()
    {
        bool ran = false;
        bool witness = false;
        auto context = std::make_unique<QObject>();
        WPerform::delay(0.02, context.get(), [&] { ran = true; });
        WPerform::delay(0.1, [&] { witness = true; });
        context.reset();
        QTRY_VERIFY(witness);
        QVERIFY(!ran);
    }
};

QTEST_GUILESS_MAIN(tst_WPerform)
#include "tst_wperform.moc"
