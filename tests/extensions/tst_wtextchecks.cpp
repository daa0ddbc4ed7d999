#include "WexoCreator/extensions/WAttributedString.h"
#include "WexoCreator/extensions/WStringSlice.h"
#include "WexoCreator/extensions/WTextChecks.h"

#include <QLabel>
#include <QTest>
#include <QTextDocument>

using namespace WexoCreator;
using namespace Qt::StringLiterals;
using OptText = std::optional<QString>;

class tst_WTextChecks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void checks_data()
    {
        QTest::addColumn<QString>("check");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("passes");

        QTest::addRow("blank: empty") << "blank" << "" << true;
        QTest::addRow("blank: blanks and a tab") << "blank" << " \t " << true;
        QTest::addRow("blank: no-break and ideographic spaces") << "blank" << u"\u00A0\u3000"_s << true;
        QTest::addRow("blank: line feed") << "blank" << "\n" << false;
        QTest::addRow("blank: letter inside blanks") << "blank" << "  a\t" << false;
        QTest::addRow("email: plain address") << "email" << "ann@example.com" << true;
        QTest::addRow("email: one letter after the point") << "email" << "ann@example.c" << false;
        QTest::addRow("email: inside a sentence") << "email" << "write to ann@example.com today" << true;
        QTest::addRow("email: upper case") << "email" << "ANN@EXAMPLE.COM" << true;
        QTest::addRow("email: no domain point") << "email" << "ann@localhost" << false;
        QTest::addRow("alphanumeric: empty") << "alphanumeric" << "" << false;
        QTest::addRow("alphanumeric: letters and digits") << "alphanumeric" << "abc123XYZ" << true;
        QTest::addRow("alphanumeric: accented letter") << "alphanumeric" << u"caf\u00E9"_s << false;
        QTest::addRow("alphanumeric: unpaired surrogate") << "alphanumeric" << u"abc"_s + QChar(0xD800) << false;
        QTest::addRow("password: 5 characters") << "password" << "abcde" << false;
        QTest::addRow("password: 6 characters") << "password" << "abcdef" << true;
        QTest::addRow("password: 20 characters") << "password" << QString(20, u'x') << true;
        QTest::addRow("password: 21 characters") << "password" << QString(21, u'x') << false;
        QTest::addRow("password: blank inside") << "password" << "abcd efgh" << false;
        QTest::addRow("password: all 20 allowed signs") << "password" << u"_-,;.:#+*?=!\u00A7$%&/()@"_s << true;
        QTest::addRow("password: section sign counts once") << "password" << u"abcde\u00A7"_s << true;
        QTest::addRow("password: trailing line feed") << "password" << "abcdef\n" << false;
        QTest::addRow("password: sign outside the set") << "password" << "abcdef^" << false;
        QTest::addRow("password: accented letter") << "password" << u"abcdef\u00E9"_s << false;
    }

    void checks()
    {
        QFETCH(QString, check);
        QFETCH(QString, text);
        QFETCH(bool, passes);

        const std::map<QString, bool (*)(const QString &)> checks{
            {"blank", isBlank}, {"email", isEmail}, {"alphanumeric", isAlphanumeric}, {"password", isValidPassword}};
        QCOMPARE(checks.at(check)(text), passes);
    }

    void slice_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<OptText>("result");

        QTest::addRow("between") << u"cell[2, 5]"_s << u"["_s << u"]"_s << OptText(u"2, 5"_s);
        QTest::addRow("touching markers") << u"a[]b"_s << u"["_s << u"]"_s << OptText(QString());
        QTest::addRow("first pair") << u"[1][2]"_s << u"["_s << u"]"_s << OptText(u"1"_s);
        QTest::addRow("closing before opening ignored") << u"]x[y]"_s << u"["_s << u"]"_s << OptText(u"y"_s);
        QTest::addRow("nested opening kept") << u"[[1]]"_s << u"["_s << u"]"_s << OptText(u"[1"_s);
        QTest::addRow("no closing after opening") << u"][1, 2"_s << u"["_s << u"]"_s << OptText();
        QTest::addRow("overlapping markers") << u"aXa"_s << u"aX"_s << u"Xa"_s << OptText();
        QTest::addRow("empty marker") << u"abc"_s << QString() << u"c"_s << OptText();
    }

    void slice()
    {
        QFETCH(QString, text);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(OptText, result);
        QCOMPARE(WexoCreator::slice(text, from, to), result);
    }

    void boldThenNormalShowsMarkupAsTyped_data()
    {
        QTest::addColumn<QString>("title");

        QTest::addRow("image tag") << "<img src=\"file:///etc/passwd\">";
        QTest::addRow("link") << "<a href=\"https://evil.example\">click</a>";
        QTest::addRow("entity") << "Fish &amp; chips";
        QTest::addRow("argument marker") << "100%1 sure %2";
        QTest::addRow("line break") << "first\nsecond";
    }

    void boldThenNormalShowsMarkupAsTyped()
    {
        QFETCH(QString, title);

        WAttributedString text;
        text.wBold(title).wNormal(u" <b>body</b>"_s);
        QCOMPARE(text.plainText(), title + u" <b>body</b>"_s);
        QCOMPARE(text.runs().size(), 2);
        QCOMPARE(text.runs().at(0).font.weight(), QFont::Bold);
        QCOMPARE(text.runs().at(1).font.weight(), QFont::Medium);
        QTextDocument document;
        document.setHtml(text.toHtml());
        QCOMPARE(document.toPlainText(), title + u" <b>body</b>"_s);

        QLabel label;
        label.setTextFormat(Qt::RichText);
        label.setText(text.toHtml());
        QVERIFY(!label.text().contains(QLatin1String("<img")));
    }
};

QTEST_MAIN(tst_WTextChecks)
#include "tst_wtextchecks.moc"
