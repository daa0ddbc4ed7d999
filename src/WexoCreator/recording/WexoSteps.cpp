#include "WexoCreator/recording/WexoSteps.h"

#include "WexoCreator/backend/WWebApiInterface.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/model/WexoCreate.h"
#include "WexoCreator/platform/WLogging.h"

#include <algorithm>
#include <utility>

namespace WexoCreator {

WexoSteps &WexoSteps::shared()
{
    static WexoSteps recorder;
    return recorder;
}

QString WexoSteps::frameText(const QRectF &frame)
{
    const auto n = [](qreal v) { return QString::number(v, 'g', 15); };
    return QStringLiteral("{{%1, %2}, {%3, %4}}").arg(n(frame.x()), n(frame.y()), n(frame.width()), n(frame.height()));
}

QVariantMap WexoSteps::body(const Pick &pick, qint64 stepNumber, const std::optional<QString> &wexoId,
                            const QString &site, const QString &token)
{
    QVariantMap body{{QStringLiteral("value"), pick.identity},
                     {QStringLiteral("name"), pick.name},
                     {QStringLiteral("className"), pick.page},
                     {QStringLiteral("elementName"), pick.elementName.value_or(QString())},
                     {QStringLiteral("displayType"), QStringLiteral("popup")},
                     {QStringLiteral("stepNumber"), stepNumber},
                     {QStringLiteral("site"), site},
                     {QStringLiteral("token"), token}};
    if (wexoId)
        body.insert(QStringLiteral("wexoId"), *wexoId);
    return body;
}

void WexoSteps::add(const QString &page, const QString &identity, const std::optional<QRectF> &frame,
                    const QString &name, WexoOptionType type, const std::optional<QString> &elementName,
                    qint64 stepNumber, const std::optional<QString> &wexoId)
{
    WexoSteps &recorder = shared();
    const WexolinManager &manager = WexolinManager::shared();
    if (!manager.wAdminToken() || !manager.wClientAppId() || !frame) {
        // Nothing to post with: the walkthrough is kept locally, by page.
        recorder.steps[page] = std::make_shared<Node>(page, name, type, page);
        return;
    }
    Session &session = recorder.m_sessions[recorder.m_session];
    session.waiting.push_back(Pick{page, identity, frameText(*frame), name, type, elementName, stepNumber, wexoId});
    recorder.sendNext(recorder.m_session);
}

void WexoSteps::sendNext(quint64 sessionId)
{
    const auto found = m_sessions.find(sessionId);
    if (found == m_sessions.end())
        return;
    Session &session = found->second;
    while (!session.busy && !session.waiting.empty()) {
        const Pick pick = session.waiting.front();
        session.waiting.pop_front();
        const WexolinManager &manager = WexolinManager::shared();
        const std::optional<QString> token = manager.wAdminToken();
        const std::optional<QString> site = manager.wClientAppId();
        if (!token || !site) {
            qCDebug(lcRecording) << "a recorded element was not sent: no administrator or client application";
            continue;
        }
        // The step number and walkthrough id as the recording stands now; before
        // its first answer, what the recording stood at when the pick was made.
        const qint64 stepNumber = session.root ? session.root->stepNumber : pick.stepNumber;
        const std::optional<QString> wexoId = session.root ? session.root->wexoId : pick.wexoId;
        session.busy = true;
        WWebApiInterface::createElement(body(pick, stepNumber, wexoId, *site, *token),
                                        [sessionId, pick, stepNumber](std::shared_ptr<WexoCreate> created) {
                                            shared().answered(sessionId, pick, stepNumber, created);
                                        });
    }
    dropIfIdle(sessionId);
}

void WexoSteps::answered(quint64 sessionId, const Pick &pick, qint64 sentStepNumber,
                         const std::shared_ptr<WexoCreate> &created)
{
    Session &session = m_sessions[sessionId];
    session.busy = false;
    const bool current = sessionId == m_session;
    if (created && created->isCreated()) {
        const QString walkthroughId = *created->walkthroughId;
        auto node = std::make_shared<Node>(pick.frameText, walkthroughId, pick.type, pick.page, pick.elementName,
                                           walkthroughId, sentStepNumber, created->walkthroughStepId);
        if (sentStepNumber == 0) {
            auto root = std::make_shared<Node>(pick.page, walkthroughId, pick.type, pick.page);
            if (current) {
                WexolinManager::setCurrentCreated(root);
                WexolinManager::addParamsToCurrentWexo(*created, 0);
            } else {
                root->wexoId = walkthroughId;
                root->stepId = created->walkthroughStepId;
            }
            root->addChild(node);
            steps[walkthroughId] = root;
            session.root = root;
        } else if (const auto tree = steps.find(walkthroughId); tree != steps.end()) {
            tree->second->addChild(node);
            // A recording that went on from an earlier tree keeps growing it.
            if (!session.root)
                session.root = tree->second;
        } else {
            qCDebug(lcRecording) << "a confirmed step has no tree to join:" << walkthroughId;
        }
        // Only the recording under way shows its count on the console.
        if (current)
            WexolinManager::incrementCurrenStep();
        else if (session.root)
            ++session.root->stepNumber;
    }
    sendNext(sessionId);
}

void WexoSteps::dropIfIdle(quint64 sessionId)
{
    const auto found = m_sessions.find(sessionId);
    if (found != m_sessions.end() && sessionId != m_session && !found->second.busy && found->second.waiting.empty())
        m_sessions.erase(found);
    runIfEndedSessionsAnswered();
}

void WexoSteps::afterEndedSessionsAnswered(std::function<void()> then)
{
    WexoSteps &recorder = shared();
    recorder.m_afterEndedAnswered.push_back(std::move(then));
    recorder.runIfEndedSessionsAnswered();
}

void WexoSteps::runIfEndedSessionsAnswered()
{
    // Idle ended sessions are dropped, so any other session left is still sending.
    const bool sending = std::any_of(m_sessions.begin(), m_sessions.end(),
                                     [this](const auto &entry) { return entry.first != m_session; });
    if (sending || m_afterEndedAnswered.empty())
        return;
    const std::vector<std::function<void()>> waiting = std::exchange(m_afterEndedAnswered, {});
    for (const std::function<void()> &then : waiting)
        then();
}

void WexoSteps::endSession()
{
    WexoSteps &recorder = shared();
    const quint64 ended = recorder.m_session++;
    recorder.dropIfIdle(ended);
}

void WexoSteps::emptyForReload()
{
    WexoSteps &recorder = shared();
    const std::shared_ptr<Node> recording = WexolinManager::shared().currentCreatedWexo();
    const auto current = recorder.m_sessions.find(recorder.m_session);
    const std::shared_ptr<Node> sessionRoot = current != recorder.m_sessions.end() ? current->second.root : nullptr;
    std::erase_if(recorder.steps, [&](const auto &entry) {
        return !entry.second || (entry.second != recording && entry.second != sessionRoot);
    });
}

void WexoSteps::preview()
{
    for (const auto &[key, tree] : shared().steps) {
        if (tree)
            tree->printTree();
    }
}

} // namespace WexoCreator
