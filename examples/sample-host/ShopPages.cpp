#include "ShopPages.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStringListModel>
#include <QVBoxLayout>

namespace {

const QStringList products = {
    QStringLiteral("Espresso machine — €249"), QStringLiteral("Milk frother — €39"),
    QStringLiteral("Coffee grinder — €89"),    QStringLiteral("Pour-over kettle — €59"),
    QStringLiteral("Ceramic mugs (4) — €24"),  QStringLiteral("Tamper — €19"),
    QStringLiteral("Descaler — €9"),           QStringLiteral("Cold brew jar — €29"),
    QStringLiteral("Scale with timer — €45"),  QStringLiteral("Paper filters — €5"),
    QStringLiteral("Travel mug — €22"),        QStringLiteral("Knock box — €17"),
};

QPushButton *namedButton(const QString &text, const QString &name, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    return button;
}

} // namespace

ProductListPage::ProductListPage(QWidget *parent)
    : QWidget(parent)
{
    auto *search = new QLineEdit(this);
    search->setObjectName(QStringLiteral("searchField"));
    search->setPlaceholderText(tr("Search products"));
    search->setClearButtonEnabled(true);

    auto *model = new QStringListModel(products, this);
    auto *filter = new QSortFilterProxyModel(this);
    filter->setSourceModel(model);
    filter->setFilterCaseSensitivity(Qt::CaseInsensitive);
    connect(search, &QLineEdit::textChanged, filter, &QSortFilterProxyModel::setFilterFixedString);

    m_list = new QListView(this);
    m_list->setObjectName(QStringLiteral("productList"));
    m_list->setModel(filter);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setCurrentIndex(filter->index(0, 0));

    m_openDetail = namedButton(tr("View product"), QStringLiteral("openDetailButton"), this);
    auto *cart = namedButton(tr("Cart (0)"), QStringLiteral("cartButton"), this);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_openDetail);
    buttons->addStretch();
    buttons->addWidget(cart);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(search);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
}

ProductDetailPage::ProductDetailPage(QWidget *parent)
    : QWidget(parent)
{
    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("productTitle"));
    m_title->setTextFormat(Qt::PlainText);
    QFont titleFont = m_title->font();
    titleFont.setPointSize(titleFont.pointSize() + 6);
    titleFont.setBold(true);
    m_title->setFont(titleFont);

    m_price = new QLabel(this);
    m_price->setObjectName(QStringLiteral("productPrice"));
    m_price->setTextFormat(Qt::PlainText);

    auto *add = namedButton(tr("Add to cart"), QStringLiteral("addToCartButton"), this);
    m_back = namedButton(tr("Back to products"), QStringLiteral("backButton"), this);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addWidget(m_price);
    layout->addStretch();
    layout->addWidget(add);
    layout->addWidget(m_back);
}

void ProductDetailPage::showProduct(const QString &name, const QString &price)
{
    m_title->setText(name);
    m_price->setText(price);
}

ShopPage::ShopPage(QWidget *parent)
    : QStackedWidget(parent)
    , m_list(new ProductListPage(this))
    , m_detail(new ProductDetailPage(this))
{
    addWidget(m_list);
    addWidget(m_detail);
    connect(m_list->openDetailButton(), &QPushButton::clicked, this, &ShopPage::openSelectedProduct);
    connect(m_list->productList(), &QListView::doubleClicked, this, &ShopPage::openSelectedProduct);
    connect(m_detail->backButton(), &QPushButton::clicked, this, [this] { setCurrentWidget(m_list); });
}

void ShopPage::openSelectedProduct()
{
    const QString text = m_list->productList()->currentIndex().data().toString();
    const QStringList parts = text.split(QStringLiteral(" — "));
    m_detail->showProduct(parts.value(0), parts.value(1));
    setCurrentWidget(m_detail);
}
