#pragma once

#include <memory>

namespace WexoCreator {

class Theme;
class Template;

// Where the configuration getters read the appearance records: the theme and
// template downloaded from the backend and the default theme. The manager
// writes them (start-up, theme and template answers, setDefault); everything
// else only reads. Main thread only, like the rest of the library's state.
class WAppearanceState
{
public:
    static std::shared_ptr<Theme> theme();
    static void setTheme(std::shared_ptr<Theme> theme);

    static std::shared_ptr<Theme> defaultTheme();
    static void setDefaultTheme(std::shared_ptr<Theme> theme);

    // `template` is a keyword, hence the longer name.
    static std::shared_ptr<Template> currentTemplate();
    static void setTemplate(std::shared_ptr<Template> value);
};

} // namespace WexoCreator
