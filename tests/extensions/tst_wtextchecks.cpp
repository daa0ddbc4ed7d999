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
    void checks_data()
    {
        QTest::addColumn<QString>("check");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("passes");

        QTest::addRow("blank: empty") << "blank" << "" << true;
        QTest::addRow("blank: blanks and a tab") << "blank" << " \t " << true;
        QTest::addRow("blank: no-break and ideographic spaces") << "blank" << QStringLiteral("\u00A0\u3000") << true;
        QTest::addRow("blank: line feed") << "blank" << "\n" << false;
        QTest::addRow("blank: carriage return between blanks") << "blank" << " \r " << false;
        QTest::addRow("blank: letter inside blanks") << "blank" << "  a\t" << false;
        QTest::addRow("email: plain address") << "email" << "ann@example.com" << true;
        QTest::addRow("email: one letter after the point") << "email" << "ann@example.c" << false;
        QTest::addRow("email: inside a sentence") << "email" << "write to ann@example.com today" << true;
        QTest::addRow("email: after an emoji") << "email" << QStringLiteral("\U0001F600ann@example.com") << true;
        QTest::addRow("email: upper case") << "email" << "ANN@EXAMPLE.COM" << true;
        QTest::addRow("email: no domain point") << "email" << "ann@localhost" << false;
        QTest::addRow("alphanumeric: empty") << "alphanumeric" << "" << false;
        QTest::addRow("alphanumeric: letters and digits") << "alphanumeric" << "abc123XYZ" << true;
        QTest::addRow("alphanumeric: blank") << "alphanumeric" << "abc 123" << false;
        QTest::addRow("alphanumeric: accented letter") << "alphanumeric" << QStringLiteral("caf\u00E9") << false;
        QTest::addRow("password: 5 characters") << "password" << "abcde" << false;
        QTest::addRow("password: 6 characters") << "password" << "abcdef" << true;
        QTest::addRow("password: 20 characters") << "password" << QString(20, u'x') << true;
        QTest::addRow("password: 21 characters") << "password" << QString(21, u'x') << false;
        QTest::addRow("password: blank inside") << "password" << "abcd efgh" << false;
        QTest::addRow("password: all 20 allowed signs") << "password" << QStringLiteral("_-,;.:#+*?=!\u00A7$%&/()@") << true;
        QTest::addRow("password: section sign counts once") << "password" << QStringLiteral("abcde\u00A7") << true;
        QTest::addRow("password: sign outside the set") << "password" << "abcdef^" << false;
        QTest::addRow("password: accented letter") << "password" << QStringLiteral("abcdef\u00E9") << false;
        QTest::addRow("password: line feed inside") << "password" << "abc\ndef" << false;
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
