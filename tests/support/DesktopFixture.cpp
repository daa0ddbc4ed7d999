#include "support/DesktopFixture.h"

#include <QDir>
#include <QFile>

namespace WexoCreator {

namespace {

bool writeFile(const QString &path, const QByteArray &text)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

} // namespace

MailDefault::MailDefault(bool withProgram)
{
    const QString config = m_dir.filePath(QStringLiteral("config"));
    const QString data = m_dir.filePath(QStringLiteral("data"));
    QDir().mkpath(config);
    QDir().mkpath(data);
    if (withProgram) {
        // The program does nothing: the tests catch mailto addresses with a URL handler.
        writeFile(config + QStringLiteral("/mimeapps.list"),
                  "[Default Applications]\nx-scheme-handler/mailto=wexo-test-mail.desktop\n");
        writeFile(data + QStringLiteral("/applications/wexo-test-mail.desktop"),
                  "[Desktop Entry]\nType=Application\nName=Test mail\nExec=true %u\nMimeType=x-scheme-handler/mailto;\n");
    }
    for (const auto &[name, value] : {std::pair("XDG_CONFIG_HOME", config), std::pair("XDG_DATA_HOME", data)}) {
        m_saved.append({name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt});
        qputenv(name, QFile::encodeName(value));
    }
}

MailDefault::~MailDefault()
{
    for (const auto &[name, value] : std::as_const(m_saved)) {
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
}

} // namespace WexoCreator
