#include "WexoCreator/playback/WPlacement.h"

#include <QTest>

using namespace WexoCreator;

Q_DECLARE_METATYPE(WexoStepView)

namespace {
const QRectF overlay(0, 0, 400, 800);
} // namespace

class tst_Placement : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void defaultCard_data()
    {
        QTest::addColumn<QRectF>("target");
        QTest::addColumn<QSizeF>("card");
        QTest::addColumn<QRectF>("expected");

        // Below a target in the upper half: top = T.maxY + T.height/2 + 10.
        QTest::addRow("upper target, card below") << QRectF(150, 100, 100, 40) << QSizeF(200, 100) << QRectF(100, 170, 200, 100);
        // A target centred on the overlay counts as lower: the card goes above,
        // its bottom T.height/2 + 10 above the target's top.
        QTest::addRow("centred target, card above") << QRectF(150, 380, 100, 40) << QSizeF(200, 100) << QRectF(100, 250, 200, 100);
        QTest::addRow("crosses the left edge") << QRectF(0, 100, 40, 40) << QSizeF(200, 100) << QRectF(10, 170, 200, 100);
        QTest::addRow("crosses the right edge") << QRectF(360, 100, 40, 40) << QSizeF(200, 100) << QRectF(190, 170, 200, 100);
        QTest::addRow("wider than the overlay keeps the left rule") << QRectF(180, 100, 40, 40) << QSizeF(500, 100) << QRectF(10, 170, 500, 100);
        // A card that would cross an edge goes between the target and that
        // edge, up to 10 px inside it, and never over the target while it fits.
        QTest::addRow("below a tall target, past the bottom") << QRectF(150, 0, 100, 390) << QSizeF(200, 300) << QRectF(100, 490, 200, 300);
        QTest::addRow("above a low target, past the top") << QRectF(150, 700, 100, 90) << QSizeF(200, 700) << QRectF(100, 0, 200, 700);
        // Fits on no side: against the roomier side's edge, over as little of the target as can be.
        QTest::addRow("fits nowhere, above") << QRectF(150, 500, 100, 40) << QSizeF(200, 520) << QRectF(100, 0, 200, 520);
    }
    void defaultCard()
    {
        QFETCH(QRectF, target);
        QFETCH(QSizeF, card);
        QFETCH(QRectF, expected);
        QCOMPARE(WPlacement::defaultCard(target, card, overlay), expected);
    }

    void mobileCard_data()
    {
        QTest::addColumn<QRectF>("target");
        QTest::addColumn<qreal>("descriptionHeight");
        QTest::addColumn<QRectF>("expected");

        QTest::addRow("below: top at T.maxY + 10") << QRectF(0, 100, 40, 40) << 40.0 << QRectF(50, 150, 300, 170);
        QTest::addRow("above: bottom T.height/2 + 10 over the target") << QRectF(360, 500, 40, 40) << 40.0 << QRectF(50, 300, 300, 170);
        QTest::addRow("crosses the top above, fits below") << QRectF(150, 300, 100, 200) << 120.0 << QRectF(50, 510, 300, 250);
        QTest::addRow("fits nowhere, above") << QRectF(150, 420, 100, 40) << 400.0 << QRectF(50, 0, 300, 530);
        QTest::addRow("fits nowhere, below") << QRectF(150, 300, 100, 80) << 400.0 << QRectF(50, 270, 300, 530);
    }
    void mobileCard()
    {
        QFETCH(QRectF, target);
        QFETCH(qreal, descriptionHeight);
        QFETCH(QRectF, expected);
        QCOMPARE(WPlacement::mobileCard(target, descriptionHeight, overlay), expected);
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

    void templateCard_data()
    {
        QTest::addColumn<QRectF>("overlay");
        QTest::addColumn<QRectF>("target");
        QTest::addColumn<QRectF>("expected");

        QTest::addRow("390x844 gives 250x180") << QRectF(0, 0, 390, 844) << QRectF(110, 100, 40, 40) << QRectF(5, 150, 250, 180);
        QTest::addRow("844x390 gives 400x180") << QRectF(0, 0, 844, 390) << QRectF(400, 300, 44, 40) << QRectF(222, 90, 400, 180);
        QTest::addRow("1024x768 gives 400x200") << QRectF(0, 0, 1024, 768) << QRectF(500, 100, 24, 40) << QRectF(312, 150, 400, 200);
        QTest::addRow("left overflow starts at the target") << QRectF(0, 0, 390, 844) << QRectF(20, 100, 40, 40) << QRectF(20, 150, 250, 180);
        // The right edge is the target's, inside the overlay.
        QTest::addRow("right overflow ends at the target") << QRectF(0, 0, 390, 844) << QRectF(250, 100, 40, 40) << QRectF(40, 150, 250, 180);
        QTest::addRow("right overflow stays inside") << QRectF(0, 0, 390, 844) << QRectF(150, 100, 80, 40) << QRectF(0, 150, 250, 180);
    }
    void templateCard()
    {
        QFETCH(QRectF, overlay);
        QFETCH(QRectF, target);
        QFETCH(QRectF, expected);
        QCOMPARE(WPlacement::templateCard(target, overlay), expected);
    }
};

QTEST_GUILESS_MAIN(tst_Placement)
#include "tst_placement.moc"
