#include "WexoCreator/backend/WCredentials.h"
#include "WexoCreator/backend/WFeedManager.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/recording/WexoSteps.h"
#include "support/BackendFixture.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTest>

using namespace WexoCreator;
using Node = WexoSteps::Node;

namespace {

const QString kCreate = QStringLiteral("/mobileApi/walkthroughElements/createElementIos");
const QString kPage = QStringLiteral("ProductListPage");
const QRectF kFrame(10, 20, 100, 40.5);

std::shared_ptr<Node> node(const QString &value, const QString &className = kPage)
{
    return std::make_shared<Node>(value, std::nullopt, WexoOptionType::record, className);
}

// Records one pick the way the launcher does: with the step number and
// walkthrough id of the walkthrough being recorded.
void pick(const QString &identity, const std::optional<QRectF> &frame = kFrame)
{
    const std::shared_ptr<Node> root = WexolinManager::shared().currentCreatedWexo();
    WexoSteps::add(kPage, identity, frame, QStringLiteral("Tour"), WexoOptionType::record, QStringLiteral("QPushButton"),
                   root ? root->stepNumber : 0, root ? root->wexoId : std::nullopt);
}

} // namespace

class tst_WexoSteps : public QObject
{
    Q_OBJECT

    std::unique_ptr<BackendFixture> m_fixture;
    WexoSample::SampleBackend &backend() { return m_fixture->backend(); }

    QList<QJsonObject> sentBodies()
    {
        QList<QJsonObject> bodies;
        for (const WexoSample::RecordedRequest &request : backend().requests(kCreate))
            bodies.append(QJsonDocument::fromJson(request.body).object());
        return bodies;
    }

    void logIn()
    {
        WCredentials::setClientToken(backend().clientToken());
        WCredentials::setClientAppId(backend().clientAppId());
        bool done = false;
        WexolinManager::loginAdmin(backend().adminEmail(), backend().adminPassword(), [&done](bool ok) { done = ok; });
        QTRY_VERIFY(done);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_fixture = std::make_unique<BackendFixture>();
        QVERIFY(m_fixture->isRunning());
        logIn();
    }

    void init()
    {
        WexolinManager::reset();
        WexoSteps::shared().steps.clear();
        backend().clearRequests();
        backend().clearScripts();
        backend().setLatencyMs(0);
    }

    void printedTree_data()
    {
        QTest::addColumn<int>("depth");
        QTest::addColumn<QString>("printed");

        QTest::addRow("single node") << 0 << "\"\\t{\\n\\t\\t P \\t\\t P\\n\\t}\"";
        QTest::addRow("child") << 1 << "\"\\t{\\n\\t\\t P \\t\\t P\\n    \\t\\t P \\t\\t F\\n\\t}\"";
        QTest::addRow("grandchild") << 2
                                    << "\"\\t{\\n\\t\\t P \\t\\t P\\n    \\t\\t P \\t\\t F\\n        \\t\\t P \\t\\t say \\\"hi\\\"\\n\\t}\"";
    }
    void printedTree()
    {
        QFETCH(int, depth);
        QFETCH(QString, printed);
        auto root = node(QStringLiteral("P"), QStringLiteral("P"));
        if (depth > 0) {
            auto child = node(QStringLiteral("F"), QStringLiteral("P"));
            root->addChild(child);
            if (depth > 1)
                child->addChild(node(QStringLiteral("say \"hi\""), QStringLiteral("P")));
        }
        QCOMPARE(root->treeText(), printed);
    }

    void nodesCompareByValueOnly()
    {
        auto root = node(QStringLiteral("P"));
        auto twin = node(QStringLiteral("P"), QStringLiteral("Other"));
        twin->stepNumber = 4;
        auto step = node(QStringLiteral("F"));
        root->addChild(step);
        root->addChild(step);
        QVERIFY(*root == *twin);
        QVERIFY(!(*root == *step));
        QCOMPARE(root->children.size(), 2);
        QVERIFY(step->parent.expired());
        QVERIFY(!step->displayType && !step->analyticsId && !step->createdTime);
    }

    void localFallback_data()
    {
        QTest::addColumn<QString>("missing");
        QTest::addRow("no administrator") << "admin";
        QTest::addRow("no client application") << "app";
        QTest::addRow("no frame") << "frame";
    }
    void localFallback()
    {
        QFETCH(QString, missing);
        if (missing == QLatin1String("admin"))
            WCredentials::setAdminToken(std::nullopt);
        if (missing == QLatin1String("app"))
            WCredentials::setClientAppId(std::nullopt);
        pick(QStringLiteral("first"), missing == QLatin1String("frame") ? std::nullopt : std::optional<QRectF>(kFrame));
        pick(QStringLiteral("second"), missing == QLatin1String("frame") ? std::nullopt : std::optional<QRectF>(kFrame));
        const auto &steps = WexoSteps::shared().steps;
        QCOMPARE(steps.size(), size_t(1));
        const std::shared_ptr<Node> root = steps.at(kPage);
        QCOMPARE(root->name, QStringLiteral("Tour"));
        QVERIFY(root->children.isEmpty());
        QVERIFY(!WexolinManager::shared().currentCreatedWexo());
        QCOMPARE(backend().requests(kCreate).size(), 0);
        logIn();
    }

