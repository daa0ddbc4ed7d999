#pragma once

#include "WexoCreator/recording/WRecordedListViewController.h"
#include "WexoCreator/recording/WexoNode.h"

#include <QList>
#include <QPointer>
#include <QVariantList>

#include <memory>
#include <optional>

class QListWidgetItem;

namespace WexoCreator {

class WexoItemCell;

// The steps recorded so far in the walkthrough being recorded, one row per
// step named by the recorded widget's class. In edit mode every row has its
// own delete control and a handle to drag it to another place (the Delete
// key and Ctrl+Up/Down do the same for the selected row); a deleted row fades
// out. Done writes the new order into the recorded tree, Cancel drops it.
// Nothing is sent to the backend.
class WexoItemListViewController : public WRecordedListViewController
{
    Q_OBJECT

public:
    using Node = WexoNode<QString>;

    static constexpr int kFadeMs = 250;

    // The list for the walkthrough being recorded now; the caller presents it.
    static WexoItemListViewController *createWexoItemListViewController();

    bool isEditing() const { return m_editing; }
    // Kept for callers that hand the list extra objects; the list reads none.
    const std::optional<QVariantList> &currentWexoItems() const { return m_currentWexoItems; }

protected:
    void viewDidLoad() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    WexoItemListViewController();

    void setEditButton();
    void onEdit();
    void onDone();
    void deleteRow(QListWidgetItem *item);
    void moveCurrentRow(int by);
    bool isFading(const QListWidgetItem *item) const;
    bool handleMouse(QEvent *event);
    // The row a drag at `y` (viewport coordinates) is over, kept in the list.
    int rowAtY(int y) const;

    // The root shown, taken when the list is made; absent when nothing has
    // been recorded yet.
    std::shared_ptr<Node> m_currentWexo;
    // The root's steps as they were when the list loaded; rows refer to them.
    QList<std::shared_ptr<Node>> m_currentItems;
    std::optional<QVariantList> m_currentWexoItems;
    QPointer<WexoItemCell> m_cell;
    QListWidgetItem *m_dragged = nullptr;
    bool m_editing = false;
};

} // namespace WexoCreator
