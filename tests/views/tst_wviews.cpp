#include "support/ViewTestSupport.h"

#include "WexoCreator/appearance-model/Template.h"
#include "WexoCreator/configuration/WAppearanceState.h"
#include "WexoCreator/configuration/WConfiguration.h"
#include "WexoCreator/model/WJsonDecoder.h"
#include "WexoCreator/platform/WPerform.h"
#include "WexoCreator/platform/WSpringAnimation.h"
#include "WexoCreator/platform/WTiming.h"
#include "WexoCreator/views/WBanner.h"
#include "WexoCreator/views/WDetailedPopup.h"
#include "WexoCreator/views/WMobilePopup.h"
#include "WexoCreator/views/WPaddingLabel.h"
#include "WexoCreator/views/WPointerView.h"
#include "WexoCreator/views/WPopInEffect.h"
#include "WexoCreator/views/WPopup.h"
#include "WexoCreator/views/WProgressBar.h"
#include "WexoCreator/views/WPulse.h"
#include "WexoCreator/views/WStaticTextLabel.h"
#include "WexoCreator/views/WStepNumberView.h"
#include "WexoCreator/views/WViewStyle.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <type_traits>

using namespace WexoCreator;
using namespace Qt::StringLiterals;

namespace {

// Counts a card's back and close calls.
template <typename Delegate, typename View>
struct PrevCloseRecorder : QObject, Delegate {
    int prev = 0;
    int close = 0;
    void onPrev(View *) override { ++prev; }
    void onClose(View *) override { ++close; }
};

// A template answer decoded by the real decoder, as the downloaded one.
bool useTemplate(const QByteArray &answer)
{
    const auto decoded = WJsonDecoder::decode<Template>(answer);
    WAppearanceState::setTemplate(decoded ? decoded.record : nullptr);
    return bool(decoded);
}

// How many logical pixels of the rectangle are not the colour.
int pixelsNotOf(const QImage &image, const QRect &rect, const QColor &color)
{
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            count += ViewTestSupport::pixelAt(image, QPointF(x + 0.5, y + 0.5)) != color;
    return count;
}

const QString kLong = u"Tap the basket to see what you picked, change amounts, or remove items you no longer want before you pay. "_s
                      u"Everything stays in the basket until the order is placed. LASTWORD"_s;

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

struct MarkerRecorder : QObject, WPoineterDelegate {
    int taps = 0;
    void onPointerView() override { ++taps; }
};

// The names a screen reader reads in a widget tree, with their roles.
void readAloud(QAccessibleInterface *node, QList<std::pair<QAccessible::Role, QString>> &read)
{
    if (!node)
        return;
    if (!node->text(QAccessible::Name).isEmpty())
        read.append({node->role(), node->text(QAccessible::Name)});
    for (int i = 0; i < node->childCount(); ++i)
        readAloud(node->child(i), read);
}

// A mobile card as the overlay shows it, 300 wide and as high as its text needs,
// or a detailed card.
template <typename Card>
Card *filled(QWidget *parent, qint64 step, qint64 total, const QString &description = u"Pick a size."_s,
             const QString &title = u"Sizes <b>"_s)
{
    Card *card = Card::createView(QString(), parent);
    card->setTitle(title);
    card->setDescriptionText(description);
    card->setCurrentStep(step);
    card->setTotalSteps(total);
    card->updateTemplate();
    if constexpr (std::is_same_v<Card, WMobilePopup>) {
        card->resize(300, card->descriptionHeight(300) + WMobilePopup::kChromeHeight);
        card->show();
    }
    return card;
}

} // namespace

// The step views: the banner, the three cards, the labels they draw their
// texts with, and the marker with its pulse.
class tst_WViews : public QObject
{
    Q_OBJECT

