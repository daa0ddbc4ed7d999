#include "WexoCreator/appearance-model/Template.h"
#include "WexoCreator/appearance-model/Theme.h"
#include "WexoCreator/configuration/WAppearanceState.h"
#include "WexoCreator/configuration/WConfiguration.h"

#include <QColor>
#include <QObject>
#include <QTest>
#include <QUrl>

#include <functional>
#include <map>

using namespace WexoCreator;

namespace {

// Sets up the appearance records from a list of steps separated by ";":
//   default              the built-in default theme
//   theme                a downloaded theme with an empty element configuration
//   themeWithoutConfig   a downloaded theme with nothing in it
//   configOnly           a downloaded theme whose config has no element configuration
//   Field=value          a field of the downloaded theme (PrimaryColor, playIcon.prop2,
//                        tooltip, mobileTexts.aboutText, mobileColors.listItemTextColor, …)
//   template / css       a template without / with an empty CssObject
//   block{}              an empty style block (heading{}, progressbar{}, …)
//   block.field=value    a field of a style block (popover.borderRadius=0, …)
class Fixture
{
public:
    explicit Fixture(const QString &steps)
    {
        WAppearanceState::setTheme(nullptr);
        WAppearanceState::setDefaultTheme(nullptr);
        WAppearanceState::setTemplate(nullptr);
        for (QString step : steps.split(u';', Qt::SkipEmptyParts)) {
            step = step.trimmed();
            const qsizetype equals = step.indexOf(u'=');
            if (equals < 0)
                apply(step);
            else
                set(step.left(equals), step.mid(equals + 1));
        }
    }

private:
    void apply(const QString &step)
    {
        if (step == QLatin1String("default")) {
            WConfiguration::applyDefaultTheme();
        } else if (step == QLatin1String("theme")) {
            theme(true);
        } else if (step == QLatin1String("themeWithoutConfig")) {
            WAppearanceState::setTheme(std::make_shared<Theme>());
        } else if (step == QLatin1String("configOnly")) {
            auto downloaded = std::make_shared<Theme>();
            downloaded->setConfig(std::make_shared<ThemeConfiguration>());
            WAppearanceState::setTheme(downloaded);
        } else if (step == QLatin1String("template")) {
            WAppearanceState::setTemplate(std::make_shared<Template>());
        } else if (step == QLatin1String("css")) {
            css();
        } else if (step.endsWith(QLatin1String("{}"))) {
            block(step.chopped(2));
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown fixture step ") + step));
        }
    }

    std::shared_ptr<Theme> theme(bool fresh = false)
    {
        if (!fresh && WAppearanceState::theme())
            return WAppearanceState::theme();
        auto downloaded = std::make_shared<Theme>();
        downloaded->setConfig(std::make_shared<ThemeConfiguration>());
        downloaded->config()->setConfigurations(std::make_shared<ElementConfiguration>());
        WAppearanceState::setTheme(downloaded);
        return downloaded;
    }

    std::shared_ptr<TemplateParameters> css()
    {
        if (!WAppearanceState::currentTemplate())
            WAppearanceState::setTemplate(std::make_shared<Template>());
        std::shared_ptr<Template> current = WAppearanceState::currentTemplate();
        if (!current->CssObject())
            current->setCssObject(std::make_shared<TemplateParameters>());
        return current->CssObject();
    }

    std::shared_ptr<TemplateConstraints> block(const QString &name)
    {
        const std::shared_ptr<TemplateParameters> parameters = css();
        using Getter = const TemplateParameters::Block &(TemplateParameters::*)() const;
        using Setter = void (TemplateParameters::*)(const TemplateParameters::Block &);
        static const std::map<QString, std::pair<Getter, Setter>> blocks{
            {QStringLiteral("popover"), {&TemplateParameters::popover, &TemplateParameters::setPopover}},
            {QStringLiteral("stepsTitle"), {&TemplateParameters::stepsTitle, &TemplateParameters::setStepsTitle}},
            {QStringLiteral("heading"), {&TemplateParameters::heading, &TemplateParameters::setHeading}},
            {QStringLiteral("content"), {&TemplateParameters::content, &TemplateParameters::setContent}},
            {QStringLiteral("progressbar"), {&TemplateParameters::progressbar, &TemplateParameters::setProgressbar}},
            {QStringLiteral("banner"), {&TemplateParameters::banner, &TemplateParameters::setBanner}},
            {QStringLiteral("tapHere"), {&TemplateParameters::tapHere, &TemplateParameters::setTapHere}},
        };
        const auto [get, set] = blocks.at(name);
        if (!(parameters.get()->*get)())
            (parameters.get()->*set)(std::make_shared<TemplateConstraints>());
        return (parameters.get()->*get)();
    }

