#pragma once

#include <functional>
#include <memory>

namespace WexoCreator {

class Wexo;
class WexoStep;

// Reports a playback to the backend: the start opens an analytics record whose
// identifier is kept in the page that asked for it; step and completion events
// carry that identifier and are dropped until it has arrived.
class WAnalytics
{
public:
    // Reports true once the page holds a new identifier. Nothing is sent, and
    // the completion is not called, without a page or a walkthrough identifier.
    static void getWexoAnalyticsId(const std::shared_ptr<Wexo> &playing, std::function<void(bool)> completion = {});
    static void addWexoStep(const std::shared_ptr<Wexo> &playing, const std::shared_ptr<WexoStep> &step);
    static void completeWexo(const std::shared_ptr<Wexo> &playing, const std::shared_ptr<WexoStep> &step);
};

} // namespace WexoCreator
