#pragma once

namespace WexoCreator {

class WMobilePopup;

// Receives the mobile card's back and close buttons.
class WMobilePopupDelegate
{
public:
    virtual ~WMobilePopupDelegate() = default;

    virtual void onPrev(WMobilePopup *popup) = 0;
    virtual void onClose(WMobilePopup *popup) = 0;
};

} // namespace WexoCreator
