#include "WexoCreator/extensions/WLayoutExtensions.h"

#include <QApplication>
#include <QImage>
#include <QMainWindow>
#include <QObject>
#include <QTest>
#include <QWidget>

#include <memory>

using namespace WexoCreator;

Q_DECLARE_METATYPE(QList<QRect>)

namespace {

QList<WRectEdge> edgesFrom(const QString &group)
{
    QList<WRectEdge> edges;
    for (const QString &token : group.split(u' ', Qt::SkipEmptyParts)) {
        if (token == QLatin1String("T"))
            edges << WRectEdge::Top;
        else if (token == QLatin1String("B"))
            edges << WRectEdge::Bottom;
        else if (token == QLatin1String("L"))
            edges << WRectEdge::Left;
        else if (token == QLatin1String("R"))
            edges << WRectEdge::Right;
        else if (token == QLatin1String("A"))
            edges << WRectEdge::All;
        else if (token != QLatin1String("-"))
            edges << WRectEdge(token.toInt());
    }
    return edges;
}

// The strips and outlines the library added: every child but the host's own.
QList<QWidget *> addedChildren(QWidget *widget)
{
    QList<QWidget *> added;
    for (QWidget *child : widget->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (child->objectName() != QLatin1String("hostChild"))
            added << child;
    }
    return added;
}

} // namespace

