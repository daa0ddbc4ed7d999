#include "support/HostFixture.h"
#include "support/ViewTestSupport.h"

#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/model/Wexo.h"
#include "WexoCreator/platform/WTiming.h"
#include "WexoCreator/playback/WOverlay.h"
#include "WexoCreator/playback/WPlacement.h"
#include "WexoCreator/views/WBanner.h"
#include "WexoCreator/views/WDetailedPopup.h"
#include "WexoCreator/views/WMobilePopup.h"
#include "WexoCreator/views/WPaddingLabel.h"
#include "WexoCreator/views/WPointerView.h"
#include "WexoCreator/views/WPopup.h"
#include "WexoCreator/views/WPulse.h"
#include "WexoCreator/views/WStepNumberView.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using namespace WexoCreator;

namespace {

// Where a widget was last moved or resized to.
struct LastPlace : QObject {
    QRect place;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Move || event->type() == QEvent::Resize)
            place = static_cast<QWidget *>(watched)->geometry();
        return false;
    }
};

} // namespace

class tst_WOverlay : public QObject
{
    Q_OBJECT

    std::unique_ptr<HostFixture> m_host;
    QWidget *m_container = nullptr; // where the launcher's view would be

    WOverlay *show(const QString &display, const QString &frame, std::optional<bool> backdrop = std::nullopt,
                   const QString &elementType = {})
    {
        return show(makeStep(1, frame, display, backdrop, elementType));
    }
    // The step as the second of three.
    WOverlay *show(const std::shared_ptr<WexoStep> &step)
    {
        const QString frame = *step->Frame, display = *step->dislplayType;
        auto *overlay = new WOverlay(step, makePage({makeStep(0, frame, display), step, makeStep(2, frame, display)}, 3),
                                     m_container);
        overlay->show();
        return overlay;
    }
    QRectF rectOf(const QWidget *widget) const
    {
        return QRectF(QRect(widget->mapTo(m_host.get(), QPoint(0, 0)), widget->size()));
    }
    static void dropDeferred() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

private Q_SLOTS:
    void initTestCase() { ViewTestSupport::setUp(); }
    void init()
    {
        m_host = std::make_unique<HostFixture>();
        m_container = new QWidget(m_host.get());
        m_container->setGeometry(m_host->rect());
        QVERIFY(m_host->showAndWait());
        m_container->raise();
        WexolinManager::setTabBarController(m_host->tabs);
    }
    void cleanup()
    {
        WexolinManager::setTabBarController(nullptr);
        WexolinManager::setCurrentPlaying(nullptr);
        m_host.reset();
        dropDeferred();
    }

    void kindsAtTheirPlaces_data()
    {
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QString>("shows"); // mobile, card, banner-top, banner-bottom, marker

        QTest::addRow("popover") << "popover" << "targetButton" << "mobile";
        QTest::addRow("popover at a cell") << "popover" << "QStyledItemDelegate_indexpath_[0, 150]" << "card";
        QTest::addRow("screen") << "screen" << "nameField" << "card";
        QTest::addRow("banner top") << "banner:top" << "targetButton" << "banner-top";
        QTest::addRow("banner bottom") << "banner:bottom" << "targetButton" << "banner-bottom";
        for (const char *kind : {"pulse:top-left", "pulse:top-right", "pulse:bottom-left", "pulse:bottom-right",
                                 "tooltip:top-left", "tooltip:top-right", "tooltip:bottom-left", "tooltip:bottom-right"})
            QTest::addRow("%s", kind) << kind << "targetButton" << "marker";
    }
    void kindsAtTheirPlaces()
    {
        QFETCH(QString, display);
        QFETCH(QString, frame);
        QFETCH(QString, shows);

        WOverlay *overlay = show(display, frame);
        QCOMPARE(overlay->geometry(), m_container->rect());
        const QRectF area = overlay->rect();
        const bool cell = frame.contains(QLatin1String("indexpath"));
        QTableView *table = m_host->targets->table;
        const QRectF target = cell ? QRectF() : rectOf(m_host->targets->findChild<QWidget *>(frame));
        if (shows.startsWith(QLatin1String("banner"))) {
            QVERIFY(overlay->targets().isEmpty());
            WBanner *banner = overlay->banner();
            QVERIFY(banner);
            QCOMPARE(banner->width(), overlay->width());
            const int resting = shows == QLatin1String("banner-top") ? 0 : overlay->height() - banner->height();
            QTRY_COMPARE(banner->y(), resting);
            QCOMPARE(banner->currentStep(), 2);
        } else if (cell) {
            // Row 150 was brought on screen; the hole is that row.
            QVERIFY(table->verticalScrollBar()->value() > 0);
            QCOMPARE(overlay->targets().size(), 1);
            const QRectF row = overlay->targets().first();
            QVERIFY(rectOf(table->viewport()).contains(row));
            QCOMPARE(table->indexAt(table->viewport()->mapFrom(m_host.get(), row.center().toPoint())).row(), 150);
        } else {
            QCOMPARE(overlay->targets(), QList<QRectF>{target});
        }
        if (shows == QLatin1String("mobile")) {
            WMobilePopup *card = overlay->mobilePopupView();
            QVERIFY(card && card->isVisible());
            QCOMPARE(card->width(), 300);
            QCOMPARE(card->geometry().center().x(), overlay->rect().center().x());
            QVERIFY(card->geometry().bottom() < target.top()); // the button is low: the card goes above
            QCOMPARE(card->currentStep(), 2);
            QCOMPARE(card->totalSteps(), 3);
        }
        if (shows == QLatin1String("card")) {
            WPopup *card = overlay->defaultPopupView();
            QVERIFY(card && card->isVisible());
            const QRectF on = cell ? overlay->targets().first() : target;
            // Placed as the placement says, to the pixel.
            const QRectF placed = WPlacement::defaultCard(on, card->size(), area);
            QVERIFY((QRectF(card->geometry()).topLeft() - placed.topLeft()).manhattanLength() <= 1);
            QVERIFY(!QRectF(card->geometry()).intersects(on));
        }
        if (shows == QLatin1String("marker")) {
            const QList<WPointerView *> markers = overlay->markers();
            QCOMPARE(markers.size(), 1);
            // Beside its corner, wholly inside the window (the button lies at its bottom edge).
            const QRectF marker = markers.first()->geometry();
            const QPointF corner = WPointerView::centreFor(WPlacement::markerAnchor(target, markers.first()->viewType()),
                                                           markers.first()->viewType());
            const QRectF room = area.adjusted(12.5, 12.5, -12.5, -12.5);
            const QPointF expected(std::clamp(corner.x(), room.left(), room.right()), std::clamp(corner.y(), room.top(), room.bottom()));
            QVERIFY(area.contains(marker));
            QVERIFY((marker.center() - expected).manhattanLength() <= 1);
        }
    }

