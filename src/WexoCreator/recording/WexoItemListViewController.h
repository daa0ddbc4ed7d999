#pragma once

#include "WexoCreator/recording/WRecordedListViewController.h"
#include "WexoCreator/recording/WexoNode.h"

#include <QList>
#include <QPushButton>

#include <memory>

namespace WexoCreator {

// The steps recorded so far in the walkthrough being recorded, one row per
// step named by the recorded widget's class. In edit mode rows can be deleted
// (the Delete button or key) and moved (dragged, or Ctrl+Up/Down); Done
// writes the new order into the recorded tree, Cancel drops it. Nothing is
// sent to the backend.
class WexoItemListViewController : public WRecordedListViewController
{
    Q_OBJECT

public:
    using Node = WexoNode<QString>;

    // The list for the walkthrough being recorded now; the caller presents it.
    static WexoItemListViewController *createWexoItemListViewController();

    bool isEditing() const { return m_editing; }
    QPushButton *deleteButton() const { return m_delete; }

protected:
    void viewDidLoad() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    WexoItemListViewController();

    void setEditButton();
    void onEdit();
    void onDone();
    void deleteCurrentRow();
    void moveCurrentRow(int by);

    // The root shown, taken when the list is made; absent when nothing has
    // been recorded yet.
    std::shared_ptr<Node> m_currentWexo;
    // The root's steps as they were when the list loaded; rows refer to them.
    QList<std::shared_ptr<Node>> m_currentItems;
    QPointer<QPushButton> m_delete;
    bool m_editing = false;
};

} // namespace WexoCreator
