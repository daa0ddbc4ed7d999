#include "WexoCreator/extensions/WColor.h"
#include "WexoCreator/extensions/WImageExtensions.h"
#include "WexoCreator/extensions/WJson.h"
#include "WexoCreator/extensions/WTime.h"

#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTest>

#include <cmath>
#include <limits>

using namespace WexoCreator;
using namespace Qt::StringLiterals;

class tst_WValueExtensions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void colorFromHex_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QColor>("expected"); // invalid: no colour

        QTest::addRow("three digits with #") << u"#F00"_s << QColor(255, 0, 0, 255);
        QTest::addRow("three digits widen each digit") << u"0f8"_s << QColor(0, 255, 136, 255);
        QTest::addRow("six digits opaque") << u"FF0000"_s << QColor(255, 0, 0, 255);
        QTest::addRow("eight digits alpha first") << u"#80FF0000"_s << QColor(255, 0, 0, 128);
        QTest::addRow("not hex reads as zero") << u"zzzzzz"_s << QColor(0, 0, 0, 255);
        QTest::addRow("digit then non-digit keeps the digit") << u"F?F?F?"_s << QColor(15, 15, 15, 255);
        QTest::addRow("blank before # is a pair of its own") << u" #FFFFFF"_s << QColor(255, 255, 255, 0);
        QTest::addRow("blank before a digit is skipped") << u" F0000"_s << QColor(15, 0, 0, 255);
        QTest::addRow("minus sign never wraps") << u"-F-F-F"_s << QColor(0, 0, 0, 255);
        QTest::addRow("one plus sign is skipped") << u"+F0000"_s << QColor(15, 0, 0, 255);
        QTest::addRow("plus sign alone") << u"+ +A+F"_s << QColor(0, 10, 15, 255);
        QTest::addRow("blank then plus") << u" +0000"_s << QColor(0, 0, 0, 255);
        QTest::addRow("accented letter counts once") << u"e\u0301FF"_s << QColor(14, 255, 255, 255);
        QTest::addRow("empty") << QString() << QColor();
        QTest::addRow("five digits") << u"#ABCDE"_s << QColor();
        QTest::addRow("two # drop only one") << u"##FF0000"_s << QColor();
        QTest::addRow("emoji is one character") << u"\U0001F600\U0001F600\U0001F600\U0001F600"_s << QColor();
    }

    void colorFromHex()
    {
        QFETCH(QString, text);
        QFETCH(QColor, expected);

        const std::optional<QColor> color = WexoCreator::colorFromHex(text);
        QCOMPARE(color.has_value(), expected.isValid());
        if (color)
            QCOMPARE(color->rgba(), expected.rgba());
    }

    void millisecondsRoundHalfAwayFromZero_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<qint64>("milliseconds");

        QTest::addRow("half a millisecond after") << 0.0005 << qint64(1);
        QTest::addRow("half a millisecond before") << -0.0005 << qint64(-1);
        QTest::addRow("just under half") << 1.0004 << qint64(1000);
        QTest::addRow("a recent date") << 1796256000.25 << qint64(1796256000250);
        QTest::addRow("far future clamps") << 1e300 << std::numeric_limits<qint64>::max();
        QTest::addRow("far past clamps") << -1e300 << std::numeric_limits<qint64>::min();
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
        QTest::addColumn<QStringList>("keys"); // {"-"}: absent

        QTest::addRow("object") << QByteArray(R"({"b":1,"a":{"c":2}})") << QStringList{"a", "b"};
        QTest::addRow("array") << QByteArray("[1,2]") << QStringList{"-"};
        QTest::addRow("truncated") << QByteArray(R"({"a":)") << QStringList{"-"};
    }

    void jsonObject()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, keys);

        const std::optional<QJsonObject> object = toJSON(bytes);
        QCOMPARE(object ? object->keys() : QStringList{"-"}, keys);
    }

    void oneColourImageKeepsTransparency()
    {
        const QImage image = wImageWithColor(QColor(255, 0, 0, 128)).toImage();
        QCOMPARE(image.size(), QSize(1, 1));
        QCOMPARE(image.pixelColor(0, 0), QColor(255, 0, 0, 128));
    }

    void tintKeepsTheShape()
    {
        QPixmap icon(4, 4);
        icon.fill(Qt::transparent);
        QPainter(&icon).fillRect(1, 1, 2, 2, Qt::black);
        QLabel label;
        label.setPixmap(icon);
        const QImage tinted = applyWTint(&label, Qt::green).toImage();
        QCOMPARE(tinted.pixelColor(1, 1), QColor(Qt::green));
        QCOMPARE(tinted.pixelColor(0, 0).alpha(), 0);
        QCOMPARE(label.pixmap().toImage().pixelColor(2, 2), QColor(Qt::green));

        QPushButton button;
        button.setIcon(QIcon(icon));
        QCOMPARE(applyWTint(&button, Qt::blue).pixmap(QSize(4, 4)).toImage().pixelColor(1, 1), QColor(Qt::blue));

        QLabel empty;
        QVERIFY(applyWTint(&empty, Qt::red).isNull());
        QVERIFY(empty.pixmap().isNull());
    }
};

QTEST_MAIN(tst_WValueExtensions)
#include "tst_wvalueextensions.moc"
