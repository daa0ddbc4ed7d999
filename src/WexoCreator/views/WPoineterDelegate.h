#pragma once

namespace WexoCreator {

// Told when the pointer marker is clicked.
class WPoineterDelegate
{
public:
    virtual ~WPoineterDelegate() = default;

    virtual void onPointerView() = 0;
};

} // namespace WexoCreator
