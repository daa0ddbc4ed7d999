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
using WexoSample::ScriptedAnswer;

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

// "key:kind" for every key, kind being text, integer or flag, sorted.
QString shapeOf(const QJsonObject &body)
{
    QStringList shape;
    for (auto it = body.begin(); it != body.end(); ++it) {
        const QJsonValue value = it.value();
        shape << it.key() + QLatin1Char(':')
                     + (value.isString() ? "text" : value.isBool() ? "flag"
                        : value.toVariant().typeId() == QMetaType::LongLong ? "integer" : "other");
    }
    shape.sort();
    return shape.join(QLatin1Char(' '));
}

// An answer to the start of playback, given after a delay.
ScriptedAnswer identifier(int status, const QByteArray &body, int delayMs = 0)
{
    return {status, body, "application/json", delayMs, false, false, 1};
}

} // namespace

class tst_WAnalytics : public QObject
{
    Q_OBJECT

    std::unique_ptr<BackendFixture> m_backend;

    WexoSample::SampleBackend &backend() { return m_backend->backend(); }

    // Reports whether the page got an identifier; also a fence: every request
    // sent before has been received once it returns.
    static std::optional<bool> start(const std::shared_ptr<Wexo> &playing)
    {
        auto reported = std::make_shared<std::optional<bool>>();
        WAnalytics::getWexoAnalyticsId(playing, [reported](bool ok) { *reported = ok; });
        if (!QTest::qWaitFor([&] { return reported->has_value(); }))
            qWarning("start of playback never answered");
        return *reported;
    }

private Q_SLOTS:
    void init()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_backend = std::make_unique<BackendFixture>();
        QVERIFY(m_backend->isRunning());
        WCredentials::setClientToken(backend().clientToken());
        WCredentials::setClientAppId(backend().clientAppId());
    }

    void cleanup() { m_backend.reset(); }

    void bodies_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<qint64>("shownAgo"); // -1: never shown
        QTest::addColumn<QString>("shape");

        const QString common = "EndTime:integer StartTime:integer WalkthroughId:text appKey:text site:text";
        const QString flags = " IsWalkthroughAbandoned:flag IsWalkthroughComplete:flag SourceURL:text StartsWithPulse:flag";
        const QString step = common + " SeenTime:integer StepId:text WalkthroughAnalyticId:text WalkthroughElementId:text";
        const QString completion = common + flags + " AnalyticId:text SeenTime:integer";
        QTest::addRow("start") << kAddNew << qint64(0) << common + flags;
        QTest::addRow("step") << kAddStep << qint64(3500) << step;
        QTest::addRow("completion") << kComplete << qint64(3500) << completion;
        QTest::addRow("step never shown") << kAddStep << qint64(-1) << step;
        QTest::addRow("completion of a step never shown") << kComplete << qint64(-1) << completion;
    }

    void bodies()
    {
        QFETCH(QString, path);
        QFETCH(qint64, shownAgo);
        QFETCH(QString, shape);

        const auto playing = page();
        QCOMPARE(start(playing), std::optional(true));
        QCOMPARE(playing->analyticsId, std::optional(QStringLiteral("a-1")));
        const qint64 shownAt = shownAgo < 0 ? 0 : currentMillisecondsSince1970() - shownAgo;
        if (path == kAddStep)
            WAnalytics::addWexoStep(playing, step(shownAt));
        else if (path == kComplete)
            WAnalytics::completeWexo(playing, step(shownAt));
        QTRY_COMPARE(backend().requests(path).size(), 1);

        const QJsonObject sent = QJsonDocument::fromJson(backend().requests(path).first().body).object();
        QStringList keys = shape.split(QLatin1Char(' '));
        keys.sort();
        QCOMPARE(shapeOf(sent), keys.join(QLatin1Char(' ')));
        QCOMPARE(sent.value(QStringLiteral("WalkthroughId")).toString(), QStringLiteral("w-shop-tour"));
        QCOMPARE(sent.value(QStringLiteral("appKey")).toString(), backend().clientToken());
        QCOMPARE(sent.value(QStringLiteral("site")).toString(), backend().clientAppId());
        const qint64 startTime = sent.value(QStringLiteral("StartTime")).toInteger();
        const qint64 seen = sent.value(QStringLiteral("EndTime")).toInteger() - startTime;
        QVERIFY(qAbs(startTime - currentMillisecondsSince1970()) < 60000);
        if (path == kAddNew) {
            QCOMPARE(seen, 0);
            QCOMPARE(sent.value(QStringLiteral("SourceURL")).toString(), backend().clientAppId());
            return;
        }
        QCOMPARE(sent.value(QLatin1String(path == kComplete ? "AnalyticId" : "WalkthroughAnalyticId")).toString(), *playing->analyticsId);
        QCOMPARE(sent.value(QStringLiteral("SeenTime")).toInteger(), seen);
        if (shownAgo < 0)
            QCOMPARE(seen, 0);
        else
            QVERIFY(startTime == shownAt && seen >= shownAgo && seen < 60000);
        // The backend took it as an event of the record it had opened.
        QTRY_COMPARE(backend().analyticsEvents().array().size(), 2);
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
        const auto playing = situation == 0 ? nullptr : page(situation == 1 ? std::nullopt : std::optional(QStringLiteral("w-shop-tour")));
        if (situation >= 3)
            playing->analyticsId = situation == 3 ? QString() : QStringLiteral("a-9");
        const auto shown = situation == 4 ? nullptr : step(currentMillisecondsSince1970());
        bool called = false;
        if (situation < 2)
            WAnalytics::getWexoAnalyticsId(playing, [&](bool) { called = true; });
        WAnalytics::addWexoStep(playing, shown);
        WAnalytics::completeWexo(playing, shown);

        QCOMPARE(start(page()), std::optional(true));
        QCOMPARE(backend().requests().size(), 1);
        QVERIFY(!called);
    }

    void unusableIdentifierLeavesThePageSilent_data()
    {
        QTest::addColumn<ScriptedAnswer>("answer");
        QTest::addRow("no identifier") << identifier(200, R"({"message":"ok"})");
        QTest::addRow("empty identifier") << identifier(200, R"({"analyticsId":""})");
        QTest::addRow("identifier of the wrong type") << identifier(200, R"({"analyticsId":7})");
        QTest::addRow("server error") << identifier(500, R"({"analyticsId":"a-x"})");
    }

    void unusableIdentifierLeavesThePageSilent()
    {
        QFETCH(ScriptedAnswer, answer);
        backend().script(QStringLiteral("POST"), kAddNew, answer);
        const auto playing = page();
        playing->analyticsId = QStringLiteral("from-an-earlier-playback");
        QCOMPARE(start(playing), std::optional(false));
        QCOMPARE(playing->analyticsId, std::nullopt);

        WAnalytics::addWexoStep(playing, step(currentMillisecondsSince1970()));
        WAnalytics::completeWexo(playing, step(currentMillisecondsSince1970()));
        QCOMPARE(start(page()), std::optional(true));
        QCOMPARE(backend().requests(kAddStep).size() + backend().requests(kComplete).size(), 0);
    }

    void lateIdentifierLandsOnlyOnItsOwnPage()
    {
        // The first page's start answers late, after a second page has started.
        backend().script(QStringLiteral("POST"), kAddNew, identifier(200, R"({"analyticsId":"late"})", 300));
        const auto first = page();
        const auto second = page(QStringLiteral("w-settings"));
        auto firstReported = std::make_shared<std::optional<bool>>();
        WAnalytics::getWexoAnalyticsId(first, [firstReported](bool ok) { *firstReported = ok; });
        QTRY_COMPARE(backend().requests(kAddNew).size(), 1);
        QCOMPARE(start(second), std::optional(true));
        QTRY_COMPARE(*firstReported, std::optional(true));
        QCOMPARE(first->analyticsId, std::optional(QStringLiteral("late")));
        QVERIFY(second->analyticsId && *second->analyticsId != QLatin1String("late"));

        // A page started again keeps the newest record, even when an older answer comes last.
        backend().script(QStringLiteral("POST"), kAddNew, identifier(200, R"({"analyticsId":"stale"})", 300));
        auto staleReported = std::make_shared<std::optional<bool>>();
        WAnalytics::getWexoAnalyticsId(second, [staleReported](bool ok) { *staleReported = ok; });
        QTRY_COMPARE(backend().requests(kAddNew).size(), 3);
        QCOMPARE(start(second), std::optional(true));
        QTRY_COMPARE(*staleReported, std::optional(false));
        QVERIFY(second->analyticsId && *second->analyticsId != QLatin1String("stale"));
    }
};

QTEST_GUILESS_MAIN(tst_WAnalytics)
#include "tst_wanalytics.moc"
