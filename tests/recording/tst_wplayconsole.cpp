#include "WexoCreator/appearance-model/Theme.h"
#include "WexoCreator/configuration/WAppearanceState.h"
#include "WexoCreator/configuration/WConfiguration.h"
#include "WexoCreator/manager/WexoButtonController.h"
#include "WexoCreator/manager/WexoButtonWindow.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/recording/WConsoleDelegate.h"
#include "WexoCreator/recording/WPlayConsole.h"

#include <QFontMetrics>
#include <QFrame>
#include <QKeySequence>
#include <QMainWindow>
#include <QSignalSpy>
#include <QPushButton>
#include <QTest>

using namespace WexoCreator;

namespace {

class Recorder : public QObject, public WConsoleDelegate
{
public:
    QStringList calls;
    void onSelectMode(QPushButton *) override { calls << QStringLiteral("onSelectMode"); }
    void onStop(QPushButton *) override { calls << QStringLiteral("onStop"); }
    void onPlay(QPushButton *) override { calls << QStringLiteral("onPlay"); }
    void onPause(QPushButton *) override { calls << QStringLiteral("onPause"); }
    void onTargetView(QPushButton *) override { calls << QStringLiteral("onTargetView"); }
    void onCancelTarget(QPushButton *) override { calls << QStringLiteral("onCancelTarget"); }
    void onSelectTarget(QPushButton *) override { calls << QStringLiteral("onSelectTarget"); }
    void onWexoBadge(QPushButton *) override { calls << QStringLiteral("onWexoBadge"); }
};

// Which of the record bar's buttons show, in form order.
QString shownButtons(const WPlayConsole &console)
{
    QStringList shown;
    const QList<QPair<QString, QPushButton *>> buttons = {
        {QStringLiteral("stop"), console.stopBtn()}, {QStringLiteral("play"), console.playBtn()},
        {QStringLiteral("pause"), console.pauseBtn()}, {QStringLiteral("target"), console.targetModeBtn()},
        {QStringLiteral("cancel"), console.cancelTargetModeBtn()}, {QStringLiteral("select"), console.selectTargetViewBtn()}};
    for (const auto &[name, button] : buttons) {
        if (!button->isHidden())
            shown << name;
    }
    return shown.join(QLatin1Char(','));
}

// Makes a theme of these launcher settings the one in use.
void applyTheme(std::shared_ptr<ElementConfiguration> settings, const QString &primaryColor = {})
{
    auto config = std::make_shared<ThemeConfiguration>();
    if (!primaryColor.isEmpty())
        config->setPrimaryColor(primaryColor);
    config->setConfigurations(std::move(settings));
    auto theme = std::make_shared<Theme>();
    theme->setConfig(config);
    WAppearanceState::setTheme(theme);
}

} // namespace

Q_DECLARE_METATYPE(WexoCreator::WConsoleMode)

