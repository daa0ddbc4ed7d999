// wexo-sample-backend: serves the sample data over HTTP(S) on loopback until SIGINT or SIGTERM.
#include "SampleBackend.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <csignal>
#include <cstdio>
#include <optional>
#include <pthread.h>

int main(int argc, char *argv[])
{
    // Block the stop signals before any server thread exists, so that only sigwait sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("wexo-sample-backend"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Sample backend for the WexoCreator demo and tests."));
    parser.addHelpOption();
    const QCommandLineOption dataOption(QStringLiteral("data"),
                                        QStringLiteral("Data folder (the sample data is in " WEXO_SAMPLE_DATA_DIR ")."),
                                        QStringLiteral("DIR"));
    const QCommandLineOption portOption(QStringLiteral("port"), QStringLiteral("Port, 0 picks a free one."),
                                        QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption storeOption(QStringLiteral("store"),
                                         QStringLiteral("File that keeps recorded steps and analytics."),
                                         QStringLiteral("FILE"));
    const QCommandLineOption latencyOption(QStringLiteral("latency-ms"), QStringLiteral("Delay added to every request."),
                                           QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption certOption(QStringLiteral("tls-cert"), QStringLiteral("PEM certificate for HTTPS."),
                                        QStringLiteral("F"));
    const QCommandLineOption keyOption(QStringLiteral("tls-key"), QStringLiteral("PEM key for HTTPS."), QStringLiteral("F"));
    parser.addOptions({dataOption, portOption, storeOption, latencyOption, certOption, keyOption});
    parser.process(app);

    // Names what is wrong, so that a typo does not leave the reader with the whole help text.
    const auto fail = [](const QString &problem) {
        std::fprintf(stderr, "wexo-sample-backend: %s (see --help)\n", qPrintable(problem));
        return 2;
    };
    const auto number = [&parser](const QCommandLineOption &option, int highest) -> std::optional<int> {
        bool ok = false;
        const int value = parser.value(option).toInt(&ok);
        if (!ok || value < 0 || value > highest)
            return std::nullopt;
        return value;
    };
    if (!parser.isSet(dataOption))
        return fail(QStringLiteral("--data DIR is missing; the sample data is in " WEXO_SAMPLE_DATA_DIR));
    const std::optional<int> port = number(portOption, 65535);
    if (!port)
        return fail(QStringLiteral("--port must be a number from 0 to 65535, not \"%1\"").arg(parser.value(portOption)));
    const std::optional<int> latency = number(latencyOption, 600000);
    if (!latency)
        return fail(QStringLiteral("--latency-ms must be a number from 0 to 600000, not \"%1\"")
                        .arg(parser.value(latencyOption)));
    if (parser.isSet(certOption) != parser.isSet(keyOption))
        return fail(QStringLiteral("--tls-cert and --tls-key go together"));
    if (!QFileInfo(parser.value(dataOption)).isDir())
        return fail(QStringLiteral("--data %1 is not a folder").arg(parser.value(dataOption)));

    WexoSample::SampleBackend::Options options;
    options.dataDir = parser.value(dataOption);
    options.storeFile = parser.value(storeOption);
    options.latencyMs = *latency;
    options.tlsCertFile = parser.value(certOption);
    options.tlsKeyFile = parser.value(keyOption);

    WexoSample::SampleBackend backend(options);
    if (!backend.start(*port)) {
        std::fprintf(stderr, "wexo-sample-backend: %s\n", qPrintable(backend.errorString()));
        return 1;
    }
    std::printf("listening on %s\n", qPrintable(backend.rootUrl()));
    std::fflush(stdout);

    int received = 0;
    sigwait(&stopSignals, &received);
    backend.stop();
    return 0;
}
