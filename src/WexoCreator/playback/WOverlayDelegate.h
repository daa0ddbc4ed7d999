#pragma once

#include <memory>

namespace WexoCreator {

class Wexo;
class WexoStep;

// Receives a playback overlay's step changes. The overlay has left the screen
// when it calls; the receiver shows the given step of the page.
class WOverlayDelegate
{
public:
    virtual ~WOverlayDelegate() = default;
    virtual void onNext(std::shared_ptr<Wexo> wexo, std::shared_ptr<WexoStep> nextWexo) = 0;
    virtual void onPrev(std::shared_ptr<Wexo> wexo, std::shared_ptr<WexoStep> prevWexo) = 0;
};

} // namespace WexoCreator
