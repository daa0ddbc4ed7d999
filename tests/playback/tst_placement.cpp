#include "WexoCreator/playback/WPlacement.h"

#include <QTest>

using namespace WexoCreator;

Q_DECLARE_METATYPE(WexoStepView)

// The placement rules, a row each; the overlay test checks only that the overlay follows them.
class tst_Placement : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cards_data()
    {
        QTest::addColumn<QString>("card");
        QTest::addColumn<QRectF>("overlay");
        QTest::addColumn<QRectF>("target");
        QTest::addColumn<QSizeF>("size"); // a mobile card's height is its description's
        QTest::addColumn<QRectF>("expected");
        const QRectF tall(0, 0, 400, 800), phone(0, 0, 390, 844);

        // Below a target in the upper half: top = T.maxY + T.height/2 + 10.
        QTest::addRow("upper target, card below") << "default" << tall << QRectF(150, 100, 100, 40) << QSizeF(200, 100) << QRectF(100, 170, 200, 100);
        // A target centred on the overlay counts as lower: the card goes above,
        // its bottom T.height/2 + 10 above the target's top.
        QTest::addRow("centred target, card above") << "default" << tall << QRectF(150, 380, 100, 40) << QSizeF(200, 100) << QRectF(100, 250, 200, 100);
        QTest::addRow("crosses the left edge") << "default" << tall << QRectF(0, 100, 40, 40) << QSizeF(200, 100) << QRectF(10, 170, 200, 100);
        QTest::addRow("crosses the right edge") << "default" << tall << QRectF(360, 100, 40, 40) << QSizeF(200, 100) << QRectF(190, 170, 200, 100);
        QTest::addRow("wider than the overlay keeps the left rule") << "default" << tall << QRectF(180, 100, 40, 40) << QSizeF(500, 100) << QRectF(10, 170, 500, 100);
        // A card that would cross an edge goes between the target and that
        // edge, up to 10 px inside it, and never over the target while it fits.
        QTest::addRow("below a tall target, past the bottom") << "default" << tall << QRectF(150, 0, 100, 390) << QSizeF(200, 300) << QRectF(100, 490, 200, 300);
        QTest::addRow("above a low target, past the top") << "default" << tall << QRectF(150, 700, 100, 90) << QSizeF(200, 700) << QRectF(100, 0, 200, 700);
        // Fits on no side: against the roomier side's edge, over as little of the target as can be.
        QTest::addRow("fits nowhere, above") << "default" << tall << QRectF(150, 500, 100, 40) << QSizeF(200, 520) << QRectF(100, 0, 200, 520);

        QTest::addRow("mobile below: top at T.maxY + 10") << "mobile" << tall << QRectF(0, 100, 40, 40) << QSizeF(0, 40) << QRectF(50, 150, 300, 170);
        QTest::addRow("mobile above: bottom T.height/2 + 10 over the target") << "mobile" << tall << QRectF(360, 500, 40, 40) << QSizeF(0, 40) << QRectF(50, 300, 300, 170);
        QTest::addRow("mobile crosses the top above, fits below") << "mobile" << tall << QRectF(150, 300, 100, 200) << QSizeF(0, 120) << QRectF(50, 510, 300, 250);
        QTest::addRow("mobile fits nowhere, above") << "mobile" << tall << QRectF(150, 420, 100, 40) << QSizeF(0, 400) << QRectF(50, 0, 300, 530);
        QTest::addRow("mobile fits nowhere, below") << "mobile" << tall << QRectF(150, 300, 100, 80) << QSizeF(0, 400) << QRectF(50, 270, 300, 530);

        QTest::addRow("template 390x844 gives 250x180") << "template" << phone << QRectF(110, 100, 40, 40) << QSizeF() << QRectF(5, 150, 250, 180);
        QTest::addRow("template 844x390 gives 400x180") << "template" << QRectF(0, 0, 844, 390) << QRectF(400, 300, 44, 40) << QSizeF() << QRectF(222, 90, 400, 180);
        QTest::addRow("template 1024x768 gives 400x200") << "template" << QRectF(0, 0, 1024, 768) << QRectF(500, 100, 24, 40) << QSizeF() << QRectF(312, 150, 400, 200);
        QTest::addRow("template left overflow starts at the target") << "template" << phone << QRectF(20, 100, 40, 40) << QSizeF() << QRectF(20, 150, 250, 180);
        // The right edge is the target's, inside the overlay.
        QTest::addRow("template right overflow ends at the target") << "template" << phone << QRectF(250, 100, 40, 40) << QSizeF() << QRectF(40, 150, 250, 180);
        QTest::addRow("template right overflow stays inside") << "template" << phone << QRectF(150, 100, 80, 40) << QSizeF() << QRectF(0, 150, 250, 180);
    }
    void cards()
    {
        QFETCH(QString, card);
        QFETCH(QRectF, overlay);
        QFETCH(QRectF, target);
        QFETCH(QSizeF, size);
        QFETCH(QRectF, expected);
        const QRectF placed = card == QLatin1String("default") ? WPlacement::defaultCard(target, size, overlay)
            : card == QLatin1String("mobile")                  ? WPlacement::mobileCard(target, size.height(), overlay)
                                                               : WPlacement::templateCard(target, overlay);
        QCOMPARE(placed, expected);
    }

    void markerAnchor_data()
    {
        QTest::addColumn<WexoStepView>("kind");
        QTest::addColumn<QPointF>("expected");
        QTest::addRow("pulse top-left") << WexoStepView::pulseTopLeft << QPointF(10, 20);
        QTest::addRow("tooltip top-left") << WexoStepView::toolTipTopLeft << QPointF(10, 20);
        QTest::addRow("pulse top-right") << WexoStepView::pulseTopRight << QPointF(110, 20);
        QTest::addRow("tooltip top-right") << WexoStepView::toolTipTopRight << QPointF(110, 20);
        QTest::addRow("pulse bottom-left") << WexoStepView::pulseBottomLeft << QPointF(10, 70);
        QTest::addRow("tooltip bottom-left") << WexoStepView::toolTipBottomLeft << QPointF(10, 70);
        QTest::addRow("pulse bottom-right") << WexoStepView::pulseBottomRight << QPointF(110, 70);
        QTest::addRow("tooltip bottom-right") << WexoStepView::toolTipBottomRight << QPointF(110, 70);
        QTest::addRow("any other kind") << WexoStepView::popover << QPointF(10, 20);
    }
    void markerAnchor()
    {
        QFETCH(WexoStepView, kind);
        QFETCH(QPointF, expected);
        QCOMPARE(WPlacement::markerAnchor(QRectF(10, 20, 100, 50), kind), expected);
    }
};

QTEST_GUILESS_MAIN(tst_Placement)
#include "tst_placement.moc"
