#include "WexoCreator/platform/WNotificationCenter.h"

#include <QTest>

#include <memory>

using namespace WexoCreator;

class tst_WNotificationCenter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void observersOfTheNameAreCalledSynchronouslyWithUserInfo()
    {
        WNotificationCenter center;
        QObject context;
        QStringList calls;
        center.addObserver(QStringLiteral("a"), &context, [&](const QVariantMap &info) {
            calls << QStringLiteral("a1:") + info.value(QStringLiteral("k")).toString();
        });
        center.addObserver(QStringLiteral("a"), &context, [&](const QVariantMap &) { calls << QStringLiteral("a2"); });
        center.addObserver(QStringLiteral("b"), &context, [&](const QVariantMap &) { calls << QStringLiteral("b"); });
        center.post(QStringLiteral("a"), {{QStringLiteral("k"), QStringLiteral("v")}});
        QCOMPARE(calls, (QStringList{QStringLiteral("a1:v"), QStringLiteral("a2")}));
    }

    void observerIsNotCalledAfterItsContextDies()
    {
        WNotificationCenter center;
        int calls = 0;
        auto context = std::make_unique<QObject>();
        center.addObserver(QStringLiteral("n"), context.get(), [&](const QVariantMap &) { ++calls; });
        context.reset();
        center.post(QStringLiteral("n"));
        QCOMPARE(calls, 0);
        QCOMPARE(center.observerCount(QStringLiteral("n")), 0);
    }

    void observerThatDestroysAnotherContextDuringPostIsSafe()
    {
        WNotificationCenter center;
        QObject first;
        auto second = std::make_unique<QObject>();
        int secondCalls = 0;
        center.addObserver(QStringLiteral("n"), &first, [&](const QVariantMap &) { second.reset(); });
        center.addObserver(QStringLiteral("n"), second.get(), [&](const QVariantMap &) { ++secondCalls; });
        center.post(QStringLiteral("n"));
        QCOMPARE(secondCalls, 0);
    }

    void observerAddedDuringPostWaitsForTheNextPost()
    {
        WNotificationCenter center;
        QObject context;
        int late = 0;
        center.addObserver(QStringLiteral("n"), &context, [&](const QVariantMap &) {
            center.addObserver(QStringLiteral("n"), &context, [&](const QVariantMap &) { ++late; });
        });
        center.post(QStringLiteral("n"));
        QCOMPARE(late, 0);
        center.post(QStringLiteral("n"));
        QCOMPARE(late, 1);
    }

    void removeObserverByName()
    {
        WNotificationCenter center;
        QObject context;
        int a = 0, b = 0;
        center.addObserver(QStringLiteral("a"), &context, [&](const QVariantMap &) { ++a; });
        center.addObserver(QStringLiteral("b"), &context, [&](const QVariantMap &) { ++b; });
        center.removeObserver(&context, QStringLiteral("a"));
        center.post(QStringLiteral("a"));
        center.post(QStringLiteral("b"));
        QCOMPARE(a, 0);
        QCOMPARE(b, 1);
        center.removeObserver(&context);
        center.post(QStringLiteral("b"));
        QCOMPARE(b, 1);
    }
};

QTEST_GUILESS_MAIN(tst_WNotificationCenter)
#include "tst_wnotificationcenter.moc"