    std::unique_ptr<QWidget> m_view; // 480x640
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
        m_view = std::make_unique<QWidget>();
        m_view->resize(480, 640);
        m_view->show();
        m_completions = 0;
    }
    void cleanup()
    {
        m_view.reset();
        WAppearanceState::setTemplate(nullptr);
    }

    // Every text a step card shows reaches a screen reader, and its buttons say what they do.
    void screenReaderReadsEveryText_data()
    {
        QTest::addColumn<QString>("card");
        QTest::addColumn<QStringList>("texts");
        const QString tap = WConfiguration::kTapHereText();
        QTest::addRow("tooltip card") << "popup" << QStringList{u"Sizes <b>"_s, u"Pick a size."_s, u"Step 2 / 3"_s, tap};
        QTest::addRow("mobile card")
            << "mobile" << QStringList{u"Sizes <b>"_s, u"Pick a size."_s, u"Step 2 / 3"_s, tap, u"Back"_s, u"Close"_s};
        QTest::addRow("banner") << "banner" << QStringList{u"Sizes"_s, u"Pick a size."_s, tap, u"Back"_s, u"Close"_s};
        QTest::addRow("detailed card") << "detailed" << QStringList{u"Sizes <b>"_s, u"Pick a size."_s, u"Next"_s};
    }
    void screenReaderReadsEveryText()
    {
        QFETCH(QString, card);
        QFETCH(QStringList, texts);
        QWidget *shown = nullptr;
        if (card == u"popup"_s)
            shown = new WPopup(u"Sizes <b>"_s, u"Pick a size."_s, WPopupPosition::up, 2, 3, true, m_view.get());
        else if (card == u"mobile"_s)
            shown = filled<WMobilePopup>(m_view.get(), 2, 3);
        else if (card == u"banner"_s)
            shown = makeBanner(WBannerPosition::top, 2);
        else
            shown = filled<WDetailedPopup>(m_view.get(), 2, 3);
        QList<std::pair<QAccessible::Role, QString>> read;
        readAloud(QAccessible::queryAccessibleInterface(shown), read);
        for (const QString &text : texts) {
            const bool found = std::any_of(read.cbegin(), read.cend(), [&](const auto &node) { return node.second.contains(text); });
            QVERIFY2(found, qPrintable(text));
        }
        // The padded labels read as static text.
        for (const WPaddingLabel *label : shown->findChildren<WPaddingLabel *>()) {
            QAccessibleInterface *node = QAccessible::queryAccessibleInterface(const_cast<WPaddingLabel *>(label));
            QCOMPARE(node->role(), QAccessible::StaticText);
            QCOMPARE(node->text(QAccessible::Name), label->text());
        }
    }

    // The form limits the description's height; a longer text ends with an ellipsis inside it.
    void mobileDescriptionHeightLimit_data()
    {
        QTest::addColumn<int>("limit"); // 0: the form's own
        QTest::addColumn<int>("lines");
        QTest::addRow("the form's limit holds ten lines") << 0 << 10;
        QTest::addRow("a lower limit holds fewer") << 60 << 3;
    }
    void mobileDescriptionHeightLimit()
    {
        QFETCH(int, limit);
        QFETCH(int, lines);
        WMobilePopup *popup = WMobilePopup::createView(QString(), m_view.get());
        QCOMPARE(popup->descriptionHtConstraint(), 240);
        if (limit)
            popup->descriptionLabel()->setMaximumHeight(limit);
        popup->setDescriptionText(kLong.repeated(4));
        popup->setCurrentStep(1);
        popup->setTotalSteps(2);
        popup->updateTemplate();
        popup->resize(300, popup->descriptionHeight(300) + WMobilePopup::kChromeHeight);
        popup->show();
        QVERIFY(popup->descriptionHeight(300) <= popup->descriptionHtConstraint());
        QTRY_COMPARE(popup->descriptionLabel()->height(), popup->descriptionHeight(300));
        const QStringList shown = popup->descriptionLabel()->shownLines();
        QCOMPARE(shown.size(), lines);
        QVERIFY(shown.constLast().endsWith(QChar(0x2026)));
    }

    // The inputs are stored; what was built from them stays as built. The marker
    // takes its new anchor and kind at its next placement.
    void laterInputsAreOnlyStored()
    {
        auto *popup = new WPopup(u"Sizes"_s, u"Pick a size."_s, WPopupPosition::up, 1, 3, true, m_view.get());
        const QRect card = popup->geometry();
        const QString text = popup->textLabel()->text();
        popup->setToolTipPosition(WPopupPosition::left);
        popup->setTitleText(u"Other"_s);
        popup->setDescriptionText(kLong);
        popup->setCurrentStepNumber(3);
        popup->setTotalStepNumber(4);
        popup->setShowProgressBar(false);
        QCOMPARE(popup->descriptionText(), kLong);
        QCOMPARE(popup->geometry(), card);
        QCOMPARE(popup->textLabel()->text(), text);
        QVERIFY(popup->progressBar());

        WStepNumberView *counter = popup->stepCounter();
        QLabel *own = counter->stepLabel();
        counter->setCurrentStepNumber(7);
        counter->setTotalSteps(9);
        QCOMPARE(own->text(), u"Step 1 / 3"_s);
        {
            QLabel other;
            counter->setStepLabel(&other);
            QCOMPARE(counter->stepLabel(), &other);
        }
        QCOMPARE(counter->stepLabel(), nullptr); // never left dangling

        auto *marker = new WPointerView(QPointF(100, 200), WexoStepView::pulseTopLeft, m_view.get());
        marker->setPosition(QPointF(300, 100));
        marker->setViewType(WexoStepView::toolTipTopRight);
        const auto centredOn = [marker](QPointF point) {
            return (QRectF(marker->geometry()).center() - point).manhattanLength() <= 1;
        };
        QVERIFY(centredOn(QPointF(85, 200)));
        marker->place();
        QVERIFY(centredOn(QPointF(315, 100)));
        QVERIFY(!marker->isToolTip()); // the look stays the pulse one
        QVERIFY(marker->pulse());
    }

    // --- Banner ---------------------------------------------------------------

    void bannerLayout_data()
    {
        QTest::addColumn<bool>("top");
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("description");
        QTest::addRow("top, step 1") << true << 1 << "Pick a size.";
        QTest::addRow("bottom, step 2") << false << 2 << "Pick a size.";
        QTest::addRow("long text, step 0") << true << 0 << QString(u"Choose what fits you best. "_s).repeated(8);
    }
    void bannerLayout()
    {
        QFETCH(bool, top);
        QFETCH(int, step);
        QFETCH(QString, description);
        WBanner *banner = makeBanner(top ? WBannerPosition::top : WBannerPosition::bottom, step, description);
        // As wide as the view it is shown over, as high as its text needs there
        // (the end of a long text included), off screen until shown.
        const int height = banner->height();
        QCOMPARE(banner->geometry(), QRect(0, top ? -height : 640, 480, height));
        QCOMPARE(banner->label()->geometry(), banner->rect());
        QVERIFY(banner->label()->heightForWidth(480) <= height);
        QVERIFY(banner->label()->shownLines().constLast().endsWith(WConfiguration::kTapHereText()));
        QCOMPARE(banner->backButton() != nullptr, step > 1);
        QVERIFY(banner->rect().contains(banner->closeButton()->geometry()));
        banner->showWBanner();
        QTRY_COMPARE(banner->geometry(), QRect(0, top ? 0 : 640 - height, 480, height));
        QCOMPARE(m_completions, 0);
    }

    // Back in the top leading corner, close in the top trailing one, in either direction.
    void bannerButtonsFollowLayoutDirection_data()
    {
        QTest::addColumn<QString>("direction");
        QTest::addColumn<int>("backX");
        QTest::addColumn<int>("closeX");
        QTest::addRow("left to right") << "ltr" << 0 << 436;
        QTest::addRow("right-to-left application") << "rtl app" << 436 << 0;
        QTest::addRow("turned right-to-left once built") << "rtl later" << 436 << 0;
    }
    void bannerButtonsFollowLayoutDirection()
    {
        QFETCH(QString, direction);
        QFETCH(int, backX);
        QFETCH(int, closeX);
        if (direction == u"rtl app"_s)
            QApplication::setLayoutDirection(Qt::RightToLeft);
        auto restore = qScopeGuard([] { QApplication::setLayoutDirection(Qt::LeftToRight); });
        m_view = std::make_unique<QWidget>();
        m_view->resize(480, 640);
        WBanner *banner = makeBanner(WBannerPosition::top, 2);
        if (direction == u"rtl later"_s)
            m_view->setLayoutDirection(Qt::RightToLeft);
        QCOMPARE(banner->backButton()->geometry(), QRect(backX, 0, 44, 44));
        QCOMPARE(banner->closeButton()->geometry(), QRect(closeX, 0, 44, 44));
    }

    // The title alone: no description part, no back button, at the top, no completion.
    void oneTextBanner()
    {
        auto *banner = new WBanner(u"Only a title"_s, m_view.get());
        QCOMPARE(banner->position(), WBannerPosition::top);
        QCOMPARE(banner->currentStep(), 0);
        QVERIFY(!banner->backButton());
        QCOMPARE(banner->label()->text(), u"Only a title\n\n"_s + WConfiguration::kTapHereText());
        banner->show();
        banner->showWBanner();
        QTRY_COMPARE(banner->y(), 0);
        QSignalSpy destroyed(banner, &QObject::destroyed);
        QTest::mouseClick(banner, Qt::LeftButton, {}, QPoint(200, banner->height() - 5));
        QVERIFY(destroyed.wait());
    }

    // One slide-out by its own width and one completion, whatever reaches the banner while it leaves.
    void completesOnce_data()
    {
        QTest::addColumn<bool>("tapped");
        QTest::addRow("clickSlidesOutThenCompletesOnce") << true;
        QTest::addRow("stayEndsOnceEvenWithAClick") << false;
    }
    void completesOnce()
    {
        QFETCH(bool, tapped);
        WBanner *banner = makeBanner(WBannerPosition::bottom, 2);
        ClickWhenLeaving clicker;
        if (!tapped)
            banner->installEventFilter(&clicker);
        banner->showWBanner();
        QSignalSpy destroyed(banner, &QObject::destroyed);
        if (tapped) {
            QTRY_COMPARE(banner->y(), banner->restingY());
            for (int tap = 0; tap < 3; ++tap)
                QTest::mouseClick(banner, Qt::LeftButton, {}, QPoint(200, banner->height() - 5));
        }
        QVERIFY(destroyed.wait());
        QVERIFY(tapped || clicker.clicked);
        QCOMPARE(m_completions, 1);
        QCOMPARE(m_geometryAtCompletion.topLeft(), QPoint(-480, 640 - m_geometryAtCompletion.height()));
        // The stay's end dies with the banner: a witness scheduled later fires alone.
        bool witness = false;
        WPerform::delay(WTiming::seconds(30), [&witness] { witness = true; });
        QTRY_VERIFY(witness);
        QCOMPARE(m_completions, 1);
    }

    // The close "X" and the marker's glyph are drawn heavy: 800, not black (900).
    void heavyGlyphs_data()
    {
        QTest::addColumn<QString>("view");
        QTest::addRow("banner close") << u"banner"_s;
        QTest::addRow("mobile card close") << u"mobile"_s;
        QTest::addRow("marker glyph") << u"marker"_s;
    }
    void heavyGlyphs()
    {
        QFETCH(QString, view);
        QWidget *glyph = new WPointerView(QPointF(100, 100), WexoStepView::toolTipTopLeft, m_view.get());
        if (view == u"banner")
            glyph = makeBanner(WBannerPosition::top, 1)->closeButton();
        else if (view == u"mobile")
            glyph = filled<WMobilePopup>(m_view.get(), 1, 2)->closeButton();
        QCOMPARE(glyph->font().weight(), QFont::ExtraBold);
    }

    void pressesStayWithTheBannerAndButtonsGoToTheDelegate()
    {
        QPushButton below(m_view.get());
        below.setGeometry(m_view->rect());
        below.show();
        QSignalSpy belowClicks(&below, &QPushButton::clicked);
        auto recorder = std::make_unique<PrevCloseRecorder<WBannerDelegate, WBanner>>();
        WBanner *banner = makeBanner(WBannerPosition::top, 3);
        banner->raise();
        banner->setDelegate(recorder.get());
        banner->showWBanner();
        QTRY_COMPARE(banner->y(), 0);
        QTest::mouseClick(banner->backButton(), Qt::LeftButton);
        QTest::mouseClick(banner->closeButton(), Qt::LeftButton);
        QCOMPARE(std::pair(recorder->prev, recorder->close), std::pair(1, 1));
        recorder.reset();
        QTest::mouseClick(banner->closeButton(), Qt::LeftButton);
        QTest::mouseClick(banner, Qt::LeftButton, {}, QPoint(240, 60));
        QCOMPARE(belowClicks.size(), 0);
        QTRY_COMPARE(m_completions, 1);
    }

    // The banner's spring goes from 0 to 1 over its duration, past 1 only when under-damped.
    void spring_data()
    {
        QTest::addColumn<qreal>("damping");
        QTest::addColumn<bool>("overshoots");
        QTest::addRow("banner") << 0.3 << true;
        QTest::addRow("no damping") << 0.0 << true;
        QTest::addRow("critical") << 1.0 << false;
        QTest::addRow("overdamped") << 3.0 << false;
    }
    void spring()
    {
        QFETCH(qreal, damping);
        QFETCH(bool, overshoots);
        const auto at = [&](qreal t) { return WSpringAnimation::springValue(t, 1.5, damping, 0.5); };
        qreal peak = 0;
        for (int i = 0; i <= 1000; ++i)
            peak = std::max(peak, at(1.5 * i / 1000));
        QCOMPARE(at(0), 0.0);
        QVERIFY(qAbs(at(1.5 * 0.999) - 1) < 0.001);
        QCOMPARE(peak > 1.0001, overshoots);
    }

    void timingRefusesNonsense()
    {
        for (double bad : {-1.0, double(NAN), double(INFINITY)})
            WTiming::setScale(bad);
        QCOMPARE(WTiming::ms(30), 300);
        QCOMPARE(WTiming::ms(1e300), std::numeric_limits<int>::max());
    }

    // --- Cards ----------------------------------------------------------------

    void popupLayout_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<bool>("bar");
        QTest::addRow("short") << "D" << false;
        QTest::addRow("short with bar") << "D" << true;
        QTest::addRow("long") << QString(40, u'x').append(u" word").repeated(12) << true;
    }
    void popupLayout()
    {
        QFETCH(QString, description);
        QFETCH(bool, bar);
        WPopup popup(u"Your basket"_s, description, WPopupPosition::best, 2, 5, bar);
        const QRect label = popup.textLabel()->geometry();
        QCOMPARE(label.topLeft(), QPoint(0, 0));
        QCOMPARE(popup.width(), label.width());
        // The least size for a short text; a long one grows, up to ten lines.
        if (description.size() == 1)
            QCOMPARE(label.size(), QSize(260, 100));
        else
            QVERIFY(label.width() <= 280 && label.height() > 100 && popup.textLabel()->shownLines().size() == 10);
        // The bar under the text, the counter under that and on top, the tap line centred under it.
        QCOMPARE(popup.progressBar() != nullptr, bar);
        const QRect counter = popup.stepCounter()->geometry(), tap = popup.tapHereLabel()->geometry();
        QVERIFY(counter.top() > (bar ? popup.progressBar()->geometry().bottom() : label.bottom()) && tap.top() > counter.bottom());
        QVERIFY(popup.rect().contains(counter) && popup.rect().contains(tap) && qAbs(tap.center().x() - popup.width() / 2) <= 1);
        QCOMPARE(popup.stepCounter()->stepLabel()->text(), u"Step 2 / 5"_s);
        QCOMPARE(popup.children().constLast(), popup.stepCounter());
        // Every text pixel of the label lies inside its insets.
        const QImage image = ViewTestSupport::drawn(&popup);
        const int inside = pixelsNotOf(image, label.adjusted(10, 10, -10, -10), WConfiguration::kPopupColor());
        QVERIFY(inside > 100);
        QCOMPARE(pixelsNotOf(image, label.adjusted(3, 3, -3, 0), WConfiguration::kPopupColor()), inside);
    }

    void pressesOnTheCardReachItsParent()
    {
        struct Overlay : QWidget {
            int presses = 0;
            void mousePressEvent(QMouseEvent *) override { ++presses; }
        } overlay;
        auto *popup = new WPopup(u"T"_s, u"D"_s, WPopupPosition::up, 1, 2, true, &overlay);
        overlay.show();
        QList<QWidget *> parts = popup->findChildren<QWidget *>();
        parts.append(popup);
        for (QWidget *part : std::as_const(parts))
            QTest::mouseClick(part, Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(overlay.presses, parts.size());
    }

    void backHiddenAtTheFirstStepOnly()
    {
        for (int step : {1, 2, 0})
            QCOMPARE(filled<WMobilePopup>(m_view.get(), step, 3)->backButton()->isVisible(), step != 1);
    }

    void buttonsCallTheDelegateOnce()
    {
        auto recorder = std::make_unique<PrevCloseRecorder<WMobilePopupDelegate, WMobilePopup>>();
        WMobilePopup *popup = filled<WMobilePopup>(m_view.get(), 2, 3);
        popup->setDelegate(recorder.get());
        QTest::mouseClick(popup->backButton(), Qt::LeftButton);
        QTest::mouseClick(popup->closeButton(), Qt::LeftButton);
        QCOMPARE(std::pair(recorder->prev, recorder->close), std::pair(1, 1));
        recorder.reset();
        QTest::mouseClick(popup->closeButton(), Qt::LeftButton);
        QCOMPARE(popup->delegate(), nullptr);
    }

    void longTextsShowFromTheStart_data()
    {
        QTest::addColumn<bool>("heading");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("lastLineEnd");
        QTest::addRow("long description shows its end") << false << QString(u"Choose the size that fits you best. "_s).repeated(6) + u"END"_s << u"END"_s;
        QTest::addRow("long heading on two lines") << true << u"Lower-case type: not a tab-bar item"_s << u"item"_s;
        QTest::addRow("longer heading ends with an ellipsis") << true << u"Lower-case type: not a tab-bar item, nor a cell. "_s.repeated(3) << u"\u2026"_s;
    }
    void longTextsShowFromTheStart()
    {
        QFETCH(bool, heading);
        QFETCH(QString, text);
        QFETCH(QString, lastLineEnd);
        WMobilePopup *popup = heading ? filled<WMobilePopup>(m_view.get(), 1, 3, u"Pick a size."_s, text)
                                      : filled<WMobilePopup>(m_view.get(), 1, 3, text);
        QTRY_COMPARE(popup->descriptionLabel()->height(), popup->descriptionHeight(300));
        WPaddingLabel *label = heading ? popup->headingLabel() : popup->descriptionLabel();
        const QStringList lines = label->shownLines();
        QVERIFY(text.startsWith(lines.constFirst()));
        QVERIFY(lines.constLast().endsWith(lastLineEnd));
        QVERIFY(label->heightForWidth(label->width()) <= label->height());
        // Nothing is drawn up to the label's ends: no line runs past them.
        const QImage image = ViewTestSupport::drawn(popup);
        const QRect area(label->mapTo(popup, QPoint()), label->size());
        for (const int x : {area.left(), area.right() - 1})
            QCOMPARE(pixelsNotOf(image, QRect(x, area.top(), 2, area.height()), WConfiguration::kPopupColor()), 0);
    }

    void percentage_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("total");
        QTest::addColumn<QString>("percent");
        QTest::addColumn<qreal>("bar");
        QTest::addRow("2 of 3 truncates") << 2 << 3 << "66%" << qreal(2.0f / 3.0f);
        QTest::addRow("5 of 4") << 5 << 4 << "125%" << 1.0;
        QTest::addRow("total 0") << 2 << 0 << "0%" << 0.0;
    }
    void percentage()
    {
        QFETCH(int, current);
        QFETCH(int, total);
        QFETCH(QString, percent);
        QFETCH(qreal, bar);
        WDetailedPopup *popup = filled<WDetailedPopup>(m_view.get(), current, total);
        QCOMPARE(popup->progressLabel()->text(), percent);
        QCOMPARE(popup->progressView()->progress(), bar);
        QCOMPARE(popup->stepTitle()->text(), QString::number(current));
        QCOMPARE(WDetailedPopup::percentText(qint64(1) << 40, 1), u"0%"_s);
    }

    void margins_data()
    {
        QTest::addColumn<QString>("css");
        QTest::addColumn<QList<QMargins>>("margins"); // step title, heading, description, progress
        const QList<QMargins> form{{15, 20, 15, 0}, {15, 15, 15, 0}, {15, 0, 15, 0}, {15, 10, 15, 10}};
        QTest::addRow("no template") << QString() << form;
        QTest::addRow("zero and negative margins fall back")
            << R"({"stepsTitle":{"hasProperties":true,"marginT":"0px","marginL":"-3px","marginR":"0px"},
                  "content":{"hasProperties":true},"progressbar":{"hasProperties":true}})" << form;
        QTest::addRow("blocks without properties")
            << R"({"stepsTitle":{"hasProperties":false,"marginL":"8px"},"progressbar":{"hasProperties":false,"marginL":"30px"}})"
            << QList<QMargins>{form[0], form[1], form[2], {10, 10, 10, 10}};
        QTest::addRow("margins taken")
            << R"({"stepsTitle":{"hasProperties":true,"marginL":"8px","marginR":"12px"},
                  "content":{"hasProperties":true,"marginT":"6px","marginL":"9px","marginR":"11px"},
                  "progressbar":{"hasProperties":true,"marginL":"4px","marginR":"5px"}})"
            << QList<QMargins>{{8, 20, 12, 0}, {15, 6, 11, 0}, {9, 6, 11, 0}, {4, 10, 5, 10}};
    }
    void margins()
    {
        QFETCH(QString, css);
        QFETCH(QList<QMargins>, margins);
        QVERIFY(css.isNull() || useTemplate(R"({"success":true,"CssObject":)" + css.toUtf8() + '}'));
        WDetailedPopup *popup = filled<WDetailedPopup>(m_view.get(), 1, 2);
        QCOMPARE(QList<QMargins>({popup->stepTitleMargins(), popup->headingMargins(), popup->descriptionMargins(), popup->progressMargins()}), margins);
    }

    void popInGrowsAndLeavesNoEffect()
    {
        auto *card = new QLabel(u"card"_s, m_view.get());
        card->show();
        QPointer<WPopInEffect> effect = WPopInEffect::popIn(card);
        QCOMPARE(card->graphicsEffect(), effect.data());
        QVERIFY(effect->scale() < 1);
        QTRY_VERIFY(effect.isNull());
        QCOMPARE(card->graphicsEffect(), nullptr);
    }

    // --- Labels ---------------------------------------------------------------

    void lastWordIsDrawnAtTheMeasuredHeight()
    {
        // Measured at the width it is drawn in: the end of a long text shows.
        WPaddingLabel label;
        label.setLeftInset(44), label.setRightInset(44);
        label.setNumberOfLines(10);
        label.setText(kLong);
        label.resize(320, label.heightForWidth(320));
        QVERIFY(label.shownLines().constLast().endsWith(u"LASTWORD"_s));
        QVERIFY(!label.shownLines().join(QString()).contains(QChar(0x2026)));
        QCOMPARE(label.height(), int(label.sizeThatFits(QSizeF(320 - 88, 0)).height()));
    }

    void tenLinesAtMostWithAnEllipsis()
    {
        WPaddingLabel label;
        label.setNumberOfLines(10);
        label.setText(QString(u"word "_s).repeated(200) + u"FINALWORD"_s);
        label.resize(200, label.heightForWidth(200));
        QCOMPARE(label.shownLines().size(), 10);
        QVERIFY(label.shownLines().constLast().endsWith(QChar(0x2026)));
        QVERIFY(!label.shownLines().join(QString()).contains(u"FINALWORD"_s));

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
        for (WPaddingLabel *label : {&measured, &fresh}) {
            label->setAlignment(Qt::Alignment(align));
            label->setNumberOfLines(10);
            label->setText(text);
        }
        measured.sizeThatFits(QSizeF(300, 200));
        for (WPaddingLabel *label : {&measured, &fresh})
            label->resize(260, label->heightForWidth(260));
        QCOMPARE(measured.shownLines(), fresh.shownLines());
        QCOMPARE(ViewTestSupport::drawn(&measured), ViewTestSupport::drawn(&fresh));
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

    // The kept layout changes nothing a person sees: sizes and pixels are a plain label's.
    void looksLikeAPlainLabel_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("align");
        QTest::addColumn<QSize>("extra"); // room beyond the text
        QTest::addRow("tap line, fitted") << u"Tap to dismiss !!"_s << int(Qt::AlignLeft | Qt::AlignVCenter) << QSize();
        QTest::addRow("centred in room") << u"Tap here"_s << int(Qt::AlignCenter) << QSize(41, 17);
        QTest::addRow("right and bottom") << u"<b>Tap</b> & more"_s << int(Qt::AlignRight | Qt::AlignBottom) << QSize(30, 20);
    }
    void looksLikeAPlainLabel()
    {
        QFETCH(QString, text);
        QFETCH(int, align);
        QFETCH(QSize, extra);
        QLabel plain;
        WStaticTextLabel kept;
        for (const QString &shown : {text, text + u" 2"_s}) {
            // A new text is laid out again.
            for (QLabel *label : {&plain, static_cast<QLabel *>(&kept)}) {
                wStylePlainLabel(label, wSystemFont(12, QFont::Bold), Qt::white);
                label->setAlignment(Qt::Alignment(align));
                label->setText(shown);
            }
            QCOMPARE(kept.sizeHint(), plain.sizeHint());
            kept.resize(plain.sizeHint() + extra);
            plain.resize(plain.sizeHint() + extra);
            QCOMPARE(ViewTestSupport::drawn(&kept), ViewTestSupport::drawn(&plain));
        }
    }

    // --- Marker and pulse -----------------------------------------------------

    void placeAndLook_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QPointF>("anchor");
        QTest::addColumn<QPointF>("centre");
        // By raw value: banners, popover and screen, then pulse and tooltip kinds TL, TR, BL, BR.
        const qreal shifts[] = {0, 0, 0, 0, -15, 15, -15, 15, -15, 15, -15, 15};
        for (int kind = 0; kind < 12; ++kind)
            QTest::addRow("kind %d", kind) << kind << QPointF(100, 200) << QPointF(100 + shifts[kind], 200);
        // At the view's edges the whole disc stays inside, moved in along the edge it crosses.
        QTest::addRow("tooltip top-left at the left edge") << int(WexoStepView::toolTipTopLeft) << QPointF(0, 200) << QPointF(12.5, 200);
        QTest::addRow("pulse bottom-left at the left edge") << int(WexoStepView::pulseBottomLeft) << QPointF(8, 200) << QPointF(12.5, 200);
        QTest::addRow("tooltip top-right at the right edge") << int(WexoStepView::toolTipTopRight) << QPointF(480, 200) << QPointF(467.5, 200);
        QTest::addRow("pulse top-right at the top-right corner") << int(WexoStepView::pulseTopRight) << QPointF(470, 0) << QPointF(467.5, 12.5);
        QTest::addRow("tooltip bottom-right at the bottom") << int(WexoStepView::toolTipBottomRight) << QPointF(100, 640) << QPointF(115, 627.5);
    }
    void placeAndLook()
    {
        QFETCH(int, kind);
        QFETCH(QPointF, anchor);
        QFETCH(QPointF, centre);
        auto *marker = new WPointerView(anchor, WexoStepView(kind), m_view.get());
        marker->show();
        QVERIFY(m_view->rect().contains(marker->geometry()));
        QVERIFY((QRectF(marker->geometry()).center() - centre).manhattanLength() <= 1);
        QCOMPARE(marker->pulse() != nullptr, kind < int(WexoStepView::toolTipTopLeft));
        if (!marker->pulse())
            return;
        // The pulse centred on the marker and above it, moved, hidden and deleted with it.
        QPointer<WPulse> pulse = marker->pulse();
        QVERIFY(pulse->isVisible());
        QCOMPARE(m_view->children().constLast(), static_cast<QObject *>(pulse.data()));
        for (const QPoint by : {QPoint(), QPoint(30, 5)}) {
            marker->move(marker->pos() + by);
            QCOMPARE(QRectF(pulse->geometry()).center(), QRectF(marker->geometry()).center());
        }
        marker->hide();
        QVERIFY(!pulse->isVisible());
        delete marker;
        QTRY_VERIFY(pulse.isNull());
    }

    void clicksOnTheMarkerAndThroughThePulse()
    {
        QPushButton below(m_view.get());
        below.setGeometry(m_view->rect());
        below.show();
        QSignalSpy belowClicks(&below, &QPushButton::clicked);
        auto recorder = std::make_unique<MarkerRecorder>();
        auto *marker = new WPointerView(QPointF(200, 200), WexoStepView::pulseTopRight, m_view.get());
        marker->setDelegate(recorder.get());
        marker->show();
        QTest::mouseClick(m_view->childAt(marker->geometry().center()), Qt::LeftButton);
        QCOMPARE(recorder->taps, 1);
        QCOMPARE(belowClicks.size(), 0);
        // A click inside the pulse's disc but off the marker reaches the widget below.
        const QPoint offMarker = marker->geometry().center() + QPoint(40, 0);
        QVERIFY(marker->pulse()->geometry().contains(offMarker));
        QCOMPARE(m_view->childAt(offMarker), &below);
        QTest::mouseClick(&below, Qt::LeftButton, {}, offMarker);
        QCOMPARE(belowClicks.size(), 1);
        recorder.reset();
        QTest::mouseClick(marker, Qt::LeftButton);
        QCOMPARE(marker->delegate(), nullptr);
    }

    // With a rest after each pulse, a cycle is the pulse and the rest; the pulse
    // runs in its first part and then stays unseen. Set before the set-up
    // returns, the properties make the animation.
    void pulseRestsBetweenPulses_data()
    {
        QTest::addColumn<qreal>("rest");
        QTest::addColumn<qreal>("at"); // share of the cycle
        QTest::addColumn<bool>("seen");
        QTest::addRow("no rest: mid-pulse") << 0.0 << 0.7 << true;
        QTest::addRow("rest: mid-pulse") << 0.5 << 0.3 << true;
        QTest::addRow("rest: resting") << 0.5 << 0.7 << false;
    }
    void pulseRestsBetweenPulses()
    {
        QFETCH(qreal, rest);
        QFETCH(qreal, at);
        QFETCH(bool, seen);
        // Enough pulses not to end while the test waits for the set-up.
        QPointer<WPulse> pulse = new WPulse(1000.0f, 40, QPointF(50, 50), m_view.get());
        pulse->setAnimationDuration(0.5);
        pulse->setNextPulseAfter(rest);
        pulse->setInitialPulseScale(0.2);
        QTRY_VERIFY(pulse->animation());
        QVariantAnimation *animation = pulse->animation();
        QCOMPARE(animation->duration(), WTiming::ms(0.5 + rest));
        QCOMPARE(animation->loopCount(), 1000);
        animation->pause();
        animation->setCurrentTime(qRound(animation->duration() * at));
        QCOMPARE(pulse->currentOpacity() > 0, seen);
        QCOMPARE(pulse->currentScale() < 1, seen);
        QVERIFY(pulse->currentScale() >= 0.2);

        // The radius keeps the centre; another animation takes over without ending the pulse.
        const QPointF centre = QRectF(pulse->geometry()).center();
        pulse->setRadius(10);
        QCOMPARE(QRectF(pulse->geometry()).center(), centre);
        QCOMPARE(pulse->width(), 21);
        QPointer<QVariantAnimation> replaced = animation;
        auto *own = new QVariantAnimation;
        pulse->setAnimation(own);
        QCOMPARE(pulse->animation(), own);
        QCOMPARE(own->state(), QAbstractAnimation::Running);
        QTRY_VERIFY(replaced.isNull());
        pulse->setNumberOfPulses(0);
        QTRY_VERIFY(pulse.isNull());
    }

    void pulseDeletesItselfWhenStopped_data()
    {
        QTest::addColumn<float>("count");
        QTest::addColumn<QString>("end"); // what ends a pulse that would run on
        constexpr float endless = std::numeric_limits<float>::infinity();
        QTest::addRow("stopped") << endless << u"stop"_s;
        QTest::addRow("animation removed") << endless << u"remove"_s;
        QTest::addRow("ran its count") << 2.0f << QString();
        QTest::addRow("no pulses") << 0.0f << QString();
    }
    void pulseDeletesItselfWhenStopped()
    {
        QFETCH(float, count);
        QFETCH(QString, end);
        QPointer<WPulse> pulse = new WPulse(count, 80, QPointF(50, 50), m_view.get());
        if (!end.isEmpty()) {
            QTRY_VERIFY(pulse->animation());
            if (end == u"stop")
                pulse->animation()->stop();
            else
                pulse->setAnimation(nullptr);
        }
        QTRY_VERIFY(pulse.isNull());
    }
};

QTEST_MAIN(tst_WViews)
#include "tst_wviews.moc"
