#include "WexoCreator/extensions/WStringSlice.h"

#include <QObject>
#include <QTest>

using namespace WexoCreator;
using namespace Qt::StringLiterals;

class tst_WStringSlice : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void slice_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<std::optional<QString>>("result");
        QTest::addRow("between") << u"cell[2, 5]"_s << u"["_s << u"]"_s << std::optional(u"2, 5"_s);
        QTest::addRow("touching markers") << u"a[]b"_s << u"["_s << u"]"_s << std::optional(QString());
        QTest::addRow("first pair") << u"[1][2]"_s << u"["_s << u"]"_s << std::optional(u"1"_s);
        QTest::addRow("closing before opening ignored") << u"]x[y]"_s << u"["_s << u"]"_s << std::optional(u"y"_s);
        QTest::addRow("nested opening kept") << u"[[1]]"_s << u"["_s << u"]"_s << std::optional(u"[1"_s);
        QTest::addRow("no opening") << u"1, 2]"_s << u"["_s << u"]"_s << std::optional<QString>();
        QTest::addRow("no closing after opening") << u"][1, 2"_s << u"["_s << u"]"_s << std::optional<QString>();
        QTest::addRow("longer markers") << u"<<a>>b>>"_s << u"<<"_s << u">>"_s << std::optional(u"a"_s);
        QTest::addRow("overlapping markers") << u"aXa"_s << u"aX"_s << u"Xa"_s << std::optional<QString>();
        QTest::addRow("case-sensitive") << u"A(b)"_s << u"a("_s << u")"_s << std::optional<QString>();
        QTest::addRow("empty marker") << u"abc"_s << QString() << u"c"_s << std::optional<QString>();
    }

    void slice()
    {
        QFETCH(QString, text);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(std::optional<QString>, result);
        QCOMPARE(WexoCreator::slice(text, from, to), result);
    }
};

QTEST_GUILESS_MAIN(tst_WStringSlice)
#include "tst_wstringslice.moc"
