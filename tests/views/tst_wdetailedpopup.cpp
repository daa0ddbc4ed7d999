#include "support/ViewTestSupport.h"

#include "WexoCreator/views/WDetailedPopup.h"
#include "WexoCreator/views/WPaddingLabel.h"
#include "WexoCreator/views/WProgressBar.h"

#include <QJsonDocument>
#include <QLabel>
#include <QTest>

using namespace WexoCreator;
using namespace Qt::StringLiterals;

namespace {

WDetailedPopup *filled(QWidget *parent, qint64 current, qint64 total)
{
    WDetailedPopup *popup = WDetailedPopup::createView(QString(), parent);
    popup->setTitle(u"Checkout <i>"_s);
    popup->setDescriptionText(u"Pay with a card or on delivery."_s);
    popup->setCurrentStep(current);
    popup->setTotalSteps(total);
    popup->updateTemplate();
    return popup;
}

} // namespace

class tst_WDetailedPopup : public QObject
{
    Q_OBJECT

    std::unique_ptr<QWidget> m_view;

private Q_SLOTS:
    void initTestCase() { ViewTestSupport::setUp(); }
    void init() { m_view = ViewTestSupport::shownView(QSize(400, 400)); }
    void cleanup()
    {
        m_view.reset();
        ViewTestSupport::clearTemplate();
    }

    void percentage_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("total");
        QTest::addColumn<QString>("percent");
        QTest::addColumn<qreal>("bar");
        QTest::addRow("2 of 3 truncates") << 2 << 3 << "66%" << qreal(2.0f / 3.0f);
        QTest::addRow("1 of 7") << 1 << 7 << "14%" << qreal(1.0f / 7.0f);
        QTest::addRow("5 of 4") << 5 << 4 << "125%" << 1.0;
        QTest::addRow("total 0") << 2 << 0 << "0%" << 0.0;
        QTest::addRow("0 of 0") << 0 << 0 << "0%" << 0.0;
    }

    void percentage()
    {
        QFETCH(int, current);
        QFETCH(int, total);
        QFETCH(QString, percent);
        QFETCH(qreal, bar);
        WDetailedPopup *popup = filled(m_view.get(), current, total);
        QCOMPARE(popup->progressLabel()->text(), percent);
        QCOMPARE(popup->progressView()->progress(), bar);
        QCOMPARE(popup->stepTitle()->text(), QString::number(current));
        QCOMPARE(popup->headingLabel()->text(), u"Checkout <i>"_s);
        QCOMPARE(WDetailedPopup::percentText(qint64(1) << 40, 1), u"0%"_s);
    }

    void margins_data()
    {
        QTest::addColumn<QString>("css");
        QTest::addColumn<QMargins>("stepTitle");
        QTest::addColumn<QMargins>("heading");
        QTest::addColumn<QMargins>("description");
        QTest::addColumn<QMargins>("progress");
        const QMargins formStep(15, 20, 15, 0), formHeading(15, 15, 15, 0), formDescription(15, 0, 15, 0),
            formProgress(15, 10, 15, 10);
        QTest::addRow("no template") << QString() << formStep << formHeading << formDescription << formProgress;
        QTest::addRow("no style blocks") << "{}" << formStep << formHeading << formDescription << QMargins(10, 10, 10, 10);
        QTest::addRow("zero and negative margins fall back")
            << R"({"stepsTitle":{"hasProperties":true,"marginT":"0px","marginL":"-3px","marginR":"0px"},
                  "content":{"hasProperties":true},"progressbar":{"hasProperties":true}})"
            << QMargins(15, 20, 15, 0) << QMargins(15, 15, 15, 0) << QMargins(15, 0, 15, 0) << QMargins(15, 10, 15, 10);
        QTest::addRow("blocks without properties")
            << R"({"stepsTitle":{"hasProperties":false,"marginL":"8px"},"progressbar":{"hasProperties":false,"marginL":"30px"}})"
            << formStep << formHeading << formDescription << QMargins(10, 10, 10, 10);
        QTest::addRow("margins taken")
            << R"({"stepsTitle":{"hasProperties":true,"marginL":"8px","marginR":"12px"},
                  "content":{"hasProperties":true,"marginT":"6px","marginL":"9px","marginR":"11px"},
                  "progressbar":{"hasProperties":true,"marginL":"4px","marginR":"5px"}})"
            << QMargins(8, 20, 12, 0) << QMargins(15, 6, 11, 0) << QMargins(9, 6, 11, 0) << QMargins(4, 10, 5, 10);
    }

    void margins()
    {
        QFETCH(QString, css);
        QFETCH(QMargins, stepTitle);
        QFETCH(QMargins, heading);
        QFETCH(QMargins, description);
        QFETCH(QMargins, progress);
        if (!css.isNull()) {
            QJsonObject answer{{u"success"_s, true}, {u"CssObject"_s, QJsonDocument::fromJson(css.toUtf8()).object()}};
            QVERIFY(ViewTestSupport::useTemplate(answer));
        }
        WDetailedPopup *popup = filled(m_view.get(), 1, 2);
        QCOMPARE(popup->stepTitleMargins(), stepTitle);
        QCOMPARE(popup->headingMargins(), heading);
        QCOMPARE(popup->descriptionMargins(), description);
        QCOMPARE(popup->progressMargins(), progress);
    }

    void snapshot()
    {
        QVERIFY(ViewTestSupport::useSampleTemplate());
        WDetailedPopup *popup = filled(m_view.get(), 2, 3);
        popup->resize(300, popup->heightForWidth(300) > 0 ? popup->heightForWidth(300) : popup->sizeHint().height());
        popup->show();
        const QImage image = ViewTestSupport::snapshot(popup, u"detailed-popup"_s);
        QCOMPARE(ViewTestSupport::pixelAt(image, QPointF(0.2, 0.2)).alpha(), 0);
        const QRect holder = popup->progressHolder()->geometry();
        // The wrapper's colour between the rules, the light grey rule on top.
        QCOMPARE(ViewTestSupport::pixelAt(image, QPointF(holder.left() + 3, holder.top() + 3)), QColor(u"#1C262B"_s));
        QCOMPARE(ViewTestSupport::pixelAt(image, QPointF(holder.left() + 3, holder.top() + 0.5)), QColor(0xAA, 0xAA, 0xAA));
        const QRect bar(popup->progressView()->mapTo(popup, QPoint()), popup->progressView()->size());
        const qreal fillEnd = bar.left() + bar.width() * (2.0 / 3.0);
        QCOMPARE(ViewTestSupport::pixelAt(image, QPointF(fillEnd - 2, bar.center().y() + 0.5)), QColor(u"#37474F"_s));
        QCOMPARE(ViewTestSupport::pixelAt(image, QPointF(fillEnd + 2, bar.center().y() + 0.5)), QColor(0xAA, 0xAA, 0xAA));
    }
};

QTEST_MAIN(tst_WDetailedPopup)
#include "tst_wdetailedpopup.moc"
