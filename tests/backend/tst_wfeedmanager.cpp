#include "WexoCreator/backend/WCredentials.h"
#include "WexoCreator/backend/WFeedManager.h"
#include "WexoCreator/extensions/WTime.h"
#include "WexoCreator/model/Wexo.h"
#include "WexoCreator/model/WexoRoot.h"
#include "WexoCreator/model/WexoStep.h"
#include "WexoCreator/platform/WNotificationCenter.h"

#include "support/BackendFixture.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTest>

using namespace WexoCreator;
using WexoSample::ScriptedAnswer;

namespace {

const QString kListing = QStringLiteral("/mobileApi/walkthrough/findbysite");
const QString kSteps = QStringLiteral("/mobileApi/walkthroughElements/getStepsWithPage");
const QString kAddNew = QStringLiteral("/mobileApi/walkthroughAnalytics/AddNew");
const QString kAddStep = QStringLiteral("/mobileApi/walkthroughAnalytics/addStep");
const QString kComplete = QStringLiteral("/mobileApi/walkthroughAnalytics/Complete");
const QStringList kSampleIds{"w-cart", "w-orders", "w-settings", "w-shop-tour"};

// Answers the next `times` requests, after a delay.
ScriptedAnswer held(const QByteArray &body, int delayMs, int times = 1, int status = 200)
{
    return {status, body, "application/json", delayMs, false, false, times};
}

// Entries "id" of the client application, "id@site" of another site; "" has no "Id".
QByteArray listing(const QStringList &entries)
{
    QJsonArray list;
    for (const QString &entry : entries) {
        const QString id = entry.section(QLatin1Char('@'), 0, 0);
        QJsonObject object{{"Name", entry}, {"WalkthroughForSite", entry.contains('@') ? entry.section('@', 1) : "com.example.sampleshop"}};
        if (!id.isEmpty())
            object.insert(QStringLiteral("Id"), id);
        list.append(object);
    }
    return QJsonDocument(QJsonObject{{"walkthrough", list}, {"success", true}}).toJson();
}

// The sample shop tour under another identifier.
QByteArray tourNamed(const QString &id)
{
    QFile file(QStringLiteral(WEXO_SAMPLE_DATA_DIR "/walkthroughs/01-shop-tour.json"));
    QJsonObject root = file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
    root.insert(QStringLiteral("Id"), id);
    return QJsonDocument(root).toJson();
}

QStringList feedIds()
{
    QStringList ids;
    for (const auto &root : WFeedManager::shared().wexoFeed())
        ids << root->Id.value_or(QStringLiteral("(none)"));
    ids.sort();
    return ids;
}

std::shared_ptr<Wexo> page(const std::optional<QString> &walkthroughId = QStringLiteral("w-shop-tour"))
{
    auto wexo = std::make_shared<Wexo>();
    wexo->WalkthroughId = walkthroughId;
    return wexo;
}

std::shared_ptr<WexoStep> step(qint64 startTime = currentMillisecondsSince1970())
{
    auto shown = std::make_shared<WexoStep>();
    shown->StepId = QStringLiteral("s-shop-2");
    shown->ElementId = QStringLiteral("el-s-shop-2");
    shown->startTime = startTime;
    return shown;
}

// Reports whether the page got an analytics identifier. Also a fence: every
// request sent before has been received once it returns.
std::optional<bool> start(const std::shared_ptr<Wexo> &playing)
{
    auto reported = std::make_shared<std::optional<bool>>();
    WFeedManager::getAnalyticsId(playing, [reported](bool ok) { *reported = ok; });
    if (!QTest::qWaitFor([&] { return reported->has_value(); }))
        qWarning("start of playback never answered");
    return *reported;
}

// True once every answer started before the call has been handled.
bool roundTrip()
{
    auto done = std::make_shared<bool>(false);
    WFeedManager::downloadWexo(QStringLiteral("w-cart"), [done](bool, std::shared_ptr<WexoRoot>) { *done = true; });
    return QTest::qWaitFor([&] { return *done; });
}

} // namespace

class tst_WFeedManager : public QObject
{
    Q_OBJECT

    std::unique_ptr<BackendFixture> m_backend;
    std::unique_ptr<QObject> m_observer;
    int m_notifications = 0;

