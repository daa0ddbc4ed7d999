#include "support/ViewTestSupport.h"

#include "WexoCreator/configuration/WConfiguration.h"
#include "WexoCreator/views/WPaddingLabel.h"
#include "WexoCreator/views/WPopup.h"
#include "WexoCreator/views/WProgressBar.h"
#include "WexoCreator/views/WStepNumberView.h"

#include <QLabel>
#include <QTest>

using namespace WexoCreator;
using namespace Qt::StringLiterals;

class tst_WPopup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { ViewTestSupport::setUp(); }
    void cleanup() { ViewTestSupport::clearTemplate(); }

    void layout_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("description");
        QTest::addColumn<bool>("bar");
        QTest::addColumn<bool>("minimumSize");
        QTest::addRow("one letter") << "T" << "D" << false << true;
        QTest::addRow("one letter with bar") << "T" << "D" << true << true;
        QTest::addRow("empty") << "" << "" << true << true;
        QTest::addRow("long") << "Your basket" << QString(40, u'x').append(u" word").repeated(12) << true << false;
    }

    void layout()
    {
        QFETCH(QString, title);
        QFETCH(QString, description);
        QFETCH(bool, bar);
        QFETCH(bool, minimumSize);
        WPopup popup(title, description, WPopupPosition::best, 2, 5, bar);
        const QRect label = popup.textLabel()->geometry();
        const int w = label.width(), h = label.height();
        QCOMPARE(label.topLeft(), QPoint(0, 0));
        QCOMPARE(popup.geometry().topLeft(), QPoint(0, 0));
        QCOMPARE(popup.width(), w);
        if (minimumSize)
            QCOMPARE(QSize(w, h), QSize(260, 100));
        else
            QVERIFY(w <= 280 && h > 100 && popup.textLabel()->shownLines().size() == 10);
        QCOMPARE(popup.progressBar() != nullptr, bar);
        int contentBottom = h;
        if (bar) {
            QCOMPARE(popup.progressBar()->geometry(), QRect(10, h + 10, w - 20, 5));
            contentBottom += 15;
        }
        const QRect counter = popup.stepCounter()->geometry();
        QCOMPARE(counter.right() + 1, w - 10);
        QCOMPARE(counter.top(), contentBottom + 10);
        QCOMPARE(popup.stepCounter()->stepLabel()->text(), u"Step 2 / 5"_s);
        // The tap line: centred, one of its own line heights below the counter.
        const QRect tap = popup.tapHereLabel()->geometry();
        QVERIFY(qAbs(tap.center().x() - w / 2) <= 1);
        QCOMPARE(tap.top(), counter.bottom() + 1 + tap.height());
        QCOMPARE(popup.height(), counter.bottom() + 1 + 2 * tap.height() + 10);
        QCOMPARE(popup.tapHereLabel()->text(), u"Tap to dismiss !!"_s);
        QCOMPARE(popup.children().constLast(), popup.stepCounter());
    }

    void pressesOnTheCardReachItsParent()
    {
        struct Overlay : QWidget {
            int presses = 0;
            void mousePressEvent(QMouseEvent *) override { ++presses; }
        } overlay;
        overlay.resize(400, 400);
        auto *popup = new WPopup(u"T"_s, u"D"_s, WPopupPosition::up, 1, 2, true, &overlay);
        overlay.show();
        QList<QWidget *> parts = popup->findChildren<QWidget *>();
        parts.append(popup);
        for (QWidget *part : std::as_const(parts))
            QTest::mouseClick(part, Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(overlay.presses, parts.size());
    }

    void progress_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("total");
        QTest::addColumn<qreal>("progress");
        QTest::addRow("3 of 4") << 3 << 4 << 0.75;
        QTest::addRow("4 of 4") << 4 << 4 << 1.0;
        QTest::addRow("total 0") << 2 << 0 << 0.0;
    }

    void progress()
    {
        QFETCH(int, current);
        QFETCH(int, total);
        QFETCH(qreal, progress);
        WPopup popup(u"T"_s, u"D"_s, WPopupPosition::up, current, total, true);
        QCOMPARE(popup.progressBar()->progress(), progress);
    }

    void snapshots_data()
    {
        QTest::addColumn<bool>("templated");
        QTest::addRow("popup-default") << false;
        QTest::addRow("popup-templated") << true;
    }

    void snapshots()
    {
        QFETCH(bool, templated);
        if (templated)
            QVERIFY(ViewTestSupport::useSampleTemplate());
        WPopup popup(u"Your basket"_s, u"Everything you picked waits here until you pay. <b>Plain</b> text."_s,
                     WPopupPosition::up, 3, 4, true);
        const QImage image = ViewTestSupport::snapshot(&popup, QString::fromLatin1(QTest::currentDataTag()));
        const QColor card = WConfiguration::kPopupColor();
        QCOMPARE(ViewTestSupport::pixelAt(image, QPointF(0.2, 0.2)).alpha(), 0);
        QCOMPARE(ViewTestSupport::pixelAt(image, QPointF(popup.width() - 0.2, popup.height() - 0.2)).alpha(), 0);
        QCOMPARE(ViewTestSupport::pixelAt(image, QPointF(4, popup.height() / 2)), card);

        const QRect bar = popup.progressBar()->geometry();
        const qreal fillEnd = bar.left() + bar.width() * 0.75;
        QCOMPARE(ViewTestSupport::pixelAt(image, QPointF(fillEnd - 2, bar.center().y())), WConfiguration::kProgressBgColor());
        QCOMPARE(ViewTestSupport::pixelAt(image, QPointF(fillEnd + 2, bar.center().y())), WConfiguration::kProgressColor());

        // Every text pixel of the label lies inside its insets.
        const QRect label = popup.textLabel()->geometry();
        const int inside = ViewTestSupport::pixelsNotOf(image, label.adjusted(10, 10, -10, -10), card);
        QVERIFY(inside > 200);
        // The whole label less its rounded top corners holds no more.
        QCOMPARE(ViewTestSupport::pixelsNotOf(image, label.adjusted(3, 3, -3, 0), card), inside);
    }
};

QTEST_MAIN(tst_WPopup)
#include "tst_wpopup.moc"
