#include "WexoCreator/model/WJsonDecoder.h"
#include "WexoCreator/model/WexoRoot.h"

#include <QJsonDocument>
#include <QJsonArray>
#include <QObject>
#include <QSet>
#include <QTest>

#include <functional>
#include <limits>

using namespace WexoCreator;
using namespace Qt::StringLiterals;

namespace {

struct EmptyProbe {
    void decode(const WJsonObjectReader &) {}
};

// Runs one typed read of the key "v" and says what came of it: the value
// as text, "absent", or "fail".
QString readOutcome(const QString &type, bool required, const QByteArray &object)
{
    const WJsonObjectReader json(QJsonDocument::fromJson(object).object());
    const auto key = "v"_L1;
    try {
        if (type == u"text") {
            const std::optional<QString> v = required ? json.requiredString(key) : json.optionalString(key);
            return v ? *v : u"absent"_s;
        }
        if (type == u"int64") {
            const std::optional<qint64> v = required ? json.requiredInt64(key) : json.optionalInt64(key);
            return v ? QString::number(*v) : u"absent"_s;
        }
        if (type == u"bool") {
            const std::optional<bool> v = required ? json.requiredBool(key) : json.optionalBool(key);
            return v ? (*v ? u"true"_s : u"false"_s) : u"absent"_s;
        }
        if (type == u"url") {
            const std::optional<QUrl> v = required ? json.requiredUrl(key) : json.optionalUrl(key);
            return v ? v->toString() : u"absent"_s;
        }
        if (type == u"record") {
            const auto v = required ? json.requiredRecord<EmptyProbe>(key) : json.optionalRecord<EmptyProbe>(key);
            return v ? u"record"_s : u"absent"_s;
        }
        const auto v = required ? std::optional(json.requiredList<EmptyProbe>(key)) : json.optionalList<EmptyProbe>(key);
        return v ? QStringLiteral("list of %1").arg(v->size()) : u"absent"_s;
    } catch (const WDecodeError &error) {
        return u"fail"_s;
    }
}

} // namespace

class tst_WJsonDecoder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void snakeCaseConversion_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("converted");
        QTest::addRow("two words") << u"class_name"_s << u"className"_s;
        QTest::addRow("upper-case pieces") << u"USER_INFO"_s << u"userInfo"_s;
        QTest::addRow("mixed case pieces") << u"wexo_NAME_tExt"_s << u"wexoNameText"_s;
        QTest::addRow("doubled underscore") << u"display__name"_s << u"displayName"_s;
        QTest::addRow("leading run kept") << u"__font_url"_s << u"__fontUrl"_s;
        QTest::addRow("trailing run kept") << u"font_url___"_s << u"fontUrl___"_s;
        QTest::addRow("both runs kept") << u"_a_b_"_s << u"_aB_"_s;
        QTest::addRow("leading only unchanged") << u"_Private"_s << u"_Private"_s;
        QTest::addRow("trailing only unchanged") << u"Name__"_s << u"Name__"_s;
        QTest::addRow("underscores only") << u"___"_s << u"___"_s;
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
                        expected = required ? u"fail"_s : u"absent"_s;
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
        edge("relative url", u"url"_s, "\"fonts/a.ttf\"", u"fonts/a.ttf"_s);
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
        QTest::addRow("object for a list") << QByteArray(R"({"className": {"PageOrderNo": 0}})")
                                           << u"className: expected an array"_s;
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
        QTest::addRow("snake first") << QByteArray(R"({"class_name": [{"PageOrderNo": 1}], "className": []})") << qsizetype(0);
        QTest::addRow("snake only") << QByteArray(R"({"class_name": [{"PageOrderNo": 1}]})") << qsizetype(1);
        QTest::addRow("upper snake only") << QByteArray(R"({"CLASS_NAME": [{"PageOrderNo": 1}]})") << qsizetype(1);
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
    }
};

QTEST_GUILESS_MAIN(tst_WJsonDecoder)
#include "tst_wjsondecoder.moc"
