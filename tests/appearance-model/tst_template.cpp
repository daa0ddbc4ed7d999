#include "WexoCreator/appearance-model/Template.h"
#include "WexoCreator/model/WJsonDecoder.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTest>

using namespace WexoCreator;
using namespace Qt::StringLiterals;
using OptText = std::optional<QString>;

namespace {

const QStringList blockKeys{u"popover"_s,  u"nextButton"_s,  u"endButton"_s, u"backButton"_s,         u"closeButton"_s,
                            u"stepsTitle"_s, u"heading"_s,   u"content"_s,   u"progressbar"_s,        u"logoText"_s,
                            u"progressbarWrapper"_s,         u"banner"_s,    u"tapHere"_s};

// The blocks that decoded, each as key=text, so one comparison covers all thirteen.
QStringList presentBlocks(const Template &t)
{
    QStringList names;
    if (const auto &p = t.CssObject()) {
        const QList<std::shared_ptr<TemplateConstraints>> blocks{
            p->popover(), p->nextButton(),  p->endButton(),          p->backButton(), p->closeButton(),
            p->stepsTitle(), p->heading(),  p->content(),            p->progressbar(), p->logoText(),
            p->progressbarWrapper(),        p->banner(),             p->tapHere()};
        for (qsizetype i = 0; i < blocks.size(); ++i) {
            if (blocks.at(i))
                names << blockKeys.at(i) + u'=' + blocks.at(i)->text().value_or(u"-"_s);
        }
    }
    return names;
}

QJsonObject block(const QString &text)
{
    return {{u"text"_s, text}};
}

QJsonObject css(const QJsonObject &blocks)
{
    return {{u"CssObject"_s, blocks}};
}

TemplateConstraints decodeBlock(const QJsonObject &object)
{
    const auto result = WJsonDecoder::decodeValue<TemplateConstraints>(object);
    if (!result.record) // nothing inside a block may fail it
        qFatal("style block failed: %s", qPrintable(result.error));
    return *result.record;
}

} // namespace

