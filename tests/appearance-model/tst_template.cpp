#include "WexoCreator/appearance-model/Template.h"
#include "WexoCreator/model/WJsonDecoder.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTest>

using namespace WexoCreator;

namespace {

const QStringList blockKeys{QStringLiteral("popover"),     QStringLiteral("nextButton"),  QStringLiteral("endButton"),
                            QStringLiteral("backButton"),  QStringLiteral("closeButton"), QStringLiteral("stepsTitle"),
                            QStringLiteral("heading"),     QStringLiteral("content"),     QStringLiteral("progressbar"),
                            QStringLiteral("logoText"),    QStringLiteral("progressbarWrapper"),
                            QStringLiteral("banner"),      QStringLiteral("tapHere")};

QList<std::shared_ptr<TemplateConstraints>> blocksOf(const TemplateParameters &p)
{
    return {p.popover(),     p.nextButton(), p.endButton(),   p.backButton(), p.closeButton(),        p.stepsTitle(), p.heading(),
            p.content(),     p.progressbar(), p.logoText(),   p.progressbarWrapper(), p.banner(),     p.tapHere()};
}

// The names of the blocks that decoded, each with its text, so one comparison covers all thirteen.
QStringList presentBlocks(const Template &t)
{
    QStringList names;
    if (!t.CssObject())
        return names;
    const auto blocks = blocksOf(*t.CssObject());
    for (qsizetype i = 0; i < blocks.size(); ++i) {
        if (blocks.at(i))
            names << blockKeys.at(i) + QLatin1Char('=') + blocks.at(i)->text().value_or(QStringLiteral("-"));
    }
    return names;
}

QJsonObject block(const QString &text)
{
    return QJsonObject{{QStringLiteral("text"), text}};
}

QJsonObject css(const QJsonObject &blocks)
{
    return QJsonObject{{QStringLiteral("CssObject"), blocks}};
}

} // namespace

class tst_Template : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decodes_data()
    {
        QTest::addColumn<QJsonObject>("object");
        QTest::addColumn<bool>("hasCss");
        QTest::addColumn<QStringList>("blocks");

        QJsonObject all;
        QStringList allNames;
        for (const QString &key : blockKeys) {
            all.insert(key, block(key));
            allNames << key + QLatin1Char('=') + key;
        }
        QTest::addRow("empty answer") << QJsonObject() << false << QStringList();
        QTest::addRow("CssObject null") << QJsonObject{{QStringLiteral("CssObject"), QJsonValue::Null}} << false << QStringList();
        QTest::addRow("CssObject empty") << css(QJsonObject()) << true << QStringList();
        QTest::addRow("every block in its own field") << css(all) << true << allNames;

        QJsonObject withNull = all;
        withNull.insert(QStringLiteral("heading"), QJsonValue::Null);
        QStringList withoutHeading = allNames;
        withoutHeading.removeAll(QStringLiteral("heading=heading"));
        QTest::addRow("null block absent, others decode") << css(withNull) << true << withoutHeading;

        QTest::addRow("unknown and wrong-case keys ignored")
            << css(QJsonObject{{QStringLiteral("progressBar"), block(QStringLiteral("x"))},
                               {QStringLiteral("footer"), block(QStringLiteral("y"))},
                               {QStringLiteral("banner"), block(QStringLiteral("b"))}})
            << true << QStringList{QStringLiteral("banner=b")};
        QTest::addRow("snake-case block keys")
            << css(QJsonObject{{QStringLiteral("tap_here"), block(QStringLiteral("t"))},
                               {QStringLiteral("progress_bar"), block(QStringLiteral("p"))}})
            << true << QStringList{QStringLiteral("tapHere=t")};
        QTest::addRow("CssObject in snake case is not read")
            << QJsonObject{{QStringLiteral("css_object"), QJsonObject{{QStringLiteral("banner"), block(QStringLiteral("b"))}}}}
            << false << QStringList();
        QTest::addRow("bad fields inside a block never fail")
            << css(QJsonObject{{QStringLiteral("popover"), QJsonObject{{QStringLiteral("text"), 1},
                                                                       {QStringLiteral("fontSize"), QJsonArray()},
                                                                       {QStringLiteral("hasProperties"), QStringLiteral("yes")}}}})
            << true << QStringList{QStringLiteral("popover=-")};
    }

    void decodes()
    {
        QFETCH(QJsonObject, object);
        QFETCH(bool, hasCss);
        QFETCH(QStringList, blocks);

        const auto result = WJsonDecoder::decodeValue<Template>(object);
        QVERIFY2(result, qPrintable(result.error));
        QCOMPARE(bool(result.record->CssObject()), hasCss);
        QCOMPARE(presentBlocks(*result.record), blocks);
    }

    void failsTheWholeTemplate_data()
    {
        QTest::addColumn<QJsonObject>("object");

        QTest::addRow("block as text") << css(QJsonObject{{QStringLiteral("banner"), block(QStringLiteral("b"))},
                                                          {QStringLiteral("popover"), QStringLiteral("#FFFFFF")}});
        QTest::addRow("block as number") << css(QJsonObject{{QStringLiteral("tapHere"), 12}});
        QTest::addRow("block as list") << css(QJsonObject{{QStringLiteral("content"), QJsonArray{QJsonObject()}}});
        QTest::addRow("CssObject as list") << QJsonObject{{QStringLiteral("CssObject"), QJsonArray()}};
        QTest::addRow("CssObject as text") << QJsonObject{{QStringLiteral("CssObject"), QStringLiteral("{}")}};
        QTest::addRow("success as text") << QJsonObject{{QStringLiteral("success"), QStringLiteral("true")}};
    }

    void failsTheWholeTemplate()
    {
        QFETCH(QJsonObject, object);
        QVERIFY(!WJsonDecoder::decodeValue<Template>(object));
    }

    void unsuccessfulAnswerKeepsItsBlocks()
    {
        const auto result = WJsonDecoder::decode<Template>(
            QByteArrayLiteral("{\"success\": false, \"CssObject\": {\"popover\": {\"borderRadius\": \"8px\","
                              " \"background_color\": \"#FF0000\", \"padding_t\": \"4px\", \"font_size\": \"18px\"}}}"));
        QVERIFY2(result, qPrintable(result.error));
        QCOMPARE(result.record->success(), std::optional<bool>(false));
        const TemplateConstraints &popover = *result.record->CssObject()->popover();
        QCOMPARE(popover.borderRadius(), 8.0);
        QCOMPARE(popover.paddingT(), 4.0);
        QCOMPARE(popover.fontSize(), 18.0);
        // background_color converts to backgroundColor, which is not the all-lower-case key.
        QCOMPARE(popover.backgroundcolor(), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(tst_Template)
#include "tst_template.moc"
