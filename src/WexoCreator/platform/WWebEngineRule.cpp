#include "WexoCreator/platform/WWebEngineRule.h"

#include "WexoCreator/platform/WLogging.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <unistd.h>

namespace WexoCreator {

namespace {

bool sandboxSwitchedOff(const WWebEngineRule::Inputs &inputs)
{
    if (inputs.sandboxVariableSet)
        return true;
    static const QRegularExpression space(QStringLiteral("\\s+"));
    if (inputs.chromiumFlags.split(space, Qt::SkipEmptyParts).contains(QLatin1String("--no-sandbox")))
        return true;
    // Chromium reads only what follows --webEngineArgs; a bare --no-sandbox is the host's own.
    const qsizetype marker = inputs.arguments.indexOf(QLatin1String("--webEngineArgs"));
    return marker >= 0 && inputs.arguments.mid(marker + 1).contains(QLatin1String("--no-sandbox"));
}

} // namespace

WWebEngineRule::Verdict WWebEngineRule::decide(const Inputs &inputs)
{
    if (!inputs.sharedContexts)
        return Verdict::noSharedContexts;
    if (inputs.realUid == 0 && !sandboxSwitchedOff(inputs))
        return Verdict::rootWithSandbox;
    return Verdict::inApp;
}

WWebEngineRule::Inputs WWebEngineRule::currentInputs()
{
    Inputs inputs;
    // The real uid: a root process with another effective uid is still ended.
    inputs.realUid = ::getuid();
    inputs.sandboxVariableSet = qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX");
    inputs.chromiumFlags = qEnvironmentVariable("QTWEBENGINE_CHROMIUM_FLAGS");
    inputs.arguments = QCoreApplication::arguments();
    inputs.sharedContexts = QCoreApplication::testAttribute(Qt::AA_ShareOpenGLContexts);
    return inputs;
}

WWebEngineRule::Verdict WWebEngineRule::processVerdict()
{
    static const Verdict verdict = [] {
        const Verdict decided = decide(currentInputs());
        if (decided != Verdict::inApp)
            qCWarning(lcPlatform).noquote() << "web pages open in the system browser:" << reason(decided);
        return decided;
    }();
    return verdict;
}

QString WWebEngineRule::reason(Verdict verdict)
{
    switch (verdict) {
    case Verdict::inApp:
        return QString();
    case Verdict::rootWithSandbox:
        return QStringLiteral("running as root with the Qt WebEngine sandbox on, which would end the process");
    case Verdict::noSharedContexts:
        return QStringLiteral("Qt::AA_ShareOpenGLContexts was not set before QApplication, so Qt WebEngine would crash");
    }
    return QString();
}

} // namespace WexoCreator