    void rapidPicksAreSentOneAtATime()
    {
        backend().setLatencyMs(60);
        for (const char *identity : {"a", "b", "c"})
            pick(QLatin1String(identity));
        QCOMPARE(backend().requests(kCreate).size() <= 1, true);
        QTRY_COMPARE(WexolinManager::shared().currentCreatedWexo() ? WexolinManager::shared().currentCreatedWexo()->stepNumber : 0, 3);
        const QList<QJsonObject> bodies = sentBodies();
        QCOMPARE(bodies.size(), 3);
        const QString id = *WexolinManager::shared().currentCreatedWexo()->wexoId;
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(bodies.at(i).value("stepNumber").toInt(), i);
            QCOMPARE(bodies.at(i).contains("wexoId"), i > 0);
            if (i > 0)
                QCOMPARE(bodies.at(i).value("wexoId").toString(), id);
        }
        // The first body in full; step numbers go out as JSON integers.
        const QJsonObject first{{"value", "a"}, {"name", "Tour"}, {"className", kPage}, {"elementName", "QPushButton"},
                                {"displayType", "popup"}, {"stepNumber", 0}, {"site", backend().clientAppId()},
                                {"token", *WCredentials::adminToken()}};
        QCOMPARE(bodies.at(0), first);
        QVERIFY(backend().requests(kCreate).first().body.contains("\"stepNumber\":0"));
        QCOMPARE(bodies.at(1).value("stepNumber").toVariant().typeId(), QMetaType::LongLong);

        QCOMPARE(WexoSteps::shared().steps.size(), size_t(1));
        const std::shared_ptr<Node> root = WexoSteps::shared().steps.at(id);
        QCOMPARE(root, WexolinManager::shared().currentCreatedWexo());
        QCOMPARE(root->children.size(), 3);
        QCOMPARE(root->children.at(1)->value, QStringLiteral("{{10, 20}, {100, 40.5}}"));
        QCOMPARE(root->children.at(1)->stepNumber, 1);
        QCOMPARE(root->children.at(1)->elementName, QStringLiteral("QPushButton"));
    }

    void aFailedPickLetsTheNextGo()
    {
        backend().script(QStringLiteral("POST"), kCreate, {500, "{}", "application/json", 30, false, false, 1});
        pick(QStringLiteral("lost"));
        pick(QStringLiteral("kept"));
        QTRY_VERIFY(WexolinManager::shared().currentCreatedWexo());
        const QList<QJsonObject> bodies = sentBodies();
        QCOMPARE(bodies.size(), 2);
        QCOMPARE(bodies.at(1).value("value").toString(), QStringLiteral("kept"));
        QCOMPARE(bodies.at(1).value("stepNumber").toInt(), 0);
        QCOMPARE(WexolinManager::shared().currentCreatedWexo()->stepNumber, 1);
    }

    void lateAnswerSparesTheNextRecording()
    {
        backend().setLatencyMs(80);
        pick(QStringLiteral("old"));
        WexolinManager::reset(); // stop: the first recording ends before its answer
        pick(QStringLiteral("new"));
        QTRY_COMPARE(WexoSteps::shared().steps.size(), size_t(2));
        QTRY_VERIFY(WexolinManager::shared().currentCreatedWexo());
        const std::shared_ptr<Node> current = WexolinManager::shared().currentCreatedWexo();
        QCOMPARE(current->children.first()->value, WexoSteps::frameText(kFrame));
        QCOMPARE(current->stepNumber, 1);
        for (const auto &[id, tree] : WexoSteps::shared().steps) {
            QCOMPARE(tree->stepNumber, 1);
            QCOMPARE(tree->children.size(), 1);
        }
        const QList<QJsonObject> bodies = sentBodies();
        QCOMPARE(bodies.size(), 2);
        const QString newId = *current->wexoId;
        QCOMPARE(WexoSteps::shared().steps.at(newId), current);
    }

    void reloadKeepsTheTreeBeingRecorded()
    {
        pick(QStringLiteral("first"));
        QTRY_VERIFY(WexolinManager::shared().currentCreatedWexo());
        WexoSteps::shared().steps[QStringLiteral("older")] = node(QStringLiteral("P"));
        WFeedManager::reloadFeed();
        const std::shared_ptr<Node> root = WexolinManager::shared().currentCreatedWexo();
        QCOMPARE(WexoSteps::shared().steps.size(), size_t(1));
        QCOMPARE(WexoSteps::shared().steps.begin()->second, root);
        pick(QStringLiteral("second"));
        QTRY_COMPARE(root->children.size(), 2);
        QCOMPARE(root->stepNumber, 2);
    }

    void revokedAdministratorTokenIsRenewed()
    {
        const QString before = *WCredentials::adminToken();
        backend().revokeAdminTokens();
        pick(QStringLiteral("afterRevoke"));
        QTRY_VERIFY(WexolinManager::shared().currentCreatedWexo());
        QVERIFY(*WCredentials::adminToken() != before);
        QCOMPARE(WexolinManager::shared().currentCreatedWexo()->children.size(), 1);
    }
};

QTEST_MAIN(tst_WexoSteps)
#include "tst_wexosteps.moc"
