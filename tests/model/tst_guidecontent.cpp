#include "WexoCreator/model/AllWexo.h"
#include "WexoCreator/model/WJsonDecoder.h"
#include "WexoCreator/model/WLogin.h"
#include "WexoCreator/model/WexoAnalytics.h"
#include "WexoCreator/model/WexoCreate.h"
#include "WexoCreator/model/WexoRoot.h"

#include <QObject>
#include <QTest>

using namespace WexoCreator;
using namespace Qt::StringLiterals;

namespace {

// Decodes an answer as the named root record; "" when it decodes.
QString decodeError(const QString &root, const QByteArray &json)
{
    if (root == u"WexoRoot")
        return WJsonDecoder::decode<WexoRoot>(json).error;
    if (root == u"AllWexo")
        return WJsonDecoder::decode<AllWexo>(json).error;
    if (root == u"WLogin")
        return WJsonDecoder::decode<WLogin>(json).error;
    if (root == u"WexoCreate")
        return WJsonDecoder::decode<WexoCreate>(json).error;
    return WJsonDecoder::decode<WexoAnalytics>(json).error;
}

std::shared_ptr<WexoStep> stepWith(std::optional<QString> displayType, std::optional<QString> frame)
{
    auto step = std::make_shared<WexoStep>();
    step->dislplayType = std::move(displayType);
    step->Frame = std::move(frame);
    return step;
}

template<class T>
std::shared_ptr<T> decoded(const QByteArray &json)
{
    const WDecodeResult<T> result = WJsonDecoder::decode<T>(json);
    if (!result)
        qWarning("%s", qPrintable(result.error));
    return result.record;
}

} // namespace