    void set(const QString &path, const QString &value)
    {
        const QString head = path.section(u'.', 0, 0);
        const QString field = path.section(u'.', 1);
        if (head == QLatin1String("PrimaryColor") || head == QLatin1String("SecondaryColor")) {
            const auto config = theme()->config();
            head == QLatin1String("PrimaryColor") ? config->setPrimaryColor(value) : config->setSecondaryColor(value);
            return;
        }
        if (head == QLatin1String("popover") || head == QLatin1String("stepsTitle") || head == QLatin1String("heading")
            || head == QLatin1String("content") || head == QLatin1String("progressbar") || head == QLatin1String("banner")
            || head == QLatin1String("tapHere")) {
            setBlockField(*block(head), field, value);
            return;
        }
        ElementConfiguration &elements = *theme()->config()->Configurations();
        if (head == QLatin1String("playIcon") || head == QLatin1String("pulse") || head == QLatin1String("tooltipColor")) {
            auto pair = std::make_shared<ElementConfigurationParameters>();
            const ElementConfiguration::Pair &existing = head == QLatin1String("playIcon") ? elements.playIcon()
                : head == QLatin1String("pulse")                                          ? elements.pulse()
                                                                                          : elements.tooltipColor();
            if (existing)
                pair = existing;
            field == QLatin1String("prop1") ? pair->setProp1(value) : pair->setProp2(value);
            head == QLatin1String("playIcon") ? elements.setPlayIcon(pair)
                : head == QLatin1String("pulse") ? elements.setPulse(pair)
                                                 : elements.setTooltipColor(pair);
        } else if (head == QLatin1String("preferences")) {
            elements.setPreferences(value);
        } else if (head == QLatin1String("typeIcon")) {
            elements.setTypeIcon(value);
        } else if (head == QLatin1String("placement")) {
            elements.setPlacement(value);
        } else if (head == QLatin1String("text")) {
            elements.setText(value);
        } else if (head == QLatin1String("tooltip")) {
            elements.setTooltip(value);
        } else if (head == QLatin1String("showSearchbar")) {
            elements.setShowSearchbar(value == QLatin1String("true"));
        } else if (head == QLatin1String("mobileTexts")) {
            if (!elements.mobileTexts())
                elements.setMobileTexts(std::make_shared<MobileTexts>());
            setTextsField(*elements.mobileTexts(), field, value);
        } else if (head == QLatin1String("mobileColors")) {
            if (!elements.mobileColors())
                elements.setMobileColors(std::make_shared<MobileColors>());
            setColorsField(*elements.mobileColors(), field, value);
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown theme field ") + path));
        }
    }

    static void setBlockField(TemplateConstraints &block, const QString &field, const QString &value)
    {
        if (field == QLatin1String("backgroundcolor"))
            block.setBackgroundcolor(value);
        else if (field == QLatin1String("color"))
            block.setColor(value);
        else if (field == QLatin1String("text"))
            block.setText(value);
        else if (field == QLatin1String("font"))
            block.setFont(value);
        else if (field == QLatin1String("fontSize"))
            block.setFontSize(value.toDouble());
        else if (field == QLatin1String("borderRadius"))
            block.setBorderRadius(value.toDouble());
        else if (field == QLatin1String("hasProperties"))
            block.setHasProperties(value == QLatin1String("true"));
        else
            QFAIL(qPrintable(QStringLiteral("unknown block field ") + field));
    }

