#pragma once

#include "WexoCreator/recording/WRecordedListViewController.h"
#include "WexoCreator/recording/WexoNode.h"

#include <QStringList>

#include <functional>
#include <memory>

namespace WexoCreator {

// The recorded walkthrough trees, one row per tree named by its key. Choosing
// a row switches the current type to play, closes the list and then hands the
// tree to `dismisser`; Cancel closes it without a choice.
class WexoListViewController : public WRecordedListViewController
{
    Q_OBJECT

public:
    static WexoListViewController *createWexoList();

    std::function<void(std::shared_ptr<WexoNode<QString>>)> dismisser;

protected:
    void viewDidLoad() override;

private:
    WexoListViewController() = default;
    void onSelect(int row);

    // The recorder's keys when the list loaded; the rows show them.
    QStringList m_list;
};

} // namespace WexoCreator
