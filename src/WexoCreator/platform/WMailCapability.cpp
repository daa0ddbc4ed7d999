#include "WexoCreator/platform/WMailCapability.h"

#include "WexoCreator/platform/WLogging.h"

#include <QPointer>
#include <QProcess>
#include <QTimer>

#include <memory>

namespace WexoCreator {

void WMailCapability::query(QObject *context, std::function<void(bool)> done)
{
    auto *process = new QProcess(context);
    // Answers once: a failure to start, a crash and a time-out all mean no mail program.
    auto answer = std::make_shared<std::function<void(bool)>>(std::move(done));
    const QPointer<QProcess> guard(process);
    // A process ended by its owner's deletion answers no one.
    const QPointer<QObject> owner(context);
    const auto finish = [answer, guard, owner](bool canSend) {
        if (!*answer)
            return;
        const std::function<void(bool)> call = std::move(*answer);
        *answer = nullptr;
        if (guard) {
            guard->disconnect();
            guard->kill();
            guard->deleteLater();
        }
        if (owner)
            call(canSend);
    };
    QObject::connect(process, &QProcess::finished, process, [process, finish](int code, QProcess::ExitStatus status) {
        // xdg-mime exits 0 with or without a default: only its output tells.
        const QByteArray handler = process->readAllStandardOutput().trimmed();
        qCDebug(lcPlatform) << "mailto handler:" << handler << "exit" << code << status;
        finish(status == QProcess::NormalExit && !handler.isEmpty());
    });
    QObject::connect(process, &QProcess::errorOccurred, process, [finish](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart || error == QProcess::Crashed) {
            qCDebug(lcPlatform) << "xdg-mime could not answer:" << error;
            finish(false);
        }
    });
    QTimer::singleShot(kTimeoutMs, process, [finish] { finish(false); });
    process->setStandardInputFile(QProcess::nullDevice());
    process->start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                                 QStringLiteral("x-scheme-handler/mailto")});
}

} // namespace WexoCreator
