#include "support/BusyHost.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QScreen>
#include <QWidget>

namespace WexoCreator {

BusyHost::BusyHost(const QString &how, QWidget *window)
{
    if (how == QLatin1String("work")) {
        connect(&m_timer, &QTimer::timeout, this, [] {
            QElapsedTimer working;
            working.start();
            while (working.elapsed() < 15) {
            }
        });
    } else if (how == QLatin1String("grab")) {
        connect(&m_timer, &QTimer::timeout, this, [window = QPointer<QWidget>(window)] {
            if (window)
                window->screen()->grabWindow(window->winId());
        });
    } else {
        return;
    }
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.start(20);
}

} // namespace WexoCreator
