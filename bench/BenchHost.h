#pragma once

// A host window with the library started over it against a sample backend, as
// the benchmarks that time the launcher's own screens need it.

#include "WexoCreator/backend/WFeedManager.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/platform/WNotificationCenter.h"

#include "SampleBackend.h"

#include <QMainWindow>
#include <QObject>
#include <QTest>

// Shows the host at the given size, starts the library against the backend and
// returns once the feed has downloaded and the theme has arrived, each its own
// answer in no set order (false when the window never showed or either did not
// come within a minute).
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
    bool downloaded = false;
    QObject context;
    WNotificationCenter::defaultCenter().addObserver(WFeedManager::WexoDownloadCompleteNotification, &context,
                                                     [&](const QVariantMap &) { downloaded = true; });
    WexolinManager::initialiseWith(backend.clientToken(), backend.clientAppId(), true, false);
    return QTest::qWaitFor([&] { return downloaded && WexolinManager::shared().theme(); }, 60000);
}
