#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace WexoCreator {

// Whether this process may start Qt WebEngine at all. As real root with the
// sandbox on, Chromium ends the whole process; loaded after QApplication
// without shared OpenGL contexts, the first profile crashes it. In both cases
// pages go to the system browser instead. The library never switches the
// sandbox off for the host.
class WWebEngineRule
{
public:
    enum class Verdict { inApp, rootWithSandbox, noSharedContexts };

    struct Inputs {
        unsigned realUid = 0;
        bool sandboxVariableSet = false; // QTWEBENGINE_DISABLE_SANDBOX, any value
        QString chromiumFlags;           // QTWEBENGINE_CHROMIUM_FLAGS
        QStringList arguments;           // the application's arguments
        bool sharedContexts = false;     // Qt::AA_ShareOpenGLContexts
    };

    static Verdict decide(const Inputs &inputs);
    // The process as it is now.
    static Inputs currentInputs();
    // Decided on the first call, before any WebEngine object; later calls give
    // the same answer. A refusal is logged once.
    static Verdict processVerdict();
    static QString reason(Verdict verdict);
};

} // namespace WexoCreator
