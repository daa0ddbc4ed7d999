#pragma once

#include "WexoCreator/WexoCreatorExport.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QVariantMap>

#include <functional>

namespace WexoCreator {

// Name-keyed observers called synchronously on the posting thread. An observer
// lives as long as its context object: once that dies it is never called again.
//
// A host observes the library's notifications on the default center by their
// name text; "Wexo.DownloadComplete.Notification" is posted on the main thread
// each time a feed download has completed, e.g.
//     WNotificationCenter::defaultCenter().addObserver(
//         QStringLiteral("Wexo.DownloadComplete.Notification"), &window,
//         [](const QVariantMap &) { /* WexolinManager::wexosOnCurrentView() */ });
class WEXOCREATOR_EXPORT WNotificationCenter
{
public:
    using Handler = std::function<void(const QVariantMap &userInfo)>;

    static WNotificationCenter &defaultCenter();

    void addObserver(const QString &name, QObject *context, Handler handler);
    // Removes the context's observers of one name, or of every name when name is empty.
    void removeObserver(QObject *context, const QString &name = QString());
    void post(const QString &name, const QVariantMap &userInfo = {});

    int observerCount(const QString &name) const;

private:
    struct Observer {
        quint64 id;
        QString name;
        QPointer<QObject> context;
        Handler handler;
    };

    void prune();

    QList<Observer> m_observers;
    quint64 m_nextId = 1;
};

} // namespace WexoCreator
