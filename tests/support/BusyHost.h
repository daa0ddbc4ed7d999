#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class QWidget;

namespace WexoCreator {

// A host whose GUI thread is busy, as some are: every 20 ms it either works
// for 15 ms, or grabs its window from the screen.
class BusyHost : public QObject
{
public:
    // "work", "grab", or anything else (an idle host: nothing runs).
    BusyHost(const QString &how, QWidget *window);

private:
    QTimer m_timer;
};

} // namespace WexoCreator
