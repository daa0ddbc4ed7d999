#include "WexoCreator/appearance-model/Template.h"
#include "WexoCreator/appearance-model/Theme.h"
#include "WexoCreator/configuration/WAppearanceState.h"
#include "WexoCreator/configuration/WConfiguration.h"
#include "WexoCreator/model/WJsonDecoder.h"

#include <QJsonDocument>
#include <QTest>

#include <functional>
#include <map>

using namespace WexoCreator;

namespace {

// Sets the JSON value at a dotted path, creating the objects on the way.
void setPath(QJsonObject &object, QStringList path, const QJsonValue &value)
{
    const QString key = path.takeFirst();
    if (path.isEmpty()) {
        object[key] = value;
        return;
    }
    QJsonObject inner = object[key].toObject();
    setPath(inner, path, value);
    object[key] = inner;
}

QJsonValue valueAt(const QJsonObject &object, const QString &path)
{
    QJsonValue value = object;
    for (const QString &key : path.split(u'.'))
        value = value.toObject().value(key);
    return value;
}

// Builds the theme and template answers from steps separated by ";" and stores
// what the real decoder makes of them. "default" applies the built-in default
// theme; "theme" / "template" start an answer; "path=value" sets a field, with
// the prefixes config., elements., texts., colors. and css. for the usual
// places (texts and colors start as complete records). A value that reads as
// JSON ({} or false) is taken as such, anything else as text.
bool setUp(const QString &steps)
{
    WAppearanceState::setTheme(nullptr);
    WAppearanceState::setDefaultTheme(nullptr);
    WAppearanceState::setTemplate(nullptr);
    std::optional<QJsonObject> theme, answer;
    for (const QString &raw : steps.split(u';', Qt::SkipEmptyParts)) {
        const QString step = raw.trimmed();
        if (step == QLatin1String("default")) {
            WConfiguration::applyDefaultTheme();
            continue;
        }
        if (step == QLatin1String("theme") || step == QLatin1String("template")) {
            (step == QLatin1String("theme") ? theme : answer) = QJsonObject();
            continue;
        }
        const QString path = step.section(u'=', 0, 0), text = step.section(u'=', 1);
        const QString head = path.section(u'.', 0, 0), rest = path.section(u'.', 1);
        const QJsonDocument parsed = QJsonDocument::fromJson("[" + text.toUtf8() + "]");
        const QJsonValue value = parsed.array().size() == 1 ? parsed.array().at(0) : QJsonValue(text);
        if (head == QLatin1String("css")) {
            QJsonObject &css = answer ? *answer : answer.emplace();
            setPath(css, (QStringLiteral("CssObject.") + rest).split(u'.'), value);
            continue;
        }
        QJsonObject &object = theme ? *theme : theme.emplace();
        const QString place = head == QLatin1String("config") ? QStringLiteral("config")
                            : QStringLiteral("config.Configurations") + (head == QLatin1String("texts")    ? ".mobileTexts"
                                                                         : head == QLatin1String("colors") ? ".mobileColors" : "");
        // The element configuration does not decode without its search switch.
        if (head != QLatin1String("config") && !valueAt(object, QStringLiteral("config.Configurations.showSearchbar")).isBool())
            setPath(object, QStringLiteral("config.Configurations.showSearchbar").split(u'.'), false);
        if ((head == QLatin1String("texts") || head == QLatin1String("colors")) && !valueAt(object, place).isObject()) {
            const QStringList keys = head == QLatin1String("texts")
                ? QStringList{"aboutText", "aboutUsLink", "logoLink", "logoPath", "optionsText", "playWexosText", "poweredByText",
                              "privacyPolicyLink", "privacyPolicyText", "searchBarTextMobile", "supportLink", "supportText"}
                : QStringList{"blockBackgroundColor", "listItemBackgroundColor", "listItemTextColor", "optionsTextColor",
                              "poweredByTextColor", "searchHereBackgroundColor", "searchHereTextColor"};
            for (const QString &key : keys)
                setPath(object, (place + u'.' + key).split(u'.'), QStringLiteral("x"));
        }
        setPath(object, (place + u'.' + rest).split(u'.'), value);
    }
    if (theme) {
        const auto decoded = WJsonDecoder::decode<Theme>(QJsonDocument(*theme).toJson());
        if (!decoded)
            return false;
        WAppearanceState::setTheme(decoded.record);
    }
    if (answer) {
        const auto decoded = WJsonDecoder::decode<Template>(QJsonDocument(*answer).toJson());
        if (!decoded)
            return false;
        WAppearanceState::setTemplate(decoded.record);
    }
    return true;
}

QString text(const QColor &color)
{
    return color.name(color.alpha() == 255 ? QColor::HexRgb : QColor::HexArgb).toUpper();
}

#define COLOR(getter) {#getter, [] { return text(WConfiguration::getter()); }}
#define TEXT(getter) {#getter, [] { return QString(WConfiguration::getter()); }}
#define NUMBER(getter) {#getter, [] { return QString::number(WConfiguration::getter()); }}
#define LINK(getter) {#getter, [] { return WConfiguration::getter().toString(); }}

// Every getter as text, so that one table holds colours, texts, sizes and links.
const std::map<QString, std::function<QString()>> getters{
    COLOR(kPrimaryColor), COLOR(kSecondaryColor), COLOR(ktooltipPrimaryColor), COLOR(ktooltipSecondaryColor),
    COLOR(kPlayIconTintColor), COLOR(kPlayIconbackgroundColor), COLOR(kPulsePrimaryColor), TEXT(KPreferences),
    TEXT(KTypeIcon), TEXT(KPlacement), TEXT(kConsoleText),
    {"kToolTipType", [] { return QString(WConfiguration::kToolTipType() == WTooltipType::iMark ? "iMark" : "questionMark"); }},
    COLOR(kBannerColor), COLOR(kPopupColor), COLOR(kProgressColor), COLOR(kProgressBgColor), COLOR(KStepsTitleColor),
    COLOR(kTapHereColor), TEXT(kTapHereText), NUMBER(kPopUpBorderRadius), TEXT(kTemplateHeadingFontName),
    NUMBER(kTemplateHeadingFontSize),
    TEXT(kAboutText), TEXT(kOptionsText), TEXT(kSupportText), LINK(kAboutLink), LINK(kPrivacyPolicyLink),
    LINK(KSupportLink), COLOR(kBlockBackgroundColor), COLOR(kListItemTextColor), COLOR(kSearchHereTextColor),
    TEXT(kPoweredByLogoName),
    {"kShouldShowSearch", [] { return QString(WConfiguration::kShouldShowSearch() ? "true" : "false"); }},
};

using Rows = QList<std::pair<const char *, const char *>>;

void addRows(const char *group, const QString &fixture, const Rows &rows)
{
    for (const auto &[getter, expected] : rows)
        QTest::addRow("%s: %s", group, getter) << fixture << QString::fromLatin1(getter) << QString::fromUtf8(expected);
}

} // namespace