class tst_GuideContent : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void walkthroughAnswerFieldByField()
    {
        const auto root = decoded<WexoRoot>(R"({
            "Id": "w-17", "wexo_name": {"Id": "w-17", "Name": "Checkout tour", "domain": "shop.example", "extra": 1},
            "className": [
              {"IsActive": false, "Page": "CheckoutViewController", "StepId": "s-0", "PageOrderNo": 0,
               "Subdomain": "shop", "WalkthroughId": "w-17", "wexoName": "ignored", "analyticsId": "ignored",
               "totalWexoSteps": 9, "createdAt": "2024-01-01",
               "values": [
                 {"StepId": "s-1", "Frame": "payButton", "LinkedWalkthruId": "w-3", "ElementType": "UIButton",
                  "PlaybookNotes": "tooltip:bottom-right", "Title": "Pay", "ElementText": "Tap to pay",
                  "HasBackDrop": null, "ElementId": "e-1", "OrderNumber": 0, "WalkthroughId": "w-17",
                  "startTime": 12345, "dislplayType": "banner:top", "description": "ignored"},
                 {"Frame": "UITableViewCell_indexpath_[2, 5]", "OrderNumber": 1, "HasBackDrop": false}]},
              {"PageOrderNo": 1}]})");
        QVERIFY(root);
        QCOMPARE(root->Id, u"w-17"_s);
        QVERIFY(root->wexoName);
        QCOMPARE(root->wexoName->Id, u"w-17"_s);
        QCOMPARE(root->wexoName->Name, u"Checkout tour"_s);
        QCOMPARE(root->wexoName->appId, u"shop.example"_s);
        QVERIFY(root->wexos);
        QCOMPARE(root->wexos->size(), 2);

        const Wexo &page = *root->wexos->at(0);
        QCOMPARE(page.IsActive, false);
        QCOMPARE(page.Page, u"CheckoutViewController"_s);
        QCOMPARE(page.StepId, u"s-0"_s);
        QCOMPARE(page.PageOrderNo, 0);
        QCOMPARE(page.appId, u"shop"_s);
        QCOMPARE(page.WalkthroughId, u"w-17"_s);
        QCOMPARE(page.wexoName, std::nullopt);
        QCOMPARE(page.analyticsId, std::nullopt);
        QCOMPARE(page.totalWexoSteps, 0);
        QVERIFY(page.values);
        QCOMPARE(page.values->size(), 2);

        const WexoStep &step = *page.values->at(0);
        QCOMPARE(step.StepId, u"s-1"_s);
        QCOMPARE(step.Frame, u"payButton"_s);
        QCOMPARE(step.LinkedWalkthruId, u"w-3"_s);
        QCOMPARE(step.ElementType, u"UIButton"_s);
        QCOMPARE(step.dislplayType, u"tooltip:bottom-right"_s);
        QCOMPARE(step.Title, u"Pay"_s);
        QCOMPARE(step.description, u"Tap to pay"_s);
        QCOMPARE(step.HasBackDrop, std::nullopt);
        QCOMPARE(step.ElementId, u"e-1"_s);
        QCOMPARE(step.OrderNumber, 0);
        QCOMPARE(step.wexoId, u"w-17"_s);
        QCOMPARE(step.startTime, 0);
        QCOMPARE(step.viewType(), WexoStepView::toolTipBottomRight);
        QCOMPARE(step.wexoElementIdentifier(), u"e-1"_s);
        QCOMPARE(step.wexoIdentifier(), u"w-17"_s);

        const WexoStep &cell = *page.values->at(1);
        QCOMPARE(cell.HasBackDrop, false);
        QVERIFY(cell.isScrollElement());
        QCOMPARE(cell.indexPathForElement(), (WIndexPath{2, 5}));
        QCOMPARE(cell.wexoStepIdentifier(), QString());

        const Wexo &bare = *root->wexos->at(1);
        QCOMPARE(bare.PageOrderNo, 1);
        QCOMPARE(bare.values, std::nullopt);
        QCOMPARE(bare.IsActive, std::nullopt);
    }

    void walkthroughListFieldByField()
    {
        const auto list = decoded<AllWexo>(R"({"success": false, "message": "ok", "total": 3, "walkthrough": [
            {"Id": "w-1", "Name": "Tour", "WalkthroughForSite": "com.example.shop"},
            {"walkthrough_for_site": "com.example.shop", "id": "w-2"},
            {}]})");
        QVERIFY(list);
        QCOMPARE(list->success, false);
        QCOMPARE(list->message, u"ok"_s);
        QVERIFY(list->walkthrough);
        QCOMPARE(list->walkthrough->size(), 3);
        const WexoDetails &first = *list->walkthrough->at(0);
        QCOMPARE(first.Id, u"w-1"_s);
        QCOMPARE(first.Name, u"Tour"_s);
        QCOMPARE(first.appId, u"com.example.shop"_s);
        // Neither a snake-case nor a lower-case spelling reaches a capitalised key.
        QCOMPARE(list->walkthrough->at(1)->appId, std::nullopt);
        QCOMPARE(list->walkthrough->at(1)->Id, std::nullopt);
        QCOMPARE(list->walkthrough->at(2)->Name, std::nullopt);
    }

    void loginFieldByField()
    {
        const auto login = decoded<WLogin>(R"({"token": "t-1", "message": "welcome", "success": true,
            "user_info": {"Email": "admin@example.com", "IsAdmin": false, "display_name": "Admin", "email": "x"}})");
        QVERIFY(login);
        QCOMPARE(login->token, u"t-1"_s);
        QCOMPARE(login->message, u"welcome"_s);
        QCOMPARE(login->success, true);
        QVERIFY(login->userInfo);
        QCOMPARE(login->userInfo->Email, u"admin@example.com"_s);
        QCOMPARE(login->userInfo->IsAdmin, false);
        QCOMPARE(login->userInfo->displayName, u"Admin"_s);
    }

    // An empty token would log an administrator in whom the backend refuses.
    void emptyTokenIsNoAdministratorToken_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<std::optional<QString>>("adminToken");
        QTest::addRow("token") << QByteArray(R"({"success": true, "token": "t-1"})") << std::optional(u"t-1"_s);
        QTest::addRow("empty token") << QByteArray(R"({"success": true, "token": ""})") << std::optional<QString>();
        QTest::addRow("null token") << QByteArray(R"({"success": true, "token": null})") << std::optional<QString>();
        QTest::addRow("no token") << QByteArray(R"({"success": true})") << std::optional<QString>();
    }

    void emptyTokenIsNoAdministratorToken()
    {
        QFETCH(QByteArray, json);
        QFETCH(std::optional<QString>, adminToken);
        const auto login = decoded<WLogin>(json);
        QVERIFY(login);
        QCOMPARE(login->adminToken(), adminToken);
    }

    void createdStepFieldByField()
    {
        const auto created = decoded<WexoCreate>(R"({"message": "created", "success": true,
            "walkthrough_step_id": "s-9", "walkthroughId": "w-4", "for_page": "HomeViewController",
            "analyticsId": "a-1", "elements": [{"ElementHtmlId": "h-1", "Frame": "f"},
                                               {"ElementId": "e-2", "element_id": "e-3"}]})");
        QVERIFY(created);
        QCOMPARE(created->message, u"created"_s);
        QCOMPARE(created->success, true);
        QCOMPARE(created->walkthroughStepId, u"s-9"_s);
        QCOMPARE(created->walkthroughId, u"w-4"_s);
        QCOMPARE(created->forPage, u"HomeViewController"_s);
        QCOMPARE(created->analyticsId, u"a-1"_s);
        QVERIFY(created->elements);
        QCOMPARE(created->elements->size(), 2);
        QCOMPARE(created->elements->at(0)->ElementHtmlId, u"h-1"_s);
        QCOMPARE(created->elements->at(0)->Frame, u"f"_s);
        QCOMPARE(created->elements->at(1)->ElementId, u"e-2"_s);
        QCOMPARE(created->wexoIdentifier(), u"w-4"_s);
        QCOMPARE(created->wexoStepIdentifier(), u"s-9"_s);
        // Only the first element is asked, and it has no identifier.
        QCOMPARE(created->wexoElementIdentifier(), QString());
    }

    // Without both identifiers the recorded element cannot be filed, so the
    // answer counts as a failed creation whatever "success" says.
    void createdStepNeedsBothIdentifiers_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<bool>("created");
        QTest::addColumn<QString>("elementId");
        QTest::addRow("both") << QByteArray(R"({"walkthroughId": "w", "walkthroughStepId": "s", "elements": [{"ElementId": "e"}]})") << true << u"e"_s;
        QTest::addRow("no step id") << QByteArray(R"({"walkthroughId": "w", "success": true})") << false << QString();
        QTest::addRow("null step id") << QByteArray(R"({"walkthroughId": "w", "walkthroughStepId": null})") << false << QString();
        QTest::addRow("empty walkthrough id") << QByteArray(R"({"walkthroughId": "", "walkthroughStepId": "s"})") << false << QString();
        QTest::addRow("empty answer") << QByteArray("{}") << false << QString();
        QTest::addRow("empty elements") << QByteArray(R"({"walkthroughId": "w", "walkthroughStepId": "s", "elements": []})") << true << QString();
    }

    void createdStepNeedsBothIdentifiers()
    {
        QFETCH(QByteArray, json);
        QFETCH(bool, created);
        QFETCH(QString, elementId);
        const auto record = decoded<WexoCreate>(json);
        QVERIFY(record);
        QCOMPARE(record->isCreated(), created);
        QCOMPARE(record->wexoElementIdentifier(), elementId);
    }

    void analyticsFieldByField()
    {
        const auto analytics = decoded<WexoAnalytics>(R"({"message": "opened", "analyticsId": "a-42", "AnalyticsId": "x"})");
        QVERIFY(analytics);
        QCOMPARE(analytics->message, u"opened"_s);
        QCOMPARE(analytics->analyticsId, u"a-42"_s);
    }

    void answerAcceptance_data()
    {
        QTest::addColumn<QString>("root");
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<bool>("decodes");
        const auto row = [](const char *name, const char *root, const char *json, bool decodes) {
            QTest::newRow(name) << QString::fromLatin1(root) << QByteArray(json) << decodes;
        };
        row("root empty", "WexoRoot", "{}", true);
        row("root Id as number", "WexoRoot", R"({"Id": 17})", false);
        row("name Id as number", "WexoRoot", R"({"wexoName": {"Id": 17}})", false);
        row("page without order", "WexoRoot", R"({"className": [{"PageOrderNo": 0}, {"Page": "A"}]})", false);
        row("page order as text", "WexoRoot", R"({"className": [{"PageOrderNo": "0"}]})", false);
        row("page order snake case", "WexoRoot", R"({"className": [{"Page_Order_No": 0}]})", false);
        row("page active as 1", "WexoRoot", R"({"className": [{"PageOrderNo": 0, "IsActive": 1}]})", false);
        row("values as object", "WexoRoot", R"({"className": [{"PageOrderNo": 0, "values": {}}]})", false);
        row("step with order only", "WexoRoot", R"({"className": [{"PageOrderNo": 0, "values": [{"OrderNumber": 0}]}]})", true);
        row("step order null", "WexoRoot", R"({"className": [{"PageOrderNo": 0, "values": [{"OrderNumber": null}]}]})", false);
        row("step order lower case", "WexoRoot", R"({"className": [{"PageOrderNo": 0, "values": [{"orderNumber": 0}]}]})", false);
        row("step order snake case", "WexoRoot", R"({"className": [{"PageOrderNo": 0, "values": [{"order_number": 0}]}]})", false);
        row("step backdrop as text", "WexoRoot", R"({"className": [{"PageOrderNo": 0, "values": [{"OrderNumber": 0, "HasBackDrop": "yes"}]}]})", false);
        row("list success only", "AllWexo", R"({"success": true})", true);
        row("list without success", "AllWexo", R"({"walkthrough": []})", false);
        row("list success as 1", "AllWexo", R"({"success": 1})", false);
        row("list null walkthrough", "AllWexo", R"({"success": true, "walkthrough": null})", true);
        row("list entry Id as number", "AllWexo", R"({"success": true, "walkthrough": [{"Id": 17}]})", false);
        row("login without success", "WLogin", R"({"token": "t"})", false);
        row("login user null", "WLogin", R"({"success": true, "userInfo": null})", true);
        row("login user empty", "WLogin", R"({"success": true, "userInfo": {}})", false);
        row("login admin as 1", "WLogin", R"({"success": true, "userInfo": {"IsAdmin": 1}})", false);
        row("login admin snake case", "WLogin", R"({"success": true, "user_info": {"is_admin": true}})", false);
        row("create empty", "WexoCreate", "{}", true);
        row("create id as number", "WexoCreate", R"({"walkthroughId": 4})", false);
        row("create success as text", "WexoCreate", R"({"success": "true"})", false);
        row("analytics empty", "WexoAnalytics", "{}", true);
        row("analytics id as number", "WexoAnalytics", R"({"analyticsId": 5})", false);
    }

    void answerAcceptance()
    {
        QFETCH(QString, root);
        QFETCH(QByteArray, json);
        QFETCH(bool, decodes);
        const QString error = decodeError(root, json);
        QVERIFY2(error.isEmpty() == decodes, qPrintable(error));
    }

    void viewType_data()
    {
        QTest::addColumn<std::optional<QString>>("displayType");
        QTest::addColumn<WexoStepView>("view");
        const auto row = [](const char *name, std::optional<QString> text, WexoStepView view) {
            QTest::newRow(name) << text << view;
        };
        row("absent", std::nullopt, WexoStepView::popover);
        row("empty", u""_s, WexoStepView::popover);
        row("unknown", u"sidebar"_s, WexoStepView::popover);
        row("capital letter", u"Banner:top"_s, WexoStepView::popover);
        row("banner top", u"banner:top"_s, WexoStepView::bannerTop);
        row("banner top with suffix", u"banner:topmost"_s, WexoStepView::bannerTop);
        row("banner bottom", u"banner:bottom please"_s, WexoStepView::bannerBottom);
        row("screen in a word", u"fullscreen"_s, WexoStepView::screen);
        row("pulse top left", u"pulse:top-left"_s, WexoStepView::pulseTopLeft);
        row("pulse top right", u"pulse:top-right"_s, WexoStepView::pulseTopRight);
        row("pulse bottom left", u"pulse:bottom-left"_s, WexoStepView::pulseBottomLeft);
        row("pulse bottom right", u"pulse:bottom-right"_s, WexoStepView::pulseBottomRight);
        row("tooltip top left", u"tooltip:top-left"_s, WexoStepView::toolTipTopLeft);
        row("tooltip top right", u"tooltip:top-right"_s, WexoStepView::toolTipTopRight);
        row("tooltip bottom left", u"tooltip:bottom-left"_s, WexoStepView::toolTipBottomLeft);
        row("tooltip bottom right", u"tooltip:bottom-right"_s, WexoStepView::toolTipBottomRight);
        row("popover beats banner", u"banner:top popover"_s, WexoStepView::popover);
        row("banner beats screen", u"screen banner:bottom"_s, WexoStepView::bannerBottom);
        row("bottom-left before top-right", u"pulse:top-right pulse:bottom-left"_s, WexoStepView::pulseBottomLeft);
        row("pulse beats tooltip", u"tooltip:top-left pulse:bottom-right"_s, WexoStepView::pulseBottomRight);
    }

    void viewType()
    {
        QFETCH(std::optional<QString>, displayType);
        QFETCH(WexoStepView, view);
        QCOMPARE(stepWith(displayType, std::nullopt)->viewType(), view);
    }

    void cellPosition_data()
    {
        QTest::addColumn<std::optional<QString>>("frame");
        QTest::addColumn<bool>("isCell");
        QTest::addColumn<std::optional<WIndexPath>>("indexPath");
        const auto row = [](const char *name, std::optional<QString> frame, bool isCell, std::optional<WIndexPath> path) {
            QTest::newRow(name) << frame << isCell << path;
        };
        const std::optional<WIndexPath> none;
        row("absent", std::nullopt, false, none);
        row("cell", u"UITableViewCell_indexpath_[2, 5]"_s, true, WIndexPath{2, 5});
        row("word in capitals", u"UITableViewCell_Indexpath_[2, 5]"_s, false, WIndexPath{2, 5});
        row("word without pair", u"indexpath"_s, true, none);
        row("no blank after comma", u"indexpath_[2,5]"_s, true, none);
        row("blank after bracket", u"indexpath_[ 2, 5]"_s, true, none);
        row("three numbers", u"indexpath_[1, 2, 3]"_s, true, WIndexPath{1, 2});
        row("empty bracket", u"indexpath_[]"_s, true, none);
        row("one number", u"indexpath_[4]"_s, true, none);
        row("missing closing", u"indexpath_[2, 5"_s, true, none);
        row("missing opening", u"indexpath_2, 5]"_s, true, none);
        row("letter", u"indexpath_[a, 5]"_s, true, none);
        row("two pairs", u"[1, 2] and [3, 4]"_s, false, WIndexPath{1, 2});
        row("nested opening", u"[[1, 2]]"_s, false, none);
        row("negative", u"indexpath_[-1, +3]"_s, true, WIndexPath{-1, 3});
        row("sign only", u"indexpath_[-, 3]"_s, true, none);
        row("largest int", u"indexpath_[2147483647, 0]"_s, true, WIndexPath{2147483647, 0});
        // Would wrap to a wrong cell when narrowed to int.
        row("beyond int", u"indexpath_[4294967296, 0]"_s, true, none);
        row("beyond 64 bits", u"indexpath_[0, 99999999999999999999]"_s, true, none);
    }

    void cellPosition()
    {
        QFETCH(std::optional<QString>, frame);
        QFETCH(bool, isCell);
        QFETCH(std::optional<WIndexPath>, indexPath);
        const auto step = stepWith(std::nullopt, frame);
        QCOMPARE(step->isScrollElement(), isCell);
        QCOMPARE(step->indexPathForElement(), indexPath);
    }
};

QTEST_GUILESS_MAIN(tst_GuideContent)
#include "tst_guidecontent.moc"
