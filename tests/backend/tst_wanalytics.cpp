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

// Each key with its JSON kind: "text", "integer" or "flag".
QMap<QString, QString> shapeOf(const QJsonObject &body)
{
    QMap<QString, QString> shape;
    for (auto it = body.begin(); it != body.end(); ++it) {
        const QJsonValue value = it.value();
        if (value.isString())
            shape.insert(it.key(), QStringLiteral("text"));
        else if (value.isBool())
            shape.insert(it.key(), QStringLiteral("flag"));
        else if (value.toVariant().typeId() == QMetaType::LongLong)
            shape.insert(it.key(), QStringLiteral("integer"));
        else
            shape.insert(it.key(), QStringLiteral("other"));
    }
    return shape;
}

} // namespace

class tst_WAnalytics : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BackendFixture> m_backend;

    QList<QJsonObject> bodies(const QString &path) const
    {
        QList<QJsonObject> result;
        for (const auto &request : m_backend->backend().requests(path))
            result << QJsonDocument::fromJson(request.body).object();
        return result;
    }

    // A page whose start of playback has answered.
    std::shared_ptr<Wexo> playingPage()
    {
        auto playing = page();
        bool done = false;
        WAnalytics::getWexoAnalyticsId(playing, [&](bool) { done = true; });
        if (!QTest::qWaitFor([&] { return done; }))
            return nullptr;
        return playing;
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
        auto playing = page();
        std::optional<bool> reported;
        WAnalytics::getWexoAnalyticsId(playing, [&](bool ok) { reported = ok; });
        QTRY_COMPARE(reported, std::optional<bool>(true));
        QCOMPARE(playing->analyticsId, std::optional<QString>(QStringLiteral("a-1")));

        const QJsonObject body = bodies(kAddNew).value(0);
        const QMap<QString, QString> expected{
            {QStringLiteral("WalkthroughId"), QStringLiteral("text")}, {QStringLiteral("SourceURL"), QStringLiteral("text")},
            {QStringLiteral("StartTime"), QStringLiteral("integer")}, {QStringLiteral("EndTime"), QStringLiteral("integer")},
            {QStringLiteral("StartsWithPulse"), QStringLiteral("flag")}, {QStringLiteral("IsWalkthroughAbandoned"), QStringLiteral("flag")},
            {QStringLiteral("IsWalkthroughComplete"), QStringLiteral("flag")}, {QStringLiteral("appKey"), QStringLiteral("text")},
            {QStringLiteral("site"), QStringLiteral("text")}};
        QCOMPARE(shapeOf(body), expected);
        QCOMPARE(body.value(QStringLiteral("WalkthroughId")).toString(), QStringLiteral("w-shop-tour"));
        QCOMPARE(body.value(QStringLiteral("SourceURL")).toString(), m_backend->backend().clientAppId());
        QCOMPARE(body.value(QStringLiteral("site")).toString(), m_backend->backend().clientAppId());
        QCOMPARE(body.value(QStringLiteral("appKey")).toString(), m_backend->backend().clientToken());
        QCOMPARE(body.value(QStringLiteral("StartTime")), body.value(QStringLiteral("EndTime")));
        QVERIFY(qAbs(body.value(QStringLiteral("StartTime")).toInteger() - currentMillisecondsSince1970()) < 60000);
        QCOMPARE(body.value(QStringLiteral("IsWalkthroughComplete")).toBool(), false);
    }

    void eventBodies_data()
    {
        QTest::addColumn<bool>("completion");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QStringList>("integers");
        QTest::addColumn<QStringList>("flags");
        QTest::addColumn<QString>("analyticsKey");

        QTest::addRow("step") << false << kAddStep
                              << QStringList{"StepId", "appKey", "site", "WalkthroughElementId", "WalkthroughId", "WalkthroughAnalyticId"}
                              << QStringList{"StartTime", "EndTime", "SeenTime"} << QStringList{} << "WalkthroughAnalyticId";
        QTest::addRow("completion") << true << kComplete
                                    << QStringList{"SourceURL", "appKey", "site", "WalkthroughId", "AnalyticId"}
                                    << QStringList{"StartTime", "EndTime", "SeenTime"}
                                    << QStringList{"StartsWithPulse", "IsWalkthroughAbandoned", "IsWalkthroughComplete"} << "AnalyticId";
    }

    void eventBodies()
    {
        QFETCH(bool, completion);
        QFETCH(QString, path);
        QFETCH(QStringList, texts);
        QFETCH(QStringList, integers);
        QFETCH(QStringList, flags);
        QFETCH(QString, analyticsKey);

        const auto playing = playingPage();
        QVERIFY(playing && playing->analyticsId);
        const qint64 shownAt = currentMillisecondsSince1970() - 3500;
        const auto shown = step(shownAt);
        completion ? WAnalytics::completeWexo(playing, shown) : WAnalytics::addWexoStep(playing, shown);
        QTRY_COMPARE(m_backend->backend().requests(path).size(), 1);

        const QJsonObject body = bodies(path).constFirst();
        QMap<QString, QString> expected;
        for (const QString &key : texts)
            expected.insert(key, QStringLiteral("text"));
        for (const QString &key : integers)
            expected.insert(key, QStringLiteral("integer"));
        for (const QString &key : flags)
            expected.insert(key, QStringLiteral("flag"));
        QCOMPARE(shapeOf(body), expected);

        QCOMPARE(body.value(analyticsKey).toString(), *playing->analyticsId);
        QCOMPARE(body.value(QStringLiteral("WalkthroughId")).toString(), QStringLiteral("w-shop-tour"));
        QCOMPARE(body.value(QStringLiteral("StartTime")).toInteger(), shownAt);
        const qint64 seen = body.value(QStringLiteral("SeenTime")).toInteger();
        QCOMPARE(seen, body.value(QStringLiteral("EndTime")).toInteger() - shownAt);
        QVERIFY(seen >= 3500 && seen < 60000);
        if (completion)
            QCOMPARE(body.value(QStringLiteral("IsWalkthroughComplete")).toBool(), true);
        else
            QCOMPARE(body.value(QStringLiteral("StepId")).toString(), QStringLiteral("s-shop-2"));
        // The backend accepted it as an event of the record it opened.
        QTRY_COMPARE(m_backend->backend().analyticsEvents().array().size(), 2);
    }

    void stepNeverShownWasSeenForNoTime()
    {
        const auto playing = playingPage();
        QVERIFY(playing);
        WAnalytics::addWexoStep(playing, step(0));
        QTRY_COMPARE(m_backend->backend().requests(kAddStep).size(), 1);
        const QJsonObject body = bodies(kAddStep).constFirst();
        QCOMPARE(body.value(QStringLiteral("SeenTime")).toInteger(), 0);
        QCOMPARE(body.value(QStringLiteral("StartTime")), body.value(QStringLiteral("EndTime")));
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
        std::shared_ptr<Wexo> playing = situation == 0 ? nullptr : page(situation == 1 ? std::nullopt : std::optional<QString>(QStringLiteral("w-shop-tour")));
        if (situation == 3)
            playing->analyticsId = QString();
        if (situation == 4)
            playing->analyticsId = QStringLiteral("a-9");
        const auto shown = situation == 4 ? nullptr : step(currentMillisecondsSince1970());

        bool called = false;
        if (situation < 2)
            WAnalytics::getWexoAnalyticsId(playing, [&](bool) { called = true; });
        WAnalytics::addWexoStep(playing, shown);
        WAnalytics::completeWexo(playing, shown);

        // A request made now is answered after any of the above would have been.
        const auto witness = playingPage();
        QVERIFY(witness);
        QCOMPARE(m_backend->backend().requests().size(), 1);
        QVERIFY(!called);
    }

    void startWithoutUsableIdentifierLeavesPageSilent_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("answer");
        QTest::addRow("no identifier") << 200 << QByteArray(R"({"message":"ok"})");
        QTest::addRow("empty identifier") << 200 << QByteArray(R"({"analyticsId":""})");
        QTest::addRow("identifier of the wrong type") << 200 << QByteArray(R"({"analyticsId":7})");
        QTest::addRow("not JSON") << 200 << QByteArray("<html>");
        QTest::addRow("server error") << 500 << QByteArray(R"({"analyticsId":"a-x"})");
    }

    void startWithoutUsableIdentifierLeavesPageSilent()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, answer);
        m_backend->backend().script(QStringLiteral("POST"), kAddNew, {status, answer});
        auto playing = page();
        playing->analyticsId = QStringLiteral("from-an-earlier-playback");
        std::optional<bool> reported;
        WAnalytics::getWexoAnalyticsId(playing, [&](bool ok) { reported = ok; });
        QTRY_COMPARE(reported, std::optional<bool>(false));
        QCOMPARE(playing->analyticsId, std::nullopt);

        WAnalytics::addWexoStep(playing, step(currentMillisecondsSince1970()));
        WAnalytics::completeWexo(playing, step(currentMillisecondsSince1970()));
        m_backend->backend().clearScripts();
        QVERIFY(playingPage());
        QCOMPARE(m_backend->backend().requests(kAddStep).size() + m_backend->backend().requests(kComplete).size(), 0);
    }

    void credentialsMissingAreSentEmpty()
    {
        WCredentials::setClientToken(std::nullopt);
        WCredentials::setClientAppId(std::nullopt);
        auto playing = page();
        bool done = false;
        WAnalytics::getWexoAnalyticsId(playing, [&](bool) { done = true; });
        QTRY_VERIFY(done);
        const QJsonObject body = bodies(kAddNew).constFirst();
        for (const char *key : {"appKey", "site", "SourceURL"})
            QCOMPARE(body.value(QLatin1String(key)), QJsonValue(QString()));
    }

    void lateIdentifierLandsOnlyOnItsOwnPage()
    {
        // The first start answers late, after a second page has started.
        m_backend->backend().script(QStringLiteral("POST"), kAddNew, {200, R"({"analyticsId":"late"})", "application/json", 400, false, false, 1});
        auto first = page();
        auto second = page(QStringLiteral("w-settings"));
        std::optional<bool> firstReported;
        std::optional<bool> secondReported;
        WAnalytics::getWexoAnalyticsId(first, [&](bool ok) { firstReported = ok; });
        QTRY_COMPARE(m_backend->backend().requests(kAddNew).size(), 1);
        WAnalytics::getWexoAnalyticsId(second, [&](bool ok) { secondReported = ok; });
        QTRY_VERIFY(firstReported && secondReported);
        QCOMPARE(first->analyticsId, std::optional<QString>(QStringLiteral("late")));
        QVERIFY(second->analyticsId && *second->analyticsId != QLatin1String("late"));
    }

    void restartedPageKeepsTheNewestIdentifier()
    {
        m_backend->backend().script(QStringLiteral("POST"), kAddNew, {200, R"({"analyticsId":"stale"})", "application/json", 400, false, false, 1});
        auto playing = page();
        std::optional<bool> firstReported;
        std::optional<bool> secondReported;
        WAnalytics::getWexoAnalyticsId(playing, [&](bool ok) { firstReported = ok; });
        QTRY_COMPARE(m_backend->backend().requests(kAddNew).size(), 1);
        WAnalytics::getWexoAnalyticsId(playing, [&](bool ok) { secondReported = ok; });
        QTRY_VERIFY(firstReported && secondReported);
        QCOMPARE(*firstReported, false);
        QCOMPARE(*secondReported, true);
        QVERIFY(playing->analyticsId && *playing->analyticsId != QLatin1String("stale"));
    }
};

QTEST_GUILESS_MAIN(tst_WAnalytics)
#include "tst_wanalytics.moc"
