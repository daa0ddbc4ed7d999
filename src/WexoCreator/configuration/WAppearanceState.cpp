#include "WexoCreator/configuration/WAppearanceState.h"

namespace WexoCreator {

namespace {

struct Holders {
    std::shared_ptr<Theme> theme;
    std::shared_ptr<Theme> defaultTheme;
    std::shared_ptr<Template> currentTemplate;
};

Holders &holders()
{
    static Holders instance;
    return instance;
}

} // namespace

std::shared_ptr<Theme> WAppearanceState::theme()
{
    return holders().theme;
}

void WAppearanceState::setTheme(std::shared_ptr<Theme> theme)
{
    holders().theme = std::move(theme);
}

std::shared_ptr<Theme> WAppearanceState::defaultTheme()
{
    return holders().defaultTheme;
}

void WAppearanceState::setDefaultTheme(std::shared_ptr<Theme> theme)
{
    holders().defaultTheme = std::move(theme);
}

std::shared_ptr<Template> WAppearanceState::currentTemplate()
{
    return holders().currentTemplate;
}

void WAppearanceState::setTemplate(std::shared_ptr<Template> value)
{
    holders().currentTemplate = std::move(value);
}

} // namespace WexoCreator
