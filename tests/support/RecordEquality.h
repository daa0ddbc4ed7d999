#pragma once

#include "WexoCreator/appearance-model/ElementConfiguration.h"
#include "WexoCreator/appearance-model/Template.h"
#include "WexoCreator/model/AllWexo.h"
#include "WexoCreator/model/WLogin.h"
#include "WexoCreator/model/WexoAnalytics.h"
#include "WexoCreator/model/WexoCreate.h"
#include "WexoCreator/model/WexoRoot.h"

#include <QList>

#include <functional>
#include <memory>
#include <optional>

// Field-by-field equality of the records that are written back, over their
// decoded fields (run-time fields are never written, so they take no part).
// Nested records and lists compare by content, not by pointer. Independent of
// the writer, so a lossy or mixed-up encoding shows as a different record.
namespace WexoCreator {

template<class T>
bool sameValue(const T &a, const T &b)
{
    return a == b;
}

template<class T>
bool sameValue(const std::shared_ptr<T> &a, const std::shared_ptr<T> &b)
{
    return a == b || (a && b && sameRecord(*a, *b));
}

template<class T>
bool sameValue(const std::optional<QList<std::shared_ptr<T>>> &a, const std::optional<QList<std::shared_ptr<T>>> &b)
{
    if (!a || !b)
        return !a && !b;
    if (a->size() != b->size())
        return false;
    for (qsizetype i = 0; i < a->size(); ++i) {
        if (!sameValue(a->at(i), b->at(i)))
            return false;
    }
    return true;
}

// Fields are data members or read accessors.
template<class R, class... Fields>
bool sameFields(const R &a, const R &b, Fields... fields)
{
    return (sameValue(std::invoke(fields, a), std::invoke(fields, b)) && ...);
}

inline bool sameRecord(const WexoStep &a, const WexoStep &b)
{
    return sameFields(a, b, &WexoStep::StepId, &WexoStep::Frame, &WexoStep::LinkedWalkthruId, &WexoStep::ElementId,
                      &WexoStep::ElementType, &WexoStep::dislplayType, &WexoStep::Title, &WexoStep::description,
                      &WexoStep::HasBackDrop, &WexoStep::OrderNumber, &WexoStep::wexoId);
}

inline bool sameRecord(const Wexo &a, const Wexo &b)
{
    return sameFields(a, b, &Wexo::IsActive, &Wexo::Page, &Wexo::StepId, &Wexo::PageOrderNo, &Wexo::appId, &Wexo::WalkthroughId,
                      &Wexo::values);
}

inline bool sameRecord(const WexoName &a, const WexoName &b)
{
    return sameFields(a, b, &WexoName::Id, &WexoName::Name, &WexoName::appId);
}

inline bool sameRecord(const WexoRoot &a, const WexoRoot &b)
{
    return sameFields(a, b, &WexoRoot::wexoName, &WexoRoot::wexos, &WexoRoot::Id);
}

inline bool sameRecord(const WexoDetails &a, const WexoDetails &b)
{
    return sameFields(a, b, &WexoDetails::Id, &WexoDetails::Name, &WexoDetails::appId);
}

inline bool sameRecord(const AllWexo &a, const AllWexo &b)
{
    return sameFields(a, b, &AllWexo::walkthrough, &AllWexo::message, &AllWexo::success);
}

inline bool sameRecord(const WUserInfo &a, const WUserInfo &b)
{
    return sameFields(a, b, &WUserInfo::Email, &WUserInfo::IsAdmin, &WUserInfo::displayName);
}

inline bool sameRecord(const WLogin &a, const WLogin &b)
{
    return sameFields(a, b, &WLogin::token, &WLogin::userInfo, &WLogin::message, &WLogin::success);
}

inline bool sameRecord(const WexoElements &a, const WexoElements &b)
{
    return sameFields(a, b, &WexoElements::ElementId, &WexoElements::ElementHtmlId, &WexoElements::Frame);
}

inline bool sameRecord(const WexoCreate &a, const WexoCreate &b)
{
    return sameFields(a, b, &WexoCreate::message, &WexoCreate::success, &WexoCreate::walkthroughStepId,
                      &WexoCreate::walkthroughId, &WexoCreate::forPage, &WexoCreate::analyticsId, &WexoCreate::elements);
}

inline bool sameRecord(const WexoAnalytics &a, const WexoAnalytics &b)
{
    return sameFields(a, b, &WexoAnalytics::message, &WexoAnalytics::analyticsId);
}

inline bool sameRecord(const ElementConfigurationParameters &a, const ElementConfigurationParameters &b)
{
    return sameFields(a, b, &ElementConfigurationParameters::prop1, &ElementConfigurationParameters::prop2);
}

inline bool sameRecord(const WFonts &a, const WFonts &b)
{
    return sameFields(a, b, &WFonts::fontName, &WFonts::fontUrl, &WFonts::localURL);
}

inline bool sameRecord(const MobileColors &a, const MobileColors &b)
{
    using C = MobileColors;
    return sameFields(a, b, &C::blockBackgroundColor, &C::listItemBackgroundColor, &C::listItemTextColor, &C::optionsTextColor,
                      &C::poweredByTextColor, &C::searchHereBackgroundColor, &C::searchHereTextColor);
}

inline bool sameRecord(const MobileTexts &a, const MobileTexts &b)
{
    using T = MobileTexts;
    return sameFields(a, b, &T::aboutText, &T::aboutUsLink, &T::logoLink, &T::logoPath, &T::optionsText, &T::playWexosText,
                      &T::poweredByText, &T::privacyPolicyLink, &T::privacyPolicyText, &T::searchBarTextMobile,
                      &T::supportLink, &T::supportText);
}

inline bool sameRecord(const ElementConfiguration &a, const ElementConfiguration &b)
{
    using E = ElementConfiguration;
    return sameFields(a, b, &E::pulse, &E::playIcon, &E::cameraIcon, &E::highlighter, &E::tooltipColor, &E::preferences,
                      &E::typeIcon, &E::placement, &E::text, &E::tooltip, &E::showSearchbar, &E::fonts, &E::mobileColors,
                      &E::mobileTexts);
}

inline bool sameRecord(const TemplateConstraints &a, const TemplateConstraints &b)
{
    using C = TemplateConstraints;
    return sameFields(a, b, &C::hasProperties, &C::backgroundcolor, &C::color, &C::fontWeight, &C::fontSize, &C::font, &C::text,
                      &C::borderRadius, &C::paddingT, &C::paddingL, &C::paddingB, &C::paddingR, &C::marginT, &C::marginL,
                      &C::marginB, &C::marginR);
}

inline bool sameRecord(const TemplateParameters &a, const TemplateParameters &b)
{
    using P = TemplateParameters;
    return sameFields(a, b, &P::popover, &P::nextButton, &P::endButton, &P::backButton, &P::closeButton, &P::stepsTitle,
                      &P::heading, &P::content, &P::progressbar, &P::logoText, &P::progressbarWrapper, &P::banner, &P::tapHere);
}

inline bool sameRecord(const Template &a, const Template &b)
{
    return sameFields(a, b, &Template::success, &Template::CssObject);
}

} // namespace WexoCreator
