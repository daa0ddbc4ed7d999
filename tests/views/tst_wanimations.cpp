#include "support/ViewTestSupport.h"

#include "WexoCreator/platform/WSpringAnimation.h"
#include "WexoCreator/platform/WTiming.h"
#include "WexoCreator/views/WPopInEffect.h"
#include "WexoCreator/views/WViewStyle.h"

#include <QLabel>
#include <QPointer>
#include <QTest>

using namespace WexoCreator;

class tst_WAnimations : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { ViewTestSupport::setUp(); }

    void spring_data()
    {
        QTest::addColumn<qreal>("duration");
        QTest::addColumn<qreal>("damping");
        QTest::addColumn<qreal>("velocity");
        QTest::addColumn<bool>("overshoots");
        QTest::addRow("banner") << 1.5 << 0.3 << 0.5 << true;
        QTest::addRow("pop-in") << 2.0 << 0.2 << 6.0 << true;
        QTest::addRow("critical") << 1.0 << 1.0 << 0.0 << false;
        QTest::addRow("overdamped") << 1.0 << 3.0 << 0.0 << false;
        QTest::addRow("no damping") << 1.0 << 0.0 << 0.0 << true;
    }

    void spring()
    {
        QFETCH(qreal, duration);
        QFETCH(qreal, damping);
        QFETCH(qreal, velocity);
        QFETCH(bool, overshoots);
        const auto at = [&](qreal t) { return WSpringAnimation::springValue(t, duration, damping, velocity); };
        QCOMPARE(at(0), 0.0);
        QVERIFY(qAbs(at(duration * 0.999) - 1) < 0.001);
        QCOMPARE(at(duration), 1.0);
        qreal peak = 0;
        for (int i = 0; i <= 1000; ++i)
            peak = std::max(peak, at(duration * i / 1000));
        QCOMPARE(peak > 1.0001, overshoots);

        WSpringAnimation spring(duration, damping, velocity);
        spring.setStartValue(QRect(0, -100, 300, 100));
        spring.setEndValue(QRect(0, 0, 300, 100));
        spring.setCurrentTime(spring.duration());
        QCOMPARE(spring.currentValue().toRect(), QRect(0, 0, 300, 100));
    }

    void timingRefusesNonsense()
    {
        for (double bad : {-1.0, double(NAN), double(INFINITY)})
            WTiming::setScale(bad);
        QCOMPARE(WTiming::ms(30), 300);
        QCOMPARE(WTiming::ms(1e300), std::numeric_limits<int>::max());
    }

    void popInGrowsAndLeavesNoEffect()
    {
        QWidget canvas;
        auto *card = new QLabel(QStringLiteral("card"), &canvas);
        canvas.show();
        QPointer<WPopInEffect> effect = WPopInEffect::popIn(card);
        QCOMPARE(card->graphicsEffect(), effect.data());
        QCOMPARE(effect->scale(), 0.7);
        QTRY_VERIFY(effect.isNull());
        QCOMPARE(card->graphicsEffect(), nullptr);
    }

    void blinkFadesOutAndBack()
    {
        QLabel label(QStringLiteral("Tap"));
        QVariantAnimation *blink = wBlink(&label);
        QCOMPARE(blink->loopCount(), -1);
        blink->pause();
        const auto alphaAt = [&](qreal fraction) {
            blink->setCurrentTime(int(blink->duration() * fraction));
            return label.palette().color(QPalette::WindowText).alphaF();
        };
        QCOMPARE(alphaAt(0), 1.0f);
        QCOMPARE(alphaAt(0.5), 0.0f);
        QVERIFY(alphaAt(0.25) > 0.1 && alphaAt(0.25) < 0.9);
        QVERIFY(alphaAt(0.99) > 0.95);
    }
};

QTEST_MAIN(tst_WAnimations)
#include "tst_wanimations.moc"
