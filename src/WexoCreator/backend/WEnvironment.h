#pragma once

namespace WexoCreator {

// Whether the library talks to the staging backend rather than production.
class WEnvironment
{
public:
    static bool isStaging();
};

} // namespace WexoCreator
