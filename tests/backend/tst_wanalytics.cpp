#include "WexoCreator/backend/WAnalytics.h"
#include "WexoCreator/backend/WCredentials.h"
#include "WexoCreator/extensions/WTime.h"
#include "WexoCreator/model/Wexo.h"
#include "WexoCreator/model/WexoStep.h"

#include "support/BackendFixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTest>

using namespace WexoCreator;

namespace {

const QString kAddNew = QStringLiteral("/mobileApi/walkthroughAnalytics/AddNew");
const QString kAddStep = QStringLiteral("/mobileApi/walkthroughAnalytics/addStep");
const QString kComplete = QStringLiteral("/mobileApi/walkthroughAnalytics/Complete");

std::shared_ptr<Wexo> page(const std::optional<QString> &walkthroughId = QStringLiteral("w-shop-tour"))
{
    auto wexo = std::make_shared<Wexo>();
    wexo->WalkthroughId = walkthroughId;
    return wexo;
}

std::shared_ptr<WexoStep> step(qint64 startTime)
{
    auto shown = std::make_shared<WexoStep>();
    shown->StepId = QStringLiteral("s-shop-2");
    shown->ElementId = QStringLiteral("el-s-shop-2");
    shown->startTime = startTime;
    return shown;
}

// "key:kind" for every key, kind being text, integer or flag.
QStringList shapeOf(const QJsonObject &body)
{
    QStringList shape;
    for (auto it = body.begin(); it != body.end(); ++it) {
        const QJsonValue value = it.value();
        const char *kind = value.isString() ? "text"
                         : value.isBool()   ? "flag"
                         : value.toVariant().typeId() == QMetaType::LongLong ? "integer" : "other";
        shape << it.key() + QLatin1Char(':') + QLatin1String(kind);
    }
    shape.sort();
    return shape;
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

} // namespace

class tst_WAnalytics : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BackendFixture> m_backend;

    QJsonObject body(const QString &path, int index = 0) const
    {
        return QJsonDocument::fromJson(m_backend->backend().requests(path).value(index).body).object();
    }

    std::optional<bool> start(const std::shared_ptr<Wexo> &playing)
    {
        // Shared: an answer after the wait gave up must not write to a dead frame.
        auto reported = std::make_shared<std::optional<bool>>();
        WAnalytics::getWexoAnalyticsId(playing, [reported](bool ok) { *reported = ok; });
        if (!QTest::qWaitFor([&] { return reported->has_value(); }))
            qWarning("start of playback never answered");
        return *reported;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
    }

    void init()
    {
        m_backend = std::make_unique<BackendFixture>();
        QVERIFY(m_backend->isRunning());
        WCredentials::setClientToken(m_backend->backend().clientToken());
        WCredentials::setClientAppId(m_backend->backend().clientAppId());
    }

    void cleanup()
    {
        m_backend.reset();
    }

    void startOfPlaybackOpensARecordForThePage()
    {
        const auto playing = page();
        QCOMPARE(start(playing), std::optional<bool>(true));
        QCOMPARE(playing->analyticsId, std::optional<QString>(QStringLiteral("a-1")));

        const QJsonObject sent = body(kAddNew);
        QCOMPARE(shapeOf(sent), sorted({"WalkthroughId:text", "SourceURL:text", "StartTime:integer", "EndTime:integer",
                                        "StartsWithPulse:flag", "IsWalkthroughAbandoned:flag", "IsWalkthroughComplete:flag",
                                        "appKey:text", "site:text"}));
        QCOMPARE(sent.value(QStringLiteral("WalkthroughId")).toString(), QStringLiteral("w-shop-tour"));
        QCOMPARE(sent.value(QStringLiteral("SourceURL")).toString(), m_backend->backend().clientAppId());
        QCOMPARE(sent.value(QStringLiteral("appKey")).toString(), m_backend->backend().clientToken());
        QCOMPARE(sent.value(QStringLiteral("StartTime")), sent.value(QStringLiteral("EndTime")));
        QVERIFY(qAbs(sent.value(QStringLiteral("StartTime")).toInteger() - currentMillisecondsSince1970()) < 60000);
    }

    void eventBodies_data()
    {
        QTest::addColumn<bool>("completion");
        QTest::addColumn<qint64>("shownAgo"); // -1: never shown
        QTest::addColumn<QStringList>("shape");
        const QStringList stepShape{"StepId:text", "appKey:text", "site:text", "StartTime:integer", "EndTime:integer",
                                    "WalkthroughElementId:text", "WalkthroughId:text", "SeenTime:integer", "WalkthroughAnalyticId:text"};
        const QStringList completionShape{"SourceURL:text", "StartsWithPulse:flag", "IsWalkthroughAbandoned:flag",
                                          "IsWalkthroughComplete:flag", "appKey:text", "site:text", "StartTime:integer",
                                          "EndTime:integer", "WalkthroughId:text", "SeenTime:integer", "AnalyticId:text"};
        QTest::addRow("step") << false << qint64(3500) << sorted(stepShape);
        QTest::addRow("completion") << true << qint64(3500) << sorted(completionShape);
        QTest::addRow("step never shown") << false << qint64(-1) << sorted(stepShape);
        QTest::addRow("completion of a step never shown") << true << qint64(-1) << sorted(completionShape);
    }

