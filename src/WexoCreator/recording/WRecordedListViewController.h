#pragma once

#include "WexoCreator/platform/WViewController.h"

#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>


namespace WexoCreator {

// What the two lists of recorded walkthroughs share: a full-window page with
// a top bar (Cancel on the left, the title, an optional button on the right)
// over a list of 64-pixel rows. Cancel closes the list.
class WRecordedListViewController : public WViewController
{
    Q_OBJECT

public:
    static constexpr int kRowHeight = 64;

    QListWidget *tableView() const { return m_tableView; }
    QPushButton *cancelButton() const { return m_cancel; }
    QPushButton *rightButton() const { return m_right; }
    QString title() const;

protected:
    QWidget *loadView() override;
    void setTitle(const QString &title);
    // Adds one row; `key` names what the row stands for.
    void appendRow(const QString &text, int key);
    virtual void onCancel();

private:
    QPointer<QLabel> m_title;
    QPointer<QPushButton> m_cancel;
    QPointer<QPushButton> m_right;
    QPointer<QListWidget> m_tableView;
};

} // namespace WexoCreator
