#include "WexoCreator/recording/WexoItemListViewController.h"

#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/recording/WexoItemCell.h"

#include <QEvent>
#include <QLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>

namespace WexoCreator {

WexoItemListViewController *WexoItemListViewController::createWexoItemListViewController()
{
    return new WexoItemListViewController;
}

WexoItemListViewController::WexoItemListViewController()
    : m_currentWexo(WexolinManager::shared().currentCreatedWexo())
{
}

void WexoItemListViewController::viewDidLoad()
{
    WRecordedListViewController::viewDidLoad();
    if (m_currentWexo)
        m_currentItems = m_currentWexo->children;
    setTitle(QStringLiteral("Current Item's"));
    tableView()->setItemDelegate(new WexoItemCell(tableView()));
    tableView()->installEventFilter(this);
    for (int i = 0; i < m_currentItems.size(); ++i)
        appendRow(m_currentItems.at(i)->elementName.value_or(QStringLiteral("Undefined")), i);

    // Deleting acts on the selected row while editing.
    m_delete = new QPushButton(QStringLiteral("Delete"), bottomBar());
    m_delete->setObjectName(QStringLiteral("deleteButton"));
    m_delete->setFlat(true);
    bottomBar()->layout()->addWidget(m_delete);
    connect(m_delete, &QPushButton::clicked, this, [this] { deleteCurrentRow(); });
    connect(rightButton(), &QPushButton::clicked, this, [this] { m_editing ? onDone() : onEdit(); });
    setEditButton();
    // With nothing recorded there is nothing to edit.
    rightButton()->setEnabled(m_currentWexo != nullptr);
}

void WexoItemListViewController::setEditButton()
{
    rightButton()->setText(QStringLiteral("Edit"));
    rightButton()->show();
}

void WexoItemListViewController::onEdit()
{
    m_editing = true;
    tableView()->setDragDropMode(QAbstractItemView::InternalMove);
    tableView()->setDefaultDropAction(Qt::MoveAction);
    bottomBar()->show();
    rightButton()->setText(QStringLiteral("Done"));
}

void WexoItemListViewController::onDone()
{
    setEditButton();
    m_editing = false;
    tableView()->setDragDropMode(QAbstractItemView::NoDragDrop);
    bottomBar()->hide();
    if (!m_currentWexo)
        return;
    // The rows' order and deletions apply to the root's live children; a step
    // confirmed while the list was open is kept at the end.
    QList<std::shared_ptr<Node>> children;
    for (int row = 0; row < tableView()->count(); ++row)
        children.append(m_currentItems.at(tableView()->item(row)->data(Qt::UserRole).toInt()));
    for (const std::shared_ptr<Node> &live : std::as_const(m_currentWexo->children)) {
        if (!m_currentItems.contains(live))
            children.append(live);
    }
    m_currentWexo->children = children;
}

void WexoItemListViewController::deleteCurrentRow()
{
    const int row = tableView()->currentRow();
    if (m_editing && row >= 0)
        delete tableView()->takeItem(row);
}

void WexoItemListViewController::moveCurrentRow(int by)
{
    const int row = tableView()->currentRow();
    const int to = row + by;
    if (!m_editing || row < 0 || to < 0 || to >= tableView()->count())
        return;
    QListWidgetItem *item = tableView()->takeItem(row);
    tableView()->insertItem(to, item);
    tableView()->setCurrentRow(to);
}

bool WexoItemListViewController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == tableView() && event->type() == QEvent::KeyPress && m_editing) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Delete || key->key() == Qt::Key_Backspace) {
            deleteCurrentRow();
            return true;
        }
        if (key->modifiers() & Qt::ControlModifier && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
            moveCurrentRow(key->key() == Qt::Key_Up ? -1 : 1);
            return true;
        }
    }
    return WRecordedListViewController::eventFilter(watched, event);
}

} // namespace WexoCreator
