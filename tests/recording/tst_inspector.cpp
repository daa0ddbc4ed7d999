#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/recording/FrameView.h"
#include "WexoCreator/recording/Inspector.h"
#include "WexoCreator/recording/InspectorDelegate.h"

#include <QImage>
#include <QMainWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using namespace WexoCreator;

namespace {

using OptRect = std::optional<QRectF>;

struct Colours {
    int red = 0;
    int blue = 0;
    int other = 0;
};

Colours coloursOf(FrameView &view)
{
    const QImage image = view.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    Colours counts;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() == 0)
                continue;
            if (c == QColor(Qt::red))
                ++counts.red;
            else if (c == QColor(Qt::blue))
                ++counts.blue;
            else
                ++counts.other;
        }
    }
    return counts;
}

class RecordingDelegate : public QObject, public InspectorDelegate
{
public:
    void selectedElement(QWidget *element, std::optional<QRectF> rect) override { reports.append({element, rect}); }
    QList<std::pair<QWidget *, std::optional<QRectF>>> reports;
};

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
        m_host.resize(320, 240);
        m_host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_host));
    }

    void pickOutline_data()
    {
        QTest::addColumn<OptRect>("mainRect");
        QTest::addColumn<OptRect>("superRect");
        QTest::addColumn<QString>("colour"); // "blue", "red" or "none"

        const QRectF screen(0, 0, 320, 480);
        QTest::addRow("whole offsets") << OptRect(QRectF(10, 20, 100, 40)) << OptRect(screen) << "blue";
        QTest::addRow("fractional x") << OptRect(QRectF(10.5, 20, 100, 40)) << OptRect(screen) << "red";
        QTest::addRow("fractional y") << OptRect(QRectF(10, 20.25, 100, 40)) << OptRect(screen) << "red";
        QTest::addRow("fractional only against a pick at x 0")
            << OptRect(QRectF(0, 20, 100, 40)) << OptRect(QRectF(0.5, 0, 320, 480)) << "blue";
        QTest::addRow("parent is the window") << OptRect(QRectF(10.5, 20.5, 100, 40)) << OptRect(QRectF()) << "blue";
        QTest::addRow("no parent rectangle") << OptRect(QRectF(10, 20, 100, 40)) << OptRect() << "none";
        QTest::addRow("pick of zero width") << OptRect(QRectF(10, 20, 0, 40)) << OptRect(screen) << "none";
    }

    void pickOutline()
    {
        QFETCH(OptRect, mainRect);
        QFETCH(OptRect, superRect);
        QFETCH(QString, colour);

        FrameView view(QRect(0, 0, 320, 480), nullptr);
        if (mainRect)
            view.setMainRect(*mainRect);
        if (superRect)
            view.setSuperRect(*superRect);
        const Colours counts = coloursOf(view);
        QCOMPARE(counts.other, 0);
        QCOMPARE(counts.blue > 0, colour == QLatin1String("blue"));
        QCOMPARE(counts.red > 0, colour == QLatin1String("red"));
    }

    void outlineListReplacesThePick()
    {
        FrameView view(QRect(0, 0, 320, 480), nullptr);
        view.setMainRect(QRectF(200, 300, 50, 50));
        view.setSuperRect(QRectF(0, 0, 320, 480));
        view.rectsToOutline = {QRectF(10, 10, 30, 30), QRectF(60, 10, 30, 30), QRectF(110, 10, 30, 30)};
        const QImage image = view.grab().toImage();
        for (const QRectF &rect : std::as_const(view.rectsToOutline))
            QVERIFY(image.pixelColor(rect.center().toPoint().x(), int(rect.top()) + 1).alpha() > 0
                    || image.pixelColor(rect.center().toPoint().x(), int(rect.top())).alpha() > 0);
        QCOMPARE(image.pixelColor(225, 301).alpha(), 0);
    }

    void switchingOnCoversTheHostWindow()
    {
        Inspector &inspector = WexolinManager::inspector();
        WexolinManager::enableIntrospect();
        QVERIFY(inspector.on);
        FrameView *frame = inspector.frameView();
        QVERIFY(frame);
        QCOMPARE(frame->parentWidget(), &m_host);
        QCOMPARE(frame->geometry(), m_host.rect());
        QCOMPARE(m_host.children().last(), frame);
        QTRY_COMPARE(Inspector::alpha(frame), 1.0);

        // While on, the layer takes the host's clicks.
        QSignalSpy clicked(m_button, &QPushButton::clicked);
        clickButtonThroughTheWindow();
        QCOMPARE(clicked.count(), 0);
    }

    void secondEnableSwitchesOffAndOutlinesEveryWidget()
    {
        Inspector &inspector = WexolinManager::inspector();
        QVERIFY(inspector.on);
        WexolinManager::enableIntrospect();
        QVERIFY(!inspector.on);
        QCOMPARE(Inspector::alpha(inspector.frameView()), 0.0); // at once, no fade

        int widgets = 0;
        for (QWidget *w : m_host.findChildren<QWidget *>())
            widgets += w->isWindow() ? 0 : 1;
        QCOMPARE(inspector.frameView()->rectsToOutline.size(), widgets);

        QSignalSpy clicked(m_button, &QPushButton::clicked);
        clickButtonThroughTheWindow();
        QCOMPARE(clicked.count(), 1);
    }

    void disableFadesOutAndReportsNothing()
    {
        Inspector &inspector = WexolinManager::inspector();
        RecordingDelegate delegate;
        WexolinManager::enableIntrospect();
        inspector.setHelperDelegate(&delegate);
        QTRY_COMPARE(Inspector::alpha(inspector.frameView()), 1.0);

        WexolinManager::disableIntrospect();
        QVERIFY(!inspector.on);
        QTRY_COMPARE(Inspector::alpha(inspector.frameView()), 0.0);
        QVERIFY(delegate.reports.isEmpty());

        // Switching on again re-lays the layer and reports that nothing is picked.
        WexolinManager::enableIntrospect();
        QVERIFY(!delegate.reports.isEmpty());
        for (const auto &report : std::as_const(delegate.reports)) {
            QCOMPARE(report.first, nullptr);
            QCOMPARE(report.second, OptRect(QRectF()));
        }
        WexolinManager::disableIntrospect();
        inspector.setHelperDelegate(nullptr);
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
