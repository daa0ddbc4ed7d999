#include "support/ViewTestSupport.h"

#include "WexoCreator/configuration/WConfiguration.h"
#include "WexoCreator/platform/WPerform.h"
#include "WexoCreator/platform/WTiming.h"
#include "WexoCreator/views/WBanner.h"
#include "WexoCreator/views/WPaddingLabel.h"

#include <QAbstractButton>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace WexoCreator;
using namespace Qt::StringLiterals;

namespace {

using Recorder = PrevCloseRecorder<WBannerDelegate, WBanner>;

// Clicks the banner the moment it starts to leave by itself.
struct ClickWhenLeaving : QObject {
    bool clicked = false;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *banner = static_cast<QWidget *>(watched);
        if (!clicked && event->type() == QEvent::Move && banner->x() < 0) {
            clicked = true;
            QTest::mouseClick(banner, Qt::LeftButton, {}, QPoint(banner->width() / 2, banner->height() - 5));
        }
        return false;
    }
};

} // namespace

class tst_WBanner : public QObject
{
    Q_OBJECT

    std::unique_ptr<QWidget> m_view;
    int m_completions = 0;
    QRect m_geometryAtCompletion;
    QPointer<WBanner> m_banner;

    WBanner *makeBanner(WBannerPosition position, qint64 step, const QString &description = u"Pick a size."_s)
    {
        m_banner = new WBanner(u"Sizes"_s, description, position, step, [this] {
            ++m_completions;
            m_geometryAtCompletion = m_banner ? m_banner->geometry() : QRect();
        }, m_view.get());
        m_banner->show();
        return m_banner;
    }

private Q_SLOTS:
    void initTestCase() { ViewTestSupport::setUp(); }

    void init()
    {
        m_view = ViewTestSupport::shownView(QSize(480, 640));
        m_completions = 0;
    }

    void cleanup() { m_view.reset(); }

    void layout_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("description");
        QTest::addRow("top, step 1") << int(WBannerPosition::top) << 1 << "Pick a size.";
        QTest::addRow("bottom, step 2") << int(WBannerPosition::bottom) << 2 << "Pick a size.";
        QTest::addRow("long text, step 0") << int(WBannerPosition::top) << 0 << QString(u"Choose what fits you best. "_s).repeated(8);
    }

    void layout()
    {
        QFETCH(int, position);
        QFETCH(int, step);
        QFETCH(QString, description);
        const auto where = WBannerPosition(position);
        WBanner *banner = makeBanner(where, step, description);
        // As wide as the view it is shown over, whatever the screen.
        QCOMPARE(banner->width(), m_view->width());
        QVERIFY(banner->height() >= 100);
        QCOMPARE(banner->label()->geometry(), QRect(0, 0, 480, banner->height()));
        QVERIFY(banner->label()->shownLines().constLast().endsWith(u"Tap to dismiss !!"_s));
        const int rest = where == WBannerPosition::top ? 0 : 640 - banner->height();
        const int start = where == WBannerPosition::top ? -banner->height() : 640;
        QCOMPARE(banner->restingY(), rest);
        QCOMPARE(banner->geometry(), QRect(0, start, 480, banner->height()));
        QCOMPARE(banner->backButton() != nullptr, step > 1);
        if (banner->backButton())
            QCOMPARE(banner->backButton()->geometry(), QRect(0, 0, 44, 44));
        QCOMPARE(banner->closeButton()->geometry(), QRect(480 - 44, 0, 44, 44));
        QCOMPARE(banner->closeButton()->text(), u"X"_s);

        banner->showWBanner();
        QTRY_COMPARE(banner->geometry(), QRect(0, rest, 480, banner->height()));
        QCOMPARE(m_completions, 0);
    }

    void clickSlidesOutThenCompletesOnce()
    {
        WBanner *banner = makeBanner(WBannerPosition::bottom, 2);
        banner->showWBanner();
        QTRY_COMPARE(banner->y(), banner->restingY());
        QSignalSpy destroyed(banner, &QObject::destroyed);
        QTest::mouseClick(banner, Qt::LeftButton, {}, QPoint(200, banner->height() - 5));
        QTest::mouseDClick(banner, Qt::LeftButton, {}, QPoint(200, banner->height() - 5));
        QVERIFY(destroyed.wait());
        QCOMPARE(m_completions, 1);
        // It left by its own width, at its resting height.
        QCOMPARE(m_geometryAtCompletion.topLeft(), QPoint(-480, 640 - m_geometryAtCompletion.height()));
        // The stay's end dies with the banner: a witness scheduled later fires alone.
        bool witness = false;
        WPerform::delay(WTiming::seconds(30), [&witness] { witness = true; });
        QTRY_VERIFY(witness);
        QCOMPARE(m_completions, 1);
    }

    void stayEndsOnceEvenWithAClick()
    {
        WBanner *banner = makeBanner(WBannerPosition::top, 1);
        ClickWhenLeaving clicker;
        banner->installEventFilter(&clicker);
        banner->showWBanner();
        QSignalSpy destroyed(banner, &QObject::destroyed);
        QVERIFY(destroyed.wait());
        QVERIFY(clicker.clicked);
        QCOMPARE(m_completions, 1);
    }

    void pressesStayWithTheBannerAndButtonsGoToTheDelegate()
    {
        QPushButton below(m_view.get());
        below.setGeometry(m_view->rect());
        below.show();
        QSignalSpy belowClicks(&below, &QPushButton::clicked);
        auto recorder = std::make_unique<Recorder>();
        WBanner *banner = makeBanner(WBannerPosition::top, 3);
        banner->raise();
        banner->setDelegate(recorder.get());
        banner->showWBanner();
        QTRY_COMPARE(banner->y(), 0);
        QTest::mouseClick(banner->backButton(), Qt::LeftButton);
        QTest::mouseClick(banner->closeButton(), Qt::LeftButton);
        QCOMPARE(recorder->prev, 1);
        QCOMPARE(recorder->close, 1);
        recorder.reset();
        QTest::mouseClick(banner->closeButton(), Qt::LeftButton);
        QTest::mouseClick(banner, Qt::LeftButton, {}, QPoint(240, 60));
        QCOMPARE(belowClicks.size(), 0);
        QTRY_COMPARE(m_completions, 1);
    }

    void snapshot()
    {
        QVERIFY(ViewTestSupport::useSampleTemplate());
        WBanner *banner = makeBanner(WBannerPosition::top, 2, u"Pick the size that fits. The guide moves on when you tap."_s);
        banner->move(0, 0);
        const QImage image = ViewTestSupport::snapshot(banner, u"banner-top"_s);
        ViewTestSupport::clearTemplate();
        QCOMPARE(ViewTestSupport::pixelAt(image, QPointF(100, banner->height() - 2)), QColor(u"#1565C0"_s));
        // The back arrow and the X are drawn in their corners.
        QVERIFY(ViewTestSupport::pixelsNotOf(image, QRect(10, 10, 24, 24), QColor(u"#1565C0"_s)) > 20);
        QVERIFY(ViewTestSupport::pixelsNotOf(image, QRect(480 - 34, 10, 24, 24), QColor(u"#1565C0"_s)) > 20);
    }
};

QTEST_MAIN(tst_WBanner)
#include "tst_wbanner.moc"
