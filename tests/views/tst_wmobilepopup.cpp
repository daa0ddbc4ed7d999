#include "support/ViewTestSupport.h"

#include "WexoCreator/configuration/WConfiguration.h"
#include "WexoCreator/views/WMobilePopup.h"
#include "WexoCreator/views/WPaddingLabel.h"
#include "WexoCreator/views/WProgressBar.h"
#include "WexoCreator/views/WStepNumberView.h"

#include <QLabel>
#include <QTest>
#include <QToolButton>

using namespace WexoCreator;
using namespace Qt::StringLiterals;

namespace {

using Recorder = PrevCloseRecorder<WMobilePopupDelegate, WMobilePopup>;

WMobilePopup *designed(QWidget *parent, qint64 step, qint64 total, const QString &description = u"Pick a size."_s,
                       const QString &title = u"Sizes <b>"_s)
{
    WMobilePopup *popup = WMobilePopup::createView(QString(), parent);
    popup->setTitle(title);
    popup->setDescriptionText(description);
    popup->setCurrentStep(step);
    popup->setTotalSteps(total);
    popup->updateTemplate();
    popup->resize(300, popup->descriptionHeight(300) + WMobilePopup::kChromeHeight);
    popup->show();
    return popup;
}

} // namespace

class tst_WMobilePopup : public QObject
{
    Q_OBJECT

    std::unique_ptr<QWidget> m_view;

private Q_SLOTS:
    void initTestCase() { ViewTestSupport::setUp(); }
    void init()
    {
        m_view = ViewTestSupport::shownView(QSize(400, 700));
    }
    void cleanup()
    {
        m_view.reset();
        ViewTestSupport::clearTemplate();
    }

    void design_data()
    {
        QTest::addColumn<bool>("templated");
        QTest::addColumn<QString>("tapText");
        QTest::addColumn<QString>("colors"); // tap text, track, fill
        QTest::addRow("no template") << false << "Tap to dismiss !!" << "#ffffff #af90ef #af90ef";
        // The sample's fonts are not downloaded: the fixed fonts stand in, whatever the sizes.
        QTest::addRow("sample template") << true << "Tap here" << "#ffeb3b #66bb6a #37474f";
    }

    void design()
    {
        QFETCH(bool, templated);
        QFETCH(QString, tapText);
        QFETCH(QString, colors);
        if (templated)
            QVERIFY(ViewTestSupport::useSampleTemplate());
        WMobilePopup *popup = designed(m_view.get(), 2, 5);
        QCOMPARE(popup->headingLabel()->text(), u"Sizes <b>"_s);
        QCOMPARE(popup->headingLabel()->font().pixelSize(), 16);
        QCOMPARE(popup->headingLabel()->font().weight(), QFont::Bold);
        QCOMPARE(popup->headingLabel()->palette().color(QPalette::WindowText).name(), u"#ffffff"_s);
        QCOMPARE(popup->descriptionLabel()->font().pixelSize(), 14);
        QCOMPARE(popup->dismissLabel()->text(), tapText);
        QCOMPARE(popup->dismissLabel()->font().pixelSize(), 10);
        QCOMPARE(QStringList({popup->dismissLabel()->palette().color(QPalette::WindowText).name(),
                              popup->progressView()->trackColor().name(), popup->progressView()->progressTintColor().name()})
                     .join(u' '),
                 colors);
        QCOMPARE(popup->progressView()->progress(), qreal(2.0f / 5.0f));
        QCOMPARE(popup->closeButton()->text(), u"X"_s);
        QVERIFY(popup->backButton()->isVisible());

        // The badge: 44 high, 20 below the bar, its right edge its text width + 20 in.
        const QRect bar(popup->progressView()->mapTo(popup, QPoint()), popup->progressView()->size());
        const QRect badge = popup->stepBadge()->geometry();
        const int textWidth = popup->stepBadge()->stepLabel()->width();
        QCOMPARE(popup->stepBadge()->stepLabel()->text(), u"Step 2 / 5"_s);
        QCOMPARE(popup->stepBadge()->stepLabel()->pos(), QPoint(0, 0));
        QCOMPARE(badge.top(), bar.bottom() + 1 + 20);
        QCOMPARE(badge.height(), 44);
        QCOMPARE(badge.right() + 1, popup->width() - textWidth - 20);
        QVERIFY(badge.bottom() < popup->height());
    }

    void backHiddenAtTheFirstStepOnly()
    {
        for (int step : {1, 2, 0})
            QCOMPARE(designed(m_view.get(), step, 3)->backButton()->isVisible(), step != 1);
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
        WMobilePopup *popup = heading ? designed(m_view.get(), 1, 3, u"Pick a size."_s, text) : designed(m_view.get(), 1, 3, text);
        QTRY_COMPARE(popup->descriptionLabel()->height(), popup->descriptionHeight(300));
        WPaddingLabel *label = heading ? popup->headingLabel() : popup->descriptionLabel();
        const QStringList lines = label->shownLines();
        QVERIFY(text.startsWith(lines.constFirst()));
        QVERIFY(lines.constLast().endsWith(lastLineEnd));
        QVERIFY(label->heightForWidth(label->width()) <= label->height());
        // Nothing is drawn up to the label's ends: no line runs past them.
        const QImage image = ViewTestSupport::snapshot(popup, u"mobile-popup-long-text"_s);
        const QRect area(label->mapTo(popup, QPoint()), label->size());
        for (const int x : {area.left(), area.right() - 1})
            QCOMPARE(ViewTestSupport::pixelsNotOf(image, QRect(x, area.top(), 2, area.height()), WConfiguration::kPopupColor()), 0);
    }

    void buttonsCallTheDelegateOnce()
    {
        auto recorder = std::make_unique<Recorder>();
        WMobilePopup *popup = designed(m_view.get(), 2, 3);
        popup->setDelegate(recorder.get());
        QTest::mouseClick(popup->backButton(), Qt::LeftButton);
        QTest::mouseClick(popup->closeButton(), Qt::LeftButton);
        QCOMPARE(recorder->prev, 1);
        QCOMPARE(recorder->close, 1);
        recorder.reset();
        QTest::mouseClick(popup->backButton(), Qt::LeftButton);
        QTest::mouseClick(popup->closeButton(), Qt::LeftButton);
        QCOMPARE(popup->delegate(), nullptr);
    }

    void snapshot()
    {
        QVERIFY(ViewTestSupport::useSampleTemplate());
        WMobilePopup *popup = designed(m_view.get(), 2, 4, u"Everything you picked waits in the basket until you pay."_s);
        const QImage image = ViewTestSupport::snapshot(popup, u"mobile-popup"_s);
        QCOMPARE(ViewTestSupport::pixelAt(image, QPointF(0.2, 0.2)).alpha(), 0);
        QCOMPARE(ViewTestSupport::pixelAt(image, QPointF(150, popup->height() - 3)), QColor(u"#263238"_s));
        const QRect bar(popup->progressView()->mapTo(popup, QPoint()), popup->progressView()->size());
        const qreal fillEnd = bar.left() + bar.width() * 0.5;
        QCOMPARE(ViewTestSupport::pixelAt(image, QPointF(fillEnd - 2, bar.center().y() + 0.5)), QColor(u"#37474F"_s));
        QCOMPARE(ViewTestSupport::pixelAt(image, QPointF(fillEnd + 2, bar.center().y() + 0.5)), QColor(u"#66BB6A"_s));
    }
};

QTEST_MAIN(tst_WMobilePopup)
#include "tst_wmobilepopup.moc"