class tst_WPlayConsole : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        WexolinManager::shared().isPaused = false;
        WAppearanceState::setTheme(nullptr);
    }

    void cleanup() { WAppearanceState::setTheme(nullptr); }

    // Without a parent the console starts on the launcher face and only takes the widget look.
    void parentlessConsole()
    {
        WPlayConsole console;
        QCOMPARE(console.currentMode(), WConsoleMode::hover);
        QVERIFY(console.recordModeView()->isHidden());
        QCOMPARE(shownButtons(console), QStringLiteral("stop,pause,target"));
        console.setMode(WConsoleMode::widget);
        QCOMPARE(console.geometry(), QRect(0, 0, 64, 64));
        QVERIFY(!console.isPinned());
        // The diamond backdrop comes from the bundle the console was made with.
        QCOMPARE(console.currentBundle(), WConfiguration::currentBundle());
        QCOMPARE(console.diamondBgImage().size(), QSize(64, 64));
    }

    void modeLayout_data()
    {
        QTest::addColumn<QList<WConsoleMode>>("modes");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<bool>("launcherShown");
        QTest::addColumn<bool>("recordBarShown");
        QTest::addColumn<bool>("round");

        using M = WConsoleMode;
        // Parent is 400 x 600; the resting side is the left edge.
        QTest::addRow("widget pins left, centred") << QList<M>{M::widget} << QRect(0, 268, 64, 64) << true << false << false;
        QTest::addRow("record widens from the edge") << QList<M>{M::widget, M::record} << QRect(0, 268, 196, 64) << false << true << false;
        QTest::addRow("back to widget") << QList<M>{M::widget, M::record, M::widget} << QRect(0, 268, 64, 64) << true << false << false;
        QTest::addRow("hover is a circle") << QList<M>{M::widget, M::hover} << QRect(0, 268, 64, 64) << true << false << true;
        QTest::addRow("record after hover is not clipped") << QList<M>{M::widget, M::hover, M::record} << QRect(0, 268, 196, 64) << false << true << false;
        QTest::addRow("sniping changes nothing but the mode") << QList<M>{M::widget, M::record, M::sniping} << QRect(0, 268, 196, 64) << false << true << false;
    }

    void modeLayout()
    {
        QFETCH(QList<WConsoleMode>, modes);
        QFETCH(QRect, geometry);
        QFETCH(bool, launcherShown);
        QFETCH(bool, recordBarShown);
        QFETCH(bool, round);

        QWidget parent;
        parent.resize(400, 600);
        auto *console = new WPlayConsole(&parent);
        for (WConsoleMode mode : modes)
            console->setMode(mode);
        QCOMPARE(console->currentMode(), modes.last());
        QCOMPARE(console->geometry(), geometry);
        QCOMPARE(!console->wMenuButton()->isHidden(), launcherShown);
        QCOMPARE(!console->recordModeView()->isHidden(), recordBarShown);
        QCOMPARE(!console->recordViewHolder()->isHidden(), recordBarShown);
        QCOMPARE(!console->mask().isEmpty(), round);
        if (round)
            QVERIFY(!console->mask().contains(QPoint(1, 1)));
    }

    void widgetFaceFollowsTheParent()
    {
        QWidget parent;
        parent.resize(400, 600);
        auto *console = new WPlayConsole(&parent);
        console->setMode(WConsoleMode::widget);
        parent.show();
        parent.resize(300, 200);
        QCOMPARE(console->geometry(), QRect(0, 68, 64, 64));
    }

    // The downloaded theme's launcher settings, as the console shows them.
    void themedLauncherFace_data()
    {
        QTest::addColumn<QString>("typeIcon");
        QTest::addColumn<QString>("placement");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("icon");
        QTest::addColumn<bool>("whole"); // the title fits whole, at a smaller size if need be
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("recordX");

        const QString longTitle = QStringLiteral("Tips & tricks");
        QTest::addRow("logo, left") << QStringLiteral("wexoIcon") << QStringLiteral("left") << longTitle << true << false << 0 << 0;
        QTest::addRow("question mark, right") << QStringLiteral("questionMark") << QStringLiteral("right") << longTitle << true << false << 336 << 204;
        QTest::addRow("other icon shows the title") << QStringLiteral("camera") << QStringLiteral("right") << longTitle << false << false << 336 << 204;
        QTest::addRow("a short title is fitted whole") << QStringLiteral("camera") << QStringLiteral("left") << QStringLiteral("Guide me") << false << true << 0 << 0;
        QTest::addRow("icon name is case-sensitive") << QStringLiteral("WexoIcon") << QStringLiteral("left") << longTitle << false << false << 0 << 0;
        QTest::addRow("placement is case-sensitive") << QStringLiteral("wexoIcon") << QStringLiteral("Right") << longTitle << true << false << 0 << 0;
        QTest::addRow("empty settings fall back") << QString() << QString() << longTitle << true << false << 0 << 0;
    }

    void themedLauncherFace()
    {
        QFETCH(QString, typeIcon);
        QFETCH(QString, placement);
        QFETCH(QString, title);
        QFETCH(bool, icon);
        QFETCH(bool, whole);
        QFETCH(int, x);
        QFETCH(int, recordX);

        auto settings = std::make_shared<ElementConfiguration>();
        settings->setTypeIcon(typeIcon);
        settings->setPlacement(placement);
        settings->setText(title);
        applyTheme(settings);

        QWidget parent;
        parent.resize(400, 600);
        auto *console = new WPlayConsole(&parent);
        console->setMode(WConsoleMode::widget);
        QPushButton *button = console->wMenuButton();
        QCOMPARE(!button->icon().isNull(), icon);
        if (icon) {
            QVERIFY(button->text().isEmpty());
        } else {
            // Bold and within the face (inside the shadow's reach), whole or cut
            // with an ellipsis; an "&" is shown, not taken as a shortcut mark.
            QVERIFY(button->font().bold());
            QVERIFY(QKeySequence::mnemonic(button->text()).isEmpty());
            const QString shown = button->text().replace(QStringLiteral("&&"), QStringLiteral("&"));
            QVERIFY2(QFontMetrics(button->font()).horizontalAdvance(shown) <= WPlayConsole::kLauncherSize - 6, qPrintable(shown));
            QVERIFY(whole ? shown == title : shown.endsWith(QChar(0x2026)) && title.startsWith(shown.chopped(1)));
            QCOMPARE(button->accessibleName(), title);
        }
        QCOMPARE(console->x(), x);
        console->setMode(WConsoleMode::record);
        QCOMPARE(console->x(), recordX);
        QCOMPARE(console->width(), WPlayConsole::kRecordWidth);
    }

    void iconsTakeTheThemeColours()
    {
        auto playIcon = std::make_shared<ElementConfigurationParameters>();
        playIcon->setProp1(QStringLiteral("#FFFFFF"));
        playIcon->setProp2(QStringLiteral("#123456"));
        auto settings = std::make_shared<ElementConfiguration>();
        settings->setPlayIcon(playIcon);
        applyTheme(settings, QStringLiteral("#2E7D32"));

        // The colour of the first opaque pixel of an icon.
        const auto inkOf = [](const QIcon &icon) {
            const QImage image = icon.pixmap(32).toImage();
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qAlpha(image.pixel(x, y)) == 255)
                        return QColor(image.pixel(x, y)).name();
            return QString();
        };
        QWidget parent;
        auto *console = new WPlayConsole(&parent);
        console->setMode(WConsoleMode::widget);
        QCOMPARE(inkOf(console->wMenuButton()->icon()), QStringLiteral("#ffffff"));
        console->setMode(WConsoleMode::record);
        QCOMPARE(inkOf(console->stopBtn()->icon()), QStringLiteral("#2e7d32"));
        QCOMPARE(inkOf(console->selectTargetViewBtn()->icon()), QStringLiteral("#2e7d32"));
    }

    void buttons_data()
    {
        QTest::addColumn<QString>("taps");
        QTest::addColumn<bool>("paused");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("calls");
        QTest::addColumn<WConsoleMode>("mode");

        using M = WConsoleMode;
        const auto row = [](const char *name, const char *taps, bool paused, const char *shown, const char *calls, M mode) {
            QTest::addRow("%s", name) << QString::fromLatin1(taps) << paused << QString::fromLatin1(shown)
                                      << QString::fromLatin1(calls) << mode;
        };
        row("pause", "pause", false, "stop,play,target", "onPause", M::record);
        row("pause then play", "pause,play", false, "stop,pause,target", "onPause,onPlay", M::record);
        row("target", "target", false, "pause,cancel,select", "onTargetView", M::sniping);
        row("target, cancel", "target,cancel", false, "stop,pause,target", "onTargetView,onCancelTarget", M::record);
        row("cancel ignored while paused", "target,cancel", true, "pause,cancel,select", "onTargetView", M::sniping);
        row("select", "target,select", false, "pause,cancel,select", "onTargetView,onSelectTarget", M::sniping);
        row("stop keeps the bar as it was", "pause,stop", false, "stop,play,target", "onPause,onStop", M::record);
        row("badge", "badge", false, "stop,pause,target", "onWexoBadge", M::record);
    }

    void buttons()
    {
        QFETCH(QString, taps);
        QFETCH(bool, paused);
        QFETCH(QString, shown);
        QFETCH(QString, calls);
        QFETCH(WConsoleMode, mode);

        QWidget parent;
        parent.resize(400, 600);
        auto *console = new WPlayConsole(&parent);
        Recorder recorder;
        console->setDelegate(&recorder);
        console->setMode(WConsoleMode::widget);
        console->setMode(WConsoleMode::record);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));

        const QMap<QString, QPushButton *> byName = {
            {QStringLiteral("stop"), console->stopBtn()}, {QStringLiteral("play"), console->playBtn()},
            {QStringLiteral("pause"), console->pauseBtn()}, {QStringLiteral("target"), console->targetModeBtn()},
            {QStringLiteral("cancel"), console->cancelTargetModeBtn()}, {QStringLiteral("select"), console->selectTargetViewBtn()},
            {QStringLiteral("badge"), console->stepNumberBadge()}};
        for (const QString &tap : taps.split(u',')) {
            WexolinManager::shared().isPaused = paused && tap == QStringLiteral("cancel");
            QTest::mouseClick(byName.value(tap), Qt::LeftButton);
        }
        QCOMPARE(shownButtons(*console), shown);
        QCOMPARE(recorder.calls.join(u','), calls);
        QCOMPARE(console->currentMode(), mode);
    }

    void stopResetsTheBadgeBeforeTellingTheDelegate()
    {
        WPlayConsole console;
        struct StopProbe : Recorder {
            QPointer<WPlayConsole> console;
            QString seen;
            void onStop(QPushButton *) override { seen = console->stepNumberBadge()->text(); }
        } probe;
        probe.console = &console;
        console.setDelegate(&probe);
        console.setBadgeTitle(QStringLiteral("7"));
        QCOMPARE(console.stepNumberBadge()->text(), QStringLiteral("7"));
        console.onStop();
        QCOMPARE(probe.seen, QStringLiteral("0"));
    }

    // A record bar that took over a round hover face still keeps the clicks
    // on its corners: nothing falls through to the host beneath.
    void recordBarCornerClickStaysInTheLibrary()
    {
        QMainWindow host;
        auto *under = new QPushButton;
        host.setCentralWidget(under);
        host.resize(400, 300);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QSignalSpy hostClicks(under, &QPushButton::clicked);
        auto launcher = WexoButtonController::initWith(&host);
        WPlayConsole *console = launcher->wConsoleMenu();
        launcher->window()->setWConsoleButton(console);
        console->setMode(WConsoleMode::hover);
        console->setMode(WConsoleMode::record);
        QTest::mouseClick(host.windowHandle(), Qt::LeftButton, {}, console->mapTo(&host, QPoint(2, 2)));
        QCOMPARE(hostClicks.count(), 0);
        // A tap on the bar opens the options menu, which holds every click until it goes.
        QVERIFY(launcher->presentedViewController());
        launcher->presentedViewController()->dismiss(false);
        QTest::mouseClick(host.windowHandle(), Qt::LeftButton, {}, console->mapTo(&host, QPoint(2, 80)));
        QCOMPARE(hostClicks.count(), 1);
    }

    void goneDelegateIsNotCalled()
    {
        WPlayConsole console;
        {
            Recorder recorder;
            console.setDelegate(&recorder);
        }
        console.onBadge();
        QVERIFY(console.delegate() == nullptr);
    }
};

QTEST_MAIN(tst_WPlayConsole)
#include "tst_wplayconsole.moc"