    static void setTextsField(MobileTexts &texts, const QString &field, const QString &value)
    {
        static const std::map<QString, void (MobileTexts::*)(const QString &)> setters{
            {QStringLiteral("aboutText"), &MobileTexts::setAboutText},
            {QStringLiteral("aboutUsLink"), &MobileTexts::setAboutUsLink},
            {QStringLiteral("logoPath"), &MobileTexts::setLogoPath},
            {QStringLiteral("optionsText"), &MobileTexts::setOptionsText},
            {QStringLiteral("privacyPolicyLink"), &MobileTexts::setPrivacyPolicyLink},
            {QStringLiteral("supportLink"), &MobileTexts::setSupportLink},
            {QStringLiteral("supportText"), &MobileTexts::setSupportText},
        };
        (texts.*setters.at(field))(value);
    }

    static void setColorsField(MobileColors &colors, const QString &field, const QString &value)
    {
        static const std::map<QString, void (MobileColors::*)(const QString &)> setters{
            {QStringLiteral("blockBackgroundColor"), &MobileColors::setBlockBackgroundColor},
            {QStringLiteral("listItemTextColor"), &MobileColors::setListItemTextColor},
            {QStringLiteral("searchHereTextColor"), &MobileColors::setSearchHereTextColor},
        };
        (colors.*setters.at(field))(value);
    }
};

QString text(const QColor &color)
{
    return color.name(color.alpha() == 255 ? QColor::HexRgb : QColor::HexArgb).toUpper();
}

// Every getter as text, so one table can hold colours, texts, sizes and links.
const std::map<QString, std::function<QString()>> &getters()
{
    static const std::map<QString, std::function<QString()>> all{
        {QStringLiteral("kPrimaryColor"), [] { return text(WConfiguration::kPrimaryColor()); }},
        {QStringLiteral("kSecondaryColor"), [] { return text(WConfiguration::kSecondaryColor()); }},
        {QStringLiteral("ktooltipPrimaryColor"), [] { return text(WConfiguration::ktooltipPrimaryColor()); }},
        {QStringLiteral("ktooltipSecondaryColor"), [] { return text(WConfiguration::ktooltipSecondaryColor()); }},
        {QStringLiteral("kPlayIconTintColor"), [] { return text(WConfiguration::kPlayIconTintColor()); }},
        {QStringLiteral("kPlayIconbackgroundColor"), [] { return text(WConfiguration::kPlayIconbackgroundColor()); }},
        {QStringLiteral("kPulsePrimaryColor"), [] { return text(WConfiguration::kPulsePrimaryColor()); }},
        {QStringLiteral("KPreferences"), [] { return WConfiguration::KPreferences(); }},
        {QStringLiteral("KTypeIcon"), [] { return WConfiguration::KTypeIcon(); }},
        {QStringLiteral("KPlacement"), [] { return WConfiguration::KPlacement(); }},
        {QStringLiteral("kConsoleText"), [] { return WConfiguration::kConsoleText(); }},
        {QStringLiteral("kToolTipType"), [] {
             return WConfiguration::kToolTipType() == WTooltipType::iMark ? QStringLiteral("iMark") : QStringLiteral("questionMark");
         }},
        {QStringLiteral("kBannerColor"), [] { return text(WConfiguration::kBannerColor()); }},
        {QStringLiteral("kPopupColor"), [] { return text(WConfiguration::kPopupColor()); }},
        {QStringLiteral("kProgressColor"), [] { return text(WConfiguration::kProgressColor()); }},
        {QStringLiteral("kProgressBgColor"), [] { return text(WConfiguration::kProgressBgColor()); }},
        {QStringLiteral("KStepsTitleColor"), [] { return text(WConfiguration::KStepsTitleColor()); }},
        {QStringLiteral("kTapHereColor"), [] { return text(WConfiguration::kTapHereColor()); }},
        {QStringLiteral("kTapHereText"), [] { return WConfiguration::kTapHereText(); }},
        {QStringLiteral("kPopUpBorderRadius"), [] { return QString::number(WConfiguration::kPopUpBorderRadius()); }},
        {QStringLiteral("kTemplateHeadingFontName"), [] { return WConfiguration::kTemplateHeadingFontName(); }},
        {QStringLiteral("kTemplateHeadingFontSize"), [] { return QString::number(WConfiguration::kTemplateHeadingFontSize()); }},
        {QStringLiteral("kTemplateTapHereFontName"), [] { return WConfiguration::kTemplateTapHereFontName(); }},
        {QStringLiteral("kTemplateTapHereFontSize"), [] { return QString::number(WConfiguration::kTemplateTapHereFontSize()); }},
        {QStringLiteral("kTemplateContentFontName"), [] { return WConfiguration::kTemplateContentFontName(); }},
        {QStringLiteral("kTemplateContentFontSize"), [] { return QString::number(WConfiguration::kTemplateContentFontSize()); }},
        {QStringLiteral("kAboutText"), [] { return WConfiguration::kAboutText(); }},
        {QStringLiteral("kOptionsText"), [] { return WConfiguration::kOptionsText(); }},
        {QStringLiteral("kPlayWexosText"), [] { return WConfiguration::kPlayWexosText(); }},
        {QStringLiteral("kSupportText"), [] { return WConfiguration::kSupportText(); }},
        {QStringLiteral("kAboutLink"), [] { return WConfiguration::kAboutLink().toString(); }},
        {QStringLiteral("kPrivacyPolicyLink"), [] { return WConfiguration::kPrivacyPolicyLink().toString(); }},
        {QStringLiteral("KSupportLink"), [] { return WConfiguration::KSupportLink().toString(); }},
        {QStringLiteral("kBlockBackgroundColor"), [] { return text(WConfiguration::kBlockBackgroundColor()); }},
        {QStringLiteral("kListItemTextColor"), [] { return text(WConfiguration::kListItemTextColor()); }},
        {QStringLiteral("kSearchHereTextColor"), [] { return text(WConfiguration::kSearchHereTextColor()); }},
        {QStringLiteral("kPoweredByLogoName"), [] { return WConfiguration::kPoweredByLogoName(); }},
        {QStringLiteral("kShouldShowSearch"), [] { return WConfiguration::kShouldShowSearch() ? QStringLiteral("true") : QStringLiteral("false"); }},
    };
    return all;
}

} // namespace

