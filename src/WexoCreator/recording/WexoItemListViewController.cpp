#include "WexoCreator/recording/WexoItemListViewController.h"

#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/recording/WexoItemCell.h"

#include <QEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QVariantAnimation>

#include <memory>

namespace WexoCreator {

namespace {

constexpr int kFadingRole = Qt::UserRole + 2;

enum class EditKey { none, deleteRow, moveUp, moveDown };

// What a key does to the selected row in edit mode.
EditKey editKey(const QKeyEvent *key)
{
    // Only these combinations: any other (a host's Ctrl+Backspace) stays the host's.
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if ((key->key() == Qt::Key_Delete || key->key() == Qt::Key_Backspace) && modifiers == Qt::NoModifier)
        return EditKey::deleteRow;
    if (key->key() == Qt::Key_Up && modifiers == Qt::ControlModifier)
        return EditKey::moveUp;
    if (key->key() == Qt::Key_Down && modifiers == Qt::ControlModifier)
        return EditKey::moveDown;
    return EditKey::none;
}

} // namespace

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
    m_cell = new WexoItemCell(tableView());
    tableView()->setItemDelegate(m_cell);
    tableView()->installEventFilter(this);
    tableView()->viewport()->installEventFilter(this);
    for (int i = 0; i < m_currentItems.size(); ++i)
        appendRow(m_currentItems.at(i)->elementName.value_or(QStringLiteral("Undefined")), i);

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
    m_cell->setEditing(true);
    tableView()->viewport()->setMouseTracking(true);
    tableView()->viewport()->update();
    rightButton()->setText(QStringLiteral("Done"));
}

void WexoItemListViewController::onDone()
{
    setEditButton();
    m_editing = false;
    m_dragged = nullptr;
    m_cell->setEditing(false);
    tableView()->viewport()->setMouseTracking(false);
    tableView()->viewport()->unsetCursor();
    tableView()->viewport()->update();
    if (!m_currentWexo)
        return;
    // The rows' order and deletions apply to the root's live children; a step
    // confirmed while the list was open is kept at the end. A row still
    // fading out is gone already.
    QList<std::shared_ptr<Node>> children;
    for (int row = 0; row < tableView()->count(); ++row) {
        const QListWidgetItem *item = tableView()->item(row);
        if (!isFading(item))
            children.append(m_currentItems.at(item->data(Qt::UserRole).toInt()));
    }
    for (const std::shared_ptr<Node> &live : std::as_const(m_currentWexo->children)) {
        if (!m_currentItems.contains(live))
            children.append(live);
    }
    m_currentWexo->children = children;
}

bool WexoItemListViewController::isFading(const QListWidgetItem *item) const
{
    return item && item->data(kFadingRole).toBool();
}

void WexoItemListViewController::deleteRow(QListWidgetItem *item)
{
    if (!m_editing || !item || isFading(item))
        return;
    if (m_dragged == item)
        m_dragged = nullptr;
    item->setData(kFadingRole, true);
    item->setFlags(item->flags() & ~(Qt::ItemIsSelectable | Qt::ItemIsEnabled));
    auto *fade = new QVariantAnimation(this);
    fade->setDuration(kFadeMs);
    fade->setStartValue(1.0);
    fade->setEndValue(0.0);
    QPointer<QListWidget> table = tableView();
    connect(fade, &QVariantAnimation::valueChanged, this, [table, item](const QVariant &value) {
        if (table)
            item->setData(WexoItemCell::OpacityRole, value);
    });
    connect(fade, &QVariantAnimation::finished, this, [table, item] {
        // The items live as long as their list; without it there is nothing to remove.
        if (!table)
            return;
        const int row = table->row(item);
        if (row >= 0) {
            const std::unique_ptr<QListWidgetItem> removed(table->takeItem(row));
        }
    });
    fade->start(QAbstractAnimation::DeleteWhenStopped);
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

int WexoItemListViewController::rowAtY(int y) const
{
    const int count = tableView()->count();
    for (int row = 0; row < count; ++row) {
        if (y < tableView()->visualItemRect(tableView()->item(row)).bottom() + 1)
            return row;
    }
    return count - 1;
}

bool WexoItemListViewController::handleMouse(QEvent *event)
{
    auto *mouse = static_cast<QMouseEvent *>(event);
    const QPoint at = mouse->position().toPoint();
    QListWidgetItem *item = tableView()->itemAt(at);
    const QRect rowRect = item ? tableView()->visualItemRect(item) : QRect();
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (mouse->button() != Qt::LeftButton || !item || isFading(item))
            return false;
        if (WexoItemCell::deleteControlRect(rowRect).contains(at)) {
            deleteRow(item);
            return true;
        }
        if (WexoItemCell::reorderHandleRect(rowRect).contains(at)) {
            m_dragged = item;
            tableView()->setCurrentItem(item);
            tableView()->viewport()->setCursor(Qt::ClosedHandCursor);
            return true;
        }
        return false;
    case QEvent::MouseMove: {
        if (!m_dragged) {
            const bool overHandle = item && WexoItemCell::reorderHandleRect(rowRect).contains(at);
            tableView()->viewport()->setCursor(overHandle ? Qt::OpenHandCursor : Qt::ArrowCursor);
            return false;
        }
        // The row follows the pointer from place to place.
        const int from = tableView()->row(m_dragged);
        const int to = rowAtY(at.y());
        if (from >= 0 && to >= 0 && to != from) {
            QListWidgetItem *moved = tableView()->takeItem(from);
            tableView()->insertItem(to, moved);
            tableView()->setCurrentItem(moved);
        }
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (!m_dragged)
            return false;
        m_dragged = nullptr;
        tableView()->viewport()->setCursor(Qt::OpenHandCursor);
        return true;
    default:
        return false;
    }
}

bool WexoItemListViewController::eventFilter(QObject *watched, QEvent *event)
{
    if (m_editing && watched == tableView()->viewport()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease:
            if (handleMouse(event))
                return true;
            break;
        default:
            break;
        }
    }
    const bool key = event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress;
    const EditKey edit = watched == tableView() && m_editing && key ? editKey(static_cast<QKeyEvent *>(event)) : EditKey::none;
    if (edit != EditKey::none) {
        // Also claimed at the shortcut override, before the shortcut map sees
        // it: a host's own shortcut on one of these keys would take the press.
        event->accept();
        if (event->type() == QEvent::KeyPress) {
            if (edit == EditKey::deleteRow)
                deleteRow(tableView()->currentItem());
            else
                moveCurrentRow(edit == EditKey::moveUp ? -1 : 1);
        }
        return true;
    }
    return WRecordedListViewController::eventFilter(watched, event);
}

} // namespace WexoCreator
