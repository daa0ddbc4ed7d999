#pragma once

#include <QObject>

#include <functional>

namespace WexoCreator {

// Whether the desktop names a program for mail addresses: the default handler
// of mailto as xdg-mime reports it. Asked in a separate process, never on the
// UI thread's time; the answer comes later on the main thread.
class WMailCapability
{
public:
    static constexpr int kTimeoutMs = 5000;

    // done(canSend) runs once, unless context is gone by then.
    static void query(QObject *context, std::function<void(bool)> done);
};

} // namespace WexoCreator
