#include "WexoCreator/appearance-model/Template.h"
#include "WexoCreator/appearance-model/Theme.h"
#include "WexoCreator/appearance-model/WexoTheme.h"
#include "WexoCreator/model/WJsonDecoder.h"

#include "support/RecordCoding.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace WexoCreator;
using namespace Qt::StringLiterals;
using OptText = std::optional<QString>;

namespace {

QJsonObject fixture()
{
    QFile file(QStringLiteral(WEXO_TESTS_DIR "/appearance-model/data/full-theme.json"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("theme fixture missing");
    return QJsonDocument::fromJson(file.readAll()).object();
}

QByteArray bytes(const QJsonObject &object)
{
    return QJsonDocument(object).toJson();
}

// The fixture with one key of the element configuration, or of a record in it, replaced (undefined removes it).
QByteArray changedFixture(const QString &record, const QString &key, const QJsonValue &value)
{
    const auto edit = [&](QJsonObject object) {
        value.isUndefined() ? object.remove(key) : void(object.insert(key, value));
        return object;
    };
    QJsonObject root = fixture();
    QJsonObject config = root[u"config"_s].toObject();
    QJsonObject element = config[u"Configurations"_s].toObject();
    if (record.isEmpty())
        element = edit(element);
    else
        element[record] = edit(element[record].toObject());
    config[u"Configurations"_s] = element;
    root[u"config"_s] = config;
    return bytes(root);
}

QString text(const OptText &value)
{
    return value.value_or(u"<none>"_s);
}

// Every key of a menu record in the fixture is a required one.
QStringList keysOf(const QString &record)
{
    return fixture()[u"config"_s][u"Configurations"_s][record].toObject().keys();
}

const QMap<QString, RecordKind> &recordKinds()
{
    static const QMap<QString, RecordKind> kinds{
        {u"ElementConfiguration"_s, recordKind<ElementConfiguration>()},
        {u"WFonts"_s, recordKind<WFonts>()},
        {u"MobileColors"_s, recordKind<MobileColors>()},
        {u"MobileTexts"_s, recordKind<MobileTexts>()},
        {u"Template"_s, recordKind<Template>()},
        {u"TemplateParameters"_s, recordKind<TemplateParameters>()},
        {u"TemplateConstraints"_s, recordKind<TemplateConstraints>()},
    };
    return kinds;
}

const QStringList blockKeys{u"popover"_s,  u"nextButton"_s,  u"endButton"_s, u"backButton"_s,         u"closeButton"_s,
                            u"stepsTitle"_s, u"heading"_s,   u"content"_s,   u"progressbar"_s,        u"logoText"_s,
                            u"progressbarWrapper"_s,         u"banner"_s,    u"tapHere"_s};

// The blocks that decoded, each as key=text, so one comparison covers all thirteen.
QStringList presentBlocks(const Template &t)
{
    QStringList names;
    if (const auto &p = t.CssObject()) {
        const QList<std::shared_ptr<TemplateConstraints>> blocks{
            p->popover(), p->nextButton(),  p->endButton(),          p->backButton(), p->closeButton(),
            p->stepsTitle(), p->heading(),  p->content(),            p->progressbar(), p->logoText(),
            p->progressbarWrapper(),        p->banner(),             p->tapHere()};
        for (qsizetype i = 0; i < blocks.size(); ++i) {
            if (blocks.at(i))
                names << blockKeys.at(i) + u'=' + blocks.at(i)->text().value_or(u"-"_s);
        }
    }
    return names;
}

QJsonObject block(const QString &text)
{
    return {{u"text"_s, text}};
}

QJsonObject css(const QJsonObject &blocks)
{
    return {{u"CssObject"_s, blocks}};
}

TemplateConstraints decodeBlock(const QJsonObject &object)
{
    const auto result = WJsonDecoder::decodeValue<TemplateConstraints>(object);
    if (!result.record) // nothing inside a block may fail it
        qFatal("style block failed: %s", qPrintable(result.error));
    return *result.record;
}

} // namespace

class tst_Theme : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fullThemeFieldByField()
    {
        const auto result = WJsonDecoder::decode<Theme>(bytes(fixture()));
        QVERIFY2(result, qPrintable(result.error));
        const Theme &theme = *result.record;
        QVERIFY(theme.config() && theme.config()->Configurations());
        const ThemeConfiguration &config = *theme.config();
        const ElementConfiguration &element = *config.Configurations();
        QCOMPARE(theme.success(), std::optional<bool>(false));
        QCOMPARE(element.showSearchbar(), true);
        QCOMPARE(element.getTooltipType(), WTooltipType::questionMark);
        QVERIFY(element.pulse() && element.playIcon() && element.cameraIcon() && element.tooltipColor());
        QVERIFY(!element.highlighter());
        // Only the hyphenated key fills the tooltip pair.
        QCOMPARE((QStringList{text(theme.message()), text(config.CompanyId()), text(config.PrimaryColor()),
                              text(config.SecondaryColor()), text(config.FontFamily()), text(config.CompanyURL()),
                              text(config.isMobile()), text(element.pulse()->prop1()), text(element.pulse()->prop2()),
                              text(element.playIcon()->prop1()), text(element.playIcon()->prop2()),
                              text(element.cameraIcon()->prop1()), text(element.tooltipColor()->prop1()),
                              text(element.tooltipColor()->prop2()), element.getPreference(), element.getIcon(),
                              element.getPlacement(), element.getTitleText()}),
                 (QStringList{u"ok"_s, u"42"_s, u"#AF90EF"_s, u""_s, u"Lato"_s, u"not a web address"_s, u"true"_s,
                              u"#111111"_s, u"#222222"_s, u"<none>"_s, u"#444444"_s, u"<none>"_s, u"#555555"_s,
                              u"#666666"_s, u"console"_s, u"camera"_s, u"right"_s, u"Guide me"_s}));

        QVERIFY(element.fonts() && element.fonts()->size() == 3);
        const auto &fonts = *element.fonts();
        QCOMPARE((QStringList{text(fonts[0]->fontName()), text(fonts[0]->fontUrl()), text(fonts[1]->fontName()),
                              text(fonts[1]->fontUrl())}),
                 (QStringList{u"Lato"_s, u"https://fonts.example/lato.ttf"_s, u"Mono"_s, u"https://fonts.example/mono.ttf"_s}));
        // local_url converts to localUrl, which is not the key.
        QCOMPARE(fonts[1]->localURL(), std::nullopt);
        QCOMPARE(fonts[2]->localURL(), std::optional<QUrl>(QUrl(u"file:///tmp/sans.ttf"_s)));

        QVERIFY(element.mobileColors() && element.mobileTexts());
        const MobileColors &c = *element.mobileColors();
        QCOMPARE((QStringList{c.blockBackgroundColor(), c.listItemBackgroundColor(), c.listItemTextColor(),
                              c.optionsTextColor(), c.poweredByTextColor(), c.searchHereBackgroundColor(),
                              c.searchHereTextColor()}),
                 (QStringList{u"#010101"_s, u"#020202"_s, u"#030303"_s, u"#040404"_s, u"#050505"_s, u"#060606"_s,
                              u"not a colour"_s}));
        const MobileTexts &t = *element.mobileTexts();
        QCOMPARE((QStringList{t.aboutText(), t.aboutUsLink(), t.logoLink(), t.logoPath(), t.optionsText(),
                              t.playWexosText(), t.poweredByText(), t.privacyPolicyLink(), t.privacyPolicyText(),
                              t.searchBarTextMobile(), t.supportLink(), t.supportText()}),
                 (QStringList{u"About us"_s, u"https://about.example"_s, u"https://logo.example"_s,
                              u"https://cdn.example/images/logo_grey.png"_s, u""_s, u"Guides"_s, u"Powered"_s,
                              u"not a link"_s, u"Privacy"_s, u"Search"_s, u"help@example.com"_s, u"Help desk"_s}));
    }

    void getterFallbacks_data()
    {
        QTest::addColumn<OptText>("value");
        QTest::addColumn<bool>("builtIn");
        QTest::addColumn<WTooltipType>("tooltip");

        QTest::addRow("absent") << OptText() << true << WTooltipType::iMark;
        QTest::addRow("empty") << OptText(QString()) << true << WTooltipType::iMark;
        QTest::addRow("one blank kept") << OptText(u" "_s) << false << WTooltipType::questionMark;
        QTest::addRow("iMark") << OptText(u"iMark"_s) << false << WTooltipType::iMark;
        QTest::addRow("questionMark") << OptText(u"questionMark"_s) << false << WTooltipType::questionMark;
        QTest::addRow("other case") << OptText(u"imark"_s) << false << WTooltipType::questionMark;
        QTest::addRow("trailing blank") << OptText(u"iMark "_s) << false << WTooltipType::questionMark;
    }

    void getterFallbacks()
    {
        QFETCH(OptText, value);
        QFETCH(bool, builtIn);
        QFETCH(WTooltipType, tooltip);

        ElementConfiguration element;
        element.setTypeIcon(value);
        element.setPreferences(value);
        element.setPlacement(value);
        element.setText(value);
        element.setTooltip(value);
        const QStringList expected = builtIn ? QStringList{u"wexoIcon"_s, u"widget"_s, u"left"_s, u"Help"_s}
                                             : QStringList(4, *value);
        QCOMPARE((QStringList{element.getIcon(), element.getPreference(), element.getPlacement(), element.getTitleText()}),
                 expected);
        QCOMPARE(element.getTooltipType(), tooltip);
    }

    void decodesOrFailsWhole_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("decodes");

        const auto config = [](const QJsonObject &inner) { return bytes({{u"config"_s, inner}}); };
        QTest::addRow("empty object") << QByteArray("{}") << true;
        QTest::addRow("config null") << bytes({{u"config"_s, QJsonValue::Null}}) << true;
        QTest::addRow("wrong-case keys ignored") << config({{u"companyId"_s, 7}, {u"primaryColor"_s, true}}) << true;
        QTest::addRow("only showSearchbar") << config({{u"Configurations"_s, QJsonObject{{u"showSearchbar"_s, false}}}}) << true;
        for (const QString &record : {u"mobileColors"_s, u"mobileTexts"_s}) {
            for (const QString &key : keysOf(record)) {
                QTest::addRow("%s without %s", qPrintable(record), qPrintable(key))
                    << changedFixture(record, key, QJsonValue::Undefined) << false;
                QTest::addRow("%s %s null", qPrintable(record), qPrintable(key))
                    << changedFixture(record, key, QJsonValue::Null) << false;
            }
        }
        const QJsonArray list{QJsonObject()};
        QTest::addRow("colour as number") << changedFixture(u"mobileColors"_s, u"optionsTextColor"_s, 0xf1f1f1) << false;
        QTest::addRow("text as boolean") << changedFixture(u"mobileTexts"_s, u"aboutText"_s, true) << false;
        QTest::addRow("showSearchbar missing") << changedFixture({}, u"showSearchbar"_s, QJsonValue::Undefined) << false;
        QTest::addRow("showSearchbar 1") << changedFixture({}, u"showSearchbar"_s, 1) << false;
        QTest::addRow("showSearchbar text") << changedFixture({}, u"showSearchbar"_s, u"true"_s) << false;
        QTest::addRow("pulse as text") << changedFixture({}, u"pulse"_s, u"#FFFFFF"_s) << false;
        QTest::addRow("tooltip-color as list") << changedFixture({}, u"tooltip-color"_s, list) << false;
        QTest::addRow("prop1 as number") << changedFixture(u"playIcon"_s, u"prop1"_s, 255) << false;
        QTest::addRow("null font") << changedFixture({}, u"fonts"_s, QJsonArray{QJsonValue::Null}) << false;
        QTest::addRow("localURL as number")
            << changedFixture({}, u"fonts"_s, QJsonArray{QJsonObject{{u"localURL"_s, 1}}}) << false;
        for (const auto &[name, text, decodes] : {std::tuple{"localURL without scheme", u"abc"_s, false},
                                                  std::tuple{"localURL relative path", u"fonts/a.ttf"_s, false},
                                                  std::tuple{"localURL empty", QString(), false},
                                                  std::tuple{"localURL file", u"file:///tmp/a.ttf"_s, true},
                                                  std::tuple{"localURL web", u"https://cdn.example/a.ttf"_s, true}}) {
            QTest::addRow("%s", name) << changedFixture({}, u"fonts"_s, QJsonArray{QJsonObject{{u"localURL"_s, text}}})
                                      << decodes;
        }
        QTest::addRow("fonts empty") << changedFixture({}, u"fonts"_s, QJsonArray()) << true;
        QTest::addRow("fonts null") << changedFixture({}, u"fonts"_s, QJsonValue::Null) << true;
        QTest::addRow("Configurations as list") << config({{u"Configurations"_s, list}}) << false;
        QTest::addRow("config as list") << bytes({{u"config"_s, list}}) << false;
        QTest::addRow("isMobile as boolean") << config({{u"isMobile"_s, true}}) << false;
        QTest::addRow("CompanyId as number") << config({{u"CompanyId"_s, 42}}) << false;
        QTest::addRow("success as text") << bytes({{u"success"_s, u"true"_s}}) << false;
        QTest::addRow("array") << QByteArray("[{}]") << false;
    }

