#include "support/ViewTestSupport.h"

#include "WexoCreator/extensions/WAttributedString.h"
#include "WexoCreator/views/WPaddingLabel.h"

#include <QTest>

using namespace WexoCreator;
using namespace Qt::StringLiterals;

namespace {

const QString kLong = u"Tap the basket to see what you picked, change amounts, or remove items you no longer want before you pay. "_s
                      u"Everything stays in the basket until the order is placed. LASTWORD"_s;

} // namespace

class tst_WPaddingLabel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { ViewTestSupport::setUp(); }

    void insetsGrowTheFit_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qreal>("side");
        QTest::addColumn<QSizeF>("growth");
        QTest::addRow("default insets") << "One line" << 10.0 << QSizeF(20, 20);
        QTest::addRow("banner insets") << "One line" << 44.0 << QSizeF(88, 20);
        QTest::addRow("empty text") << "" << 44.0 << QSizeF(88, 20);
        QTest::addRow("wrapped") << kLong << 44.0 << QSizeF(88, 20);
    }

    void insetsGrowTheFit()
    {
        QFETCH(QString, text);
        QFETCH(qreal, side);
        QFETCH(QSizeF, growth);
        WPaddingLabel bare, padded;
        for (WPaddingLabel *label : {&bare, &padded}) {
            label->setText(text);
            label->setNumberOfLines(10);
        }
        bare.setLeftInset(0), bare.setRightInset(0), bare.setTopInset(0), bare.setBottomInset(0);
        padded.setLeftInset(side), padded.setRightInset(side);
        // The proposed width is measured as it stands, insets not taken off.
        const QSizeF proposal(240, 200);
        QCOMPARE(padded.sizeThatFits(proposal), bare.sizeThatFits(proposal) + growth);
        QVERIFY(bare.sizeThatFits(proposal).width() <= 240);
    }

    void lastWordIsDrawnAtTheMeasuredHeight()
    {
        // Measured at the width it is drawn in: the end of a long text shows.
        WPaddingLabel label;
        label.setLeftInset(44), label.setRightInset(44);
        label.setNumberOfLines(10);
        label.setText(kLong);
        label.resize(320, label.heightForWidth(320));
        const QStringList lines = label.shownLines();
        QVERIFY(lines.constLast().endsWith(u"LASTWORD"_s));
        QVERIFY(!lines.join(QString()).contains(QChar(0x2026)));
        const QSizeF drawn = label.sizeThatFits(QSizeF(320 - 88, 0));
        QCOMPARE(label.height(), int(drawn.height()));
    }

    void tenLinesAtMostWithAnEllipsis()
    {
        WPaddingLabel label;
        label.setNumberOfLines(10);
        label.setText(QString(u"word "_s).repeated(200) + u"FINALWORD"_s);
        label.resize(200, label.heightForWidth(200));
        const QStringList lines = label.shownLines();
        QCOMPARE(lines.size(), 10);
        QVERIFY(lines.constLast().endsWith(QChar(0x2026)));
        QVERIFY(!lines.join(QString()).contains(u"FINALWORD"_s));

        // Only the start of a very long text is laid out: it breaks as the whole text does.
        const QString huge = QString(u"Choose the size that fits you best. "_s).repeated(600);
        WPaddingLabel uncapped;
        uncapped.setText(huge);
        uncapped.resize(label.size());
        label.setText(huge);
        QCOMPARE(label.shownLines().mid(0, 9), uncapped.shownLines().mid(0, 9));
        QVERIFY(label.shownLines().constLast().endsWith(QChar(0x2026)));

        // Later paragraphs that do not fit are hinted at by the ellipsis too.
        label.setText(u"one\ntwo\nthree"_s);
        label.setNumberOfLines(2);
        QCOMPARE(label.shownLines(), QStringList({u"one"_s, u"two\u2026"_s}));
    }

    // A label measured wider than it is drawn (as a card measures its text)
    // draws as one laid out at its own width.
    void drawsAsLaidOutAtItsOwnWidth_data()
    {
        QTest::addColumn<int>("align");
        QTest::addColumn<QString>("text");
        QTest::addRow("centred, fits") << int(Qt::AlignHCenter) << u"Your basket\n\nAll you picked."_s;
        QTest::addRow("right, fits") << int(Qt::AlignRight) << u"Your basket\n\nAll you picked."_s;
        QTest::addRow("left, wraps narrower") << int(Qt::AlignLeft) << kLong;
    }
    void drawsAsLaidOutAtItsOwnWidth()
    {
        QFETCH(int, align);
        QFETCH(QString, text);
        WPaddingLabel measured, fresh;
        QList<QImage> images;
        for (WPaddingLabel *label : {&measured, &fresh}) {
            label->setAlignment(Qt::Alignment(align));
            label->setNumberOfLines(10);
            label->setText(text);
        }
        measured.sizeThatFits(QSizeF(300, 200));
        for (WPaddingLabel *label : {&measured, &fresh}) {
            label->resize(260, label->heightForWidth(260));
            images << ViewTestSupport::drawn(label);
        }
        QCOMPARE(measured.shownLines(), fresh.shownLines());
        QCOMPARE(images.at(0), images.at(1));
    }

    void runsKeepTheirFontsInPixels()
    {
        QCOMPARE(WAttributedString::boldFont().pixelSize(), 16);
        QCOMPARE(WAttributedString::normalFont().pixelSize(), 14);
        QFont big = WAttributedString::normalFont();
        big.setPixelSize(40);
        WAttributedString text;
        text.wBold(u"Title"_s).wNormal(u"\n\nbody"_s);
        WPaddingLabel small, large;
        small.setAttributedText(text);
        QCOMPARE(small.runs().at(0).font.pixelSize(), 16);
        QCOMPARE(small.runs().at(0).font.weight(), QFont::Bold);
        QCOMPARE(small.runs().at(1).font.pixelSize(), 14);
        text.wBold(u" more"_s, big);
        large.setAttributedText(text);
        QVERIFY(large.sizeThatFits(QSizeF(400, 0)).height() > small.sizeThatFits(QSizeF(400, 0)).height() + 20);
    }

    void markupShowsAsTyped_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addRow("bold tag") << u"<b>bold</b>"_s;
        QTest::addRow("image tag") << u"<img src=\"file:///etc/passwd\">"_s;
        QTest::addRow("entity") << u"Fish &amp; chips"_s;
    }

    void markupShowsAsTyped()
    {
        QFETCH(QString, text);
        WPaddingLabel label;
        label.setText(text);
        label.resize(600, 60);
        QCOMPARE(label.shownLines(), QStringList{text});
    }
};

QTEST_MAIN(tst_WPaddingLabel)
#include "tst_wpaddinglabel.moc"
