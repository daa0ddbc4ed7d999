#include "WexoCreator/manager/WexoButtonController.h"
#include "WexoCreator/manager/WexoButtonWindow.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/recording/FrameView.h"
#include "WexoCreator/recording/Inspector.h"
#include "WexoCreator/recording/WPlayConsole.h"

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
