#include "WexoCreator/configuration/WConfiguration.h"

#include "WexoCreator/appearance-model/Template.h"
#include "WexoCreator/appearance-model/Theme.h"
#include "WexoCreator/configuration/WAppearanceState.h"
#include "WexoCreator/extensions/WColor.h"
#include "WexoCreator/platform/WLogging.h"

#include <QRegularExpression>

namespace WexoCreator {

namespace {

using Elements = std::shared_ptr<ElementConfiguration>;
using PairMember = const ElementConfiguration::Pair &(ElementConfiguration::*)() const;
using PropMember = const std::optional<QString> &(ElementConfigurationParameters::*)() const;
using TextMember = const std::optional<QString> &(ElementConfiguration::*)() const;
using FallbackMember = QString (ElementConfiguration::*)() const;
using BlockMember = const TemplateParameters::Block &(TemplateParameters::*)() const;
using BlockText = const std::optional<QString> &(TemplateConstraints::*)() const;
using MenuText = const QString &(MobileTexts::*)() const;
using MenuColor = const QString &(MobileColors::*)() const;

const QString defaultFontName = QStringLiteral("default");
// The light grey of the original platform, lighter than Qt::lightGray.
const QColor lightGray = QColor(0xAA, 0xAA, 0xAA);
const QColor white = QColor(Qt::white);

Elements configurationsOf(const std::shared_ptr<Theme> &theme)
{
    if (!theme || !theme->config())
        return nullptr;
    return theme->config()->Configurations();
}

std::shared_ptr<Theme> downloadedElseDefault()
{
    std::shared_ptr<Theme> theme = WAppearanceState::theme();
    return theme ? theme : WAppearanceState::defaultTheme();
}

QColor builtInColor(const QString &hex)
{
    return colorFromHex(hex).value_or(QColor());
}

// A theme or template colour text, or the built-in colour when there is none or
// it is not a colour.
QColor colorOr(const std::optional<QString> &text, const QColor &fallback)
{
    if (!text)
        return fallback;
    if (const std::optional<QColor> color = colorFromHex(*text))
        return *color;
    qCDebug(lcConfiguration) << "not a colour, using the built-in one:" << *text;
    return fallback;
}

QColor pairColor(PairMember pair, PropMember prop, const QString &fallbackHex)
{
    const Elements elements = configurationsOf(downloadedElseDefault());
    std::optional<QString> text;
    if (elements && (elements.get()->*pair)())
        text = ((elements.get()->*pair)().get()->*prop)();
    return colorOr(text, builtInColor(fallbackHex));
}

QString launcherText(FallbackMember method, TextMember field, const QString &constant)
{
    if (const std::shared_ptr<Theme> theme = WAppearanceState::theme()) {
        const Elements elements = configurationsOf(theme);
        return elements ? (elements.get()->*method)() : constant;
    }
    const Elements elements = configurationsOf(WAppearanceState::defaultTheme());
    if (elements && (elements.get()->*field)())
        return *(elements.get()->*field)();
    return constant;
}

// The style block of the current template: absent outer value without a
// template, null inside when the template lacks the block.
std::optional<std::shared_ptr<TemplateConstraints>> templateBlock(BlockMember block)
{
    const std::shared_ptr<Template> current = WAppearanceState::currentTemplate();
    if (!current)
        return std::nullopt;
    const std::shared_ptr<TemplateParameters> &css = current->CssObject();
    return css ? (css.get()->*block)() : nullptr;
}

QColor templateColor(BlockMember block, BlockText field, const QColor &noTemplate, const QColor &noValue)
{
    const auto found = templateBlock(block);
    if (!found)
        return noTemplate;
    return colorOr(*found ? ((found->get())->*field)() : std::nullopt, noValue);
}

QString templateFontName(BlockMember block)
{
    const auto found = templateBlock(block);
    if (found && *found && (*found)->font())
        return *(*found)->font();
    return defaultFontName;
}

qreal templateFontSize(BlockMember block, qreal fallback)
{
    const auto found = templateBlock(block);
    return found && *found ? (*found)->fontSize() : fallback;
}

std::shared_ptr<MobileTexts> mobileTexts()
{
    const Elements elements = configurationsOf(WAppearanceState::theme());
    return elements ? elements->mobileTexts() : nullptr;
}

QString menuText(MenuText field, const QString &fallback)
{
    const std::shared_ptr<MobileTexts> texts = mobileTexts();
    return texts ? (texts.get()->*field)() : fallback;
}

QUrl webLink(MenuText field, const QString &fallback)
{
    if (const std::shared_ptr<MobileTexts> texts = mobileTexts()) {
        const QString text = (texts.get()->*field)();
        const QUrl url(text, QUrl::StrictMode);
        const QString scheme = url.scheme().toLower();
        if (url.isValid() && (scheme == QLatin1String("https") || scheme == QLatin1String("http")) && !url.host().isEmpty())
            return url;
        qCDebug(lcConfiguration) << "not a web link, using the built-in one:" << text;
    }
    return QUrl(fallback);
}

QColor menuColor(MenuColor field, const QString &fallbackHex)
{
    const Elements elements = configurationsOf(WAppearanceState::theme());
    const std::shared_ptr<MobileColors> colors = elements ? elements->mobileColors() : nullptr;
    return colorOr(colors ? std::optional<QString>((colors.get()->*field)()) : std::nullopt, builtInColor(fallbackHex));
}

QString &bundlePrefix()
{
    static QString prefix = WConfiguration::frameworkBundle;
    return prefix;
}

} // namespace

QString WConfiguration::currentBundle()
{
    return bundlePrefix();
}

void WConfiguration::setCurrentBundle(const QString &prefix)
{
    bundlePrefix() = prefix;
}

void WConfiguration::applyDefaultTheme()
{
    const auto pair = [] {
        auto colors = std::make_shared<ElementConfigurationParameters>();
        colors->setProp1(wBrandPrimaryColorHexString);
        colors->setProp2(wBrandSecondaryColorHexString);
        return colors;
    };
    auto elements = std::make_shared<ElementConfiguration>();
    elements->setPlayIcon(pair());
    elements->setPulse(pair());
    elements->setTooltipColor(pair());
    elements->setPreferences(wPreferences);
    elements->setTypeIcon(wTypeIcon);
    elements->setPlacement(wConsolePlacement);
    elements->setText(QStringLiteral("help"));

    auto config = std::make_shared<ThemeConfiguration>();
    config->setPrimaryColor(wBrandPrimaryColorHexString);
    config->setSecondaryColor(wBrandSecondaryColorHexString);
    config->setConfigurations(elements);

    auto theme = std::make_shared<Theme>();
    theme->setConfig(config);
    WAppearanceState::setDefaultTheme(theme);
}

QColor WConfiguration::wBrandColor()
{
    return builtInColor(wBrandPrimaryColorHexString);
}

// --- Theme colours and launcher settings ------------------------------------

QColor WConfiguration::kPrimaryColor()
{
    const std::shared_ptr<Theme> theme = WAppearanceState::theme();
    if (!theme || !theme->config())
        return wBrandColor();
    if (const std::optional<QString> &primary = theme->config()->PrimaryColor())
        return colorOr(primary, wBrandColor());
    const Elements elements = theme->config()->Configurations();
    if (elements && elements->playIcon())
        return colorOr(elements->playIcon()->prop2(), wBrandColor());
    return wBrandColor();
}

QColor WConfiguration::kSecondaryColor()
{
    const std::shared_ptr<Theme> theme = downloadedElseDefault();
    const std::optional<QString> text = theme && theme->config() ? theme->config()->SecondaryColor() : std::nullopt;
    return colorOr(text, builtInColor(wBrandSecondaryColorHexString));
}

QColor WConfiguration::ktooltipPrimaryColor()
{
    return pairColor(&ElementConfiguration::tooltipColor, &ElementConfigurationParameters::prop1, wBrandPrimaryColorHexString);
}

QColor WConfiguration::ktooltipSecondaryColor()
{
    return pairColor(&ElementConfiguration::tooltipColor, &ElementConfigurationParameters::prop2, wBrandSecondaryColorHexString);
}

QColor WConfiguration::kPlayIconTintColor()
{
    return pairColor(&ElementConfiguration::playIcon, &ElementConfigurationParameters::prop1, wBrandPrimaryColorHexString);
}

QColor WConfiguration::kPlayIconbackgroundColor()
{
    return pairColor(&ElementConfiguration::playIcon, &ElementConfigurationParameters::prop2, wBrandSecondaryColorHexString);
}

QColor WConfiguration::kPulsePrimaryColor()
{
    return pairColor(&ElementConfiguration::pulse, &ElementConfigurationParameters::prop1, wBrandPrimaryColorHexString);
}

QString WConfiguration::KPreferences()
{
    return launcherText(&ElementConfiguration::getPreference, &ElementConfiguration::preferences, wPreferences);
}

QString WConfiguration::KTypeIcon()
{
    return launcherText(&ElementConfiguration::getIcon, &ElementConfiguration::typeIcon, wTypeIcon);
}

QString WConfiguration::KPlacement()
{
    return launcherText(&ElementConfiguration::getPlacement, &ElementConfiguration::placement, wConsolePlacement);
}

QString WConfiguration::kConsoleText()
{
    const Elements elements = configurationsOf(WAppearanceState::theme());
    return elements ? elements->getTitleText() : wText;
}

WTooltipType WConfiguration::kToolTipType()
{
    const Elements elements = configurationsOf(WAppearanceState::theme());
    return elements ? elements->getTooltipType() : wDefaultTooltipType;
}

// --- Template styles ----------------------------------------------------------

QColor WConfiguration::kBannerColor()
{
    return templateColor(&TemplateParameters::banner, &TemplateConstraints::backgroundcolor, wBrandColor(), wBrandColor());
}

QColor WConfiguration::kPopupColor()
{
    return templateColor(&TemplateParameters::popover, &TemplateConstraints::backgroundcolor, wBrandColor(), wBrandColor());
}

QColor WConfiguration::kProgressColor()
{
    return templateColor(&TemplateParameters::progressbar, &TemplateConstraints::color, wBrandColor(), white);
}

QColor WConfiguration::kProgressBgColor()
{
    return templateColor(&TemplateParameters::progressbar, &TemplateConstraints::backgroundcolor, wBrandColor(), lightGray);
}

QColor WConfiguration::KStepsTitleColor()
{
    return templateColor(&TemplateParameters::stepsTitle, &TemplateConstraints::color, white, white);
}

QColor WConfiguration::kTapHereColor()
{
    return templateColor(&TemplateParameters::tapHere, &TemplateConstraints::color, white, white);
}

QString WConfiguration::kTapHereText()
{
    const auto found = templateBlock(&TemplateParameters::tapHere);
    if (found && *found && (*found)->text())
        return *(*found)->text();
    return wTapText;
}

qreal WConfiguration::kPopUpBorderRadius()
{
    const auto found = templateBlock(&TemplateParameters::popover);
    if (found && *found && (*found)->borderRadius() != 0)
        return (*found)->borderRadius();
    return wDefaultPopupCornerRadius;
}

QString WConfiguration::kTemplateHeadingFontName()
{
    return templateFontName(&TemplateParameters::heading);
}

qreal WConfiguration::kTemplateHeadingFontSize()
{
    return templateFontSize(&TemplateParameters::heading, 16);
}

QString WConfiguration::kTemplateTapHereFontName()
{
    return templateFontName(&TemplateParameters::tapHere);
}

qreal WConfiguration::kTemplateTapHereFontSize()
{
    return templateFontSize(&TemplateParameters::tapHere, 10);
}

QString WConfiguration::kTemplateContentFontName()
{
    return templateFontName(&TemplateParameters::content);
}

qreal WConfiguration::kTemplateContentFontSize()
{
    return templateFontSize(&TemplateParameters::content, 12);
}

// --- Options menu -------------------------------------------------------------

QString WConfiguration::kAboutText()
{
    return menuText(&MobileTexts::aboutText, wAboutText);
}

QString WConfiguration::kOptionsText()
{
    const QString text = menuText(&MobileTexts::optionsText, wOptionsText);
    return text.isEmpty() ? wOptionsText : text;
}

QString WConfiguration::kPlayWexosText()
{
    return menuText(&MobileTexts::playWexosText, wPlayWexosText);
}

QString WConfiguration::kPoweredByText()
{
    return menuText(&MobileTexts::poweredByText, wPoweredByText);
}

QString WConfiguration::kPrivacyPolicyText()
{
    return menuText(&MobileTexts::privacyPolicyText, wPrivacyPolicyText);
}

QString WConfiguration::kSearchBarTextMobile()
{
    return menuText(&MobileTexts::searchBarTextMobile, wSearchBarTextMobile);
}

QString WConfiguration::kSupportText()
{
    return menuText(&MobileTexts::supportText, wSupportText);
}

QUrl WConfiguration::kAboutLink()
{
    return webLink(&MobileTexts::aboutUsLink, wAboutUsLink);
}

QUrl WConfiguration::kHomePageLink()
{
    return QUrl(QStringLiteral("https://wexolin.example/"));
}

QUrl WConfiguration::kPrivacyPolicyLink()
{
    return webLink(&MobileTexts::privacyPolicyLink, wPrivacyPolicyLink);
}

QUrl WConfiguration::KSupportLink()
{
    // The whole text must be one address: anything around it could smuggle
    // further recipients or headers into the mail link.
    static const QRegularExpression address(
        QRegularExpression::anchoredPattern(QStringLiteral("[A-Z0-9a-z._%+-]+@[A-Za-z0-9.-]+\\.[A-Za-z]{2,}")));
    if (const std::shared_ptr<MobileTexts> texts = mobileTexts()) {
        if (address.match(texts->supportLink()).hasMatch())
            return QUrl(texts->supportLink());
        qCDebug(lcConfiguration) << "not an e-mail address, using the built-in one:" << texts->supportLink();
    }
    return QUrl(wSupportLink);
}

QColor WConfiguration::kBlockBackgroundColor()
{
    return menuColor(&MobileColors::blockBackgroundColor, wBlockBackgroundColor);
}

QColor WConfiguration::kListItemBackgroundColor()
{
    return menuColor(&MobileColors::listItemBackgroundColor, wListItemBackgroundColor);
}

QColor WConfiguration::kListItemTextColor()
{
    return menuColor(&MobileColors::listItemTextColor, wListItemTextColor);
}

QColor WConfiguration::kOptionsTextColor()
{
    return menuColor(&MobileColors::optionsTextColor, wOptionsTextColor);
}

QColor WConfiguration::kPoweredByTextColor()
{
    return menuColor(&MobileColors::poweredByTextColor, wPoweredByTextColor);
}

QColor WConfiguration::kSearchHereBackgroundColor()
{
    return menuColor(&MobileColors::searchHereBackgroundColor, wSearchHereBackgroundColor);
}

QColor WConfiguration::kSearchHereTextColor()
{
    return menuColor(&MobileColors::searchHereTextColor, wSearchHereTextColor);
}

QString WConfiguration::kPoweredByLogoName()
{
    const std::shared_ptr<MobileTexts> texts = mobileTexts();
    if (!texts)
        return QStringLiteral("poweredby-original");
    if (texts->logoPath().contains(QLatin1String("white")))
        return QStringLiteral("poweredby-white");
    if (texts->logoPath().contains(QLatin1String("logo_black")))
        return QStringLiteral("poweredby-grey");
    return QStringLiteral("poweredby-original");
}

bool WConfiguration::kShouldShowSearch()
{
    const Elements elements = configurationsOf(WAppearanceState::theme());
    return elements && elements->showSearchbar();
}

} // namespace WexoCreator
