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

using namespace WexoCreator;

namespace {

const QString kListing = QStringLiteral("/mobileApi/walkthrough/findbysite");
const QString kSteps = QStringLiteral("/mobileApi/walkthroughElements/getStepsWithPage");
const QString kApp = QStringLiteral("com.example.sampleshop");
const QStringList kSampleIds{QStringLiteral("w-cart"), QStringLiteral("w-orders"), QStringLiteral("w-settings"), QStringLiteral("w-shop-tour")};

// Entries as "id@site"; an empty id leaves "Id" out, an empty site "WalkthroughForSite".
QByteArray listing(const QStringList &entries)
{
    QJsonArray list;
    for (const QString &entry : entries) {
        QJsonObject object{{QStringLiteral("Name"), entry}};
        const QString id = entry.section(QLatin1Char('@'), 0, 0);
        const QString site = entry.section(QLatin1Char('@'), 1);
        if (!id.isEmpty())
            object.insert(QStringLiteral("Id"), id);
        if (!site.isEmpty())
            object.insert(QStringLiteral("WalkthroughForSite"), site);
        list.append(object);
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("walkthrough"), list}, {QStringLiteral("success"), true}}).toJson();
}

QByteArray sampleRoot(const QString &newId)
{
    QFile file(QStringLiteral(WEXO_SAMPLE_DATA_DIR "/walkthroughs/01-shop-tour.json"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    root.insert(QStringLiteral("Id"), newId);
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

} // namespace

class tst_WFeedManager : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BackendFixture> m_backend;
    std::unique_ptr<QObject> m_observer;
    int m_notifications = 0;

    qsizetype stepRequests() const { return m_backend->backend().requests(kSteps).size(); }

    // Every answer started before this call has been handled once it returns true.
    bool roundTrip()
    {
        auto done = std::make_shared<bool>(false);
        WFeedManager::downloadWexo(QStringLiteral("w-cart"), [done](bool, std::shared_ptr<WexoRoot>) { *done = true; });
        return QTest::qWaitFor([&] { return *done; });
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
        QCOMPARE(m_backend->backend().clientAppId(), kApp);
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

        QTest::addRow("sample data, other site skipped") << 200 << QByteArray() << true << 4 << kSampleIds << QStringList() << 1;
        QTest::addRow("two of three with an Id, one fails")
            << 200 << listing({"w-shop-tour@" + kApp, "w-missing@" + kApp, "@" + kApp, "w-other-site@com.example.otherapp"})
            << true << 2 << QStringList{"w-shop-tour"} << QStringList{"w-missing"} << 1;
        QTest::addRow("every download fails") << 200 << listing({"w-gone-1@" + kApp, "w-gone-2@" + kApp}) << true << 2
                                               << QStringList() << QStringList{"w-gone-1", "w-gone-2"} << 1;
        QTest::addRow("duplicated Id") << 200 << listing({"w-settings@" + kApp, "w-settings@" + kApp}) << true << 2
                                        << QStringList{"w-settings", "w-settings"} << QStringList() << 1;
        QTest::addRow("no match") << 200 << listing({"w-other-site@com.example.otherapp", "w-settings@COM.EXAMPLE.SAMPLESHOP"})
                                  << false << 0 << QStringList() << QStringList() << 0;
        QTest::addRow("entry without a site") << 200 << listing({"w-settings@"}) << false << 0 << QStringList() << QStringList() << 0;
        QTest::addRow("matches without an Id") << 200 << listing({"@" + kApp, "@" + kApp}) << true << 0 << QStringList()
                                               << QStringList() << 0;
        QTest::addRow("empty list") << 200 << listing({}) << false << 0 << QStringList() << QStringList() << 0;
        QTest::addRow("no list") << 200 << QByteArray(R"({"success":true})") << false << 0 << QStringList() << QStringList() << 0;
        QTest::addRow("list of the wrong type") << 200 << QByteArray(R"({"success":true,"walkthrough":{}})") << false << 0
                                                << QStringList() << QStringList() << 0;
        QTest::addRow("server error") << 500 << listing({"w-settings@" + kApp}) << false << 0 << QStringList() << QStringList() << 0;
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
        QTRY_VERIFY(reported);
        QCOMPARE(*reported, flag);
        QCOMPARE(countWhenReported, qint64(downloads));
        QTRY_COMPARE(m_notifications, notifications);
        QVERIFY(roundTrip());

        QCOMPARE(m_notifications, notifications);
        QCOMPARE(stepRequests(), qsizetype(downloads + 1));
        QCOMPARE(feedIds(), feed);
        QCOMPARE(WFeedManager::shared().downloadCount(), qint64(0));
        const QString lastFailure = WFeedManager::shared().failedWexos().value(QStringLiteral("parentId"));
        QVERIFY2(failed.isEmpty() ? WFeedManager::shared().failedWexos().isEmpty() : failed.contains(lastFailure), qPrintable(lastFailure));
    }

    void withoutCredentialsTheReloadFailsAtOnceAndStillRunsItsHooks()
    {
        WCredentials::setClientAppId(std::nullopt);
        QStringList order;
        WFeedManager::setReloadHooks([&] { order << QStringLiteral("before"); }, [&] { order << QStringLiteral("after"); });
        WFeedManager::reloadFeed([&](bool ok) { order << (ok ? QStringLiteral("true") : QStringLiteral("false")); });
        QCOMPARE(order, (QStringList{"before", "false", "after"}));
        QVERIFY(roundTrip());
        QCOMPARE(m_backend->backend().requests(kListing).size(), 0);
        QCOMPARE(m_notifications, 0);
    }

    void lateStepAnswersOfAnEarlierReloadAreDropped()
    {
        // Six held answers fill every connection, so the second reload's requests
        // can only go out once the first reload's answers have come back.
        const QStringList six{"w-shop-tour@" + kApp, "w-settings@" + kApp, "w-orders@" + kApp, "w-cart@" + kApp, "w-x1@" + kApp, "w-x2@" + kApp};
        m_backend->backend().script(QStringLiteral("POST"), kListing, {200, listing(six), "application/json", 0, false, false, 1});
        m_backend->backend().script(QStringLiteral("GET"), kSteps, {200, sampleRoot(QStringLiteral("w-stale")), "application/json", 300, false, false, 6});
        WFeedManager::reloadFeed();
        QTRY_COMPARE(stepRequests(), 6);

        WFeedManager::reloadFeed();
        QTRY_COMPARE(m_notifications, 1);
        QCOMPARE(feedIds(), kSampleIds);
        QVERIFY(roundTrip());
        QCOMPARE(m_notifications, 1);
        QCOMPARE(feedIds(), kSampleIds);
    }

    void lateListingOfAnEarlierReloadIsDropped()
    {
        m_backend->backend().script(QStringLiteral("POST"), kListing, {200, listing({"w-orders@" + kApp}), "application/json", 300, false, false, 1});
        std::optional<bool> firstReported;
        WFeedManager::reloadFeed([&](bool ok) { firstReported = ok; });
        QTRY_COMPARE(m_backend->backend().requests(kListing).size(), 1);

        WFeedManager::reloadFeed();
        QVERIFY(WFeedManager::shared().wexoFeed().isEmpty());
        QTRY_COMPARE(m_notifications, 1);
        QTRY_VERIFY(firstReported);
        QCOMPARE(*firstReported, false);
        QVERIFY(roundTrip());
        QCOMPARE(feedIds(), kSampleIds);
        QCOMPARE(stepRequests(), kSampleIds.size() + 1);
        QCOMPARE(m_notifications, 1);
    }

    void downloadForTheHostLeavesTheFeedAlone()
    {
        m_backend->backend().script(QStringLiteral("GET"), kSteps, {200, sampleRoot(QStringLiteral("w-held")), "application/json", 200, false, false, 4});
        WFeedManager::reloadFeed();
        QTRY_COMPARE(stepRequests(), 4);
        QCOMPARE(WFeedManager::shared().downloadCount(), qint64(4));

        std::shared_ptr<WexoRoot> downloaded;
        std::optional<bool> found;
        WFeedManager::downloadWexo(QStringLiteral("w-settings"), [&](bool ok, std::shared_ptr<WexoRoot> root) {
            found = ok;
            downloaded = root;
        });
        QTRY_VERIFY(found);
        QVERIFY(*found && downloaded);
        QCOMPARE(downloaded->Id, std::optional<QString>(QStringLiteral("w-settings")));
        QCOMPARE(WFeedManager::shared().downloadCount(), qint64(4));

        std::optional<bool> unknown;
        WFeedManager::downloadWexo(QStringLiteral("w-unknown"), [&](bool ok, std::shared_ptr<WexoRoot> root) { unknown = ok && root; });
        QTRY_VERIFY(unknown);
        QCOMPARE(*unknown, false);

        QTRY_COMPARE(m_notifications, 1);
        QCOMPARE(WFeedManager::shared().wexoFeed().size(), 4);
        QVERIFY(WFeedManager::shared().failedWexos().isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_WFeedManager)
#include "tst_wfeedmanager.moc"
