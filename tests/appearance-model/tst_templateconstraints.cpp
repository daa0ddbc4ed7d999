#include "WexoCreator/appearance-model/TemplateConstraints.h"
#include "WexoCreator/model/WJsonDecoder.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTest>

using namespace WexoCreator;

namespace {

TemplateConstraints decodeBlock(const QJsonObject &object)
{
    const auto result = WJsonDecoder::decodeValue<TemplateConstraints>(object);
    if (!result.record) // nothing inside a block may fail it
        qFatal("style block failed: %s", qPrintable(result.error));
    return *result.record;
}

} // namespace

class tst_TemplateConstraints : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sizes_data()
    {
        QTest::addColumn<QJsonValue>("sent");
        QTest::addColumn<double>("padding");  // initial 0
        QTest::addColumn<double>("fontSize"); // initial 12

        QTest::addRow("px text") << QJsonValue(QStringLiteral("12px")) << 12.0 << 12.0;
        QTest::addRow("bare number text") << QJsonValue(QStringLiteral("12")) << 12.0 << 12.0;
        QTest::addRow("fraction") << QJsonValue(QStringLiteral("12.5px")) << 12.5 << 12.5;
        QTest::addRow("px removed wherever it stands") << QJsonValue(QStringLiteral("1px2")) << 12.0 << 12.0;
        QTest::addRow("zero is a size") << QJsonValue(QStringLiteral("0px")) << 0.0 << 0.0;
        QTest::addRow("px alone") << QJsonValue(QStringLiteral("px")) << 0.0 << 12.0;
        QTest::addRow("empty text") << QJsonValue(QString()) << 0.0 << 12.0;
        QTest::addRow("other unit") << QJsonValue(QStringLiteral("auto")) << 0.0 << 12.0;
        QTest::addRow("unit in capitals") << QJsonValue(QStringLiteral("12PX")) << 0.0 << 12.0;
        QTest::addRow("leading blank") << QJsonValue(QStringLiteral(" 12px")) << 0.0 << 12.0;
        QTest::addRow("blank before unit") << QJsonValue(QStringLiteral("12 px")) << 0.0 << 12.0;
        QTest::addRow("json number") << QJsonValue(12) << 0.0 << 12.0;
        QTest::addRow("json null") << QJsonValue(QJsonValue::Null) << 0.0 << 12.0;
        QTest::addRow("not a number") << QJsonValue(QStringLiteral("nanpx")) << 0.0 << 12.0;
        QTest::addRow("overflows to infinity") << QJsonValue(QStringLiteral("1e999px")) << 0.0 << 12.0;
        QTest::addRow("hex float") << QJsonValue(QStringLiteral("0x1p3")) << 0.0 << 12.0;
        QTest::addRow("full-width digits") << QJsonValue(QStringLiteral("\uFF11\uFF12px")) << 0.0 << 12.0;
    }

    void sizes()
    {
        QFETCH(QJsonValue, sent);
        QFETCH(double, padding);
        QFETCH(double, fontSize);

        const QStringList zeroSizes{QStringLiteral("paddingT"), QStringLiteral("paddingL"), QStringLiteral("paddingB"),
                                    QStringLiteral("paddingR"), QStringLiteral("marginT"),  QStringLiteral("marginL"),
                                    QStringLiteral("marginB"),  QStringLiteral("marginR"),  QStringLiteral("borderRadius")};
        QJsonObject object{{QStringLiteral("fontSize"), sent}, {QStringLiteral("color"), QStringLiteral("#123456")}};
        for (const QString &key : zeroSizes)
            object.insert(key, sent);

        const TemplateConstraints block = decodeBlock(object);
        const QList<double> read{block.paddingT(), block.paddingL(), block.paddingB(), block.paddingR(), block.marginT(),
                                 block.marginL(),  block.marginB(),  block.marginR(),  block.borderRadius()};
        for (qsizetype i = 0; i < read.size(); ++i)
            QVERIFY2(read.at(i) == padding, qPrintable(zeroSizes.at(i)));
        QCOMPARE(block.fontSize(), fontSize);
        // A bad size never spoils the rest of the block.
        QCOMPARE(block.color(), std::optional<QString>(QStringLiteral("#123456")));
    }

    void lenientFields_data()
    {
        QTest::addColumn<QJsonObject>("object");
        QTest::addColumn<bool>("hasProperties");
        QTest::addColumn<std::optional<QString>>("backgroundcolor");
        QTest::addColumn<std::optional<QString>>("text");

        const std::optional<QString> absent;
        QTest::addRow("flag and texts") << QJsonObject{{QStringLiteral("hasProperties"), true},
                                                       {QStringLiteral("backgroundcolor"), QStringLiteral("#FF0000")},
                                                       {QStringLiteral("text"), QStringLiteral("Tap here")}}
                                        << true << std::optional<QString>(QStringLiteral("#FF0000"))
                                        << std::optional<QString>(QStringLiteral("Tap here"));
        QTest::addRow("empty text kept") << QJsonObject{{QStringLiteral("text"), QString()}} << false << absent
                                         << std::optional<QString>(QString());
        QTest::addRow("flag as text keeps false") << QJsonObject{{QStringLiteral("hasProperties"), QStringLiteral("true")}}
                                                  << false << absent << absent;
        QTest::addRow("colour as number") << QJsonObject{{QStringLiteral("backgroundcolor"), 255}} << false << absent << absent;
        QTest::addRow("colour key in camel case is not read")
            << QJsonObject{{QStringLiteral("backgroundColor"), QStringLiteral("#FF0000")}} << false << absent << absent;
    }

    void lenientFields()
    {
        QFETCH(QJsonObject, object);
        QFETCH(bool, hasProperties);
        QFETCH(std::optional<QString>, backgroundcolor);
        QFETCH(std::optional<QString>, text);

        const TemplateConstraints block = decodeBlock(object);
        QCOMPARE(block.hasProperties(), hasProperties);
        QCOMPARE(block.backgroundcolor(), backgroundcolor);
        QCOMPARE(block.text(), text);
    }

    void bgColor_data()
    {
        QTest::addColumn<QJsonValue>("backgroundcolor");
        QTest::addColumn<QColor>("expected");

        QTest::addRow("six digits") << QJsonValue(QStringLiteral("#FF0000")) << QColor(255, 0, 0);
        QTest::addRow("not hex is black") << QJsonValue(QStringLiteral("zzzzzz")) << QColor(0, 0, 0);
        QTest::addRow("absent is clear") << QJsonValue(QJsonValue::Undefined) << QColor(Qt::transparent);
        QTest::addRow("empty is clear") << QJsonValue(QString()) << QColor(Qt::transparent);
        QTest::addRow("wrong length is clear") << QJsonValue(QStringLiteral("#ABCDE")) << QColor(Qt::transparent);
    }

    void bgColor()
    {
        QFETCH(QJsonValue, backgroundcolor);
        QFETCH(QColor, expected);

        QJsonObject object;
        if (!backgroundcolor.isUndefined())
            object.insert(QStringLiteral("backgroundcolor"), backgroundcolor);
        QCOMPARE(decodeBlock(object).bgColor().rgba(), expected.rgba());
    }
};

QTEST_GUILESS_MAIN(tst_TemplateConstraints)
#include "tst_templateconstraints.moc"