    void decodesOrFailsWhole()
    {
        QFETCH(QByteArray, body);
        QFETCH(bool, decodes);

        const auto result = WJsonDecoder::decode<Theme>(body);
        QCOMPARE(bool(result), decodes);
        QCOMPARE(result.error.isEmpty(), decodes);
        if (result && result.record->config() && result.record->config()->Configurations())
            QCOMPARE(writeBackMismatch(*result.record->config()->Configurations()), QString());
    }

    void outcomeAnswer()
    {
        const auto result = WJsonDecoder::decode<WexoTheme>("{\"message\":\"saved\",\"success\":true,\"config\":7}");
        QVERIFY(result);
        QCOMPARE(result.record->message(), OptText(u"saved"_s));
        QCOMPARE(result.record->success(), std::optional<bool>(true));
    }

    void decodes_data()
    {
        QTest::addColumn<QJsonObject>("object");
        QTest::addColumn<QStringList>("blocks");

        const QStringList failed{u"<failed>"_s};
        QJsonObject all;
        QStringList allNames;
        for (const QString &key : blockKeys) {
            all.insert(key, block(key));
            allNames << key + u'=' + key;
        }
        QTest::addRow("no CssObject") << QJsonObject{{u"CssObject"_s, QJsonValue::Null}} << QStringList();
        QTest::addRow("every block in its own field") << css(all) << allNames;
        all.insert(u"heading"_s, QJsonValue::Null);
        allNames.removeAll(u"heading=heading"_s);
        QTest::addRow("null block absent, others decode") << css(all) << allNames;
        QTest::addRow("unknown and wrong-case keys ignored")
            << css({{u"progressBar"_s, block(u"x"_s)}, {u"footer"_s, block(u"y"_s)}, {u"banner"_s, block(u"b"_s)}})
            << QStringList{u"banner=b"_s};
        QTest::addRow("snake-case block keys")
            << css({{u"tap_here"_s, block(u"t"_s)}, {u"progress_bar"_s, block(u"p"_s)}}) << QStringList{u"tapHere=t"_s};
        QTest::addRow("block as text fails the whole template")
            << css({{u"banner"_s, block(u"b"_s)}, {u"popover"_s, u"#FFFFFF"_s}}) << failed;
        QTest::addRow("block as list") << css({{u"content"_s, QJsonArray{QJsonObject()}}}) << failed;
        QTest::addRow("CssObject as list") << QJsonObject{{u"CssObject"_s, QJsonArray()}} << failed;
        QTest::addRow("success as text") << QJsonObject{{u"success"_s, u"true"_s}} << failed;
        QTest::addRow("bad fields inside a block never fail")
            << css({{u"popover"_s, QJsonObject{{u"text"_s, 1}, {u"fontSize"_s, QJsonArray()}, {u"hasProperties"_s, u"yes"_s}}}})
            << QStringList{u"popover=-"_s};
    }

