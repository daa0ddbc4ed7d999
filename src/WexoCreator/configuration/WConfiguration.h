#pragma once

#include "WexoCreator/appearance-model/ElementConfiguration.h"
#include "WexoCreator/appearance-model/WTooltipType.h"

#include <QColor>
#include <QString>
#include <QUrl>

namespace WexoCreator {

// The appearance configuration: built-in defaults, the default theme, and the
// getters that resolve every colour, text, link, font and switch from the
// downloaded theme and template (WAppearanceState) with those defaults as
// fallback. Nothing is cached: each getter reads the records as they are now.
// Main thread only.
struct WConfiguration {
    // --- Built-in defaults ----------------------------------------------------
    static inline const QString wBrandPrimaryColorHexString = QStringLiteral("#AF90EF");
    static inline const QString wBrandSecondaryColorHexString = QStringLiteral("#FFFFFF");
    static inline const QString &wTypeIcon = ElementConfiguration::defaultTypeIcon;
    static inline const QString &wPreferences = ElementConfiguration::defaultPreferences;
    static inline const QString &wConsolePlacement = ElementConfiguration::defaultPlacement;
    static inline const QString &wText = ElementConfiguration::defaultText;
    static inline const QString wTapText = QStringLiteral("Tap to dismiss !!");
    static constexpr qreal wDefaultPopupCornerRadius = 6.0;
    static constexpr WTooltipType wDefaultTooltipType = WTooltipType::questionMark;
    // A development build switch; nothing reads it.
    static constexpr bool kDevelopment = false;

    // The library's own resources, where its forms and images are built in.
    static inline const QString frameworkBundle = QStringLiteral(":/WexoCreator/");
    // Where the library's images (and the forms loadFromNibNamed() loads from
    // it) are looked up; initially frameworkBundle.
    static QString currentBundle();
    static void setCurrentBundle(const QString &prefix);

    // Builds the built-in default theme and stores it as the default theme,
    // replacing any earlier one.
    static void applyDefaultTheme();

    // --- Theme colours and launcher settings ---------------------------------
    static QColor kPrimaryColor();
    static QColor kSecondaryColor();
    static QColor ktooltipPrimaryColor();
    static QColor ktooltipSecondaryColor();
    static QColor kPlayIconTintColor();
    static QColor kPlayIconbackgroundColor();
    static QColor kPulsePrimaryColor();
    static QString KPreferences();
    static QString KTypeIcon();
    static QString KPlacement();
    static QString kConsoleText();
    static WTooltipType kToolTipType();

    // --- Template styles of the step views -----------------------------------
    static QColor kBannerColor();
    static QColor kPopupColor();
    static QColor kProgressColor();
    static QColor kProgressBgColor();
    static QColor KStepsTitleColor();
    static QColor kTapHereColor();
    static QString kTapHereText();
    static qreal kPopUpBorderRadius();
    // "default" names no font: the font manager then gives its system font.
    static QString kTemplateHeadingFontName();
    static qreal kTemplateHeadingFontSize();
    static QString kTemplateTapHereFontName();
    static qreal kTemplateTapHereFontSize();
    static QString kTemplateContentFontName();
    static qreal kTemplateContentFontSize();

    // --- Options menu ----------------------------------------------------------
    static QString kAboutText();
    static QString kOptionsText();
    static QString kPlayWexosText();
    static QString kPoweredByText();
    static QString kPrivacyPolicyText();
    static QString kSearchBarTextMobile();
    static QString kSupportText();
    // Web links are http or https; the support link is a bare e-mail address.
    // A theme link of another kind gives the built-in one.
    static QUrl kAboutLink();
    // The library's home page (a fixed secure address): Powered by, and every
    // menu row without a page of its own.
    static QUrl kHomePageLink();
    static QUrl kPrivacyPolicyLink();
    static QUrl KSupportLink();
    static QColor kBlockBackgroundColor();
    static QColor kListItemBackgroundColor();
    static QColor kListItemTextColor();
    static QColor kOptionsTextColor();
    static QColor kPoweredByTextColor();
    static QColor kSearchHereBackgroundColor();
    static QColor kSearchHereTextColor();
    static QString kPoweredByLogoName();
    static bool kShouldShowSearch();

private:
    static QColor wBrandColor();

    static inline const QString wBlockBackgroundColor = QStringLiteral("#f1f1f1");
    static inline const QString wListItemBackgroundColor = QStringLiteral("#000000");
    static inline const QString wListItemTextColor = QStringLiteral("#ffffff");
    static inline const QString wOptionsTextColor = QStringLiteral("#ffffff");
    static inline const QString wPoweredByTextColor = QStringLiteral("#ffffff");
    static inline const QString wSearchHereBackgroundColor = QStringLiteral("#f1f1f1");
    // Dark, so typed text shows on the field's light grey.
    static inline const QString wSearchHereTextColor = QStringLiteral("#000000");
    static inline const QString wAboutText = QStringLiteral("About Wexolin");
    static inline const QString wAboutUsLink = QStringLiteral("https://wexolin.example");
    static inline const QString wOptionsText = QStringLiteral("Options");
    static inline const QString wPlayWexosText = QStringLiteral("In-App Guides");
    static inline const QString wPoweredByText = QStringLiteral("Powered By Wexolin");
    static inline const QString wPrivacyPolicyLink = QStringLiteral("https://wexolin.example/");
    static inline const QString wPrivacyPolicyText = QStringLiteral("Privacy Policy");
    static inline const QString wSearchBarTextMobile = QStringLiteral("Search here for help?");
    static inline const QString wSupportLink = QStringLiteral("support@wexolin.example");
    static inline const QString wSupportText = QStringLiteral("Support");
};

} // namespace WexoCreator
