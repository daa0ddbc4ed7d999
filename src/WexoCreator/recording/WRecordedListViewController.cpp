#include "WexoCreator/recording/WRecordedListViewController.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>

namespace WexoCreator {

namespace {

QPushButton *barButton(const QString &text, const char *name, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setFlat(true);
    button->setMinimumWidth(72);
    return button;
}

} // namespace

QWidget *WRecordedListViewController::loadView()
{
    auto *view = new QWidget;
    // A full page over the host: nothing of the host shows through.
    view->setAutoFillBackground(true);
    view->setPalette(QPalette(QColor(Qt::white)));

    auto *bar = new QWidget(view);
    bar->setObjectName(QStringLiteral("topBar"));
    auto *barLayout = new QHBoxLayout(bar);
    m_cancel = barButton(QStringLiteral("Cancel"), "cancelButton", bar);
    m_title = new QLabel(bar);
    m_title->setObjectName(QStringLiteral("titleLabel"));
    m_title->setTextFormat(Qt::PlainText);
    m_title->setAlignment(Qt::AlignCenter);
    QFont bold = m_title->font();
    bold.setBold(true);
    bold.setPixelSize(17);
    m_title->setFont(bold);
    m_right = barButton(QString(), "rightButton", bar);
    m_right->hide();
    barLayout->addWidget(m_cancel);
    barLayout->addWidget(m_title, 1);
    barLayout->addWidget(m_right);

    m_tableView = new QListWidget(view);
    m_tableView->setObjectName(QStringLiteral("tableView"));
    m_tableView->setUniformItemSizes(true);
    m_tableView->setFrameShape(QFrame::NoFrame);
    // Full-width separators under each row and under the bar.
    m_tableView->setStyleSheet(QStringLiteral("QListWidget { border-top: 1px solid #d0d0d0; }"
                                              "QListWidget::item { padding-left: 16px; border-bottom: 1px solid #d0d0d0; color: black; }"
                                              "QListWidget::item:selected { background-color: #dde6f5; color: black; }"));

    auto *layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_tableView, 1);

    connect(m_cancel, &QPushButton::clicked, this, [this] { onCancel(); });
    return view;
}

QString WRecordedListViewController::title() const
{
    return m_title ? m_title->text() : QString();
}

void WRecordedListViewController::setTitle(const QString &title)
{
    m_title->setText(title);
}

void WRecordedListViewController::appendRow(const QString &text, int key)
{
    auto *item = new QListWidgetItem(text, m_tableView);
    item->setData(Qt::UserRole, key);
    item->setSizeHint(QSize(0, kRowHeight));
    // Rows are only moved, never dropped onto each other.
    item->setFlags(item->flags() & ~Qt::ItemIsDropEnabled);
}

void WRecordedListViewController::onCancel()
{
    dismiss(true);
}

} // namespace WexoCreator
