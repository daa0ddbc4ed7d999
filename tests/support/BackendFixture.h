#pragma once

#include "SampleBackend.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class QTemporaryDir;

namespace WexoCreator {

// Runs the sample backend in-process on a free loopback port for one test and points
// the library at it (WEXO_PRODUCTION_URL, staging off). The destructor stops the
// backend and restores the environment it changed.
class BackendFixture
{
public:
    // dataDir defaults to the sample data; when tlsCertFile is set the backend speaks
    // HTTPS and WEXO_CA_CERTIFICATES names that certificate.
    explicit BackendFixture(WexoSample::SampleBackend::Options options = {});
    ~BackendFixture();
    BackendFixture(const BackendFixture &) = delete;
    BackendFixture &operator=(const BackendFixture &) = delete;

    bool isRunning() const;
    QString rootUrl() const;
    WexoSample::SampleBackend &backend();
    WexoSample::SampleBackend *operator->() { return &backend(); }

private:
    struct SavedVariable {
        const char *name;
        std::optional<QByteArray> value;
    };
    void setVariable(const char *name, const std::optional<QByteArray> &value);

    std::unique_ptr<WexoSample::SampleBackend> m_backend;
    bool m_running = false;
    QList<SavedVariable> m_saved;
};

// A throw-away self-signed certificate for 127.0.0.1 and localhost, made with the
// openssl command into dir. Absent when openssl is missing or fails.
struct TestCertificate {
    QString certificateFile;
    QString keyFile;
};
std::optional<TestCertificate> makeTestCertificate(const QTemporaryDir &dir);

// A sample backend (not yet started) that speaks HTTPS with such a certificate,
// which nothing trusts; the library is not pointed at it. Absent without openssl.
std::unique_ptr<WexoSample::SampleBackend> makeUntrustedBackend(const QTemporaryDir &dir);

// Counts the walkthrough feed's download-complete notifications from its
// making on, as a host observes them.
class DownloadCounter : public QObject
{
public:
    DownloadCounter();
    int count = 0;
};

// Test-mode paths and an empty user-defaults store: the process starts as a
// fresh installation would, whatever an earlier run left behind.
void startWithEmptyDefaults();

} // namespace WexoCreator