class tst_WConfiguration : public QObject
{
    Q_OBJECT

private:
    static void addRows(const char *group, const QString &fixture, const QList<std::pair<const char *, const char *>> &rows)
    {
        for (const auto &[getter, expected] : rows)
            QTest::addRow("%s: %s", group, getter) << fixture << QString::fromLatin1(getter) << QString::fromUtf8(expected);
    }

    static void check()
    {
        QFETCH(QString, fixture);
        QFETCH(QString, getter);
        QFETCH(QString, expected);

        Fixture setUp(fixture);
        QVERIFY2(getters().count(getter), qPrintable(getter));
        QCOMPARE(getters().at(getter)(), expected);
    }

    static void columns()
    {
        QTest::addColumn<QString>("fixture");
        QTest::addColumn<QString>("getter");
        QTest::addColumn<QString>("expected");
    }

private Q_SLOTS:
    void cleanup()
    {
        WAppearanceState::setTheme(nullptr);
        WAppearanceState::setDefaultTheme(nullptr);
        WAppearanceState::setTemplate(nullptr);
    }

    void themeGetters_data()
    {
        columns();
        const QList<std::pair<const char *, const char *>> builtIn{
            {"kPrimaryColor", "#AF90EF"}, {"kSecondaryColor", "#FFFFFF"}, {"ktooltipPrimaryColor", "#AF90EF"},
            {"ktooltipSecondaryColor", "#FFFFFF"}, {"kPlayIconTintColor", "#AF90EF"}, {"kPlayIconbackgroundColor", "#FFFFFF"},
            {"kPulsePrimaryColor", "#AF90EF"}, {"KPreferences", "widget"}, {"KTypeIcon", "wexoIcon"},
            {"KPlacement", "left"}, {"kConsoleText", "Help"}, {"kToolTipType", "questionMark"},
        };
        addRows("no theme at all", QString(), builtIn);
        addRows("default theme only", QStringLiteral("default"), builtIn);
        addRows("downloaded theme without config", QStringLiteral("default; themeWithoutConfig"), builtIn);

        // The default theme is read only while nothing was downloaded, and only by some getters.
        const QString custom = QStringLiteral("default; PrimaryColor=#010101; SecondaryColor=#020202; tooltipColor.prop1=#030303;"
                                              "playIcon.prop1=#040404; pulse.prop1=#050505; preferences=hover; placement=right");
        addRows("downloaded config without colours", QStringLiteral("default; configOnly"),
                {{"kSecondaryColor", "#FFFFFF"}, {"KPlacement", "left"}});
        addRows("downloaded theme lacking fields", QStringLiteral("default; theme"),
                {{"kPulsePrimaryColor", "#AF90EF"}, {"KPreferences", "widget"}, {"kToolTipType", "iMark"}, {"kConsoleText", "Help"}});
        addRows("downloaded theme", custom,
                {{"kPrimaryColor", "#010101"}, {"kSecondaryColor", "#020202"}, {"ktooltipPrimaryColor", "#030303"},
                 {"kPlayIconTintColor", "#040404"}, {"kPulsePrimaryColor", "#050505"}, {"KPreferences", "hover"},
                 {"KPlacement", "right"}});
        addRows("primary from play icon", QStringLiteral("theme; playIcon.prop2=#000000"),
                {{"kPrimaryColor", "#000000"}, {"kPlayIconbackgroundColor", "#000000"}});
        addRows("five hex digits", QStringLiteral("theme; tooltipColor.prop1=#12345; SecondaryColor="),
                {{"ktooltipPrimaryColor", "#AF90EF"}, {"kSecondaryColor", "#FFFFFF"}});
        addRows("leading hash is optional", QStringLiteral("theme; tooltipColor.prop1=80FF0000"), {{"ktooltipPrimaryColor", "#80FF0000"}});
        addRows("rejected primary colour", QStringLiteral("theme; PrimaryColor=nope; playIcon.prop2=#000000"), {{"kPrimaryColor", "#AF90EF"}});
        addRows("empty primary colour", QStringLiteral("theme; PrimaryColor="), {{"kPrimaryColor", "#AF90EF"}});
        addRows("empty launcher texts", QStringLiteral("theme; preferences=; typeIcon=; text="),
                {{"KPreferences", "widget"}, {"KTypeIcon", "wexoIcon"}, {"kConsoleText", "Help"}});
        addRows("placement keeps its case", QStringLiteral("theme; placement=Right"), {{"KPlacement", "Right"}});
        addRows("tooltip questionMark", QStringLiteral("theme; tooltip=questionMark"), {{"kToolTipType", "questionMark"}});
        addRows("tooltip iMark", QStringLiteral("theme; tooltip=iMark"), {{"kToolTipType", "iMark"}});
        addRows("tooltip other text", QStringLiteral("theme; tooltip=question"), {{"kToolTipType", "questionMark"}});
    }