    void backdrop_data()
    {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<std::optional<bool>>("backdrop");
        QTest::addColumn<int>("outside");
        QTest::addColumn<int>("inHole");

        QTest::addRow("dimmed by default") << "targetButton" << std::optional<bool>() << 128 << 0;
        QTest::addRow("dimmed when asked") << "targetButton" << std::optional<bool>(true) << 128 << 0;
        QTest::addRow("no backdrop") << "targetButton" << std::optional<bool>(false) << 0 << 0;
        QTest::addRow("hole cut at the window's edge") << "edgeLabel" << std::optional<bool>() << 128 << 0;
        QTest::addRow("missing target: backdrop only") << "nowhere" << std::optional<bool>() << 128 << 128;
    }
    void backdrop()
    {
        QFETCH(QString, frame);
        QFETCH(std::optional<bool>, backdrop);
        QFETCH(int, outside);
        QFETCH(int, inHole);

        // A widget that reaches past the window's right edge.
        auto *edge = new QPushButton(QStringLiteral("edge"), m_host->targets);
        edge->setObjectName(QStringLiteral("edgeLabel"));
        edge->setGeometry(m_host->targets->width() - 40, 200, 120, 40);
        edge->show();

        WOverlay *overlay = show(QStringLiteral("screen"), frame, backdrop);
        const QImage image = ViewTestSupport::snapshot(overlay, QStringLiteral("overlay-") + QString::fromLatin1(QTest::currentDataTag()).replace(QRegularExpression(QStringLiteral("[^a-z]+")), QStringLiteral("-")));
        const QWidget *target = m_host->targets->findChild<QWidget *>(frame);
        const QRectF hole = target ? rectOf(target).intersected(overlay->rect()) : QRectF(100, 300, 20, 20);
        QCOMPARE(ViewTestSupport::pixelAt(image, QPointF(5, 300)).alpha(), outside);
        QCOMPARE(ViewTestSupport::pixelAt(image, hole.center()).alpha(), inHole);
        // At the pixel ratio of the screen the hole's device pixels are the target's.
        const qreal ratio = image.devicePixelRatio();
        const QPoint inside = (hole.topLeft() * ratio).toPoint();
        QCOMPARE(qAlpha(image.pixel(inside)), inHole);
        if (target)
            QCOMPARE(qAlpha(image.pixel(inside - QPoint(1, 1))), outside);
        // The card is placed from the whole target, also where its hole is cut.
        QCOMPARE(overlay->defaultPopupView() != nullptr, target != nullptr);
    }

