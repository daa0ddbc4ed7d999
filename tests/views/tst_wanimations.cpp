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
        QCOMPARE(WSpringAnimation::springValue(0, duration, damping, velocity), 0.0);
        QVERIFY(qAbs(WSpringAnimation::springValue(duration * 0.999, duration, damping, velocity) - 1) < 0.001);
        QCOMPARE(WSpringAnimation::springValue(duration, duration, damping, velocity), 1.0);
        qreal peak = 0;
        for (int i = 0; i <= 1000; ++i) {
            const qreal value = WSpringAnimation::springValue(duration * i / 1000, duration, damping, velocity);
            QVERIFY(std::isfinite(value));
            peak = std::max(peak, value);
        }
        QCOMPARE(peak > 1.0001, overshoots);
    }

    void springAnimatesRectangles()
    {
        WSpringAnimation spring(1.5, 0.3, 0.5);
        spring.setStartValue(QRect(0, -100, 300, 100));
        spring.setEndValue(QRect(0, 0, 300, 100));
        spring.setCurrentTime(spring.duration());
        QCOMPARE(spring.currentValue().toRect(), QRect(0, 0, 300, 100));
        QCOMPARE(spring.duration(), qRound(1500 * WTiming::scale()));
    }

    void timingScalesAndRefusesNonsense_data()
    {
        QTest::addColumn<double>("factor");
        QTest::addColumn<int>("thirtySeconds");
        QTest::addRow("real time") << 1.0 << 30000;
        QTest::addRow("shortened") << 0.01 << 300;
        QTest::addRow("negative kept out") << -1.0 << 300;
        QTest::addRow("not a number kept out") << double(NAN) << 300;
        QTest::addRow("instant") << 0.0 << 0;
    }

    void timingScalesAndRefusesNonsense()
    {
        QFETCH(double, factor);
        QFETCH(int, thirtySeconds);
        WTiming::setScale(0.01);
        WTiming::setScale(factor);
        QCOMPARE(WTiming::ms(30), thirtySeconds);
        QCOMPARE(WTiming::ms(1e300), factor == 0 ? 0 : std::numeric_limits<int>::max());
        WTiming::setScale(0.01);
    }

    void popInGrowsAndLeavesNoEffect()
    {
        QWidget canvas;
        canvas.resize(300, 300);
        auto *card = new QLabel(QStringLiteral("card"), &canvas);
        card->setGeometry(50, 50, 200, 100);
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
        QCOMPARE(blink->duration(), qRound(1600 * WTiming::scale()));
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