    void decodes()
    {
        QFETCH(QJsonObject, object);
        QFETCH(QStringList, blocks);

        const auto result = WJsonDecoder::decodeValue<Template>(object);
        QCOMPARE(result ? presentBlocks(*result.record) : QStringList{u"<failed>"_s}, blocks);
        if (result)
            QCOMPARE(writeBackMismatch(*result.record), QString());
    }

    // The theme and template of the sample data and of these tests write back
    // into equal records (a theme itself is never written: its element configuration is).
    void sampleDataWritesBack_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addRow("sample theme") << QStringLiteral(WEXO_SAMPLE_DATA_DIR "/theme.json");
        QTest::addRow("full theme") << QStringLiteral(WEXO_TESTS_DIR "/appearance-model/data/full-theme.json");
        QTest::addRow("sample template") << QStringLiteral(WEXO_SAMPLE_DATA_DIR "/template.json");
    }

    void sampleDataWritesBack()
    {
        QFETCH(QString, file);
        QFile data(file);
        QVERIFY(data.open(QIODevice::ReadOnly));
        const QByteArray body = data.readAll();
        if (file.endsWith(u"template.json")) {
            const auto result = WJsonDecoder::decode<Template>(body);
            QVERIFY2(result && result.record->CssObject(), qPrintable(result.error));
            QCOMPARE(writeBackMismatch(*result.record), QString());
            return;
        }
        const auto result = WJsonDecoder::decode<Theme>(body);
        QVERIFY2(result, qPrintable(result.error));
        const auto configuration = result.record->config()->Configurations();
        QVERIFY(configuration && configuration->fonts() && configuration->mobileColors() && configuration->mobileTexts());
        QCOMPARE(writeBackMismatch(*configuration), QString());
    }

    // Each record kind written back: keys in coding-key order, absent fields
    // left out (the menu records write every text), sizes as "Npx" texts.
    void writtenRecords_data()
    {
        addWrittenRecordColumns();
        const auto row = addWrittenRecordRow;
        row("element configuration", "ElementConfiguration",
            R"({"showSearchbar": true, "mobileTexts": null, "fonts": [{"fontName": "A"}], "tooltip": "iMark", "text": "Help!",
                "placement": "right", "typeIcon": "", "preferences": "widget", "tooltip-color": {"prop2": "#000"},
                "highlighter": {}, "cameraIcon": null, "playIcon": {"prop1": "#fff", "prop2": "#111"}, "pulse": {"prop1": "#E53935"}})",
            R"({"pulse":{"prop1":"#E53935"},"playIcon":{"prop1":"#fff","prop2":"#111"},"highlighter":{},"tooltip-color":{"prop2":"#000"},)"
            R"("preferences":"widget","typeIcon":"","placement":"right","text":"Help!","tooltip":"iMark","fonts":[{"fontName":"A"}],)"
            R"("showSearchbar":true})");
        row("element configuration, search bar only", "ElementConfiguration", R"({"showSearchbar": false})",
            R"({"showSearchbar":false})");
        // Plain literals: moc reads "//" inside a raw string as a comment.
        row("font", "WFonts", "{\"localURL\": \"file:///tmp/a%20b.ttf\", \"fontUrl\": \"fonts/a.ttf\", \"fontName\": \"Sans\"}",
            "{\"fontName\":\"Sans\",\"fontUrl\":\"fonts/a.ttf\",\"localURL\":\"file:///tmp/a%20b.ttf\"}");
        row("font empty", "WFonts", R"({"localURL": null})", "{}");
        row("menu colours", "MobileColors",
            R"({"searchHereTextColor": "7", "searchHereBackgroundColor": "6", "poweredByTextColor": "5", "optionsTextColor": "4",
                "listItemTextColor": "3", "listItemBackgroundColor": "2", "blockBackgroundColor": ""})",
            R"({"blockBackgroundColor":"","listItemBackgroundColor":"2","listItemTextColor":"3","optionsTextColor":"4",)"
            R"("poweredByTextColor":"5","searchHereBackgroundColor":"6","searchHereTextColor":"7"})");
        row("menu texts", "MobileTexts",
            R"({"supportText": "l", "supportLink": "k", "searchBarTextMobile": "j", "privacyPolicyText": "i", "privacyPolicyLink": "h",
                "poweredByText": "g", "playWexosText": "f", "optionsText": "", "logoPath": "d", "logoLink": "c", "aboutUsLink": "b",
                "aboutText": "a"})",
            R"({"aboutText":"a","aboutUsLink":"b","logoLink":"c","logoPath":"d","optionsText":"","playWexosText":"f",)"
            R"("poweredByText":"g","privacyPolicyLink":"h","privacyPolicyText":"i","searchBarTextMobile":"j","supportLink":"k",)"
            R"("supportText":"l"})");
        row("template", "Template", R"({"CssObject": {"tapHere": {"text": "Tap"}, "popover": null}, "success": false})",
            R"({"success":false,"CssObject":{"tapHere":{"hasProperties":false,"fontSize":"12px","text":"Tap","borderRadius":"0px",)"
            R"("paddingT":"0px","paddingL":"0px","paddingB":"0px","paddingR":"0px","marginT":"0px","marginL":"0px","marginB":"0px",)"
            R"("marginR":"0px"}}})");
        row("template empty", "Template", R"({"CssObject": null})", "{}");
        row("style blocks", "TemplateParameters", R"({"banner": {"hasProperties": true}, "heading": null})",
            R"({"banner":{"hasProperties":true,"fontSize":"12px","borderRadius":"0px","paddingT":"0px","paddingL":"0px",)"
            R"("paddingB":"0px","paddingR":"0px","marginT":"0px","marginL":"0px","marginB":"0px","marginR":"0px"}})");
        row("style block", "TemplateConstraints",
            R"({"marginR": "1e3px", "marginB": "-2px", "marginL": "0.1px", "marginT": "12.5px", "paddingR": "3", "paddingB": "px",
                "paddingL": 4, "paddingT": "5px", "borderRadius": "8px", "text": "", "font": "Serif", "fontSize": "0px",
                "fontWeight": "bold", "color": "#fff", "backgroundcolor": "#263238", "hasProperties": "true"})",
            R"({"hasProperties":false,"backgroundcolor":"#263238","color":"#fff","fontWeight":"bold","fontSize":"0px","font":"Serif",)"
            R"("text":"","borderRadius":"8px","paddingT":"5px","paddingL":"0px","paddingB":"0px","paddingR":"3px","marginT":"12.5px",)"
            R"("marginL":"0.1px","marginB":"-2px","marginR":"1000px"})");
    }

    void writtenRecords()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, json);
        QFETCH(QByteArray, text);
        QCOMPARE(recordKinds().value(kind).written(json), text);
    }

    void codingKeys_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("texts");
        QTest::addRow("ElementConfiguration")
            << u"ElementConfiguration"_s
            << QStringList{"pulse", "playIcon", "cameraIcon", "highlighter", "tooltip-color", "preferences", "typeIcon",
                           "placement", "text", "tooltip", "fonts", "mobileColors", "mobileTexts", "showSearchbar"};
        QTest::addRow("WFonts") << u"WFonts"_s << QStringList{"fontName", "fontUrl", "localURL"};
        QTest::addRow("MobileColors") << u"MobileColors"_s
                                      << QStringList{"blockBackgroundColor", "listItemBackgroundColor", "listItemTextColor",
                                                     "optionsTextColor", "poweredByTextColor", "searchHereBackgroundColor",
                                                     "searchHereTextColor"};
        QTest::addRow("MobileTexts") << u"MobileTexts"_s
                                     << QStringList{"aboutText", "aboutUsLink", "logoLink", "logoPath", "optionsText",
                                                    "playWexosText", "poweredByText", "privacyPolicyLink", "privacyPolicyText",
                                                    "searchBarTextMobile", "supportLink", "supportText"};
        QTest::addRow("Template") << u"Template"_s << QStringList{"success", "CssObject"};
        QTest::addRow("TemplateParameters") << u"TemplateParameters"_s << blockKeys;
        QTest::addRow("TemplateConstraints")
            << u"TemplateConstraints"_s
            << QStringList{"hasProperties", "backgroundcolor", "color", "fontWeight", "fontSize", "font", "text", "borderRadius",
                           "paddingT", "paddingL", "paddingB", "paddingR", "marginT", "marginL", "marginB", "marginR"};
    }

    void codingKeys()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, texts);
        QCOMPARE(recordKinds().value(kind).codingKeyMismatch(texts), QString());
    }

    void sizes_data()
    {
        QTest::addColumn<QJsonValue>("sent");
        QTest::addColumn<double>("padding");  // initial 0
        QTest::addColumn<double>("fontSize"); // initial 12

        QTest::addRow("px text") << QJsonValue(u"12px"_s) << 12.0 << 12.0;
        QTest::addRow("fraction") << QJsonValue(u"12.5px"_s) << 12.5 << 12.5;
        QTest::addRow("px removed wherever it stands") << QJsonValue(u"1px2"_s) << 12.0 << 12.0;
        QTest::addRow("zero is a size") << QJsonValue(u"0px"_s) << 0.0 << 0.0;
        QTest::addRow("px alone") << QJsonValue(u"px"_s) << 0.0 << 12.0;
        QTest::addRow("empty text") << QJsonValue(QString()) << 0.0 << 12.0;
        QTest::addRow("other unit") << QJsonValue(u"auto"_s) << 0.0 << 12.0;
        QTest::addRow("unit in capitals") << QJsonValue(u"12PX"_s) << 0.0 << 12.0;
        QTest::addRow("leading blank") << QJsonValue(u" 12px"_s) << 0.0 << 12.0;
        QTest::addRow("json number") << QJsonValue(12) << 0.0 << 12.0;
        QTest::addRow("not a number") << QJsonValue(u"nanpx"_s) << 0.0 << 12.0;
        QTest::addRow("overflows to infinity") << QJsonValue(u"1e999px"_s) << 0.0 << 12.0;
        QTest::addRow("hex float") << QJsonValue(u"0x1p3"_s) << 0.0 << 12.0;
        QTest::addRow("full-width digits") << QJsonValue(u"\uFF11\uFF12px"_s) << 0.0 << 12.0;
    }

    void sizes()
    {
        QFETCH(QJsonValue, sent);
        QFETCH(double, padding);
        QFETCH(double, fontSize);

        QJsonObject object{{u"fontSize"_s, sent}, {u"color"_s, u"#123456"_s}};
        // Snake-case keys reach their fields too.
        for (const char *key : {"padding_t", "paddingL", "paddingB", "paddingR", "marginT", "marginL", "margin_b",
                                "marginR", "border_radius"})
            object.insert(QLatin1StringView(key), sent);

        const TemplateConstraints b = decodeBlock(object);
        QCOMPARE((QList<double>{b.paddingT(), b.paddingL(), b.paddingB(), b.paddingR(), b.marginT(), b.marginL(),
                                b.marginB(), b.marginR(), b.borderRadius()}),
                 QList<double>(9, padding));
        QCOMPARE(b.fontSize(), fontSize);
        // A bad size never spoils the rest of the block.
        QCOMPARE(b.color(), OptText(u"#123456"_s));
    }

    void lenientFields_data()
    {
        QTest::addColumn<QJsonObject>("object");
        QTest::addColumn<QStringList>("expected"); // hasProperties, backgroundcolor, text, bgColor()

        QTest::addRow("flag and texts")
            << QJsonObject{{u"hasProperties"_s, true}, {u"backgroundcolor"_s, u"#FF0000"_s}, {u"text"_s, u"Tap here"_s}}
            << QStringList{u"true"_s, u"#FF0000"_s, u"Tap here"_s, u"#ffff0000"_s};
        QTest::addRow("empty text kept") << QJsonObject{{u"text"_s, QString()}}
                                         << QStringList{u"false"_s, u"-"_s, QString(), u"#00000000"_s};
        QTest::addRow("snake-case keys") << QJsonObject{{u"has_properties"_s, true}, {u"text"_s, u"t"_s}}
                                         << QStringList{u"true"_s, u"-"_s, u"t"_s, u"#00000000"_s};
        QTest::addRow("flag as text keeps false") << QJsonObject{{u"hasProperties"_s, u"true"_s}}
                                                  << QStringList{u"false"_s, u"-"_s, u"-"_s, u"#00000000"_s};
        QTest::addRow("colour as number") << QJsonObject{{u"backgroundcolor"_s, 255}}
                                          << QStringList{u"false"_s, u"-"_s, u"-"_s, u"#00000000"_s};
        QTest::addRow("colour key in camel case is not read") << QJsonObject{{u"backgroundColor"_s, u"#FF0000"_s}}
                                                              << QStringList{u"false"_s, u"-"_s, u"-"_s, u"#00000000"_s};
        QTest::addRow("not hex is black") << QJsonObject{{u"backgroundcolor"_s, u"zzzzzz"_s}}
                                          << QStringList{u"false"_s, u"zzzzzz"_s, u"-"_s, u"#ff000000"_s};
        QTest::addRow("wrong length is clear") << QJsonObject{{u"backgroundcolor"_s, u"#ABCDE"_s}}
                                               << QStringList{u"false"_s, u"#ABCDE"_s, u"-"_s, u"#00000000"_s};
    }

    void lenientFields()
    {
        QFETCH(QJsonObject, object);
        QFETCH(QStringList, expected);

        const TemplateConstraints b = decodeBlock(object);
        QCOMPARE((QStringList{b.hasProperties() ? u"true"_s : u"false"_s, b.backgroundcolor().value_or(u"-"_s),
                              b.text().value_or(u"-"_s), b.bgColor().name(QColor::HexArgb)}),
                 expected);
    }
};

QTEST_GUILESS_MAIN(tst_Theme)
#include "tst_theme.moc"
