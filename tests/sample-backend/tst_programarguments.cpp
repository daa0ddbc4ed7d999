// The sample programs refuse what they cannot use with a message that names it.
#include "support/BackendFixture.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace WexoCreator;

class tst_ProgramArguments : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QTemporaryDir m_one;
    QTemporaryDir m_two;
    std::optional<TestCertificate> m_certificate;
    std::optional<TestCertificate> m_other;
    std::unique_ptr<BackendFixture> m_running;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_certificate = makeTestCertificate(m_one);
        m_other = makeTestCertificate(m_two);
        QFile plain(m_dir.filePath(QStringLiteral("plain.txt")));
        QVERIFY(plain.open(QIODevice::WriteOnly) && plain.write("not a folder, not a key") > 0);
        m_running = std::make_unique<BackendFixture>();
        QVERIFY(m_running->isRunning());
    }

    void refusedWithAMessage_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments"); // %port: a port in use; %dir, %one, %two: temporary folders
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");

        const QString backend = QStringLiteral(WEXO_SAMPLE_BACKEND_PROGRAM);
        const QString host = QStringLiteral(WEXO_SAMPLE_HOST_PROGRAM);
        const QStringList data{QStringLiteral("--data"), QStringLiteral(WEXO_SAMPLE_DATA_DIR)};
        QTest::addRow("backend on a port in use")
            << backend << data + QStringList{"--port", "%port"} << 1 << "port %port on 127.0.0.1 is already in use";
        QTest::addRow("missing certificate")
            << backend << data + QStringList{"--tls-cert", "%dir/missing.pem", "--tls-key", "%one/backend-key.pem"}
            << 1 << "the TLS certificate file %dir/missing.pem cannot be read";
        QTest::addRow("key that is no key")
            << backend << data + QStringList{"--tls-cert", "%one/backend-cert.pem", "--tls-key", "%dir/plain.txt"}
            << 1 << "the TLS key file %dir/plain.txt holds no usable PEM key";
        QTest::addRow("key of another certificate")
            << backend << data + QStringList{"--tls-cert", "%one/backend-cert.pem", "--tls-key", "%two/backend-key.pem"}
            << 1 << "the TLS key file %two/backend-key.pem does not belong to the certificate file %one/backend-cert.pem";
        QTest::addRow("screenshot folder that is a file")
            << host << QStringList{"--offscreen", "--screenshot", "%dir/plain.txt"} << 2
            << "--screenshot %dir/plain.txt is a file, not a folder";
        QTest::addRow("backend that is no URL")
            << host << QStringList{"--offscreen", "--backend", "notaurl"} << 2
            << "--backend \"notaurl\" is not a server root URL";
    }

    void refusedWithAMessage()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        if (program.isEmpty())
            QSKIP("the sample host is not built here");
        if (!m_certificate || !m_other)
            QSKIP("the openssl command is not available");

        const auto expand = [this](QString text) {
            return text.replace(QStringLiteral("%port"), QString::number(m_running->backend().port()))
                .replace(QStringLiteral("%dir"), m_dir.path())
                .replace(QStringLiteral("%one"), m_one.path())
                .replace(QStringLiteral("%two"), m_two.path());
        };
        for (QString &argument : arguments)
            argument = expand(argument);
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("data")));
        process.setProcessEnvironment(environment);
        process.start(program, arguments);
        QVERIFY(process.waitForStarted());
        const bool ended = process.waitForFinished(20000);
        if (!ended)
            process.kill();
        QVERIFY2(ended, qPrintable(QString::fromLocal8Bit(process.readAllStandardOutput())));
        QCOMPARE(process.exitCode(), exitCode);
        const QString errors = QString::fromLocal8Bit(process.readAllStandardError());
        QVERIFY2(errors.contains(expand(message)), qPrintable(errors));
    }
};

QTEST_GUILESS_MAIN(tst_ProgramArguments)
#include "tst_programarguments.moc"