    void themeGetters() { check(); }

    void defaultThemeIsReadRawWhileNothingIsDownloaded()
    {
        // A host's own default theme with an empty preference: read as it is.
        Fixture setUp(QStringLiteral("default"));
        WAppearanceState::defaultTheme()->config()->Configurations()->setPreferences(QString());
        WAppearanceState::defaultTheme()->config()->Configurations()->setTypeIcon(QStringLiteral("questionMark"));
        QCOMPARE(WConfiguration::KPreferences(), QString());
        QCOMPARE(WConfiguration::KTypeIcon(), QStringLiteral("questionMark"));
        // Once a theme is downloaded the default one is no longer consulted.
        Fixture downloaded(QStringLiteral("theme"));
        QCOMPARE(WConfiguration::KPreferences(), QStringLiteral("widget"));
    }

    void templateGetters_data()
    {
        columns();
        addRows("no template", QString(),
                {{"kBannerColor", "#AF90EF"}, {"kPopupColor", "#AF90EF"}, {"kProgressColor", "#AF90EF"},
                 {"kProgressBgColor", "#AF90EF"}, {"KStepsTitleColor", "#FFFFFF"}, {"kTapHereColor", "#FFFFFF"},
                 {"kTapHereText", "Tap to dismiss !!"}, {"kPopUpBorderRadius", "6"},
                 {"kTemplateHeadingFontName", "default"}, {"kTemplateHeadingFontSize", "16"},
                 {"kTemplateTapHereFontName", "default"}, {"kTemplateTapHereFontSize", "10"},
                 {"kTemplateContentFontName", "default"}, {"kTemplateContentFontSize", "12"}});
        addRows("template without styles", QStringLiteral("template"),
                {{"kProgressColor", "#FFFFFF"}, {"kProgressBgColor", "#AAAAAA"}, {"kBannerColor", "#AF90EF"},
                 {"kTemplateHeadingFontSize", "16"}});
        addRows("styles lacking blocks", QStringLiteral("css"),
                {{"kProgressColor", "#FFFFFF"}, {"kProgressBgColor", "#AAAAAA"}, {"kTapHereText", "Tap to dismiss !!"}});
        addRows("empty blocks", QStringLiteral("heading{}; tapHere{}; progressbar{}; popover{}"),
                {{"kTemplateHeadingFontSize", "12"}, {"kTemplateTapHereFontSize", "12"}, {"kTemplateHeadingFontName", "default"},
                 {"kProgressBgColor", "#AAAAAA"}, {"kPopUpBorderRadius", "6"}});
        addRows("styled template",
                QStringLiteral("banner.backgroundcolor=#112233; popover.backgroundcolor=#445566; progressbar.color=#010203;"
                               "progressbar.backgroundcolor=#040506; stepsTitle.color=#000; tapHere.color=#ABCDEF;"
                               "tapHere.text=Tap here; popover.borderRadius=3; heading.font=Serif; heading.fontSize=20;"
                               "content.fontSize=-1; tapHere.fontSize=0; popover.hasProperties=false"),
                {{"kBannerColor", "#112233"}, {"kPopupColor", "#445566"}, {"kProgressColor", "#010203"},
                 {"kProgressBgColor", "#040506"}, {"KStepsTitleColor", "#000000"}, {"kTapHereColor", "#ABCDEF"},
                 {"kTapHereText", "Tap here"}, {"kPopUpBorderRadius", "3"}, {"kTemplateHeadingFontName", "Serif"},
                 {"kTemplateHeadingFontSize", "20"}, {"kTemplateContentFontSize", "-1"}, {"kTemplateTapHereFontSize", "0"}});
        addRows("zero radius", QStringLiteral("popover.borderRadius=0"), {{"kPopUpBorderRadius", "6"}});
        addRows("empty texts kept", QStringLiteral("tapHere.text=; heading.font="),
                {{"kTapHereText", ""}, {"kTemplateHeadingFontName", ""}});
        addRows("rejected colours", QStringLiteral("banner.backgroundcolor=#12345; progressbar.color=; stepsTitle.color=#1234"),
                {{"kBannerColor", "#AF90EF"}, {"kProgressColor", "#FFFFFF"}, {"KStepsTitleColor", "#FFFFFF"}});
    }

