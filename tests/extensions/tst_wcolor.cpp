#include "WexoCreator/extensions/WColor.h"

#include <QTest>

using namespace WexoCreator;

class tst_WColor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void colorFromHex_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("present");
        QTest::addColumn<QColor>("expected");

        const QColor none;
        QTest::addRow("three digits with #") << QStringLiteral("#F00") << true << QColor(255, 0, 0, 255);
        QTest::addRow("three digits widen each digit") << QStringLiteral("0F8") << true << QColor(0, 255, 136, 255);
        QTest::addRow("six digits opaque") << QStringLiteral("FF0000") << true << QColor(255, 0, 0, 255);
        QTest::addRow("eight digits alpha first") << QStringLiteral("#80FF0000") << true << QColor(255, 0, 0, 128);
        QTest::addRow("lower case digits") << QStringLiteral("#80ff00aa") << true << QColor(255, 0, 170, 128);
        QTest::addRow("not hex reads as zero") << QStringLiteral("zzzzzz") << true << QColor(0, 0, 0, 255);
        QTest::addRow("digit then non-digit keeps the digit") << QStringLiteral("F?F?F?") << true << QColor(15, 15, 15, 255);
        QTest::addRow("blank before # is a pair of its own") << QStringLiteral(" #FFFFFF") << true << QColor(255, 255, 255, 0);
        QTest::addRow("blank before a digit is skipped") << QStringLiteral(" F0000") << true << QColor(15, 0, 0, 255);
        QTest::addRow("minus sign never wraps") << QStringLiteral("-F-F-F") << true << QColor(0, 0, 0, 255);
        QTest::addRow("plus sign reads as no digit") << QStringLiteral("+F0000") << true << QColor(0, 0, 0, 255);
        QTest::addRow("hex prefix reads as its zero") << QStringLiteral("0x0x0x") << true << QColor(0, 0, 0, 255);
        QTest::addRow("accented letter counts once, its digit read") << QStringLiteral("e\u0301FF") << true << QColor(14, 255, 255, 255);
        QTest::addRow("empty") << QString() << false << none;
        QTest::addRow("# alone") << QStringLiteral("#") << false << none;
        QTest::addRow("five digits") << QStringLiteral("#ABCDE") << false << none;
        QTest::addRow("seven digits") << QStringLiteral("FF00000") << false << none;
        QTest::addRow("nine digits") << QStringLiteral("FF0000000") << false << none;
        QTest::addRow("two # drop only one") << QStringLiteral("##FF0000") << false << none;
        QTest::addRow("emoji is one character") << QStringLiteral("\U0001F600\U0001F600\U0001F600\U0001F600") << false << none;
    }

    void colorFromHex()
    {
        QFETCH(QString, text);
        QFETCH(bool, present);
        QFETCH(QColor, expected);

        const std::optional<QColor> color = WexoCreator::colorFromHex(text);
        QCOMPARE(color.has_value(), present);
        if (present)
            QCOMPARE(color->rgba(), expected.rgba());
    }
};

QTEST_GUILESS_MAIN(tst_WColor)
#include "tst_wcolor.moc"
