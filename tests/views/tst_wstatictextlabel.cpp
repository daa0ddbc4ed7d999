#include "support/ViewTestSupport.h"

#include "WexoCreator/views/WStaticTextLabel.h"
#include "WexoCreator/views/WViewStyle.h"

#include <QTest>

using namespace WexoCreator;
using namespace Qt::StringLiterals;

// The kept layout changes nothing a person sees: sizes and pixels are a plain label's.
class tst_WStaticTextLabel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { ViewTestSupport::setUp(); }

    void looksLikeAPlainLabel_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("pixelSize");
        QTest::addColumn<int>("align");
        QTest::addColumn<QSize>("extra"); // room beyond the text
        QTest::addRow("tap line, fitted") << u"Tap to dismiss !!"_s << 12 << int(Qt::AlignLeft | Qt::AlignVCenter) << QSize();
        QTest::addRow("counter, bold, top") << u"Step 12 / 40"_s << 12 << int(Qt::AlignLeft | Qt::AlignTop) << QSize(0, 30);
        QTest::addRow("centred in room") << u"Tap here"_s << 10 << int(Qt::AlignCenter) << QSize(41, 17);
        QTest::addRow("right and bottom") << u"Tap here"_s << 16 << int(Qt::AlignRight | Qt::AlignBottom) << QSize(30, 20);
        QTest::addRow("markup as typed") << u"<b>bold</b> & more"_s << 14 << int(Qt::AlignLeft | Qt::AlignVCenter) << QSize(10, 0);
    }
    void looksLikeAPlainLabel()
    {
        QFETCH(QString, text);
        QFETCH(int, pixelSize);
        QFETCH(int, align);
        QFETCH(QSize, extra);
        QLabel plain;
        WStaticTextLabel kept;
        for (QLabel *label : {&plain, static_cast<QLabel *>(&kept)}) {
            wStylePlainLabel(label, wSystemFont(pixelSize, QFont::Bold), Qt::white);
            label->setAlignment(Qt::Alignment(align));
            label->setText(text);
        }
        QCOMPARE(kept.sizeHint(), plain.sizeHint());
        for (QLabel *label : {&plain, static_cast<QLabel *>(&kept)})
            label->resize(plain.sizeHint() + extra);
        QCOMPARE(ViewTestSupport::drawn(&kept), ViewTestSupport::drawn(&plain));
        // A new text is laid out again.
        plain.setText(text + u" 2"_s);
        kept.setText(text + u" 2"_s);
        QCOMPARE(kept.sizeHint(), plain.sizeHint());
        QCOMPARE(ViewTestSupport::drawn(&kept), ViewTestSupport::drawn(&plain));
    }
};

QTEST_MAIN(tst_WStaticTextLabel)
#include "tst_wstatictextlabel.moc"
