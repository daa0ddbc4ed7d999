#include "WexoCreator/recording/WexoListViewController.h"

#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/platform/WLogging.h"
#include "WexoCreator/recording/WexoSteps.h"

#include <QListWidget>

namespace WexoCreator {

WexoListViewController *WexoListViewController::createWexoList()
{
    return new WexoListViewController;
}

void WexoListViewController::viewDidLoad()
{
    WRecordedListViewController::viewDidLoad();
    setTitle(QStringLiteral("Wexo's"));
    for (const auto &[key, tree] : WexoSteps::shared().steps)
        m_list.append(key);
    for (int row = 0; row < m_list.size(); ++row)
        appendRow(m_list.at(row), row);
    connect(tableView(), &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { onSelect(item->data(Qt::UserRole).toInt()); });
}

void WexoListViewController::onSelect(int row)
{
    // The recorder may have forgotten a tree since the list loaded (a feed
    // reload empties it): such a row does nothing.
    const auto &steps = WexoSteps::shared().steps;
    const auto found = row >= 0 && row < m_list.size() ? steps.find(m_list.at(row)) : steps.end();
    if (found == steps.end() || !found->second) {
        qCDebug(lcRecording) << "the chosen walkthrough is no longer recorded";
        return;
    }
    const std::shared_ptr<WexoNode<QString>> node = found->second;
    WexolinManager::setCurrentWexoType(WexoOptionType::play);
    QPointer<WexoListViewController> self(this);
    dismiss(true, [self, node] {
        if (self && self->dismisser)
            self->dismisser(node);
    });
}

} // namespace WexoCreator