class tst_Template : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decodes_data()
    {
        QTest::addColumn<QJsonObject>("object");
        QTest::addColumn<QStringList>("blocks");

        const QStringList failed{u"<failed>"_s};
        QJsonObject all;
        QStringList allNames;
        for (const QString &key : blockKeys) {
            all.insert(key, block(key));
            allNames << key + u'=' + key;
        }
        QTest::addRow("no CssObject") << QJsonObject{{u"CssObject"_s, QJsonValue::Null}} << QStringList();
        QTest::addRow("every block in its own field") << css(all) << allNames;
        all.insert(u"heading"_s, QJsonValue::Null);
        allNames.removeAll(u"heading=heading"_s);
        QTest::addRow("null block absent, others decode") << css(all) << allNames;
        QTest::addRow("unknown and wrong-case keys ignored")
            << css({{u"progressBar"_s, block(u"x"_s)}, {u"footer"_s, block(u"y"_s)}, {u"banner"_s, block(u"b"_s)}})
            << QStringList{u"banner=b"_s};
        QTest::addRow("snake-case block keys")
            << css({{u"tap_here"_s, block(u"t"_s)}, {u"progress_bar"_s, block(u"p"_s)}}) << QStringList{u"tapHere=t"_s};
        QTest::addRow("block as text fails the whole template")
            << css({{u"banner"_s, block(u"b"_s)}, {u"popover"_s, u"#FFFFFF"_s}}) << failed;
        QTest::addRow("block as list") << css({{u"content"_s, QJsonArray{QJsonObject()}}}) << failed;
        QTest::addRow("CssObject as list") << QJsonObject{{u"CssObject"_s, QJsonArray()}} << failed;
        QTest::addRow("success as text") << QJsonObject{{u"success"_s, u"true"_s}} << failed;
        QTest::addRow("bad fields inside a block never fail")
            << css({{u"popover"_s, QJsonObject{{u"text"_s, 1}, {u"fontSize"_s, QJsonArray()}, {u"hasProperties"_s, u"yes"_s}}}})
            << QStringList{u"popover=-"_s};
    }

    void decodes()
    {
        QFETCH(QJsonObject, object);
        QFETCH(QStringList, blocks);

        const auto result = WJsonDecoder::decodeValue<Template>(object);
        QCOMPARE(result ? presentBlocks(*result.record) : QStringList{u"<failed>"_s}, blocks);
    }

    void sizes_data()
    {
        QTest::addColumn<QJsonValue>("sent");
        QTest::addColumn<double>("padding");  // initial 0
        QTest::addColumn<double>("fontSize"); // initial 12

        QTest::addRow("px text") << QJsonValue(u"12px"_s) << 12.0 << 12.0;
        QTest::addRow("bare number text") << QJsonValue(u"12"_s) << 12.0 << 12.0;
        QTest::addRow("fraction") << QJsonValue(u"12.5px"_s) << 12.5 << 12.5;
        QTest::addRow("px removed wherever it stands") << QJsonValue(u"1px2"_s) << 12.0 << 12.0;
        QTest::addRow("zero is a size") << QJsonValue(u"0px"_s) << 0.0 << 0.0;
        QTest::addRow("px alone") << QJsonValue(u"px"_s) << 0.0 << 12.0;
        QTest::addRow("empty text") << QJsonValue(QString()) << 0.0 << 12.0;
        QTest::addRow("other unit") << QJsonValue(u"auto"_s) << 0.0 << 12.0;
        QTest::addRow("unit in capitals") << QJsonValue(u"12PX"_s) << 0.0 << 12.0;
        QTest::addRow("leading blank") << QJsonValue(u" 12px"_s) << 0.0 << 12.0;
        QTest::addRow("json number") << QJsonValue(12) << 0.0 << 12.0;
        QTest::addRow("not a number") << QJsonValue(u"nanpx"_s) << 0.0 << 12.0;
        QTest::addRow("overflows to infinity") << QJsonValue(u"1e999px"_s) << 0.0 << 12.0;
        QTest::addRow("hex float") << QJsonValue(u"0x1p3"_s) << 0.0 << 12.0;
        QTest::addRow("full-width digits") << QJsonValue(u"\uFF11\uFF12px"_s) << 0.0 << 12.0;
    }

    void sizes()
    {
        QFETCH(QJsonValue, sent);
        QFETCH(double, padding);
        QFETCH(double, fontSize);

        QJsonObject object{{u"fontSize"_s, sent}, {u"color"_s, u"#123456"_s}};
        // Snake-case keys reach their fields too.
        for (const char *key : {"padding_t", "paddingL", "paddingB", "paddingR", "marginT", "marginL", "margin_b",
                                "marginR", "border_radius"})
            object.insert(QLatin1StringView(key), sent);

        const TemplateConstraints b = decodeBlock(object);
        QCOMPARE((QList<double>{b.paddingT(), b.paddingL(), b.paddingB(), b.paddingR(), b.marginT(), b.marginL(),
                                b.marginB(), b.marginR(), b.borderRadius()}),
                 QList<double>(9, padding));
        QCOMPARE(b.fontSize(), fontSize);
        // A bad size never spoils the rest of the block.
        QCOMPARE(b.color(), OptText(u"#123456"_s));
    }

    void lenientFields_data()
    {
        QTest::addColumn<QJsonObject>("object");
        QTest::addColumn<QStringList>("expected"); // hasProperties, backgroundcolor, text, bgColor()

        QTest::addRow("flag and texts")
            << QJsonObject{{u"hasProperties"_s, true}, {u"backgroundcolor"_s, u"#FF0000"_s}, {u"text"_s, u"Tap here"_s}}
            << QStringList{u"true"_s, u"#FF0000"_s, u"Tap here"_s, u"#ffff0000"_s};
        QTest::addRow("empty text kept") << QJsonObject{{u"text"_s, QString()}}
                                         << QStringList{u"false"_s, u"-"_s, QString(), u"#00000000"_s};
        QTest::addRow("snake-case keys") << QJsonObject{{u"has_properties"_s, true}, {u"text"_s, u"t"_s}}
                                         << QStringList{u"true"_s, u"-"_s, u"t"_s, u"#00000000"_s};
        QTest::addRow("flag as text keeps false") << QJsonObject{{u"hasProperties"_s, u"true"_s}}
                                                  << QStringList{u"false"_s, u"-"_s, u"-"_s, u"#00000000"_s};
        QTest::addRow("colour as number") << QJsonObject{{u"backgroundcolor"_s, 255}}
                                          << QStringList{u"false"_s, u"-"_s, u"-"_s, u"#00000000"_s};
        QTest::addRow("colour key in camel case is not read") << QJsonObject{{u"backgroundColor"_s, u"#FF0000"_s}}
                                                              << QStringList{u"false"_s, u"-"_s, u"-"_s, u"#00000000"_s};
        QTest::addRow("not hex is black") << QJsonObject{{u"backgroundcolor"_s, u"zzzzzz"_s}}
                                          << QStringList{u"false"_s, u"zzzzzz"_s, u"-"_s, u"#ff000000"_s};
        QTest::addRow("wrong length is clear") << QJsonObject{{u"backgroundcolor"_s, u"#ABCDE"_s}}
                                               << QStringList{u"false"_s, u"#ABCDE"_s, u"-"_s, u"#00000000"_s};
    }

    void lenientFields()
    {
        QFETCH(QJsonObject, object);
        QFETCH(QStringList, expected);

        const TemplateConstraints b = decodeBlock(object);
        QCOMPARE((QStringList{b.hasProperties() ? u"true"_s : u"false"_s, b.backgroundcolor().value_or(u"-"_s),
                              b.text().value_or(u"-"_s), b.bgColor().name(QColor::HexArgb)}),
                 expected);
    }
};

QTEST_GUILESS_MAIN(tst_Template)
#include "tst_template.moc"
