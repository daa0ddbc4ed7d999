#include "WexoCreator/extensions/WAttributedString.h"
#include "WexoCreator/extensions/WTextChecks.h"

#include <QLabel>
#include <QObject>
#include <QTest>
#include <QTextDocument>

using namespace WexoCreator;

class tst_WTextChecks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void blank_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("blank");

        QTest::addRow("empty") << "" << true;
        QTest::addRow("blanks") << "   " << true;
        QTest::addRow("tab") << "\t" << true;
        QTest::addRow("no-break and ideographic spaces") << QStringLiteral("\u00A0\u3000") << true;
        QTest::addRow("line feed") << "\n" << false;
        QTest::addRow("carriage return between blanks") << " \r " << false;
        QTest::addRow("letter inside blanks") << "  a\t" << false;
    }

    void blank()
    {
        QFETCH(QString, text);
        QFETCH(bool, blank);
        QCOMPARE(isBlank(text), blank);
    }

    void email_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("email");

        QTest::addRow("plain address") << "ann@example.com" << true;
        QTest::addRow("one letter after the point") << "ann@example.c" << false;
        QTest::addRow("inside a sentence") << "write to ann@example.com today" << true;
        QTest::addRow("after an emoji") << QStringLiteral("\U0001F600ann@example.com") << true;
        QTest::addRow("upper case") << "ANN@EXAMPLE.COM" << true;
        QTest::addRow("no at sign") << "ann.example.com" << false;
        QTest::addRow("no domain point") << "ann@localhost" << false;
        QTest::addRow("empty") << "" << false;
    }

    void email()
    {
        QFETCH(QString, text);
        QFETCH(bool, email);
        QCOMPARE(isEmail(text), email);
    }

    void alphanumeric_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("alphanumeric");

        QTest::addRow("empty") << "" << false;
        QTest::addRow("letters and digits") << "abc123XYZ" << true;
        QTest::addRow("blank") << "abc 123" << false;
        QTest::addRow("accented letter") << QStringLiteral("caf\u00E9") << false;
        QTest::addRow("punctuation") << "abc-1" << false;
    }

    void alphanumeric()
    {
        QFETCH(QString, text);
        QFETCH(bool, alphanumeric);
        QCOMPARE(isAlphanumeric(text), alphanumeric);
    }

    void password_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");

        QTest::addRow("5 characters") << "abcde" << false;
        QTest::addRow("6 characters") << "abcdef" << true;
        QTest::addRow("20 characters") << QString(20, u'x') << true;
        QTest::addRow("21 characters") << QString(21, u'x') << false;
        QTest::addRow("blank inside") << "abcd efgh" << false;
        QTest::addRow("all 20 allowed signs") << QStringLiteral("_-,;.:#+*?=!\u00A7$%&/()@") << true;
        QTest::addRow("a sign outside the set") << "abcdef^" << false;
        QTest::addRow("section sign counts once") << QStringLiteral("abcde\u00A7") << true;
        QTest::addRow("accented letter") << QStringLiteral("abcdef\u00E9") << false;
        QTest::addRow("empty") << "" << false;
        QTest::addRow("line feed is no character of the set") << "abc\ndef" << false;
    }

    void password()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QCOMPARE(isValidPassword(text), valid);
    }

    void boldThenNormalChain()
    {
        WAttributedString text;
        text.wBold(QStringLiteral("Title")).wNormal(QStringLiteral("Body"));
        QCOMPARE(text.plainText(), QStringLiteral("TitleBody"));
        QCOMPARE(text.runs().size(), 2);
        QCOMPARE(text.runs().at(0).font.weight(), QFont::Bold);
        QCOMPARE(text.runs().at(0).font.pointSizeF(), 16.0);
        QCOMPARE(text.runs().at(1).font.weight(), QFont::Medium);
        QCOMPARE(text.runs().at(1).font.pointSizeF(), 14.0);
    }

    void backendMarkupIsShownAsTyped_data()
    {
        QTest::addColumn<QString>("title");

        QTest::addRow("image tag") << "<img src=\"file:///etc/passwd\">";
        QTest::addRow("link") << "<a href=\"https://evil.example\">click</a>";
        QTest::addRow("entity") << "Fish &amp; chips";
        QTest::addRow("argument marker") << "100%1 sure %2";
        QTest::addRow("line break") << "first\nsecond";
    }

    void backendMarkupIsShownAsTyped()
    {
        QFETCH(QString, title);

        WAttributedString text;
        text.wBold(title).wNormal(QStringLiteral(" <b>body</b>"));
        QTextDocument document;
        document.setHtml(text.toHtml());
        QCOMPARE(document.toPlainText(), title + QStringLiteral(" <b>body</b>"));

        QLabel label;
        label.setTextFormat(Qt::RichText);
        label.setText(text.toHtml());
        QVERIFY(!label.text().contains(QLatin1String("<img")));
    }
};

QTEST_MAIN(tst_WTextChecks)
#include "tst_wtextchecks.moc"
