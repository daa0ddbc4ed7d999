#pragma once

namespace WexoCreator {

class WBanner;

// Receives the banner's back and close buttons.
class WBannerDelegate
{
public:
    virtual ~WBannerDelegate() = default;

    virtual void onPrev(WBanner *banner) = 0;
    virtual void onClose(WBanner *banner) = 0;
};

} // namespace WexoCreator
