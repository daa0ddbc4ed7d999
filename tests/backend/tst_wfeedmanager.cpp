#include "WexoCreator/backend/WCredentials.h"
#include "WexoCreator/backend/WFeedManager.h"
#include "WexoCreator/model/WexoRoot.h"
#include "WexoCreator/platform/WNotificationCenter.h"

#include "support/BackendFixture.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTest>

#include <map>

using namespace WexoCreator;
using WexoSample::ScriptedAnswer;

namespace {

const QString kListing = QStringLiteral("/mobileApi/walkthrough/findbysite");
const QString kSteps = QStringLiteral("/mobileApi/walkthroughElements/getStepsWithPage");
const QStringList kSampleIds{"w-cart", "w-orders", "w-settings", "w-shop-tour"};

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

// The sample shop tour under another identifier, answered after a delay.
ScriptedAnswer heldSteps(const QString &id, int times)
{
    QFile file(QStringLiteral(WEXO_SAMPLE_DATA_DIR "/walkthroughs/01-shop-tour.json"));
    QJsonObject root = file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
    root.insert(QStringLiteral("Id"), id);
    return {200, QJsonDocument(root).toJson(), "application/json", 300, false, false, times};
}

QStringList feedIds()
{
    QStringList ids;
    for (const auto &root : WFeedManager::shared().wexoFeed())
        ids << root->Id.value_or(QStringLiteral("(none)"));
    ids.sort();
    return ids;
}

} // namespace

class tst_WFeedManager : public QObject
{
    Q_OBJECT

    std::unique_ptr<BackendFixture> m_backend;
    std::unique_ptr<QObject> m_observer;
    int m_notifications = 0;

    qsizetype requests(const QString &path) const { return m_backend->backend().requests(path).size(); }

    // True once every answer started before the call has been handled.
    static bool roundTrip()
    {
        auto done = std::make_shared<bool>(false);
        WFeedManager::downloadWexo(QStringLiteral("w-cart"), [done](bool, std::shared_ptr<WexoRoot>) { *done = true; });
        return QTest::qWaitFor([&] { return *done; });
    }

private Q_SLOTS:
    void init()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_backend = std::make_unique<BackendFixture>();
        QVERIFY(m_backend->isRunning());
        WCredentials::setClientToken(m_backend->backend().clientToken());
        WCredentials::setClientAppId(m_backend->backend().clientAppId());
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
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("answer"); // empty: the sample data's own listing
        QTest::addColumn<bool>("flag");
        QTest::addColumn<int>("downloads");
        QTest::addColumn<QStringList>("feed");
        QTest::addColumn<QStringList>("failed"); // any of these may be the last failure
        QTest::addColumn<int>("notifications");

        const QStringList none;
        QTest::addRow("sample data, other site skipped") << 200 << QByteArray() << true << 4 << kSampleIds << none << 1;
        QTest::addRow("two of three with an Id, one fails") << 200 << listing({"w-shop-tour", "w-missing", "", "w-other@com.example.otherapp"})
                                                            << true << 2 << QStringList{"w-shop-tour"} << QStringList{"w-missing"} << 1;
        QTest::addRow("every download fails") << 200 << listing({"w-gone-1", "w-gone-2"}) << true << 2 << none
                                              << QStringList{"w-gone-1", "w-gone-2"} << 1;
        QTest::addRow("duplicated Id") << 200 << listing({"w-settings", "w-settings"}) << true << 2
                                       << QStringList{"w-settings", "w-settings"} << none << 1;
        QTest::addRow("no match") << 200 << listing({"w-other@com.example.otherapp", "w-settings@COM.EXAMPLE.SAMPLESHOP"})
                                  << false << 0 << none << none << 0;
        QTest::addRow("matches without an Id") << 200 << listing({"", ""}) << true << 0 << none << none << 0;
        QTest::addRow("server error") << 500 << listing({"w-settings"}) << false << 0 << none << none << 0;
    }

    void listingRules()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, answer);
        QFETCH(bool, flag);
        QFETCH(int, downloads);
        QFETCH(QStringList, feed);
        QFETCH(QStringList, failed);
        QFETCH(int, notifications);
        if (!answer.isEmpty())
            m_backend->backend().script(QStringLiteral("POST"), kListing, {status, answer});

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
        m_backend->backend().script(QStringLiteral("POST"), kListing,
                                    {200, listing({"w-shop-tour", "w-settings", "w-orders", "w-cart", "w-x1", "w-x2"}), "application/json", 0, false, false, 1});
        m_backend->backend().script(QStringLiteral("GET"), kSteps, heldSteps(QStringLiteral("w-stale"), 6));
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
        m_backend->backend().script(QStringLiteral("POST"), kListing, {200, listing({"w-orders"}), "application/json", 300, false, false, 1});
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

    void downloadForTheHostLeavesTheFeedAlone()
    {
        m_backend->backend().script(QStringLiteral("GET"), kSteps, heldSteps(QStringLiteral("w-held"), 4));
        WFeedManager::reloadFeed();
        QTRY_COMPARE(requests(kSteps), 4);
        QCOMPARE(WFeedManager::shared().downloadCount(), qint64(4));

        std::map<QString, std::optional<QString>> found; // identifier asked for -> identifier got
        for (const QString id : {"w-settings", "w-unknown"})
            WFeedManager::downloadWexo(id, [&found, id](bool ok, std::shared_ptr<WexoRoot> root) {
                found[id] = ok && root ? root->Id.value_or(QString()) : QString();
            });
        QTRY_COMPARE(found.size(), size_t(2));
        QCOMPARE(found["w-settings"], std::optional(QStringLiteral("w-settings")));
        QCOMPARE(found["w-unknown"], std::optional(QString()));
        QCOMPARE(WFeedManager::shared().downloadCount(), qint64(4));

        QTRY_COMPARE(m_notifications, 1);
        QCOMPARE(WFeedManager::shared().wexoFeed().size(), 4);
        QVERIFY(WFeedManager::shared().failedWexos().isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_WFeedManager)
#include "tst_wfeedmanager.moc"
