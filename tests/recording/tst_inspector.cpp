#include "WexoCreator/manager/WexoButtonController.h"
#include "WexoCreator/manager/WexoButtonWindow.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/recording/FrameView.h"
#include "WexoCreator/recording/Inspector.h"
#include "WexoCreator/recording/WPlayConsole.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QImage>
#include <QSet>
#include <QMainWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using namespace WexoCreator;

namespace {

using OptRect = std::optional<QRectF>;

// The one colour the outline is drawn in, "none" when nothing is drawn.
QString outlineColour(FrameView &view)
{
    const QImage image = view.grab().toImage();
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) != 0)
                colours.insert(image.pixel(x, y));
        }
    }
    if (colours.size() != 1)
        return colours.isEmpty() ? QStringLiteral("none") : QStringLiteral("mixed");
    return QColor(*colours.begin()).name();
}

// The lengths of the inked and blank stretches along a row or a column of
// pixels; the two end stretches, cut by the range, are dropped.
QList<int> dashRuns(const QImage &image, bool row, int at, int from, int to)
{
    QList<int> runs;
    bool ink = false;
    for (int i = from; i <= to; ++i) {
        const bool here = qAlpha(row ? image.pixel(i, at) : image.pixel(at, i)) != 0;
        if (i == from || here != ink)
            runs << 0;
        ++runs.last();
        ink = here;
    }
    if (runs.size() < 2)
        return {};
    return runs.mid(1, runs.size() - 2);
}

// The row (or column) near `around` with the most ink between from and to.
int inkiest(const QImage &image, bool row, int around, int from, int to)
{
    int best = around;
    int most = -1;
    for (int at = around - 1; at <= around + 1; ++at) {
        int count = 0;
        for (int i = from; i <= to; ++i)
            count += qAlpha(row ? image.pixel(i, at) : image.pixel(at, i)) != 0;
        if (count > most) {
            most = count;
            best = at;
        }
    }
    return best;
}

} // namespace

