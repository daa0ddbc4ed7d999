#include "AccountPages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

template<typename W>
W *named(W *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

SettingsPage::SettingsPage(QWidget *parent)
    : QWidget(parent)
{
    auto *name = named(new QLineEdit(this), "nameField");
    name->setPlaceholderText(tr("Your name"));
    auto *email = named(new QLineEdit(this), "emailField");
    email->setPlaceholderText(tr("you@example.com"));
    auto *newsletter = named(new QCheckBox(tr("Send me the newsletter"), this), "newsletterCheck");
    auto *theme = named(new QComboBox(this), "themeCombo");
    theme->addItems({tr("System"), tr("Light"), tr("Dark")});
    auto *save = named(new QPushButton(tr("Save"), this), "saveButton");

    auto *form = new QFormLayout;
    form->addRow(tr("Name"), name);
    form->addRow(tr("E-mail"), email);
    form->addRow(QString(), newsletter);
    form->addRow(tr("Theme"), theme);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch();
    layout->addWidget(save, 0, Qt::AlignRight);
}

ProfilePage::ProfilePage(QWidget *parent)
    : QWidget(parent)
{
    auto *avatar = named(new QLabel(QStringLiteral("☕"), this), "avatarLabel");
    QFont big = avatar->font();
    big.setPointSize(big.pointSize() * 3);
    avatar->setFont(big);
    auto *name = named(new QLabel(tr("Alex Example"), this), "profileName");
    auto *edit = named(new QPushButton(tr("Edit profile"), this), "editProfileButton");

    auto *orders = new QStandardItemModel(0, 3, this);
    orders->setHorizontalHeaderLabels({tr("Order"), tr("Date"), tr("Total")});
    for (int i = 0; i < 8; ++i) {
        orders->appendRow({new QStandardItem(QStringLiteral("#10%1").arg(40 + i)),
                           new QStandardItem(QStringLiteral("2026-11-%1").arg(2 + 3 * i, 2, 10, QLatin1Char('0'))),
                           new QStandardItem(QStringLiteral("€%1").arg(19 + 7 * i))});
    }
    auto *table = named(new QTableView(this), "ordersTable");
    table->setModel(orders);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setStretchLastSection(true);

    auto *header = new QHBoxLayout;
    header->addWidget(avatar);
    header->addWidget(name, 1);
    header->addWidget(edit);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(header);
    layout->addWidget(table, 1);
}
