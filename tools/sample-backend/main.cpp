// wexo-sample-backend: serves the sample data over HTTP(S) on loopback until SIGINT or SIGTERM.
#include "SampleBackend.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <csignal>
#include <cstdio>
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
    const QCommandLineOption dataOption(QStringLiteral("data"), QStringLiteral("Data folder."), QStringLiteral("DIR"));
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

    bool portOk = false;
    bool latencyOk = false;
    const int port = parser.value(portOption).toInt(&portOk);
    const int latency = parser.value(latencyOption).toInt(&latencyOk);
    if (!parser.isSet(dataOption) || !portOk || port < 0 || port > 65535 || !latencyOk || latency < 0
        || parser.isSet(certOption) != parser.isSet(keyOption)) {
        std::fprintf(stderr, "%s\n", qPrintable(parser.helpText()));
        return 2;
    }

    WexoSample::SampleBackend::Options options;
    options.dataDir = parser.value(dataOption);
    options.storeFile = parser.value(storeOption);
    options.latencyMs = latency;
    options.tlsCertFile = parser.value(certOption);
    options.tlsKeyFile = parser.value(keyOption);

    WexoSample::SampleBackend backend(options);
    if (!backend.start(port))
        return 1;
    std::printf("listening on %s\n", qPrintable(backend.rootUrl()));
    std::fflush(stdout);

    int received = 0;
    sigwait(&stopSignals, &received);
    backend.stop();
    return 0;
}
