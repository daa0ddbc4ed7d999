#include "WexoCreator/extensions/WImageExtensions.h"
#include "WexoCreator/extensions/WJson.h"
#include "WexoCreator/extensions/WTime.h"

#include <QImage>
#include <QLabel>
#include <QObject>
#include <QPainter>
#include <QPushButton>
#include <QTest>

#include <cmath>
#include <limits>

using namespace WexoCreator;

class tst_WValueExtensions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void millisecondsRoundHalfAwayFromZero_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<qint64>("milliseconds");

        QTest::addRow("half a millisecond after") << 0.0005 << qint64(1);
        QTest::addRow("half a millisecond before") << -0.0005 << qint64(-1);
        QTest::addRow("just under half") << 1.0004 << qint64(1000);
        QTest::addRow("half up") << 1.0005 << qint64(1001);
        QTest::addRow("a recent date") << 1796256000.25 << qint64(1796256000250);
        QTest::addRow("far future clamps") << 1e300 << std::numeric_limits<qint64>::max();
        QTest::addRow("far past clamps") << -1e300 << std::numeric_limits<qint64>::min();
        QTest::addRow("infinity clamps") << std::numeric_limits<double>::infinity() << std::numeric_limits<qint64>::max();
        QTest::addRow("not a number") << std::nan("") << qint64(0);
    }

    void millisecondsRoundHalfAwayFromZero()
    {
        QFETCH(double, seconds);
        QFETCH(qint64, milliseconds);
        QCOMPARE(millisecondsSince1970(seconds), milliseconds);
    }

    void jsonObject_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<bool>("present");

        QTest::addRow("object") << QByteArray(R"({"b":1,"a":{"c":2}})") << QStringList{"a", "b"} << true;
        QTest::addRow("empty object") << QByteArray("{}") << QStringList{} << true;
        QTest::addRow("array") << QByteArray("[1,2]") << QStringList{} << false;
        QTest::addRow("not json") << QByteArray("nope") << QStringList{} << false;
        QTest::addRow("truncated") << QByteArray(R"({"a":)") << QStringList{} << false;
        QTest::addRow("nothing") << QByteArray() << QStringList{} << false;
    }

    void jsonObject()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, keys);
        QFETCH(bool, present);

        const std::optional<QJsonObject> object = toJSON(bytes);
        QCOMPARE(object.has_value(), present);
        if (object)
            QCOMPARE(object->keys(), keys);
    }

    void oneColourImageKeepsTransparency()
    {
        const QColor halfRed(255, 0, 0, 128);
        const QImage image = wImageWithColor(halfRed).toImage();
        QCOMPARE(image.size(), QSize(1, 1));
        QCOMPARE(image.pixelColor(0, 0), halfRed);
    }

    void tintKeepsTheShape()
    {
        QPixmap icon(4, 4);
        icon.fill(Qt::transparent);
        {
            QPainter painter(&icon);
            painter.fillRect(1, 1, 2, 2, Qt::black);
        }
        QLabel label;
        label.setPixmap(icon);
        const QImage tinted = applyWTint(&label, Qt::green).toImage();
        QCOMPARE(tinted.pixelColor(1, 1), QColor(Qt::green));
        QCOMPARE(tinted.pixelColor(0, 0).alpha(), 0);
        QCOMPARE(label.pixmap().toImage().pixelColor(2, 2), QColor(Qt::green));

        QPushButton button;
        button.setIcon(QIcon(icon));
        const QIcon tintedIcon = applyWTint(&button, Qt::blue);
        QCOMPARE(tintedIcon.pixmap(QSize(4, 4)).toImage().pixelColor(1, 1), QColor(Qt::blue));

        QLabel empty;
        QVERIFY(applyWTint(&empty, Qt::red).isNull());
        QVERIFY(empty.pixmap().isNull());
    }
};

QTEST_MAIN(tst_WValueExtensions)
#include "tst_wvalueextensions.moc"