class tst_WConfiguration : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void getters_data()
    {
        QTest::addColumn<QString>("fixture");
        QTest::addColumn<QString>("getter");
        QTest::addColumn<QString>("expected");

        const Rows builtIn{{"kPrimaryColor", "#AF90EF"}, {"kSecondaryColor", "#FFFFFF"}, {"KPreferences", "widget"},
                           {"kToolTipType", "questionMark"}};
        addRows("no theme at all", "", builtIn);
        addRows("downloaded theme without config", "default; theme", builtIn);
        addRows("downloaded theme lacking fields", "default; elements.showSearchbar=false",
                {{"kPulsePrimaryColor", "#AF90EF"}, {"kToolTipType", "iMark"}, {"kSecondaryColor", "#FFFFFF"}});
        addRows("downloaded theme",
                "default; config.PrimaryColor=#010101; config.SecondaryColor=#020202; elements.tooltip-color.prop1=#030303;"
                "elements.playIcon.prop1=#040404; elements.pulse.prop1=050505; elements.preferences=hover; elements.placement=Right",
                {{"kPrimaryColor", "#010101"}, {"kSecondaryColor", "#020202"}, {"ktooltipPrimaryColor", "#030303"},
                 {"kPlayIconTintColor", "#040404"}, {"kPulsePrimaryColor", "#050505"}, {"KPreferences", "hover"},
                 {"KPlacement", "Right"}});
        addRows("primary from the play icon", "elements.playIcon.prop2=#000000",
                {{"kPrimaryColor", "#000000"}, {"kPlayIconbackgroundColor", "#000000"}});
        addRows("rejected colours", "config.PrimaryColor=#12345; config.SecondaryColor=; elements.tooltip-color.prop1=#12345",
                {{"kPrimaryColor", "#AF90EF"}, {"kSecondaryColor", "#FFFFFF"}, {"ktooltipPrimaryColor", "#AF90EF"}});
        addRows("eight digits carry alpha", "elements.tooltip-color.prop1=80FF0000", {{"ktooltipPrimaryColor", "#80FF0000"}});
        addRows("empty launcher texts", "elements.preferences=; elements.typeIcon=; elements.text=",
                {{"KPreferences", "widget"}, {"KTypeIcon", "wexoIcon"}, {"kConsoleText", "Help"}});

        addRows("no template", "",
                {{"kBannerColor", "#AF90EF"}, {"kProgressColor", "#AF90EF"}, {"KStepsTitleColor", "#FFFFFF"},
                 {"kTapHereText", "Tap to dismiss !!"}, {"kPopUpBorderRadius", "6"}, {"kTemplateHeadingFontSize", "16"}});
        addRows("template without styles", "template", {{"kProgressColor", "#FFFFFF"}, {"kProgressBgColor", "#AAAAAA"}});
        addRows("styles lacking blocks", "css.banner={}", {{"kProgressBgColor", "#AAAAAA"}, {"kBannerColor", "#AF90EF"}});
        addRows("empty blocks", "css.heading={}; css.tapHere={}; css.popover={}",
                {{"kTemplateHeadingFontSize", "12"}, {"kPopUpBorderRadius", "6"}, {"kTemplateHeadingFontName", "default"}});
        addRows("styled template",
                "css.banner.backgroundcolor=#112233; css.progressbar.color=#010203; css.progressbar.backgroundcolor=#040506;"
                "css.stepsTitle.color=#000; css.tapHere.text=Tap here; css.popover.borderRadius=3px;"
                "css.heading.font=Serif; css.heading.fontSize=20px; css.popover.hasProperties=false",
                {{"kBannerColor", "#112233"}, {"kProgressColor", "#010203"}, {"kProgressBgColor", "#040506"},
                 {"KStepsTitleColor", "#000000"}, {"kTapHereText", "Tap here"}, {"kPopUpBorderRadius", "3"},
                 {"kTemplateHeadingFontName", "Serif"}, {"kTemplateHeadingFontSize", "20"}});
        addRows("zero radius", "css.popover.borderRadius=0px", {{"kPopUpBorderRadius", "6"}});
        addRows("empty texts kept", "css.tapHere.text=; css.heading.font=", {{"kTapHereText", ""}, {"kTemplateHeadingFontName", ""}});
        addRows("rejected template colours", "css.popover.backgroundcolor=#12345; css.progressbar.color=",
                {{"kPopupColor", "#AF90EF"}, {"kProgressColor", "#FFFFFF"}});

        addRows("menu without theme", "", {{"kSearchHereTextColor", "#000000"}, {"kShouldShowSearch", "false"}});
        addRows("menu ignores the default theme", "default", {{"kAboutText", "About Wexolin"}});
        addRows("theme without menu records", "elements.showSearchbar=true", {{"kShouldShowSearch", "true"}, {"kAboutText", "About Wexolin"}});
        addRows("theme menu texts",
                "texts.aboutText=; texts.optionsText=; texts.supportText=Help desk; texts.aboutUsLink=https://example.com/about;"
                "texts.supportLink=help@example.com; texts.privacyPolicyLink=http://example.com/p",
                {{"kAboutText", ""}, {"kOptionsText", "Options"}, {"kSupportText", "Help desk"},
                 {"kAboutLink", "https://example.com/about"}, {"KSupportLink", "help@example.com"},
                 {"kPrivacyPolicyLink", "http://example.com/p"}});
        addRows("theme menu colours", "colors.listItemTextColor=#123456; colors.blockBackgroundColor=#bad!",
                {{"kListItemTextColor", "#123456"}, {"kBlockBackgroundColor", "#F1F1F1"}});
        addRows("empty link", "texts.aboutUsLink=", {{"kAboutLink", "https://wexolin.example"}});
        addRows("script link", "texts.aboutUsLink=javascript:alert(1)", {{"kAboutLink", "https://wexolin.example"}});
        addRows("file link", "texts.privacyPolicyLink=file:///etc/passwd", {{"kPrivacyPolicyLink", "https://wexolin.example/"}});
        addRows("support with more recipients", "texts.supportLink=a@example.com?cc=b@example.com",
                {{"KSupportLink", "support@wexolin.example"}});
        addRows("white logo", "texts.logoPath=https://cdn.example/images/logo_white.png", {{"kPoweredByLogoName", "poweredby-white"}});
        addRows("black logo", "texts.logoPath=/logo_black.png", {{"kPoweredByLogoName", "poweredby-grey"}});
        addRows("white wins", "texts.logoPath=white/logo_black.png", {{"kPoweredByLogoName", "poweredby-white"}});
        addRows("capital White", "texts.logoPath=White.png", {{"kPoweredByLogoName", "poweredby-original"}});
    }

    void getters()
    {
        QFETCH(QString, fixture);
        QFETCH(QString, getter);
        QFETCH(QString, expected);

        QVERIFY2(setUp(fixture), "the fixture's answers do not decode");
        QCOMPARE(::getters.at(getter)(), expected);
    }

    void defaultThemeIsReadRawUntilAThemeArrives()
    {
        QVERIFY(setUp(QStringLiteral("default")));
        WAppearanceState::defaultTheme()->config()->Configurations()->setPreferences(QString());
        QCOMPARE(WConfiguration::KPreferences(), QString());
        WConfiguration::applyDefaultTheme();
        QCOMPARE(WAppearanceState::defaultTheme()->config()->Configurations()->text(), std::optional<QString>(QStringLiteral("help")));
        QCOMPARE(WConfiguration::KPreferences(), QStringLiteral("widget"));
    }
};

QTEST_MAIN(tst_WConfiguration)
#include "tst_wconfiguration.moc"