class tst_Inspector : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        auto *central = new QWidget;
        auto *layout = new QVBoxLayout(central);
        m_button = new QPushButton(QStringLiteral("Host button"));
        layout->addWidget(m_button);
        m_host.setCentralWidget(central);
        m_host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_host));
    }

    void pickOutline_data()
    {
        QTest::addColumn<OptRect>("mainRect");
        QTest::addColumn<OptRect>("superRect");
        QTest::addColumn<QString>("colour"); 

        const QRectF screen(0, 0, 320, 480);
        QTest::addRow("whole offsets") << OptRect(QRectF(10, 20, 100, 40)) << OptRect(screen) << "#0000ff";
        QTest::addRow("fractional x") << OptRect(QRectF(10.5, 20, 100, 40)) << OptRect(screen) << "#ff0000";
        QTest::addRow("fractional y") << OptRect(QRectF(10, 20.25, 100, 40)) << OptRect(screen) << "#ff0000";
        QTest::addRow("fractional only against a pick at x 0")
            << OptRect(QRectF(0, 20, 100, 40)) << OptRect(QRectF(0.5, 0, 320, 480)) << "#0000ff";
        QTest::addRow("parent is the window") << OptRect(QRectF(10.5, 20.5, 100, 40)) << OptRect(QRectF()) << "#0000ff";
        QTest::addRow("no parent rectangle") << OptRect(QRectF(10, 20, 100, 40)) << OptRect() << "none";
        QTest::addRow("pick of zero width") << OptRect(QRectF(10, 20, 0, 40)) << OptRect(screen) << "none";
    }

    void pickOutline()
    {
        QFETCH(OptRect, mainRect);
        QFETCH(OptRect, superRect);
        QFETCH(QString, colour);
        FrameView view(QRect(0, 0, 320, 480), nullptr, nullptr);
        if (mainRect)
            view.setMainRect(*mainRect);
        if (superRect)
            view.setSuperRect(*superRect);
        QCOMPARE(outlineColour(view), colour);
    }

    // A pick keeps the geometry and opacity it had when it was picked.
    void pickKeepsItsOriginalFrameAndAlpha()
    {
        Inspector &inspector = WexolinManager::inspector();
        inspector.selectView(m_button);
        QCOMPARE(inspector.originalFrame(), std::optional<QRect>(m_button->geometry()));
        QCOMPARE(inspector.originalAlpha(), 1.0);
        inspector.selectView(nullptr);
        QCOMPARE(inspector.originalFrame(), std::nullopt);
        QCOMPARE(inspector.originalAlpha(), 1.0);
    }

    // The labels' texts, and which lines are due, for a pick in its parent.
    void distanceGuides_data()
    {
        QTest::addColumn<QRectF>("mainRect");
        QTest::addColumn<QRectF>("superRect");
        QTest::addColumn<QStringList>("texts"); // left, right, top, bottom
        QTest::addColumn<QString>("lines");

        QTest::addRow("parent past the pick on every side")
            << QRectF(40, 60, 100, 40) << QRectF(0, 0, 320, 480) << QStringList{"40", "180", "60", "380"} << "left right top bottom";
        QTest::addRow("fractional offsets give tenths")
            << QRectF(10.5, 20, 100, 40) << QRectF(0, 0, 320, 480) << QStringList{"10.5", "209.5", "20.0", "420.0"}
            << "left right top bottom";
        QTest::addRow("parent ends before the pick's right and bottom edges")
            << QRectF(40, 60, 100, 40) << QRectF(0, 0, 120, 90) << QStringList{"40", "-20", "60", "-10"} << "left top";
        QTest::addRow("parent ending where the pick ends draws no right or bottom line")
            << QRectF(40, 60, 100, 40) << QRectF(10, 20, 130, 80) << QStringList{"30", "0", "40", "0"} << "left top";
    }
    void distanceGuides()
    {
        QFETCH(QRectF, mainRect);
        QFETCH(QRectF, superRect);
        QFETCH(QStringList, texts);
        QFETCH(QString, lines);
        QFont font = QApplication::font();
        font.setPixelSize(10);
        const QList<FrameView::Guide> guides = FrameView::distanceGuides(mainRect, superRect, QFontMetricsF(font));
        QStringList gotTexts;
        QStringList gotLines;
        const QStringList names{"left", "right", "top", "bottom"};
        for (int i = 0; i < guides.size(); ++i) {
            gotTexts << guides.at(i).text;
            if (guides.at(i).line)
                gotLines << names.at(i);
        }
        QCOMPARE(gotTexts, texts);
        QCOMPARE(gotLines.join(u' '), lines);
        // The left label sits just inside the parent, ending above the guide line.
        QCOMPARE(guides.first().labelOrigin.x(), superRect.left() + 1);
        QVERIFY(guides.first().labelOrigin.y() < guides.first().line->y1());
    }

    // Drawn, the guides are dashed three on, three off, in the outline's
    // colour; switched off, nothing but the outline is drawn.
    void distanceGuidePixels_data()
    {
        QTest::addColumn<bool>("showLines");
        QTest::addRow("switched on") << true;
        QTest::addRow("switched off") << false;
    }
    void distanceGuidePixels()
    {
        QFETCH(bool, showLines);
        FrameView view(QRect(0, 0, 320, 480), nullptr, nullptr);
        view.showLines = showLines;
        view.setMainRect(QRectF(40, 60, 100, 40));
        view.setSuperRect(QRectF(0, 0, 320, 480));
        const QImage image = view.grab().toImage();
        const int gy = 79;  // floor of the outline's middle, 79.5
        const int gx = 89;  // 89.5
        const int leftRow = inkiest(image, true, gy, 16, 36);
        const int rightRow = inkiest(image, true, gy, 150, 300);
        const int topColumn = inkiest(image, false, gx, 4, 56);
        const int bottomColumn = inkiest(image, false, gx, 110, 460);
        const QList<QList<int>> runs{dashRuns(image, true, leftRow, 16, 36), dashRuns(image, true, rightRow, 150, 300),
                                     dashRuns(image, false, topColumn, 4, 56), dashRuns(image, false, bottomColumn, 110, 460)};
        for (const QList<int> &guide : runs) {
            if (!showLines) {
                QVERIFY(guide.isEmpty());
                continue;
            }
            QVERIFY(guide.size() >= 4);
            for (int length : guide)
                QCOMPARE(length, 3);
        }
        if (!showLines)
            return;
        // In the outline's blue, with the left label's ink above its line.
        int x = 16;
        while (qAlpha(image.pixel(x, leftRow)) == 0)
            ++x;
        QCOMPARE(image.pixelColor(x, leftRow), QColor(Qt::blue));
        int labelInk = 0;
        for (int y = 60; y < leftRow; ++y) {
            for (x = 1; x < 14; ++x)
                labelInk += qAlpha(image.pixel(x, y)) != 0;
        }
        QVERIFY(labelInk > 0);
    }

    void switchingCoversTheHostOrLetsItsClicksThrough()
    {
        Inspector &inspector = WexolinManager::inspector();
        QSignalSpy clicked(m_button, &QPushButton::clicked);
        WexolinManager::enableIntrospect();
        FrameView *frame = inspector.frameView();
        QVERIFY(inspector.on && frame);
        QCOMPARE(frame->geometry(), m_host.rect());
        QCOMPARE(m_host.children().last(), frame);
        QTRY_COMPARE(Inspector::alpha(frame), 1.0);
        clickButtonThroughTheWindow();
        QCOMPARE(clicked.count(), 0);

        // Switching on again changes nothing; the inspector's own switch turns
        // it off at once and outlines every widget of the window.
        WexolinManager::enableIntrospect();
        QVERIFY(inspector.on);
        inspector.invokeInspector();
        QVERIFY(!inspector.on);
        QCOMPARE(Inspector::alpha(frame), 0.0);
        QCOMPARE(frame->rectsToOutline.size(), m_host.findChildren<QWidget *>().size());
        clickButtonThroughTheWindow();
        QCOMPARE(clicked.count(), 1);

        WexolinManager::enableIntrospect();
        QTRY_COMPARE(Inspector::alpha(frame), 1.0);
        WexolinManager::disableIntrospect();
        QVERIFY(!inspector.on);
        QTRY_COMPARE(Inspector::alpha(frame), 0.0);
        clickButtonThroughTheWindow();
        QCOMPARE(clicked.count(), 2);
    }

    void consoleStaysAboveTheOutlines()
    {
        auto launcher = WexoButtonController::initWith(&m_host);
        WPlayConsole *console = launcher->wConsoleMenu();
        QSignalSpy menu(console->wMenuButton(), &QPushButton::clicked);
        WexolinManager::enableIntrospect();
        QTRY_COMPARE(Inspector::alpha(WexolinManager::inspector().frameView()), 1.0);
        QTest::mouseClick(m_host.windowHandle(), Qt::LeftButton, {}, console->mapTo(&m_host, console->rect().center()));
        QCOMPARE(menu.count(), 1);
        WexolinManager::disableIntrospect();
    }

private:
    void clickButtonThroughTheWindow()
    {
        const QPoint at = m_button->mapTo(&m_host, m_button->rect().center());
        QTest::mouseClick(m_host.windowHandle(), Qt::LeftButton, {}, at);
    }

    QMainWindow m_host;
    QPushButton *m_button = nullptr;
};

QTEST_MAIN(tst_Inspector)
#include "tst_inspector.moc"
