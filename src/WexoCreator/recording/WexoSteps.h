#pragma once

#include "WexoCreator/menu/WexoOptionType.h"
#include "WexoCreator/recording/WexoNode.h"

#include <QRectF>
#include <QString>
#include <QVariantMap>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace WexoCreator {

class WexoCreate;

// The recorder: posts each picked element as a new step and, as the backend
// confirms them, grows the in-memory tree of the walkthrough being recorded.
//
// A recording is a session. Within one, picks are sent one at a time: a pick
// made before the previous answer waits, and goes out with the step number and
// walkthrough id its recording has reached when it is sent. Once a session has
// ended (stop, the name prompt's reset, a new recording), its late answers only
// file their tree in `steps`; they never touch the recording that followed.
class WexoSteps
{
public:
    using Node = WexoNode<QString>;

    static WexoSteps &shared();

    // The recorded trees: by the walkthrough id the backend returned, or by
    // the page name for a tree recorded locally (no administrator, no client
    // application id, no frame).
    std::map<QString, std::shared_ptr<Node>> steps;

    static void add(const QString &page, const QString &identity, const std::optional<QRectF> &frame,
                    const QString &name, WexoOptionType type, const std::optional<QString> &elementName = std::nullopt,
                    qint64 stepNumber = 0, const std::optional<QString> &wexoId = std::nullopt);

    // Writes every tree to the debug output.
    static void preview();

    // Ends the recording session; the next add starts a new one.
    static void endSession();
    // Runs `then` once every ended session's picks have been answered (at
    // once when none is waiting), so a reload after a stop lists its last steps.
    static void afterEndedSessionsAnswered(std::function<void()> then);
    // Before a feed reload: forgets every tree but the one being recorded.
    static void emptyForReload();

    // "{{x, y}, {width, height}}".
    static QString frameText(const QRectF &frame);

private:
    struct Pick {
        QString page;
        QString identity;
        QString frameText;
        QString name;
        WexoOptionType type;
        std::optional<QString> elementName;
        qint64 stepNumber = 0;
        std::optional<QString> wexoId;
    };
    struct Session {
        std::shared_ptr<Node> root;
        bool busy = false;
        std::deque<Pick> waiting;
    };

    WexoSteps() = default;

    static QVariantMap body(const Pick &pick, qint64 stepNumber, const std::optional<QString> &wexoId,
                            const QString &site, const QString &token);
    void sendNext(quint64 sessionId);
    void answered(quint64 sessionId, const Pick &pick, qint64 sentStepNumber, const std::shared_ptr<WexoCreate> &created);
    void dropIfIdle(quint64 sessionId);
    void runIfEndedSessionsAnswered();

    quint64 m_session = 1;
    std::map<quint64, Session> m_sessions;
    std::vector<std::function<void()>> m_afterEndedAnswered;
};

} // namespace WexoCreator
