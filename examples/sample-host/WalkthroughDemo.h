#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class SampleHostWindow;

namespace WexoCreator {
class Wexo;
class WexoRoot;
class WOverlay;
}

// Plays every downloaded walkthrough on the sample shop as a person would:
// it goes to the walkthrough's first page, starts it, and clicks through its
// steps (opening the next page where one ends), saving one PNG per step as
// "<walkthrough>-<step>-<kind>.png". Runs on timers; reports the files at the end.
class WalkthroughDemo : public QObject
{
    Q_OBJECT

public:
    WalkthroughDemo(SampleHostWindow &window, const QString &directory, std::function<void(QStringList)> done);

    void start();

Q_SIGNALS:
    // A step is on screen, just before its picture is taken.
    void stepShown(WexoCreator::WOverlay *overlay);

private:
    void playNext();
    void showStep();
    void pageEnded();
    // Goes to the page of that class name, as a person would.
    void goTo(const QString &pageName);
    void clickAt(const QPoint &point);
    void later(std::function<void()> next);
    void finish();

    SampleHostWindow &m_window;
    QString m_directory;
    std::function<void(QStringList)> m_done;
    QList<std::shared_ptr<WexoCreator::WexoRoot>> m_roots;
    std::shared_ptr<WexoCreator::WexoRoot> m_root;
    QStringList m_written;
    int m_clicks = 0;
};
