#include "support/ViewTestSupport.h"

#include "WexoCreator/appearance-model/ElementConfiguration.h"
#include "WexoCreator/appearance-model/Theme.h"
#include "WexoCreator/appearance-model/ThemeConfiguration.h"
#include "WexoCreator/configuration/WAppearanceState.h"
#include "WexoCreator/configuration/WConfiguration.h"
#include "WexoCreator/platform/WTiming.h"
#include "WexoCreator/views/WPointerView.h"
#include "WexoCreator/views/WPulse.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace WexoCreator;
using namespace Qt::StringLiterals;

namespace {

struct Recorder : QObject, WPoineterDelegate {
    int taps = 0;
    void onPointerView() override { ++taps; }
};

void useTooltipTheme(const std::optional<QString> &tooltip)
{
    auto elements = std::make_shared<ElementConfiguration>();
    elements->setTooltip(tooltip);
    auto config = std::make_shared<ThemeConfiguration>();
    config->setConfigurations(elements);
    auto theme = std::make_shared<Theme>();
    theme->setConfig(config);
    WAppearanceState::setTheme(theme);
}

} // namespace

class tst_WPointerView : public QObject
{
    Q_OBJECT

    std::unique_ptr<QWidget> m_view;

private Q_SLOTS:
    void initTestCase() { ViewTestSupport::setUp(); }
    void init()
    {
        m_view = ViewTestSupport::shownView(QSize(400, 400));
    }
    void cleanup()
    {
        m_view.reset();
        WAppearanceState::setTheme(nullptr);
    }