class tst_WLayoutExtensions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void edgeStrips_data()
    {
        QTest::addColumn<QString>("calls");
        QTest::addColumn<qreal>("width");
        QTest::addColumn<QList<QRect>>("strips");
        QTest::addColumn<bool>("outlined");

        QTest::addRow("top and bottom") << "T B" << 1.0 << QList<QRect>{{0, 0, 100, 1}, {0, 49, 100, 1}} << false;
        QTest::addRow("left and right") << "L R" << 2.0 << QList<QRect>{{0, 0, 2, 50}, {98, 0, 2, 50}} << false;
        QTest::addRow("again with right only") << "T B | R" << 1.0 << QList<QRect>{{99, 0, 1, 50}} << false;
        QTest::addRow("same edge twice keeps one strip") << "T | T" << 1.0 << QList<QRect>{{0, 0, 100, 1}} << false;
        QTest::addRow("empty list removes every strip") << "T B L R | -" << 1.0 << QList<QRect>{} << false;
        QTest::addRow("all edges outline, strips stay") << "T | A" << 1.0 << QList<QRect>{{0, 0, 100, 1}} << true;
        QTest::addRow("combined value is no edge") << "3" << 1.0 << QList<QRect>{} << false;
        QTest::addRow("fractional width takes whole pixels") << "B" << 0.5 << QList<QRect>{{0, 49, 100, 1}} << false;
    }

    void edgeStrips()
    {
        QFETCH(QString, calls);
        QFETCH(qreal, width);
        QFETCH(QList<QRect>, strips);
        QFETCH(bool, outlined);

        QWidget widget;
        widget.resize(100, 50);
        auto *hostChild = new QWidget(&widget);
        hostChild->setObjectName(QStringLiteral("hostChild"));
        for (const QString &group : calls.split(u'|'))
            borders(&widget, edgesFrom(group), width, Qt::gray);

        QList<QRect> found;
        int outlines = 0;
        for (QWidget *child : addedChildren(&widget)) {
            if (child->geometry() == widget.rect() && child->testAttribute(Qt::WA_TransparentForMouseEvents))
                ++outlines;
            else
                found << child->geometry();
        }
        QCOMPARE(found, strips);
        QCOMPARE(outlines, outlined ? 1 : 0);
        QCOMPARE(hostChild->parentWidget(), &widget);
    }

    void stripsFollowTheWidgetsSize()
    {
        QWidget widget;
        widget.resize(100, 50);
        borders(&widget, {WRectEdge::Bottom, WRectEdge::Right}, 1, Qt::gray);
        widget.show();
        widget.resize(200, 80);
        QList<QRect> found;
        for (QWidget *child : addedChildren(&widget))
            found << child->geometry();
        QCOMPARE(found, (QList<QRect>{{0, 79, 200, 1}, {199, 0, 1, 80}}));
    }

    void stripIsDrawnFlushWithItsEdge()
    {
        QWidget widget;
        widget.setAutoFillBackground(true);
        widget.setPalette(QPalette(Qt::white));
        widget.resize(40, 20);
        borders(&widget, {WRectEdge::Top}, 2, QColor(0x80, 0x80, 0x80));
        const QImage picture = widget.grab().toImage();
        QCOMPARE(picture.pixelColor(20, 0), QColor(0x80, 0x80, 0x80));
        QCOMPARE(picture.pixelColor(20, 1), QColor(0x80, 0x80, 0x80));
        QCOMPARE(picture.pixelColor(20, 2), QColor(Qt::white));
    }

    void debugOutline_data()
    {
        QTest::addColumn<QString>("hex");
        QTest::addColumn<QColor>("edge");

        QTest::addRow("default red") << "#FF0000" << QColor(Qt::red);
        QTest::addRow("short form") << "00F" << QColor(Qt::blue);
        QTest::addRow("not a colour draws nothing") << "#12345" << QColor(Qt::white);
    }

    void debugOutline()
    {
        QFETCH(QString, hex);
        QFETCH(QColor, edge);

        QWidget widget;
        widget.setAutoFillBackground(true);
        widget.setPalette(QPalette(Qt::white));
        widget.resize(30, 30);
        debugBounds(&widget, hex, 1.0);
        const QImage picture = widget.grab().toImage();
        QCOMPARE(picture.pixelColor(15, 0), edge);
        QCOMPARE(picture.pixelColor(15, 15), QColor(Qt::white));
    }

    void outlineWidthZeroRemovesIt()
    {
        QWidget widget;
        widget.resize(30, 30);
        debugBounds(&widget);
        setOutline(&widget, 0, Qt::red);
        widget.setAutoFillBackground(true);
        widget.setPalette(QPalette(Qt::white));
        QCOMPARE(widget.grab().toImage().pixelColor(15, 0), QColor(Qt::white));
    }

    void scaledRect_data()
    {
        QTest::addColumn<QRectF>("rect");
        QTest::addColumn<qreal>("factor");
        QTest::addColumn<QRectF>("expected");

        QTest::addRow("by one") << QRectF(3, 4, 10, 20) << 1.0 << QRectF(3, 4, 10, 20);
        QTest::addRow("half") << QRectF(0, 0, 100, 50) << 0.5 << QRectF(25, 12.5, 50, 25);
        QTest::addRow("double") << QRectF(0, 0, 100, 50) << 2.0 << QRectF(-50, -25, 200, 100);
        QTest::addRow("negative size is standardised") << QRectF(10, 10, -20, -20) << 0.5 << QRectF(15, 15, 10, 10);
    }

    void scaledRect()
    {
        QFETCH(QRectF, rect);
        QFETCH(qreal, factor);
        QFETCH(QRectF, expected);
        QCOMPARE(rectScaled(rect, factor), expected);
    }

    void pointDistance()
    {
        QCOMPARE(distance(QPointF(1, 1), QPointF(4, 5)), 5.0);
        QCOMPARE(distance(QPointF(4, 5), QPointF(1, 1)), 5.0);
    }

    void screenShotOfTheHostWindow()
    {
        QVERIFY(!wScreenShot());
        {
            QMainWindow host;
            host.resize(200, 100);
            host.show();
            const std::optional<QPixmap> shot = wScreenShot();
            QVERIFY(shot);
            QCOMPARE(shot->deviceIndependentSize().toSize(), QSize(200, 100));
        }
        QVERIFY(!wScreenShot());
    }
};

QTEST_MAIN(tst_WLayoutExtensions)
#include "tst_wlayoutextensions.moc"
