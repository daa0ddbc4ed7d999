#include "support/PlaybackSession.h"

#include "WexoCreator/manager/WexoButtonController.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/platform/WUserDefaults.h"
#include "WexoCreator/playback/WOverlay.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>

namespace WexoCreator {

namespace {

struct KeyPressCounter : QObject {
    int presses = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        presses += event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride;
        return false;
    }
};

} // namespace

PlaybackSession::PlaybackSession(const std::function<void(HostFixture &)> &beforeStart)
{
    startWithEmptyDefaults();
    m_backend = std::make_unique<BackendFixture>();
    m_host = std::make_unique<HostFixture>();
    m_host->showAndWait();
    if (beforeStart)
        beforeStart(*m_host);
    WexolinManager::initialiseWith(m_backend->backend().clientToken(), m_backend->backend().clientAppId(),
                                   /*showConsole*/ true, /*debugLog*/ false);
    WexolinManager::setTabBarController(m_host->tabs);
}

PlaybackSession::~PlaybackSession()
{
    reset();
    WexolinManager::setTabBarController(nullptr);
}

bool PlaybackSession::isReady() const
{
    return m_backend->isRunning() && launcher() && m_host->isVisible();
}

WexoButtonController *PlaybackSession::launcher() const
{
    return WexolinManager::shared().wexoButtonController();
}

QList<WOverlay *> PlaybackSession::overlays() const
{
    return launcher() ? launcher()->overlays() : QList<WOverlay *>();
}

WOverlay *PlaybackSession::shown() const
{
    const QList<WOverlay *> live = overlays();
    return live.isEmpty() ? nullptr : live.last();
}

void PlaybackSession::reset()
{
    while (WOverlay *overlay = shown())
        overlay->discardAll();
    WexolinManager::setCurrentPlaying(nullptr);
    // Left overlays go with the deferred deletes.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_host->tabs->setCurrentIndex(0);
}

QStringList PlaybackSession::analyticsOf(const QString &analyticsId) const
{
    QStringList events;
    const QJsonArray all = m_backend->backend().analyticsEvents().array();
    for (const QJsonValue &value : all) {
        const QJsonObject event = value.toObject();
        if (event.value(QStringLiteral("analyticsId")).toString() != analyticsId)
            continue;
        const QString kind = event.value(QStringLiteral("kind")).toString();
        const QString step = event.value(QStringLiteral("body")).toObject().value(QStringLiteral("StepId")).toString();
        events << (kind == QLatin1String("addStep") ? kind + QLatin1Char(':') + step : kind);
    }
    return events;
}

void PlaybackSession::clickAt(const QPoint &point)
{
    QTest::mouseClick(m_host->windowHandle(), Qt::LeftButton, {}, point);
}

void PlaybackSession::tapAside()
{
    clickAt(QPoint(6, 6));
}

bool PlaybackSession::hostGetsClick(QWidget *widget)
{
    auto *button = qobject_cast<QAbstractButton *>(widget);
    if (!button)
        return false;
    QSignalSpy clicked(button, &QAbstractButton::clicked);
    clickAt(m_host->pointOf(button));
    return clicked.count() == 1;
}

bool PlaybackSession::hostGetsKey(QWidget *widget, Qt::Key key, Qt::KeyboardModifiers modifiers, bool throughWindow)
{
    KeyPressCounter counter;
    widget->installEventFilter(&counter);
    if (throughWindow)
        QTest::keyClick(widget->window()->windowHandle(), key, modifiers);
    else
        QTest::keyClick(widget, key, modifiers);
    widget->removeEventFilter(&counter);
    return counter.presses > 0;
}

} // namespace WexoCreator
