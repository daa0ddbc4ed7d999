#pragma once

#include "WexoCreator/platform/WViewController.h"

namespace WexoCreator {

// A controller for web pages inside the library. Pages open in the platform's
// in-app browser (WInAppBrowser), so nothing makes one; it adds nothing to
// WViewController.
class WexoWebViewController : public WViewController
{
    Q_OBJECT

public:
    using WViewController::WViewController;
};

} // namespace WexoCreator
