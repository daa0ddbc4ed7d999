#include "WexoCreator/appearance-model/WTooltipType.h"
#include "WexoCreator/model/AllWexo.h"
#include "WexoCreator/model/WJsonDecoder.h"
#include "WexoCreator/model/WLogin.h"
#include "WexoCreator/model/WexoAnalytics.h"
#include "WexoCreator/model/WexoCreate.h"
#include "WexoCreator/model/WexoRoot.h"

#include "support/RecordCoding.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QObject>
#include <QTest>

#include <limits>

using namespace WexoCreator;
using namespace Qt::StringLiterals;

namespace {

// Decodes an answer as the named root record; "" when it decodes.
QString decodeError(const QString &root, const QByteArray &json)
{
    return root == u"WexoRoot"     ? WJsonDecoder::decode<WexoRoot>(json).error
           : root == u"AllWexo"    ? WJsonDecoder::decode<AllWexo>(json).error
           : root == u"WLogin"     ? WJsonDecoder::decode<WLogin>(json).error
           : root == u"WexoCreate" ? WJsonDecoder::decode<WexoCreate>(json).error
                                   : WJsonDecoder::decode<WexoAnalytics>(json).error;
}

// A field as text: "-" when absent.
template<class T>
QString t(const T &value)
{
    return QVariant::fromValue(value).toString();
}

template<class T>
QString t(const std::optional<T> &value)
{
    return value ? t(*value) : u"-"_s;
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

// Run-time fields set as the manager and the overlay set them; none may be written.
void setStepRunTimeFields(WexoStep &step)
{
    step.startTime = 1700000000000;
}

void setPageRunTimeFields(Wexo &page)
{
    page.wexoName = u"Run-time name"_s;
    page.analyticsId = u"a-run-time"_s;
    page.totalWexoSteps = 7;
    for (const auto &step : page.values.value_or(QList<std::shared_ptr<WexoStep>>()))
        setStepRunTimeFields(*step);
}

void setRootRunTimeFields(WexoRoot &root)
{
    for (const auto &page : root.wexos.value_or(QList<std::shared_ptr<Wexo>>()))
        setPageRunTimeFields(*page);
}

const QMap<QString, RecordKind> &recordKinds()
{
    static const QMap<QString, RecordKind> kinds{
        {u"WexoRoot"_s, recordKind<WexoRoot>(setRootRunTimeFields)},
        {u"WexoName"_s, recordKind<WexoName>()},
        {u"Wexo"_s, recordKind<Wexo>(setPageRunTimeFields)},
        {u"WexoStep"_s, recordKind<WexoStep>(setStepRunTimeFields)},
        {u"AllWexo"_s, recordKind<AllWexo>()},
        {u"WexoDetails"_s, recordKind<WexoDetails>()},
        {u"WLogin"_s, recordKind<WLogin>()},
        {u"WUserInfo"_s, recordKind<WUserInfo>()},
        {u"WexoCreate"_s, recordKind<WexoCreate>()},
        {u"WexoElements"_s, recordKind<WexoElements>()},
        {u"WexoAnalytics"_s, recordKind<WexoAnalytics>()},
    };
    return kinds;
}

struct EmptyProbe {
    void decode(const WJsonObjectReader &) {}
};

// One typed read of the key "v", through the decoder as an answer is read:
// the value as text, "-" when absent.
struct ReadProbe {
    static inline QString type;
    static inline bool required = true;
    QString outcome;

    void decode(const WJsonObjectReader &json)
    {
        const auto key = "v"_L1;
        if (type == u"text")
            outcome = t(required ? std::optional(json.requiredString(key)) : json.optionalString(key));
        else if (type == u"int64")
            outcome = t(required ? std::optional(json.requiredInt64(key)) : json.optionalInt64(key));
        else if (type == u"bool")
            outcome = t(required ? std::optional(json.requiredBool(key)) : json.optionalBool(key));
        else if (type == u"url")
            outcome = t(required ? std::optional(json.requiredUrl(key)) : json.optionalUrl(key));
        else if (type == u"record")
            outcome = (required ? json.requiredRecord<EmptyProbe>(key) : json.optionalRecord<EmptyProbe>(key)) ? u"record"_s : u"-"_s;
        else if (const auto v = required ? std::optional(json.requiredList<EmptyProbe>(key)) : json.optionalList<EmptyProbe>(key))
            outcome = QStringLiteral("list of %1").arg(v->size());
        else
            outcome = u"-"_s;
    }
};

// What one typed read of "v" in the object makes of it, or "fail".
QString readOutcome(const QString &type, bool required, const QByteArray &object)
{
    ReadProbe::type = type;
    ReadProbe::required = required;
    const WDecodeResult<ReadProbe> result = WJsonDecoder::decode<ReadProbe>(object);
    return result ? result.record->outcome : u"fail"_s;
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
        QVERIFY(root && root->wexoName && root->wexos && root->wexos->size() == 2);
        const Wexo &page = *root->wexos->at(0);
        const Wexo &bare = *root->wexos->at(1);
        QVERIFY(page.values && page.values->size() == 2 && !bare.values);
        QCOMPARE(writeBackMismatch(*root), QString());
        QCOMPARE((QStringList{t(root->Id), t(root->wexoName->Id), t(root->wexoName->Name), t(root->wexoName->appId),
                              t(page.IsActive), t(page.Page), t(page.StepId), t(page.PageOrderNo), t(page.appId),
                              t(page.WalkthroughId), t(page.wexoName), t(page.analyticsId), t(page.totalWexoSteps),
                              t(bare.PageOrderNo), t(bare.IsActive)}),
                 (QStringList{"w-17", "w-17", "Checkout tour", "shop.example", "false", "CheckoutViewController", "s-0", "0",
                              "shop", "w-17", "-", "-", "0", "1", "-"}));
        const WexoStep &step = *page.values->at(0);
        const WexoStep &cell = *page.values->at(1);
        QCOMPARE((QStringList{t(step.StepId), t(step.Frame), t(step.LinkedWalkthruId), t(step.ElementType), t(step.dislplayType),
                              t(step.Title), t(step.description), t(step.HasBackDrop), t(step.ElementId), t(step.OrderNumber),
                              t(step.wexoId), t(step.startTime), step.wexoElementIdentifier(), step.wexoIdentifier(),
                              t(cell.HasBackDrop), cell.wexoStepIdentifier()}),
                 (QStringList{"s-1", "payButton", "w-3", "UIButton", "tooltip:bottom-right", "Pay", "Tap to pay", "-", "e-1", "0",
                              "w-17", "0", "e-1", "w-17", "false", ""}));
    }

    // The list, login, created-step and analytics answers. Neither a snake-case
    // nor a lower-case spelling reaches a capitalised key.
    void smallAnswersFieldByField()
    {
        const auto list = decoded<AllWexo>(R"({"success": false, "message": "ok", "total": 3, "walkthrough": [
            {"Id": "w-1", "Name": "Tour", "WalkthroughForSite": "com.example.shop"},
            {"walkthrough_for_site": "com.example.shop", "id": "w-2"}]})");
        QVERIFY(list && list->walkthrough && list->walkthrough->size() == 2);
        const WexoDetails &first = *list->walkthrough->at(0);
        const WexoDetails &second = *list->walkthrough->at(1);
        const auto login = decoded<WLogin>(R"({"token": "t-1", "message": "welcome", "success": true,
            "user_info": {"Email": "admin@example.com", "IsAdmin": false, "display_name": "Admin", "email": "x"}})");
        QVERIFY(login && login->userInfo);
        const auto created = decoded<WexoCreate>(R"({"message": "created", "success": true, "walkthrough_step_id": "s-9",
            "walkthroughId": "w-4", "for_page": "HomeViewController", "analyticsId": "a-1",
            "elements": [{"ElementHtmlId": "h-1", "Frame": "f"}, {"ElementId": "e-2", "element_id": "e-3"}]})");
        QVERIFY(created && created->elements && created->elements->size() == 2);
        const auto analytics = decoded<WexoAnalytics>(R"({"message": "opened", "analyticsId": "a-42", "AnalyticsId": "x"})");
        QVERIFY(analytics);
        QCOMPARE((QStringList{writeBackMismatch(*list), writeBackMismatch(*login), writeBackMismatch(*created),
                              writeBackMismatch(*analytics)}),
                 QStringList(4, QString()));
        QCOMPARE((QStringList{t(list->success), t(list->message), t(first.Id), t(first.Name), t(first.appId), t(second.appId),
                              t(second.Id), t(login->token), t(login->message), t(login->success), t(login->userInfo->Email),
                              t(login->userInfo->IsAdmin), t(login->userInfo->displayName)}),
                 (QStringList{"false", "ok", "w-1", "Tour", "com.example.shop", "-", "-", "t-1", "welcome", "true",
                              "admin@example.com", "false", "Admin"}));
        // Only the first element is asked for its identifier, and it has none.
        QCOMPARE((QStringList{t(created->message), t(created->success), t(created->walkthroughStepId), t(created->walkthroughId),
                              t(created->forPage), t(created->analyticsId), t(created->elements->at(0)->ElementHtmlId),
                              t(created->elements->at(0)->Frame), t(created->elements->at(1)->ElementId),
                              created->wexoIdentifier(), created->wexoStepIdentifier(), created->wexoElementIdentifier(),
                              t(analytics->message), t(analytics->analyticsId)}),
                 (QStringList{"created", "true", "s-9", "w-4", "HomeViewController", "a-1", "h-1", "f", "e-2", "w-4", "s-9", "",
                              "opened", "a-42"}));
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
        QCOMPARE(writeBackMismatch(*login), QString());
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
        QCOMPARE(writeBackMismatch(*record), QString());
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
        row("page without order", "WexoRoot", R"({"className": [{"PageOrderNo": 0}, {"Page": "A"}]})", false);
        row("page active as 1", "WexoRoot", R"({"className": [{"PageOrderNo": 0, "IsActive": 1}]})", false);
        row("values as object", "WexoRoot", R"({"className": [{"PageOrderNo": 0, "values": {}}]})", false);
        row("step with order only", "WexoRoot", R"({"className": [{"PageOrderNo": 0, "values": [{"OrderNumber": 0}]}]})", true);
        row("step order null", "WexoRoot", R"({"className": [{"PageOrderNo": 0, "values": [{"OrderNumber": null}]}]})", false);
        row("step order lower case", "WexoRoot", R"({"className": [{"PageOrderNo": 0, "values": [{"orderNumber": 0}]}]})", false);
        row("step backdrop as text", "WexoRoot", R"({"className": [{"PageOrderNo": 0, "values": [{"OrderNumber": 0, "HasBackDrop": "yes"}]}]})", false);
        row("list success only", "AllWexo", R"({"success": true})", true);
        row("list without success", "AllWexo", R"({"walkthrough": []})", false);
        row("list null walkthrough", "AllWexo", R"({"success": true, "walkthrough": null})", true);
        row("list entry Id as number", "AllWexo", R"({"success": true, "walkthrough": [{"Id": 17}]})", false);
        row("login without success", "WLogin", R"({"token": "t"})", false);
        row("login user null", "WLogin", R"({"success": true, "userInfo": null})", true);
        row("login user empty", "WLogin", R"({"success": true, "userInfo": {}})", false);
        row("create empty", "WexoCreate", "{}", true);
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
        if (decodes) {
            const QByteArray text = recordKinds().value(root).written(json);
            QVERIFY2(text.startsWith('{'), text.constData());
        }
    }

    // Each record kind written back: keys in coding-key order whatever the
    // answer's order, absent fields left out, run-time fields never written,
    // texts escaped and 64-bit numbers written as Qt writes them.
    void writtenRecords_data()
    {
        addWrittenRecordColumns();
        const auto row = addWrittenRecordRow;
        row("root", "WexoRoot",
            R"({"className": [{"values": [{"OrderNumber": 0, "Title": "Hi"}], "PageOrderNo": 2, "Page": "Home",
                "wexoName": "x", "totalWexoSteps": 3}], "wexo_name": {"Name": "Tour"}, "Id": "w-1", "other": 1})",
            R"({"Id":"w-1","wexoName":{"Name":"Tour"},"className":[{"Page":"Home","PageOrderNo":2,"values":[{"Title":"Hi","OrderNumber":0}]}]})");
        row("root empty", "WexoRoot", "{}", "{}");
        row("root without pages", "WexoRoot", R"({"className": [], "wexoName": null})", R"({"className":[]})");
        row("name", "WexoName", R"({"domain": "shop", "Name": "N", "Id": "w"})", R"({"Id":"w","Name":"N","domain":"shop"})");
        row("page", "Wexo",
            R"({"values": [], "WalkthroughId": "w", "Subdomain": "s", "PageOrderNo": -3, "StepId": "s0", "Page": "P",
                "IsActive": false, "analyticsId": "x"})",
            R"({"IsActive":false,"Page":"P","StepId":"s0","PageOrderNo":-3,"Subdomain":"s","WalkthroughId":"w","values":[]})");
        row("page order only", "Wexo", R"({"PageOrderNo": 9223372036854775807, "IsActive": null})",
            R"({"PageOrderNo":9223372036854775807})");
        row("step", "WexoStep",
            // A plain literal: moc misreads escapes inside a raw string.
            "{\"StepId\": \"s\", \"Frame\": \"f\", \"LinkedWalkthruId\": \"l\", \"ElementId\": \"e\", \"ElementType\": \"t\","
            "\"PlaybookNotes\": \"banner:top\", \"Title\": \"T\", \"ElementText\": \"D \\\"q\\\" \\u00e9\\n/\", \"HasBackDrop\": true,"
            "\"OrderNumber\": -9223372036854775808, \"WalkthroughId\": \"w\", \"startTime\": 5}",
            "{\"StepId\":\"s\",\"Frame\":\"f\",\"LinkedWalkthruId\":\"l\",\"ElementType\":\"t\",\"PlaybookNotes\":\"banner:top\","
            "\"Title\":\"T\",\"ElementText\":\"D \\\"q\\\" \xc3\xa9\\n/\",\"HasBackDrop\":true,\"ElementId\":\"e\","
            "\"OrderNumber\":-9223372036854775808,\"WalkthroughId\":\"w\"}");
        row("step order only", "WexoStep", R"({"OrderNumber": 0, "HasBackDrop": null})", R"({"OrderNumber":0})");
        row("list", "AllWexo", R"({"success": false, "message": "m", "walkthrough": [{"WalkthroughForSite": "a", "Id": "1"}, {}]})",
            R"({"walkthrough":[{"Id":"1","WalkthroughForSite":"a"},{}],"message":"m","success":false})");
        row("list success only", "AllWexo", R"({"success": true, "walkthrough": null})", R"({"success":true})");
        row("list entry", "WexoDetails", R"({"Name": "n", "Id": "i", "WalkthroughForSite": "s"})",
            R"({"Id":"i","Name":"n","WalkthroughForSite":"s"})");
        row("login", "WLogin", R"({"success": true, "message": "m", "userInfo": {"IsAdmin": false}, "token": ""})",
            R"({"token":"","userInfo":{"IsAdmin":false},"message":"m","success":true})");
        row("login success only", "WLogin", R"({"success": false, "userInfo": null})", R"({"success":false})");
        row("account", "WUserInfo", R"({"displayName": "d", "IsAdmin": true, "Email": "e"})",
            R"({"Email":"e","IsAdmin":true,"displayName":"d"})");
        row("created step", "WexoCreate",
            R"({"elements": [{"Frame": "f", "ElementId": "e"}], "analyticsId": "a", "forPage": "p", "walkthroughId": "w",
                "walkthroughStepId": "s", "success": false, "message": "m"})",
            R"({"message":"m","success":false,"walkthroughStepId":"s","walkthroughId":"w","forPage":"p","analyticsId":"a","elements":[{"ElementId":"e","Frame":"f"}]})");
        row("created step empty", "WexoCreate", R"({"elements": null})", "{}");
        row("element", "WexoElements", R"({"Frame": "f", "ElementHtmlId": "h", "ElementId": "e"})",
            R"({"ElementId":"e","ElementHtmlId":"h","Frame":"f"})");
        row("analytics", "WexoAnalytics", R"({"analyticsId": "a", "message": "m"})", R"({"message":"m","analyticsId":"a"})");
        row("analytics without message", "WexoAnalytics", R"({"analyticsId": "a", "message": null})", R"({"analyticsId":"a"})");
    }

    void writtenRecords()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, json);
        QFETCH(QByteArray, text);
        QCOMPARE(recordKinds().value(kind).written(json), text);
    }

    // Every walkthrough of the sample data writes back into an equal record.
    void sampleWalkthroughsWriteBack()
    {
        const QDir folder(QStringLiteral(WEXO_SAMPLE_DATA_DIR "/walkthroughs"));
        const QStringList files = folder.entryList({u"*.json"_s}, QDir::Files);
        QVERIFY(!files.isEmpty());
        for (const QString &name : files) {
            QFile file(folder.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const auto root = decoded<WexoRoot>(file.readAll());
            QVERIFY2(root, qPrintable(name));
            QVERIFY2(root->wexos && !root->wexos->isEmpty(), qPrintable(name));
            const QString mismatch = writeBackMismatch(*root);
            QVERIFY2(mismatch.isEmpty(), qPrintable(name + u": "_s + mismatch));
        }
    }

    void codingKeys_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("texts");
        QTest::addRow("WexoRoot") << u"WexoRoot"_s << QStringList{"Id", "wexoName", "className"};
        QTest::addRow("WexoName") << u"WexoName"_s << QStringList{"Id", "Name", "domain"};
        QTest::addRow("Wexo") << u"Wexo"_s
                              << QStringList{"IsActive", "Page", "StepId", "PageOrderNo", "Subdomain", "WalkthroughId", "values"};
        QTest::addRow("WexoStep") << u"WexoStep"_s
                                  << QStringList{"StepId", "Frame", "LinkedWalkthruId", "ElementType", "PlaybookNotes", "Title",
                                                 "ElementText", "HasBackDrop", "ElementId", "OrderNumber", "WalkthroughId"};
        QTest::addRow("AllWexo") << u"AllWexo"_s << QStringList{"walkthrough", "message", "success"};
        QTest::addRow("WexoDetails") << u"WexoDetails"_s << QStringList{"Id", "Name", "WalkthroughForSite"};
        QTest::addRow("WLogin") << u"WLogin"_s << QStringList{"token", "userInfo", "message", "success"};
        QTest::addRow("WUserInfo") << u"WUserInfo"_s << QStringList{"Email", "IsAdmin", "displayName"};
        QTest::addRow("WexoCreate") << u"WexoCreate"_s
                                    << QStringList{"message", "success", "walkthroughStepId", "walkthroughId", "forPage",
                                                   "analyticsId", "elements"};
        QTest::addRow("WexoElements") << u"WexoElements"_s << QStringList{"ElementId", "ElementHtmlId", "Frame"};
        QTest::addRow("WexoAnalytics") << u"WexoAnalytics"_s << QStringList{"message", "analyticsId"};
    }

    void codingKeys()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, texts);
        QCOMPARE(recordKinds().value(kind).codingKeyMismatch(texts), QString());
    }

    void viewType_data()
    {
        QTest::addColumn<std::optional<QString>>("displayType");
        QTest::addColumn<WexoStepView>("view");
        const auto row = [](const char *name, std::optional<QString> text, WexoStepView view) {
            QTest::newRow(name) << text << view;
        };
        row("absent", std::nullopt, WexoStepView::popover);
        row("unknown", u"sidebar"_s, WexoStepView::popover);
        row("capital letter", u"Banner:top"_s, WexoStepView::popover);
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

    // Raw values are 64-bit: a number that would narrow to a kind is no kind.
    void rawValues_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<qint64>("raw");
        QTest::addColumn<qint64>("found"); // -1: no kind
        constexpr qint64 twoTo32 = qint64(1) << 32;
        QTest::addRow("view -1") << u"view"_s << qint64(-1) << qint64(-1);
        QTest::addRow("view 0") << u"view"_s << qint64(0) << qint64(0);
        QTest::addRow("view 11") << u"view"_s << qint64(11) << qint64(11);
        QTest::addRow("view 12") << u"view"_s << qint64(12) << qint64(-1);
        QTest::addRow("view 2^32+3") << u"view"_s << twoTo32 + 3 << qint64(-1);
        QTest::addRow("tooltip -1") << u"tooltip"_s << qint64(-1) << qint64(-1);
        QTest::addRow("tooltip 1") << u"tooltip"_s << qint64(1) << qint64(1);
        QTest::addRow("tooltip 2") << u"tooltip"_s << qint64(2) << qint64(-1);
        QTest::addRow("tooltip 2^32+1") << u"tooltip"_s << twoTo32 + 1 << qint64(-1);
    }

    void rawValues()
    {
        QFETCH(QString, kind);
        QFETCH(qint64, raw);
        QFETCH(qint64, found);
        if (kind == u"view") {
            const std::optional<WexoStepView> view = wexoStepViewFromRawValue(raw);
            QCOMPARE(view ? rawValue(*view) : -1, found);
        } else {
            const std::optional<WTooltipType> type = tooltipTypeFromRawValue(raw);
            QCOMPARE(type ? rawValue(*type) : -1, found);
        }
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
        row("three numbers", u"indexpath_[1, 2, 3]"_s, true, WIndexPath{1, 2});
        row("one number", u"indexpath_[4]"_s, true, none);
        row("letter", u"indexpath_[a, 5]"_s, true, none);
        row("two pairs", u"[1, 2] and [3, 4]"_s, false, WIndexPath{1, 2});
        row("nested opening", u"[[1, 2]]"_s, false, none);
        row("negative", u"indexpath_[-1, +3]"_s, true, WIndexPath{-1, 3});
        row("sign only", u"indexpath_[-, 3]"_s, true, none);
        row("largest int", u"indexpath_[2147483647, 0]"_s, true, WIndexPath{2147483647, 0});
        row("beyond int", u"indexpath_[3000000000, 1]"_s, true, WIndexPath{3000000000, 1});
        row("largest 64-bit", u"indexpath_[9223372036854775807, -9223372036854775808]"_s, true,
            WIndexPath{std::numeric_limits<qint64>::max(), std::numeric_limits<qint64>::min()});
        row("beyond 64 bits", u"indexpath_[0, 9223372036854775808]"_s, true, none);
        row("far beyond 64 bits", u"indexpath_[0, 99999999999999999999]"_s, true, none);
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

    void snakeCaseConversion_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("converted");
        QTest::addRow("two words") << u"class_name"_s << u"className"_s;
        QTest::addRow("mixed case pieces") << u"wexo_NAME_tExt"_s << u"wexoNameText"_s;
        QTest::addRow("doubled underscore") << u"display__name"_s << u"displayName"_s;
        QTest::addRow("leading run kept") << u"__font_url"_s << u"__fontUrl"_s;
        QTest::addRow("trailing run kept") << u"font_url___"_s << u"fontUrl___"_s;
        QTest::addRow("both runs kept") << u"_a_b_"_s << u"_aB_"_s;
        QTest::addRow("leading only unchanged") << u"_Private"_s << u"_Private"_s;
        QTest::addRow("no underscore unchanged") << u"PageOrderNo"_s << u"PageOrderNo"_s;
        QTest::addRow("empty") << QString() << QString();
        QTest::addRow("digit piece") << u"step_2_id"_s << u"step2Id"_s;
        QTest::addRow("non-ASCII piece") << u"über_ölkanne"_s << u"überÖlkanne"_s;
    }

    void snakeCaseConversion()
    {
        QFETCH(QString, key);
        QFETCH(QString, converted);
        QCOMPARE(WJsonDecoder::convertFromSnakeCase(key), converted);
    }

    void typeAcceptance_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("required");
        QTest::addColumn<QByteArray>("object");
        QTest::addColumn<QString>("expected");

        const QList<std::pair<const char *, const char *>> values{
            {"string", "\"https://cdn.example/f.ttf\""},
            {"7", "7"},
            {"1.0", "1.0"},
            {"1.5", "1.5"},
            {"2^63", "9223372036854775808"},
            {"true", "true"},
            {"1", "1"},
            {"null", "null"},
            {"missing", nullptr},
            {"{}", "{}"},
            {"[]", "[]"},
        };
        // What each type makes of each present, non-null value; the rest fail.
        const QMap<QString, QMap<QString, QString>> accepted{
            {u"text"_s, {{u"string"_s, u"https://cdn.example/f.ttf"_s}}},
            {u"int64"_s, {{u"7"_s, u"7"_s}, {u"1.0"_s, u"1"_s}, {u"1"_s, u"1"_s}}},
            {u"bool"_s, {{u"true"_s, u"true"_s}}},
            {u"url"_s, {{u"string"_s, u"https://cdn.example/f.ttf"_s}}},
            {u"record"_s, {{u"{}"_s, u"record"_s}}},
            {u"list"_s, {{u"[]"_s, u"list of 0"_s}}},
        };
        for (auto type = accepted.cbegin(); type != accepted.cend(); ++type) {
            for (const bool required : {true, false}) {
                for (const auto &[name, json] : values) {
                    const QString valueName = QString::fromLatin1(name);
                    QString expected = type->value(valueName, u"fail"_s);
                    if (valueName == u"null" || valueName == u"missing")
                        expected = required ? u"fail"_s : u"-"_s;
                    const QByteArray object = json ? QByteArray("{\"v\":") + json + '}' : QByteArray("{\"other\":1}");
                    QTest::addRow("%s %s %s", qPrintable(type.key()), required ? "required" : "optional", name)
                        << type.key() << required << object << expected;
                }
            }
        }
        // Edges of the accepted values.
        const auto edge = [](const char *name, const QString &type, const QByteArray &value, const QString &expected) {
            QTest::addRow("%s", name) << type << true << QByteArray("{\"v\":" + value + '}') << expected;
        };
        edge("largest int64", u"int64"_s, "9223372036854775807", u"9223372036854775807"_s);
        edge("smallest int64", u"int64"_s, "-9223372036854775808", u"-9223372036854775808"_s);
        edge("exponent whole", u"int64"_s, "1e3", u"1000"_s);
        edge("negative zero", u"int64"_s, "-0.0", u"0"_s);
        edge("digits as text", u"int64"_s, "\"7\"", u"fail"_s);
        edge("true as text", u"bool"_s, "\"true\"", u"fail"_s);
        edge("empty text", u"text"_s, "\"\"", QString());
        edge("empty url", u"url"_s, "\"\"", u"fail"_s);
        edge("url with blank", u"url"_s, "\"http://exa mple.com\"", u"fail"_s);
        edge("url bad escape", u"url"_s, "\"%zz\"", u"fail"_s);
        edge("relative url", u"url"_s, "\"fonts/a.ttf\"", u"fail"_s);
        edge("url without scheme", u"url"_s, "\"abc\"", u"fail"_s);
        edge("url with scheme only text", u"url"_s, "\"mailto:a@b.example\"", u"mailto:a@b.example"_s);
        edge("list of objects", u"list"_s, "[{}, {\"x\": 1}]", u"list of 2"_s);
        edge("list with null", u"list"_s, "[{}, null]", u"fail"_s);
    }

    void typeAcceptance()
    {
        QFETCH(QString, type);
        QFETCH(bool, required);
        QFETCH(QByteArray, object);
        QFETCH(QString, expected);
        QCOMPARE(readOutcome(type, required, object), expected);
    }

    // An integer is decided on its text as written: exactly its whole value,
    // or the whole answer fails. Doubles would round or hide a fraction.
    void integerFromItsText_data()
    {
        QTest::addColumn<QByteArray>("number");
        QTest::addColumn<QString>("expected");
        QTest::addRow("2^53 + 1 with a point") << QByteArray("9007199254740993.0") << u"9007199254740993"_s;
        QTest::addRow("18 digits with a point") << QByteArray("123456789012345678.0") << u"123456789012345678"_s;
        QTest::addRow("largest with a point") << QByteArray("9223372036854775807.0") << u"9223372036854775807"_s;
        QTest::addRow("smallest in exponent form") << QByteArray("-9.223372036854775808e18") << u"-9223372036854775808"_s;
        QTest::addRow("digits past the point that cancel") << QByteArray("12345678901234567890e-1") << u"1234567890123456789"_s;
        QTest::addRow("fraction below a double's precision") << QByteArray("1.0000000000000000001") << u"fail"_s;
        QTest::addRow("quarter past 2^52") << QByteArray("4503599627370496.25") << u"fail"_s;
        QTest::addRow("one below the smallest") << QByteArray("-9223372036854775809") << u"fail"_s;
        QTest::addRow("one above the largest") << QByteArray("9223372036854775808") << u"fail"_s;
        QTest::addRow("2^63 with a point") << QByteArray("9223372036854775808.0") << u"fail"_s;
        QTest::addRow("exponent past 64 bits") << QByteArray("1e19") << u"fail"_s;
        QTest::addRow("past 2^53, point without digits") << QByteArray("9007199254740993.") << u"9007199254740993"_s;
        QTest::addRow("fraction without a leading digit") << QByteArray("-.5") << u"fail"_s;
        QTest::addRow("integer literal") << QByteArray("42") << u"42"_s;
        QTest::addRow("exponent") << QByteArray("1e2") << u"100"_s;
        QTest::addRow("capital exponent with sign") << QByteArray("1E+2") << u"100"_s;
        QTest::addRow("negative exponent") << QByteArray("100e-2") << u"1"_s;
        QTest::addRow("negative zero") << QByteArray("-0") << u"0"_s;
        QTest::addRow("zero with a huge exponent") << QByteArray("0e999999999999") << u"0"_s;
        QTest::addRow("whole with a point") << QByteArray("2.0") << u"2"_s;
        QTest::addRow("largest") << QByteArray("9223372036854775807") << u"9223372036854775807"_s;
        QTest::addRow("smallest") << QByteArray("-9223372036854775808") << u"-9223372036854775808"_s;
    }

    void integerFromItsText()
    {
        QFETCH(QByteArray, number);
        QFETCH(QString, expected);
        // Numbers inside texts are not numbers, escaped quotes included.
        const WDecodeResult<Wexo> page = WJsonDecoder::decode<Wexo>("{\"Page\": \"2.0 \\\"3.0\\\" 1e2\", \"PageOrderNo\": " + number + "}");
        QCOMPARE(page ? QString::number(page.record->PageOrderNo) : u"fail"_s, expected);
        if (page)
            QCOMPARE(page.record->Page, u"2.0 \"3.0\" 1e2"_s);
    }

    void failureReachesTheRoot_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("error");
        QTest::addRow("bad step in second page") << QByteArray(R"({"className": [
                {"PageOrderNo": 0, "values": [{"OrderNumber": 0}]},
                {"PageOrderNo": 1, "values": [{"OrderNumber": 1}, {"OrderNumber": "2"}]}]})")
                                                 << u"className[1].values[1].OrderNumber: expected a whole number within 64 bits"_s;
        QTest::addRow("missing required key") << QByteArray(R"({"className": [{"Page": "Home"}]})")
                                              << u"className[0].PageOrderNo: missing required key"_s;
        QTest::addRow("null list element") << QByteArray(R"({"className": [{"PageOrderNo": 0}, null]})")
                                           << u"className[1]: expected an object"_s;
        QTest::addRow("bad field in optional record") << QByteArray(R"({"wexoName": {"Id": 5}})")
                                                      << u"wexoName.Id: expected a string"_s;
        QTest::addRow("top-level array") << QByteArray(R"([{"Id": "w1"}])") << u"expected an object at the top level"_s;
        QTest::addRow("not JSON") << QByteArray("<html>") << u"not JSON: "_s;
    }

    void failureReachesTheRoot()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, error);
        const WDecodeResult<WexoRoot> result = WJsonDecoder::decode<WexoRoot>(json);
        QVERIFY(!result);
        // Parser messages vary; only the decoder's own part is pinned.
        if (error.endsWith(u": "))
            QVERIFY2(result.error.startsWith(error), qPrintable(result.error));
        else
            QCOMPARE(result.error, error);
    }

    // When an object holds a key in its exact form and a snake-case key that
    // converts to it, the exact form is used, whatever their order.
    void exactKeyWinsOverItsSnakeCaseForm_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<qsizetype>("pages");
        QTest::addRow("exact first") << QByteArray(R"({"className": [], "class_name": [{"PageOrderNo": 1}]})") << qsizetype(0);
        QTest::addRow("snake only") << QByteArray(R"({"class_name": [{"PageOrderNo": 1}]})") << qsizetype(1);
        QTest::addRow("null is absent") << QByteArray(R"({"className": null})") << qsizetype(-1);
        QTest::addRow("exact null wins") << QByteArray(R"({"className": null, "class_name": [{"PageOrderNo": 1}]})") << qsizetype(-1);
        QTest::addRow("other letter case") << QByteArray(R"({"ClassName": [{"PageOrderNo": 1}]})") << qsizetype(-1);
    }

    void exactKeyWinsOverItsSnakeCaseForm()
    {
        QFETCH(QByteArray, json);
        QFETCH(qsizetype, pages);
        const auto result = WJsonDecoder::decode<WexoRoot>(json);
        QVERIFY2(result, qPrintable(result.error));
        QCOMPARE(result.record->wexos ? result.record->wexos->size() : -1, pages);
        QCOMPARE(writeBackMismatch(*result.record), QString());
    }
};

QTEST_GUILESS_MAIN(tst_GuideContent)
#include "tst_guidecontent.moc"