    void templateGetters() { check(); }

    void menuGetters_data()
    {
        columns();
        const QList<std::pair<const char *, const char *>> builtIn{
            {"kAboutText", "About Wexolin"}, {"kOptionsText", "Options"}, {"kPlayWexosText", "In-App Guides"},
            {"kSupportText", "Support"}, {"kAboutLink", "https://wexolin.example"},
            {"kPrivacyPolicyLink", "https://wexolin.example/"}, {"KSupportLink", "support@wexolin.example"},
            {"kBlockBackgroundColor", "#F1F1F1"}, {"kListItemTextColor", "#FFFFFF"}, {"kSearchHereTextColor", "#F1F1F1"},
            {"kPoweredByLogoName", "poweredby-original"}, {"kShouldShowSearch", "false"},
        };
        addRows("no theme", QString(), builtIn);
        addRows("default theme is not read", QStringLiteral("default"), builtIn);
        addRows("theme without menu records", QStringLiteral("theme"), builtIn);
        addRows("search switch", QStringLiteral("theme; showSearchbar=true"), {{"kShouldShowSearch", "true"}});
        addRows("theme texts",
                QStringLiteral("mobileTexts.aboutText=; mobileTexts.optionsText=; mobileTexts.supportText=Help desk;"
                               "mobileTexts.aboutUsLink=https://example.com/about; mobileTexts.supportLink=help@example.com"),
                {{"kAboutText", ""}, {"kOptionsText", "Options"}, {"kSupportText", "Help desk"},
                 {"kAboutLink", "https://example.com/about"}, {"KSupportLink", "help@example.com"}});
        addRows("theme colours", QStringLiteral("mobileColors.listItemTextColor=#123456; mobileColors.blockBackgroundColor=#bad!"),
                {{"kListItemTextColor", "#123456"}, {"kBlockBackgroundColor", "#F1F1F1"}, {"kSearchHereTextColor", "#F1F1F1"}});
        addRows("empty link", QStringLiteral("mobileTexts.aboutUsLink="), {{"kAboutLink", "https://wexolin.example"}});
        addRows("script link", QStringLiteral("mobileTexts.aboutUsLink=javascript:alert(1)"), {{"kAboutLink", "https://wexolin.example"}});
        addRows("file link", QStringLiteral("mobileTexts.privacyPolicyLink=file:///etc/passwd"),
                {{"kPrivacyPolicyLink", "https://wexolin.example/"}});
        addRows("plain http link", QStringLiteral("mobileTexts.privacyPolicyLink=http://example.com/privacy"),
                {{"kPrivacyPolicyLink", "http://example.com/privacy"}});
        addRows("support with extra recipients", QStringLiteral("mobileTexts.supportLink=a@example.com?cc=b@example.com"),
                {{"KSupportLink", "support@wexolin.example"}});
        addRows("support as mail link", QStringLiteral("mobileTexts.supportLink=mailto:a@example.com"),
                {{"KSupportLink", "support@wexolin.example"}});
        addRows("white logo", QStringLiteral("mobileTexts.logoPath=https://cdn.example/images/logo_white.png"),
                {{"kPoweredByLogoName", "poweredby-white"}});
        addRows("black logo", QStringLiteral("mobileTexts.logoPath=/logo_black.png"), {{"kPoweredByLogoName", "poweredby-grey"}});
        addRows("white wins over black", QStringLiteral("mobileTexts.logoPath=white/logo_black.png"),
                {{"kPoweredByLogoName", "poweredby-white"}});
        addRows("capital White", QStringLiteral("mobileTexts.logoPath=White.png"), {{"kPoweredByLogoName", "poweredby-original"}});
        addRows("empty logo path", QStringLiteral("mobileTexts.logoPath="), {{"kPoweredByLogoName", "poweredby-original"}});
    }

