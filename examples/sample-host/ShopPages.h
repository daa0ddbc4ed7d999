#pragma once

#include <QStackedWidget>
#include <QWidget>

class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QStringListModel;

// The product list: a search field over a list of products.
class ProductListPage : public QWidget
{
    Q_OBJECT
public:
    explicit ProductListPage(QWidget *parent = nullptr);
    QListView *productList() const { return m_list; }
    QPushButton *openDetailButton() const { return m_openDetail; }

private:
    QListView *m_list;
    QPushButton *m_openDetail;
};

// One product with its price and an add-to-cart button.
class ProductDetailPage : public QWidget
{
    Q_OBJECT
public:
    explicit ProductDetailPage(QWidget *parent = nullptr);
    void showProduct(const QString &name, const QString &price);
    QPushButton *backButton() const { return m_back; }

private:
    QLabel *m_title;
    QLabel *m_price;
    QPushButton *m_back;
};

// The shop tab: a stack that moves from the list to a product and back.
class ShopPage : public QStackedWidget
{
    Q_OBJECT
public:
    explicit ShopPage(QWidget *parent = nullptr);
    ProductListPage *listPage() const { return m_list; }
    ProductDetailPage *detailPage() const { return m_detail; }
    void openSelectedProduct();

private:
    ProductListPage *m_list;
    ProductDetailPage *m_detail;
};
