#include "WexoCreator/platform/WAlert.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace WexoCreator {

WAlert::WAlert(const QString &title, const QString &message, QWidget *parent)
    : QDialog(parent)
    , m_fieldsLayout(new QVBoxLayout)
    , m_buttonsLayout(new QHBoxLayout)
{
    setWindowTitle(title);
    setWindowModality(Qt::WindowModal);
    setObjectName(QStringLiteral("WAlert"));

    auto *layout = new QVBoxLayout(this);
    auto *titleLabel = new QLabel(title, this);
    titleLabel->setObjectName(QStringLiteral("alertTitle"));
    titleLabel->setTextFormat(Qt::PlainText);
    titleLabel->setAlignment(Qt::AlignCenter);
    QFont bold = titleLabel->font();
    bold.setBold(true);
    titleLabel->setFont(bold);
    layout->addWidget(titleLabel);

    if (!message.isEmpty()) {
        auto *messageLabel = new QLabel(message, this);
        messageLabel->setObjectName(QStringLiteral("alertMessage"));
        messageLabel->setTextFormat(Qt::PlainText);
        messageLabel->setWordWrap(true);
        messageLabel->setAlignment(Qt::AlignCenter);
        layout->addWidget(messageLabel);
    }
    layout->addLayout(m_fieldsLayout);
    layout->addLayout(m_buttonsLayout);
}

QLineEdit *WAlert::addTextField(const std::function<void(QLineEdit *)> &configure)
{
    auto *field = new QLineEdit(this);
    m_fieldsLayout->addWidget(field);
    m_fields.append(field);
    if (configure)
        configure(field);
    return field;
}

QPushButton *WAlert::addAction(const QString &title, ActionStyle style, std::function<void()> handler)
{
    auto *button = new QPushButton(title, this);
    button->setAutoDefault(false);
    const int index = int(m_actions.size());
    m_actions.append({button, style, std::move(handler)});
    m_buttons.append(button);
    m_buttonsLayout->addWidget(button);
    connect(button, &QPushButton::clicked, this, [this, index] { trigger(index); });
    // Return presses the last default action, as the platform's alerts do.
    if (style == ActionStyle::Default) {
        for (const Action &action : std::as_const(m_actions))
            action.button->setDefault(action.button == button);
    }
    return button;
}

QPushButton *WAlert::actionButton(const QString &title) const
{
    for (QPushButton *button : m_buttons) {
        if (button->text() == title)
            return button;
    }
    return nullptr;
}

void WAlert::reject()
{
    for (int i = 0; i < m_actions.size(); ++i) {
        if (m_actions.at(i).style == ActionStyle::Cancel) {
            trigger(i);
            return;
        }
    }
    if (!m_answered) {
        m_answered = true;
        QDialog::reject();
        deleteLater();
    }
}

bool WAlert::event(QEvent *event)
{
    // Claimed before the shortcut map sees them (from a text field too): a
    // shortcut of the host's on one of these keys would otherwise take the
    // press, and the alert would stay up unanswered.
    if (event->type() == QEvent::ShortcutOverride && answersKey(static_cast<QKeyEvent *>(event))) {
        event->accept();
        return true;
    }
    return QDialog::event(event);
}

bool WAlert::answersKey(const QKeyEvent *key) const
{
    if (key->matches(QKeySequence::Cancel))
        return true;
    // As QDialog::keyPressEvent reads them.
    const bool plain = !key->modifiers() || (key->modifiers() & Qt::KeypadModifier && key->key() == Qt::Key_Enter);
    if (!plain || (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter))
        return false;
    for (const QPushButton *button : m_buttons) {
        if (button->isDefault() && button->isVisible())
            return true;
    }
    return false;
}

void WAlert::trigger(int index)
{
    if (m_answered)
        return;
    m_answered = true;
    const Action action = m_actions.at(index);
    done(action.style == ActionStyle::Cancel ? QDialog::Rejected : QDialog::Accepted);
    if (action.handler)
        action.handler();
    deleteLater();
}

} // namespace WexoCreator