    void menuGetters() { check(); }

    void defaultThemeContent()
    {
        WConfiguration::applyDefaultTheme();
        const std::shared_ptr<Theme> first = WAppearanceState::defaultTheme();
        WConfiguration::applyDefaultTheme();
        const std::shared_ptr<Theme> theme = WAppearanceState::defaultTheme();
        QVERIFY(theme && theme != first);
        QVERIFY(!theme->success() && !theme->message());
        const ThemeConfiguration &config = *theme->config();
        QCOMPARE(config.PrimaryColor(), std::optional<QString>(QStringLiteral("#AF90EF")));
        QCOMPARE(config.SecondaryColor(), std::optional<QString>(QStringLiteral("#FFFFFF")));
        const ElementConfiguration &elements = *config.Configurations();
        for (const auto &pair : {elements.playIcon(), elements.pulse(), elements.tooltipColor()}) {
            QVERIFY(pair);
            QCOMPARE(pair->prop1(), std::optional<QString>(QStringLiteral("#AF90EF")));
            QCOMPARE(pair->prop2(), std::optional<QString>(QStringLiteral("#FFFFFF")));
        }
        QVERIFY(elements.playIcon() != elements.pulse());
        QCOMPARE(elements.text(), std::optional<QString>(QStringLiteral("help")));
        QVERIFY(!elements.tooltip() && !elements.mobileColors() && !elements.mobileTexts() && !elements.fonts());
        QVERIFY(!elements.cameraIcon() && !elements.highlighter() && !elements.showSearchbar());
    }
};

QTEST_MAIN(tst_WConfiguration)
#include "tst_wconfiguration.moc"
