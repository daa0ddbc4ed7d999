#include "support/BackendFixture.h"

#include "WexoCreator/platform/WNotificationCenter.h"
#include "WexoCreator/platform/WUserDefaults.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtGlobal>

namespace WexoCreator {

BackendFixture::BackendFixture(WexoSample::SampleBackend::Options options)
{
    if (options.dataDir.isEmpty())
        options.dataDir = QStringLiteral(WEXO_SAMPLE_DATA_DIR);
    const QString certificate = options.tlsCertFile;
    m_backend = std::make_unique<WexoSample::SampleBackend>(options);
    m_running = m_backend->start(0);
    if (!m_running) {
        qWarning("sample backend: %s", qPrintable(m_backend->errorString()));
        return;
    }
    setVariable("WEXO_PRODUCTION_URL", m_backend->rootUrl().toUtf8());
    setVariable("WEXO_STAGING", std::nullopt);
    if (!certificate.isEmpty())
        setVariable("WEXO_CA_CERTIFICATES", certificate.toUtf8());
}

BackendFixture::~BackendFixture()
{
    m_backend->stop();
    // Restore in reverse so a variable set twice ends at its first saved value.
    for (auto it = m_saved.crbegin(); it != m_saved.crend(); ++it) {
        if (it->value)
            qputenv(it->name, *it->value);
        else
            qunsetenv(it->name);
    }
}

void BackendFixture::setVariable(const char *name, const std::optional<QByteArray> &value)
{
    m_saved.append({name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt});
    if (value)
        qputenv(name, *value);
    else
        qunsetenv(name);
}

bool BackendFixture::isRunning() const
{
    return m_running;
}

QString BackendFixture::rootUrl() const
{
    return m_backend->rootUrl();
}

WexoSample::SampleBackend &BackendFixture::backend()
{
    return *m_backend;
}

std::optional<TestCertificate> makeTestCertificate(const QTemporaryDir &dir)
{
    if (!dir.isValid())
        return std::nullopt;
    const TestCertificate files {dir.filePath(QStringLiteral("backend-cert.pem")),
                                 dir.filePath(QStringLiteral("backend-key.pem"))};
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("ec"),
                   QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                   QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
                   QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1,DNS:localhost"),
                   QStringLiteral("-keyout"), files.keyFile, QStringLiteral("-out"), files.certificateFile});
    if (!openssl.waitForFinished(30000) || openssl.exitStatus() != QProcess::NormalExit || openssl.exitCode() != 0)
        return std::nullopt;
    return files;
}

std::unique_ptr<WexoSample::SampleBackend> makeUntrustedBackend(const QTemporaryDir &dir)
{
    const std::optional<TestCertificate> certificate = makeTestCertificate(dir);
    if (!certificate)
        return nullptr;
    WexoSample::SampleBackend::Options options;
    options.dataDir = QStringLiteral(WEXO_SAMPLE_DATA_DIR);
    options.tlsCertFile = certificate->certificateFile;
    options.tlsKeyFile = certificate->keyFile;
    return std::make_unique<WexoSample::SampleBackend>(options);
}

DownloadCounter::DownloadCounter()
{
    // The observer goes with this object.
    WNotificationCenter::defaultCenter().addObserver(QStringLiteral("Wexo.DownloadComplete.Notification"), this,
                                                     [this](const QVariantMap &) { ++count; });
}

void startWithEmptyDefaults()
{
    QStandardPaths::setTestModeEnabled(true);
    QFile::remove(WUserDefaults::defaultFilePath());
    WUserDefaults::standard().reload();
}

} // namespace WexoCreator