    void templateCard()
    {
        WOverlay *overlay = show(QStringLiteral("screen"), QStringLiteral("targetButton"));
        overlay->showTemplateToolTip();
        dropDeferred();
        QVERIFY(overlay->detailedPopupView() && !overlay->defaultPopupView());
        const QRectF placed = WPlacement::templateCard(rectOf(m_host->targets->button), overlay->rect());
        QCOMPARE(overlay->detailedPopupView()->size(), placed.size().toSize());
        QVERIFY((QRectF(overlay->detailedPopupView()->geometry()).topLeft() - placed.topLeft()).manhattanLength() <= 1);
        // One hole still: the card replaced the build's card, not its backdrop.
        const QImage image = ViewTestSupport::snapshot(overlay, QStringLiteral("overlay-template-card"));
        QCOMPARE(ViewTestSupport::pixelAt(image, rectOf(m_host->targets->button).topLeft() + QPointF(1, 1)).alpha(), 0);
    }

    void closeEndsThePlayback_data()
    {
        QTest::addColumn<QString>("display");
        QTest::addRow("mobile card's close") << "popover";
        QTest::addRow("banner's close") << "banner:top";
    }
    void closeEndsThePlayback()
    {
        QFETCH(QString, display);
        WOverlay *overlay = show(display, QStringLiteral("targetButton"));
        WexolinManager::setCurrentPlaying(overlay->wexo());
        int dismissed = 0;
        overlay->onDismiss = [&dismissed] { ++dismissed; };
        QAbstractButton *close = overlay->mobilePopupView() ? static_cast<QAbstractButton *>(overlay->mobilePopupView()->closeButton())
                                                            : overlay->banner()->closeButton();
        QTRY_VERIFY(close->isVisible());
        QTest::mouseClick(close, Qt::LeftButton);
        QVERIFY(overlay->hasLeft() && !overlay->isVisible());
        QCOMPARE(dismissed, 1);
        QCOMPARE(WexolinManager::shared().currentPlayingWexo(), nullptr);
    }

    // After a resize there is one card, or one marker with one pulse; a banner
    // takes its new place without starting over, as high as its text then
    // needs, and one on its way out keeps going.
    void resizeRebuildsOnce_data()
    {
        QTest::addColumn<QString>("display");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("leaving");
        QTest::addRow("card") << "screen" << QSize(600, 500) << false;
        QTest::addRow("mobile card") << "popover" << QSize(600, 500) << false;
        QTest::addRow("marker") << "pulse:top-right" << QSize(600, 500) << false;
        QTest::addRow("banner") << "banner:bottom" << QSize(600, 500) << false;
        QTest::addRow("banner, narrowed") << "banner:bottom" << QSize(300, 500) << false;
        QTest::addRow("banner leaving") << "banner:top" << QSize(600, 500) << true;
    }
    void resizeRebuildsOnce()
    {
        QFETCH(QString, display);
        QFETCH(QSize, size);
        QFETCH(bool, leaving);
        auto step = makeStep(1, QStringLiteral("targetButton"), display);
        step->description = QStringLiteral("Everything you pick waits in the basket until you pay for it. Tap the basket to change amounts.");
        QPointer<WOverlay> overlay = show(step);
        QPointer<WBanner> banner = overlay->banner();
        if (banner)
            QTRY_COMPARE(banner->y(), banner->restingY());
        LastPlace last;
        if (leaving) {
            WTiming::setScale(1); // slow enough to resize on its way out
            QTest::mouseClick(banner, Qt::LeftButton);
            banner->installEventFilter(&last);
            WTiming::setScale(0.01);
        }
        m_host->setMinimumSize(size);
        m_host->resize(size);
        m_container->setGeometry(m_host->rect());
        dropDeferred();
        dropDeferred(); // a marker's pulse goes after the marker
        QCOMPARE(overlay->size(), size);
        if (leaving) {
            // Out to the left, never back on screen, then the walkthrough moves on
            // (the overlay that left is deleted soon after).
            QTRY_VERIFY(!overlay || overlay->hasLeft());
            QVERIFY(last.place.right() < 0);
            return;
        }
        QCOMPARE(overlay->findChildren<WPopup *>().size() + overlay->findChildren<WMobilePopup *>().size(),
                 display == QLatin1String("screen") || display == QLatin1String("popover") ? 1 : 0);
        QCOMPARE(overlay->findChildren<WPointerView *>().size(), display.startsWith(QLatin1String("pulse")) ? 1 : 0);
        QCOMPARE(overlay->findChildren<WPulse *>().size(), display.startsWith(QLatin1String("pulse")) ? 1 : 0);
        if (!banner)
            QCOMPARE(overlay->targets(), QList<QRectF>{rectOf(m_host->targets->button)});
        if (banner) {
            QCOMPARE(overlay->banner(), banner.data());
            const int height = std::max(100, banner->label()->heightForWidth(size.width()));
            QCOMPARE(banner->geometry(), QRect(0, size.height() - height, size.width(), height));
            QCOMPARE(banner->label()->geometry(), banner->rect());
        }
    }
};

QTEST_MAIN(tst_WOverlay)
#include "tst_woverlay.moc"
