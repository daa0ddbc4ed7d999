#pragma once

// A host window with the library started over it against a sample backend, as
// the benchmarks that time the launcher's own screens need it.

#include "WexoCreator/backend/WFeedManager.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/platform/WNotificationCenter.h"

#include "SampleBackend.h"

#include <QEventLoop>
#include <QMainWindow>
#include <QObject>
#include <QTest>
#include <QTimer>

// Shows the host at the given size, starts the library against the backend and
// returns once the feed has downloaded (false when the window never showed).
inline bool startLibraryOver(WexoSample::SampleBackend &backend, QMainWindow &host, QWidget *page, QSize size)
{
    using namespace WexoCreator;
    qputenv("WEXO_PRODUCTION_URL", backend.rootUrl().toUtf8());
    qunsetenv("WEXO_STAGING");
    host.setCentralWidget(page);
    host.resize(size);
    host.show();
    if (!QTest::qWaitForWindowExposed(&host))
        return false;
    QEventLoop loop;
    QObject context;
    WNotificationCenter::defaultCenter().addObserver(WFeedManager::WexoDownloadCompleteNotification, &context,
                                                     [&](const QVariantMap &) { loop.quit(); });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    WexolinManager::initialiseWith(backend.clientToken(), backend.clientAppId(), true, false);
    loop.exec();
    return true;
}
