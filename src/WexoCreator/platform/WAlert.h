#pragma once

#include <QDialog>
#include <QList>
#include <QString>

#include <functional>

class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QHBoxLayout;
class QVBoxLayout;

namespace WexoCreator {

// A small alert: title, message, text fields and actions in the order added.
// It is window-modal and never blocks the caller: show it with open(). Any
// action closes the alert first and then runs its handler. Escape or the
// window's close button count as the cancel action, so whoever waits for an
// answer always gets one. Escape, and Return or Enter where an action is the
// default, are the alert's also in a host with shortcuts of its own on them.
class WAlert : public QDialog
{
    Q_OBJECT

public:
    enum class ActionStyle { Default, Cancel, Destructive };

    WAlert(const QString &title, const QString &message, QWidget *parent = nullptr);

    QLineEdit *addTextField(const std::function<void(QLineEdit *)> &configure = {});
    QPushButton *addAction(const QString &title, ActionStyle style, std::function<void()> handler = {});

    QList<QLineEdit *> textFields() const { return m_fields; }
    QList<QPushButton *> actionButtons() const { return m_buttons; }
    QPushButton *actionButton(const QString &title) const;

    void reject() override;

protected:
    bool event(QEvent *event) override;

private:
    struct Action {
        QPushButton *button;
        ActionStyle style;
        std::function<void()> handler;
    };

    void trigger(int index);
    // The keys QDialog acts on here: Escape cancels, Return or Enter presses
    // the default action.
    bool answersKey(const QKeyEvent *key) const;

    QVBoxLayout *m_fieldsLayout;
    QHBoxLayout *m_buttonsLayout;
    QList<QLineEdit *> m_fields;
    QList<QPushButton *> m_buttons;
    QList<Action> m_actions;
    bool m_answered = false;
};

} // namespace WexoCreator
