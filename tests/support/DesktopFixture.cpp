#include "support/DesktopFixture.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QTimer>

namespace WexoCreator {

namespace {

bool writeFile(const QString &path, const QByteArray &text)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

} // namespace

FileDialogCatcher::FileDialogCatcher(const QString &choice)
    : m_choice(choice)
{
    qApp->installEventFilter(this);
}

FileDialogCatcher::~FileDialogCatcher()
{
    qApp->removeEventFilter(this);
}

bool FileDialogCatcher::eventFilter(QObject *watched, QEvent *event)
{
    auto *dialog = event->type() == QEvent::Show ? qobject_cast<QFileDialog *>(watched) : nullptr;
    if (!dialog)
        return false;
    ++opened;
    dialog->selectFile(dialog->fileMode() == QFileDialog::Directory ? QFileInfo(m_choice).path() : m_choice);
    // Answered once it runs its own loop; closed unanswered should it refuse the choice.
    QMetaObject::invokeMethod(dialog, &QDialog::accept, Qt::QueuedConnection);
    QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
    return false;
}

DialogWatch::DialogWatch()
{
    qApp->installEventFilter(this);
}

DialogWatch::~DialogWatch()
{
    qApp->removeEventFilter(this);
}

bool DialogWatch::eventFilter(QObject *watched, QEvent *event)
{
    // A dialog kept off screen is shown to nobody.
    auto *dialog = event->type() == QEvent::Show ? qobject_cast<QDialog *>(watched) : nullptr;
    if (!dialog || dialog->testAttribute(Qt::WA_DontShowOnScreen))
        return false;
    ++shown;
    if (whileShown)
        QTimer::singleShot(0, this, whileShown);
    QTimer::singleShot(answerAfterMs, dialog, &QDialog::reject);
    return false;
}

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
