#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

#include <functional>
#include <optional>

namespace WexoCreator {

// Collects the addresses the library hands to the desktop (set it with
// QDesktopServices::setUrlHandler for a scheme).
class UrlSink : public QObject
{
    Q_OBJECT

public Q_SLOTS:
    void open(const QUrl &url)
    {
        urls << url.toString();
        if (then)
            then(url);
    }

public:
    QStringList urls;
    // What the desktop does next, inside the library's call.
    std::function<void(const QUrl &)> then;
};

// Counts the file dialogs the application opens and answers each as a person
// confirming a choice would: with the given file (its folder for a folder).
class FileDialogCatcher : public QObject
{
public:
    explicit FileDialogCatcher(const QString &choice);
    ~FileDialogCatcher() override;
    int opened = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString m_choice;
};

// Counts the dialogs the application shows from its making on (message
// boxes, file and colour choosers, any other) and closes each unanswered, as a
// person cancelling it would: a modal one's own event loop ends.
class DialogWatch : public QObject
{
public:
    DialogWatch();
    ~DialogWatch() override;
    int shown = 0;
    // How long each stays up, and what the person does meanwhile.
    int answerAfterMs = 0;
    std::function<void()> whileShown;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// A desktop with or without a default mail program, as xdg-mime finds it: a
// temporary XDG config folder (mimeapps.list) and data folder (the program's
// desktop file) for this process. The destructor restores the environment.
class MailDefault
{
public:
    explicit MailDefault(bool withProgram);
    ~MailDefault();
    MailDefault(const MailDefault &) = delete;
    MailDefault &operator=(const MailDefault &) = delete;

private:
    QTemporaryDir m_dir;
    QList<std::pair<const char *, std::optional<QByteArray>>> m_saved;
};

} // namespace WexoCreator