    WexoSample::SampleBackend &backend() { return m_backend->backend(); }
    qsizetype requests(const QString &path) { return backend().requests(path).size(); }

private Q_SLOTS:
    void init()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_backend = std::make_unique<BackendFixture>();
        QVERIFY(m_backend->isRunning());
        WCredentials::setClientToken(backend().clientToken());
        WCredentials::setClientAppId(backend().clientAppId());
        m_notifications = 0;
        m_observer = std::make_unique<QObject>();
        WNotificationCenter::defaultCenter().addObserver(WFeedManager::WexoDownloadCompleteNotification, m_observer.get(),
                                                         [this](const QVariantMap &) { ++m_notifications; });
        WFeedManager::setReloadHooks({}, {});
    }

    void cleanup()
    {
        m_observer.reset();
        m_backend.reset();
    }

    void listingRules_data()
    {
        QTest::addColumn<ScriptedAnswer>("answer"); // status 0: the sample data's own listing
        QTest::addColumn<bool>("flag");
        QTest::addColumn<int>("downloads");
        QTest::addColumn<QStringList>("feed");
        QTest::addColumn<QStringList>("failed"); // any of these may be the last failure

        const QStringList none;
        const QString other = QStringLiteral("w-other@com.example.otherapp");
        QTest::addRow("sample data, other site skipped") << ScriptedAnswer{0, {}} << true << 4 << kSampleIds << none;
        QTest::addRow("two of three with an Id, one fails") << held(listing({"w-shop-tour", "w-missing", "", other}), 0) << true << 2
                                                            << QStringList{"w-shop-tour"} << QStringList{"w-missing"};
        QTest::addRow("every download fails") << held(listing({"w-gone-1", "w-gone-2"}), 0) << true << 2 << none
                                              << QStringList{"w-gone-1", "w-gone-2"};
        QTest::addRow("duplicated Id") << held(listing({"w-settings", "w-settings"}), 0) << true << 2
                                       << QStringList{"w-settings", "w-settings"} << none;
        QTest::addRow("no match") << held(listing({other, "w-settings@COM.EXAMPLE.SAMPLESHOP"}), 0) << false << 0 << none << none;
        QTest::addRow("matches without an Id") << held(listing({"", ""}), 0) << true << 0 << none << none;
        QTest::addRow("server error") << held(listing({"w-settings"}), 0, 1, 500) << false << 0 << none << none;
    }

    void listingRules()
    {
        QFETCH(ScriptedAnswer, answer);
        QFETCH(bool, flag);
        QFETCH(int, downloads);
        QFETCH(QStringList, feed);
        QFETCH(QStringList, failed);
        // Posted once, when the last download answers; never without downloads.
        const int notifications = downloads > 0 ? 1 : 0;
        if (answer.status)
            backend().script(QStringLiteral("POST"), kListing, answer);

        std::optional<bool> reported;
        qint64 countWhenReported = -1;
        WFeedManager::reloadFeed([&](bool ok) {
            reported = ok;
            countWhenReported = WFeedManager::shared().downloadCount();
        });
        QTRY_COMPARE(reported, std::optional(flag));
        QCOMPARE(countWhenReported, qint64(downloads));
        QTRY_COMPARE(m_notifications, notifications);
        QVERIFY(roundTrip());

        QCOMPARE(m_notifications, notifications);
        QCOMPARE(requests(kSteps), qsizetype(downloads + 1));
        QCOMPARE(feedIds(), feed);
        QCOMPARE(WFeedManager::shared().downloadCount(), qint64(0));
        const QString lastFailure = WFeedManager::shared().failedWexos().value(QStringLiteral("parentId"));
        QVERIFY2(failed.isEmpty() ? WFeedManager::shared().failedWexos().isEmpty() : failed.contains(lastFailure), qPrintable(lastFailure));
    }

    void withoutCredentialsTheReloadFailsAtOnceAndStillRunsItsHooks()
    {
        WCredentials::setClientAppId(std::nullopt);
        QStringList order;
        WFeedManager::setReloadHooks([&] { order << "before"; }, [&] { order << "after"; });
        WFeedManager::reloadFeed([&](bool ok) { order << (ok ? "true" : "false"); });
        QCOMPARE(order, (QStringList{"before", "false", "after"}));
        QVERIFY(roundTrip());
        QCOMPARE(requests(kListing), 0);
        QCOMPARE(m_notifications, 0);
    }

    void lateStepAnswersOfAnEarlierReloadAreDropped()
    {
        // Six held answers fill every connection, so the second reload's requests
        // can only go out once the first reload's answers have come back.
        backend().script(QStringLiteral("POST"), kListing, held(listing({"w-shop-tour", "w-settings", "w-orders", "w-cart", "w-x1", "w-x2"}), 0));
        backend().script(QStringLiteral("GET"), kSteps, held(tourNamed(QStringLiteral("w-stale")), 300, 6));
        WFeedManager::reloadFeed();
        QTRY_COMPARE(requests(kSteps), 6);

        WFeedManager::reloadFeed();
        QTRY_COMPARE(m_notifications, 1);
        QCOMPARE(feedIds(), kSampleIds);
        QVERIFY(roundTrip());
        QCOMPARE(m_notifications, 1);
        QCOMPARE(feedIds(), kSampleIds);
    }

    void lateListingOfAnEarlierReloadIsDropped()
    {
        backend().script(QStringLiteral("POST"), kListing, held(listing({"w-orders"}), 300));
        std::optional<bool> firstReported;
        WFeedManager::reloadFeed([&](bool ok) { firstReported = ok; });
        QTRY_COMPARE(requests(kListing), 1);

        WFeedManager::reloadFeed();
        QVERIFY(WFeedManager::shared().wexoFeed().isEmpty());
        QTRY_COMPARE(m_notifications, 1);
        QTRY_COMPARE(firstReported, std::optional(false));
        QVERIFY(roundTrip());
        QCOMPARE(feedIds(), kSampleIds);
        QCOMPARE(requests(kSteps), kSampleIds.size() + 1);
        QCOMPARE(m_notifications, 1);
    }

    void analyticsBodies_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<qint64>("shownAgo"); // -1: never shown
        QTest::addColumn<QJsonObject>("keys"); // besides the client's, the walkthrough and the times

        const QJsonObject flags{{"IsWalkthroughAbandoned", false}, {"IsWalkthroughComplete", false},
                                {"StartsWithPulse", false}, {"SourceURL", "com.example.sampleshop"}};
        QJsonObject complete = flags;
        complete.insert("IsWalkthroughComplete", true);
        complete.insert("AnalyticId", "a-1");
        const QJsonObject step{{"StepId", "s-shop-2"}, {"WalkthroughElementId", "el-s-shop-2"}, {"WalkthroughAnalyticId", "a-1"}};
        QTest::addRow("start") << kAddNew << qint64(0) << flags;
        QTest::addRow("step") << kAddStep << qint64(3500) << step;
        QTest::addRow("completion") << kComplete << qint64(3500) << complete;
        QTest::addRow("step never shown") << kAddStep << qint64(-1) << step;
    }

    void analyticsBodies()
    {
        QFETCH(QString, path);
        QFETCH(qint64, shownAgo);
        QFETCH(QJsonObject, keys);

        const auto playing = page();
        QCOMPARE(start(playing), std::optional(true));
        QCOMPARE(playing->analyticsId, std::optional(QStringLiteral("a-1")));
        const qint64 shownAt = shownAgo < 0 ? 0 : currentMillisecondsSince1970() - shownAgo;
        if (path == kAddStep)
            WFeedManager::sendEventWexoStepPlay(playing, step(shownAt));
        else if (path == kComplete)
            WFeedManager::sendEventCompleteWexoStepPlay(playing, step(shownAt));
        QTRY_COMPARE(requests(path), 1);

        QJsonObject sent = QJsonDocument::fromJson(backend().requests(path).first().body).object();
        const qint64 startTime = sent.take(QStringLiteral("StartTime")).toInteger(-1);
        const qint64 endTime = sent.take(QStringLiteral("EndTime")).toInteger(-1);
        // The start of playback has no time seen; a step never shown has no start either.
        const qint64 seen = sent.take(QStringLiteral("SeenTime")).toInteger(0);
        keys.insert("WalkthroughId", "w-shop-tour");
        keys.insert("appKey", backend().clientToken());
        keys.insert("site", backend().clientAppId());
        QCOMPARE(sent, keys);
        QVERIFY(qAbs(endTime - currentMillisecondsSince1970()) < 60000);
        QCOMPARE(startTime, path == kAddNew ? endTime : shownAt);
        QCOMPARE(seen, shownAgo <= 0 ? 0 : endTime - startTime);
        QVERIFY(seen >= shownAgo && seen < 60000);
        // The backend took it as an event of the record it had opened.
        QTRY_COMPARE(backend().analyticsEvents().array().size(), path == kAddNew ? 1 : 2);
    }

    void noAnalyticsWithoutWhatTheEventNeeds_data()
    {
        QTest::addColumn<QString>("missing");
        QTest::addColumn<ScriptedAnswer>("answer"); // to the start of this page's playback
        const ScriptedAnswer none{0, {}};
        QTest::addRow("page") << "page" << none;
        QTest::addRow("walkthrough identifier") << "walkthrough" << none;
        QTest::addRow("start answer") << "answer" << none;
        QTest::addRow("step") << "step" << none;
        QTest::addRow("identifier in the answer") << "" << held(R"({"message":"ok"})", 0);
        QTest::addRow("empty identifier") << "" << held(R"({"analyticsId":""})", 0);
        QTest::addRow("server error") << "" << held(R"({"analyticsId":"a-x"})", 0, 1, 500);
    }

    void noAnalyticsWithoutWhatTheEventNeeds()
    {
        QFETCH(QString, missing);
        QFETCH(ScriptedAnswer, answer);
        const auto playing = missing == QLatin1String("page") ? nullptr
                           : missing == QLatin1String("walkthrough") ? page(std::nullopt) : page();
        const auto shown = missing == QLatin1String("step") ? nullptr : step();
        if (answer.status) {
            // An identifier from an earlier playback no longer applies either.
            backend().script(QStringLiteral("POST"), kAddNew, answer);
            playing->analyticsId = QStringLiteral("from-an-earlier-playback");
            QCOMPARE(start(playing), std::optional(false));
            QCOMPARE(playing->analyticsId, std::nullopt);
        } else if (missing == QLatin1String("step")) {
            playing->analyticsId = QStringLiteral("a-9");
        }
        bool called = false;
        if (missing == QLatin1String("page") || missing == QLatin1String("walkthrough"))
            WFeedManager::getAnalyticsId(playing, [&](bool) { called = true; });
        WFeedManager::sendEventWexoStepPlay(playing, shown);
        WFeedManager::sendEventCompleteWexoStepPlay(playing, shown);

        QCOMPARE(start(page()), std::optional(true));
        QCOMPARE(requests(kAddNew), answer.status ? 2 : 1);
        QCOMPARE(requests(kAddStep) + requests(kComplete), 0);
        QVERIFY(!called);
    }

    void lateAnalyticsIdentifierLandsOnlyOnItsOwnPage()
    {
        // The first page's start answers late, after a second page has started.
        backend().script(QStringLiteral("POST"), kAddNew, held(R"({"analyticsId":"late"})", 300));
        const auto first = page();
        const auto second = page(QStringLiteral("w-settings"));
        auto firstReported = std::make_shared<std::optional<bool>>();
        WFeedManager::getAnalyticsId(first, [firstReported](bool ok) { *firstReported = ok; });
        QTRY_COMPARE(requests(kAddNew), 1);
        QCOMPARE(start(second), std::optional(true));
        QTRY_COMPARE(*firstReported, std::optional(true));
        QCOMPARE(first->analyticsId, std::optional(QStringLiteral("late")));
        QVERIFY(second->analyticsId && *second->analyticsId != QLatin1String("late"));

        // A page started again keeps the newest record, even when an older answer comes last.
        backend().script(QStringLiteral("POST"), kAddNew, held(R"({"analyticsId":"stale"})", 300));
        auto staleReported = std::make_shared<std::optional<bool>>();
        WFeedManager::getAnalyticsId(second, [staleReported](bool ok) { *staleReported = ok; });
        QTRY_COMPARE(requests(kAddNew), 3);
        QCOMPARE(start(second), std::optional(true));
        QTRY_COMPARE(*staleReported, std::optional(false));
        QVERIFY(second->analyticsId && *second->analyticsId != QLatin1String("stale"));
    }
};

QTEST_GUILESS_MAIN(tst_WFeedManager)
#include "tst_wfeedmanager.moc"