    void eventBodies()
    {
        QFETCH(bool, completion);
        QFETCH(qint64, shownAgo);
        QFETCH(QStringList, shape);
        const auto playing = page();
        QCOMPARE(start(playing), std::optional<bool>(true));
        const qint64 shownAt = shownAgo < 0 ? 0 : currentMillisecondsSince1970() - shownAgo;
        completion ? WAnalytics::completeWexo(playing, step(shownAt)) : WAnalytics::addWexoStep(playing, step(shownAt));
        const QString path = completion ? kComplete : kAddStep;
        QTRY_COMPARE(m_backend->backend().requests(path).size(), 1);

        const QJsonObject sent = body(path);
        QCOMPARE(shapeOf(sent), shape);
        QCOMPARE(sent.value(completion ? QStringLiteral("AnalyticId") : QStringLiteral("WalkthroughAnalyticId")).toString(), *playing->analyticsId);
        const qint64 startTime = sent.value(QStringLiteral("StartTime")).toInteger();
        const qint64 seen = sent.value(QStringLiteral("SeenTime")).toInteger();
        QCOMPARE(seen, sent.value(QStringLiteral("EndTime")).toInteger() - startTime);
        if (shownAgo < 0) {
            QCOMPARE(seen, 0);
        } else {
            QCOMPARE(startTime, shownAt);
            QVERIFY(seen >= shownAgo && seen < 60000);
        }
        // The backend took it as an event of the record it had opened.
        QTRY_COMPARE(m_backend->backend().analyticsEvents().array().size(), 2);
    }

    void nothingIsSentWithoutWhatTheEventNeeds_data()
    {
        QTest::addColumn<int>("situation");
        QTest::addRow("no page") << 0;
        QTest::addRow("no walkthrough identifier") << 1;
        QTest::addRow("start not answered yet") << 2;
        QTest::addRow("empty identifier") << 3;
        QTest::addRow("no step") << 4;
    }

    void nothingIsSentWithoutWhatTheEventNeeds()
    {
        QFETCH(int, situation);
        const auto playing = situation == 0 ? nullptr : page(situation == 1 ? std::nullopt : std::optional<QString>(QStringLiteral("w-shop-tour")));
        if (situation >= 3)
            playing->analyticsId = situation == 3 ? QString() : QStringLiteral("a-9");
        const auto shown = situation == 4 ? nullptr : step(currentMillisecondsSince1970());
        bool called = false;
        if (situation < 2)
            WAnalytics::getWexoAnalyticsId(playing, [&](bool) { called = true; });
        WAnalytics::addWexoStep(playing, shown);
        WAnalytics::completeWexo(playing, shown);

        // Answered after anything sent above would have been received.
        QCOMPARE(start(page()), std::optional<bool>(true));
        QCOMPARE(m_backend->backend().requests().size(), 1);
        QVERIFY(!called);
    }

    void unusableIdentifierLeavesThePageSilent_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("answer");
        QTest::addRow("no identifier") << 200 << QByteArray(R"({"message":"ok"})");
        QTest::addRow("empty identifier") << 200 << QByteArray(R"({"analyticsId":""})");
        QTest::addRow("identifier of the wrong type") << 200 << QByteArray(R"({"analyticsId":7})");
        QTest::addRow("not JSON") << 200 << QByteArray("<html>");
        QTest::addRow("server error") << 500 << QByteArray(R"({"analyticsId":"a-x"})");
    }

    void unusableIdentifierLeavesThePageSilent()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, answer);
        m_backend->backend().script(QStringLiteral("POST"), kAddNew, {status, answer, "application/json", 0, false, false, 1});
        const auto playing = page();
        playing->analyticsId = QStringLiteral("from-an-earlier-playback");
        QCOMPARE(start(playing), std::optional<bool>(false));
        QCOMPARE(playing->analyticsId, std::nullopt);

        WAnalytics::addWexoStep(playing, step(currentMillisecondsSince1970()));
        WAnalytics::completeWexo(playing, step(currentMillisecondsSince1970()));
        QCOMPARE(start(page()), std::optional<bool>(true));
        QCOMPARE(m_backend->backend().requests(kAddStep).size() + m_backend->backend().requests(kComplete).size(), 0);
    }

    void lateIdentifierLandsOnlyOnItsOwnPage()
    {
        // The first page's start answers late, after a second page has started.
        m_backend->backend().script(QStringLiteral("POST"), kAddNew, {200, R"({"analyticsId":"late"})", "application/json", 300, false, false, 1});
        const auto first = page();
        const auto second = page(QStringLiteral("w-settings"));
        std::optional<bool> firstReported;
        WAnalytics::getWexoAnalyticsId(first, [&](bool ok) { firstReported = ok; });
        QTRY_COMPARE(m_backend->backend().requests(kAddNew).size(), 1);
        QCOMPARE(start(second), std::optional<bool>(true));
        QTRY_COMPARE(firstReported, std::optional<bool>(true));
        QCOMPARE(first->analyticsId, std::optional<QString>(QStringLiteral("late")));
        QVERIFY(second->analyticsId && *second->analyticsId != QLatin1String("late"));

        // A page started again keeps the newest record, even when an older answer comes last.
        m_backend->backend().script(QStringLiteral("POST"), kAddNew, {200, R"({"analyticsId":"stale"})", "application/json", 300, false, false, 1});
        std::optional<bool> staleReported;
        WAnalytics::getWexoAnalyticsId(second, [&](bool ok) { staleReported = ok; });
        QTRY_COMPARE(m_backend->backend().requests(kAddNew).size(), 3);
        QCOMPARE(start(second), std::optional<bool>(true));
        QTRY_COMPARE(staleReported, std::optional<bool>(false));
        QVERIFY(second->analyticsId && *second->analyticsId != QLatin1String("stale"));
    }
};

QTEST_GUILESS_MAIN(tst_WAnalytics)
#include "tst_wanalytics.moc"