    void placeAndLook_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QPointF>("anchor");
        QTest::addColumn<QPointF>("centre");
        QTest::addColumn<bool>("tooltip");
        // By raw value: banners, popover and screen, then pulse and tooltip kinds TL, TR, BL, BR.
        const qreal shifts[] = {0, 0, 0, 0, -15, 15, -15, 15, -15, 15, -15, 15};
        for (int kind = 0; kind < 12; ++kind)
            QTest::addRow("kind %d", kind) << kind << QPointF(100, 200) << QPointF(100 + shifts[kind], 200) << (kind >= 8);
        // At the view's edges the whole disc stays inside, moved in along the edge it crosses.
        QTest::addRow("tooltip top-left at the left edge") << int(WexoStepView::toolTipTopLeft) << QPointF(0, 200) << QPointF(12.5, 200) << true;
        QTest::addRow("pulse bottom-left at the left edge") << int(WexoStepView::pulseBottomLeft) << QPointF(8, 200) << QPointF(12.5, 200) << false;
        QTest::addRow("tooltip top-right at the right edge") << int(WexoStepView::toolTipTopRight) << QPointF(400, 200) << QPointF(387.5, 200) << true;
        QTest::addRow("pulse top-right at the top-right corner") << int(WexoStepView::pulseTopRight) << QPointF(390, 0) << QPointF(387.5, 12.5) << false;
        QTest::addRow("tooltip bottom-right at the bottom") << int(WexoStepView::toolTipBottomRight) << QPointF(100, 400) << QPointF(115, 387.5) << true;
    }

    void placeAndLook()
    {
        QFETCH(int, kind);
        QFETCH(QPointF, anchor);
        QFETCH(QPointF, centre);
        QFETCH(bool, tooltip);
        auto *marker = new WPointerView(anchor, WexoStepView(kind), m_view.get());
        marker->show();
        QCOMPARE(marker->size(), QSize(25, 25));
        QVERIFY(m_view->rect().contains(marker->geometry()));
        const QPointF shown = QRectF(marker->geometry()).center();
        QVERIFY2((shown - centre).manhattanLength() <= 1, qPrintable(QStringLiteral("centre %1,%2").arg(shown.x()).arg(shown.y())));
        QCOMPARE(marker->pulse() != nullptr, !tooltip);
        if (tooltip) {
            QCOMPARE(marker->glyph(), u"?"_s);
            QCOMPARE(marker->fillOpacity(), 1.0);
            QCOMPARE(marker->fillColor(), WConfiguration::ktooltipSecondaryColor());
            return;
        }
        QCOMPARE(marker->fillOpacity(), 0.1);
        QCOMPARE(marker->fillColor(), WConfiguration::kPulsePrimaryColor());
        QCOMPARE(QRectF(marker->pulse()->geometry()).center(), QRectF(marker->geometry()).center());
        QCOMPARE(marker->pulse()->size(), QSize(161, 161));
        QVERIFY(marker->pulse()->isVisible());
        // Moved with the marker, and above it.
        marker->move(marker->pos() + QPoint(30, 5));
        QCOMPARE(QRectF(marker->pulse()->geometry()).center(), QRectF(marker->geometry()).center());
        QCOMPARE(m_view->children().constLast(), marker->pulse());
        // Hidden and deleted with it.
        QPointer<WPulse> pulse = marker->pulse();
        marker->hide();
        QVERIFY(!pulse->isVisible());
        delete marker;
        QTRY_VERIFY(pulse.isNull());
    }

    void glyphFollowsTheTheme()
    {
        // An empty tooltip text in a theme means "i".
        for (const auto &[tooltip, glyph] : {std::pair{"questionMark", "?"}, {"iMark", "i"}, {"", "i"}}) {
            useTooltipTheme(QString::fromLatin1(tooltip));
            WPointerView marker(QPointF(50, 50), WexoStepView::toolTipTopLeft, m_view.get());
            QCOMPARE(marker.glyph(), QString::fromLatin1(glyph));
        }
    }

    void clicksOnTheMarkerAndThroughThePulse()
    {
        QPushButton below(m_view.get());
        below.setGeometry(m_view->rect());
        below.show();
        QSignalSpy belowClicks(&below, &QPushButton::clicked);
        auto recorder = std::make_unique<Recorder>();
        auto *marker = new WPointerView(QPointF(200, 200), WexoStepView::pulseTopRight, m_view.get());
        marker->setDelegate(recorder.get());
        marker->show();
        QTest::mouseClick(m_view->childAt(marker->geometry().center()), Qt::LeftButton);
        QCOMPARE(recorder->taps, 1);
        QCOMPARE(belowClicks.size(), 0);

        // A click inside the pulse's disc but off the marker reaches the widget below.
        const QPoint offMarker = marker->geometry().center() + QPoint(40, 0);
        QVERIFY(marker->pulse()->geometry().contains(offMarker));
        QWidget *hit = m_view->childAt(offMarker);
        QCOMPARE(hit, &below);
        QTest::mouseClick(hit, Qt::LeftButton, {}, hit->mapFrom(m_view.get(), offMarker));
        QCOMPARE(belowClicks.size(), 1);

        recorder.reset();
        QTest::mouseClick(marker, Qt::LeftButton);
        QCOMPARE(marker->delegate(), nullptr);
    }

    void pulseCycle()
    {
        WTiming::setScale(1);
        WPulse pulse(80, QPointF(12.5, 12.5), m_view.get());
        WTiming::setScale(0.01);
        QCOMPARE(QRectF(pulse.geometry()).center(), QPointF(12.5, 12.5));
        QTRY_VERIFY(pulse.animation());
        QVariantAnimation *animation = pulse.animation();
        QCOMPARE(animation->loopCount(), -1);
        QCOMPARE(animation->duration(), 750);
        animation->pause();
        const qreal duration = animation->duration();
        qreal lastScale = -1;
        qreal peak = 0;
        for (qreal at : {0.0, 0.05, 0.08, 0.1, 0.12, 0.15, 0.2, 0.4, 0.6, 0.8, 0.99}) {
            animation->setCurrentTime(int(at * duration));
            QVERIFY(pulse.currentScale() >= lastScale);
            lastScale = pulse.currentScale();
            peak = std::max(peak, pulse.currentOpacity());
        }
        QVERIFY(peak > 0.7 && peak <= 0.8);
        QVERIFY(pulse.currentOpacity() < 0.05);
        QVERIFY(pulse.currentScale() > 0.99);
        animation->setCurrentTime(0);
        QCOMPARE(pulse.currentScale(), 0.0);
        QCOMPARE(pulse.currentOpacity(), 0.4);
    }

    void pulseDeletesItselfWhenStopped_data()
    {
        QTest::addColumn<float>("count");
        QTest::addColumn<bool>("stop");
        QTest::addRow("stopped") << std::numeric_limits<float>::infinity() << true;
        QTest::addRow("ran its count") << 2.0f << false;
        QTest::addRow("no pulses") << 0.0f << false;
    }

    void pulseDeletesItselfWhenStopped()
    {
        QFETCH(float, count);
        QFETCH(bool, stop);
        QPointer<WPulse> pulse = new WPulse(count, 80, QPointF(50, 50), m_view.get());
        if (stop) {
            QTRY_VERIFY(pulse->animation());
            pulse->animation()->stop();
        }
        QTRY_VERIFY(pulse.isNull());
    }

    void snapshots_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addRow("marker-pulse") << int(WexoStepView::pulseBottomRight);
        QTest::addRow("marker-tooltip") << int(WexoStepView::toolTipTopLeft);
    }

    void snapshots()
    {
        QFETCH(int, kind);
        QWidget canvas;
        canvas.resize(200, 200);
        auto *marker = new WPointerView(QPointF(85, 100), WexoStepView(kind), &canvas);
        canvas.show();
        if (marker->pulse()) {
            QTRY_VERIFY(marker->pulse()->animation());
            marker->pulse()->animation()->pause();
            marker->pulse()->animation()->setCurrentTime(marker->pulse()->animation()->duration() / 2);
        }
        const QImage image = ViewTestSupport::snapshot(&canvas, QString::fromLatin1(QTest::currentDataTag()));
        const QPointF centre = QRectF(marker->geometry()).center();
        QVERIFY(ViewTestSupport::pixelAt(image, centre).alpha() > 0);
        QCOMPARE(ViewTestSupport::pixelAt(image, QPointF(1, 1)).alpha(), 0);
    }
};

QTEST_MAIN(tst_WPointerView)
#include "tst_wpointerview.moc"
