#pragma once

#include <functional>

class QObject;

namespace WexoCreator {

// Hands work to the main thread's event loop. Always queues, even when called
// on the main thread, so a block never runs inside the call that posts it and
// blocks posted one after another run in that order.
struct WPerform {
    static void onMainThread(std::function<void()> block);

    // Runs the closure on the main thread after the given seconds. It cannot be
    // cancelled: a closure that must not outlive its owner uses the context form.
    static void delay(double seconds, std::function<void()> closure);

    // As above, but the closure is dropped when the context object dies first.
    static void delay(double seconds, QObject *context, std::function<void()> closure);
};

} // namespace WexoCreator
