// The library's covering window where real applications differ from the
// sample host: modal dialogs (one up before the library starts), the host's
// other windows (floating docks, tool windows, a second main window, embedded
// native windows) and pages with native children.
#include "support/PlaybackSession.h"

#include "WexoCreator/manager/WexoButtonController.h"
#include "WexoCreator/manager/WexoButtonWindow.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/menu/WexoOption.h"
#include "WexoCreator/model/WexoStep.h"
#include "WexoCreator/platform/WAlert.h"
#include "WexoCreator/playback/WOverlay.h"
#include "WexoCreator/recording/FrameView.h"
#include "WexoCreator/recording/Inspector.h"
#include "WexoCreator/recording/WPlayConsole.h"

#include <QDockWidget>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QWheelEvent>

using namespace WexoCreator;

namespace {

// Counts the clicks and keys that reach an object.
class InputCounter : public QObject
{
public:
    int count = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        count += event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress
            || event->type() == QEvent::Wheel;
        return false;
    }
};

} // namespace

class tst_CoveringWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<PlaybackSession> m_session;
    QPointer<DialogPage> m_startUpDialog;
    QPointer<QWindow> m_embedded;

    HostFixture &host() { return m_session->host(); }
    WexoButtonController *launcher() { return m_session->launcher(); }
    WexoButtonWindow *covering() { return launcher()->window(); }
    WPlayConsole *console() { return launcher()->wConsoleMenu(); }
    static QPoint centreIn(const QWidget *widget, const QWidget *window) { return widget->mapTo(window, widget->rect().center()); }

    void startRecording()
    {
        WexolinManager::setWexo(QStringLiteral("Covering"));
        WexolinManager::setCurrentWexoType(WexoOptionType::record);
        WexoOption option;
        option.type = WexoOptionType::record;
        launcher()->onOptionSelected(option);
        QTRY_COMPARE(Inspector::alpha(WexolinManager::inspector().frameView()), 1.0);
    }

    // The identity and page of the latest step the backend received.
    QString lastPost()
    {
        const QJsonArray steps = m_session->backend()->createdSteps().array();
        if (steps.isEmpty())
            return {};
        const QJsonObject request = steps.last().toObject().value(QStringLiteral("request")).toObject();
        return request.value(QStringLiteral("value")).toString() + QLatin1Char('@')
            + request.value(QStringLiteral("className")).toString();
    }

    // A click and a key through the window, as a person gives them, and a
    // turn of the wheel over the receiver.
    static void clickKeyAndWheel(QWindow *window, QObject *receiver, const QPoint &point)
    {
        QTest::mouseClick(window, Qt::LeftButton, {}, point);
        QTest::keyClick(window, Qt::Key_A);
        QWheelEvent wheel(QPointF(point), QPointF(window->mapToGlobal(point)), {}, QPoint(0, 120), Qt::NoButton, {},
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(receiver, &wheel);
    }

    // The administrator logs in through the console over the start-up dialog,
    // then the dialog is closed, as a person does at the start.
    void passStartUpDialog()
    {
        QTRY_COMPARE(covering()->parentWidget(), m_startUpDialog.data());
        QWindow *dialog = m_startUpDialog->windowHandle();
        QTest::mousePress(dialog, Qt::LeftButton, {}, centreIn(console(), m_startUpDialog));
        QTRY_VERIFY(launcher()->view()->findChild<WAlert *>(QStringLiteral("adminLoginAlert")));
        QTest::mouseRelease(dialog, Qt::LeftButton, {}, centreIn(console(), m_startUpDialog));
        WAlert *login = launcher()->view()->findChild<WAlert *>(QStringLiteral("adminLoginAlert"));
        login->textFields().first()->setText(m_session->backend()->adminEmail());
        login->textFields().last()->setText(m_session->backend()->adminPassword());
        QTest::mouseClick(login->actionButton(QStringLiteral("Ok")), Qt::LeftButton);
        QTRY_VERIFY(WexolinManager::isAdmin());
        QTRY_VERIFY(launcher()->presentedViewController());
        launcher()->presentedViewController()->dismiss(false);
        m_startUpDialog->reject();
        QTRY_COMPARE(covering()->parentWidget(), &host());
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_session = std::make_unique<PlaybackSession>([this](HostFixture &fixture) {
            m_startUpDialog = fixture.openDialog();
            QVERIFY(QTest::qWaitForWindowExposed(m_startUpDialog));
        });
        QVERIFY(m_session->isReady());
    }

    // Every case starts past the start-up dialog, logged in, whichever runs
    // first; startUpDialog passes it itself.
    void init()
    {
        if (m_startUpDialog && m_startUpDialog->isVisible() && qstrcmp(QTest::currentTestFunction(), "startUpDialog") != 0)
            passStartUpDialog();
    }

    void cleanup()
    {
        launcher()->endRecording();
        m_session->reset();
        // A failed row must not leave a modal dialog blocking the next.
        for (DialogPage *dialog : host().findChildren<DialogPage *>())
            dialog->reject();
    }

    // The administrator can log in while an application's start-up dialog is up.
    void startUpDialog()
    {
        QVERIFY2(m_startUpDialog && m_startUpDialog->isVisible(), "the start-up dialog is up only until the first case");
        passStartUpDialog();
    }

    // Over a modal dialog the pick layer (a click, the crosshair) records the
    // dialog's page, the record bar's Stop is reachable, and a step plays over
    // the dialog.
    void modalDialogs_data()
    {
        QTest::addColumn<Qt::WindowModality>("modality");
        QTest::addRow("dialog opened with open()") << Qt::WindowModal;
        QTest::addRow("application-modal dialog") << Qt::ApplicationModal;
    }
    void modalDialogs()
    {
        QFETCH(Qt::WindowModality, modality);
        QPointer<DialogPage> dialog = host().openDialog(modality);
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QTRY_COMPARE(covering()->parentWidget(), dialog.data());
        startRecording();
        QCOMPARE(WexolinManager::inspector().frameView()->parentWidget(), dialog.data());

        QWindow *window = dialog->windowHandle();
        const auto posts = [this] { return m_session->backend()->createdSteps().array().size(); };
        const qsizetype before = posts();
        QTest::mouseClick(window, Qt::LeftButton, {}, centreIn(dialog->button, dialog) + QPoint(1, 2));
        QTRY_COMPARE(posts(), before + 1);
        QCOMPARE(lastPost(), QStringLiteral("dialogButton@WexoCreator::DialogPage"));
        // The crosshair is there too: aimed at the button, it records it again.
        QTest::mouseClick(window, Qt::LeftButton, {}, centreIn(console()->targetModeBtn(), dialog));
        QLabel *aim = launcher()->crossHair();
        QCOMPARE(aim->window(), dialog.data());
        // A drag (by way of the dialog's foot): a tap on the crosshair would select by itself.
        QTest::mousePress(window, Qt::LeftButton, {}, centreIn(aim, dialog));
        QTest::mouseMove(window, QPoint(dialog->width() / 2, dialog->height() - 10));
        QTest::mouseMove(window, centreIn(dialog->button, dialog));
        QTest::mouseRelease(window, Qt::LeftButton, {}, centreIn(dialog->button, dialog));
        QTest::mouseClick(window, Qt::LeftButton, {}, centreIn(console()->selectTargetViewBtn(), dialog));
        QTRY_COMPARE(posts(), before + 2);
        QCOMPARE(lastPost(), QStringLiteral("dialogButton@WexoCreator::DialogPage"));
        QTest::mouseClick(window, Qt::LeftButton, {}, centreIn(console()->cancelTargetModeBtn(), dialog));
        QTest::mouseClick(window, Qt::LeftButton, {}, centreIn(console()->stopBtn(), dialog));
        QVERIFY(!WexolinManager::shared().isRecording);

        WexolinManager::playWexo(makePage({makeStep(0, QStringLiteral("dialogButton"), QStringLiteral("screen"))}, 1));
        WOverlay *overlay = m_session->shown();
        QVERIFY(overlay);
        QCOMPARE(overlay->window(), dialog.data());
        QCOMPARE(overlay->targets(), QList<QRectF>{QRectF(QRect(centreIn(dialog->button, dialog) - dialog->button->rect().center(),
                                                                  dialog->button->size()))});
        // A widget the dialog raises stays under the step.
        dialog->button->raise();
        QSignalSpy clicked(dialog->button, &QPushButton::clicked);
        QTest::mouseClick(window, Qt::LeftButton, {}, centreIn(dialog->button, dialog));
        QCOMPARE(clicked.count(), 0);
        dialog->reject();
        QVERIFY(!m_session->shown());
        QTRY_COMPARE(covering()->parentWidget(), &host());
        QCOMPARE(WexolinManager::inspector().frameView()->parentWidget(), &host());
    }

    // While a step is up, or while picking, the host's other windows get no
    // click, key or wheel; afterwards they get them again.
    void otherWindowsGetNothing_data()
    {
        QTest::addColumn<QString>("other");
        QTest::addColumn<bool>("picking");
        for (const char *other : {"floating dock", "tool window", "second main window", "embedded window"}) {
            QTest::addRow("%s, while a step is up", other) << QString::fromLatin1(other) << false;
            QTest::addRow("%s, while picking", other) << QString::fromLatin1(other) << true;
        }
    }
    void otherWindowsGetNothing()
    {
        QFETCH(QString, other);
        QFETCH(bool, picking);

        // Each window owns the field it shows.
        auto *field = new QLineEdit;
        QMainWindow second;
        QWidget tool(&host(), Qt::Tool);
        QWindow *window = nullptr;
        QObject *receiver = field;
        if (other == QLatin1String("floating dock")) {
            host().dock->setWidget(field);
            host().dock->setFloating(true);
        } else if (other == QLatin1String("tool window")) {
            field->setParent(&tool);
            tool.show();
        } else if (other == QLatin1String("second main window")) {
            second.setCentralWidget(field);
            second.show();
        } else {
            field->setParent(&tool);
            if (!m_embedded) {
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("embedded native window")));
                m_embedded = host().addEmbeddedWindowPage();
            }
            host().tabs->setCurrentWidget(host().tabs->widget(host().tabs->count() - 1));
            window = m_embedded;
            receiver = m_embedded;
        }
        if (!window) {
            field->setFocus();
            window = field->window()->windowHandle();
        }
        QVERIFY(QTest::qWaitForWindowExposed(window));
        InputCounter counter;
        receiver->installEventFilter(&counter);
        const QPoint point = receiver == field ? field->mapTo(field->window(), QPoint(5, 5)) : QPoint(5, 5);

        if (picking)
            startRecording();
        else
            WexolinManager::playWexo(makePage({makeStep(0, QStringLiteral("targetButton"), QStringLiteral("screen"))}, 1));
        clickKeyAndWheel(window, receiver, point);
        QCOMPARE(counter.count, 0);
        cleanup();
        clickKeyAndWheel(window, receiver, point);
        QCOMPARE(counter.count, 3);

        if (host().dock->isFloating()) {
            host().dock->setFloating(false);
            host().dock->setWidget(host().dockButton);
            delete field;
        }
    }

    // A page with a native child makes the covering window native: it stays
    // above the page, takes the picks there, and its backdrop blends (it is
    // not painted black) with a clear hole at the target.
    void nativeChildPage()
    {
        QWidget *page = host().addNativePage();
        auto *button = page->findChild<QPushButton *>(QStringLiteral("nativeButton"));
        startRecording();
        QTest::mouseClick(host().windowHandle(), Qt::LeftButton, {}, centreIn(button, &host()) + QPoint(1, 2));
        QTRY_COMPARE(lastPost(), QStringLiteral("nativeButton@WexoCreator::NativePage"));
        cleanup();
        host().tabs->setCurrentWidget(page);

        QScreen *screen = host().screen();
        const QPoint inButton = button->mapToGlobal(QPoint(4, button->height() / 2));
        const QPoint beside = page->mapToGlobal(QPoint(page->width() / 2, page->height() - 8));
        const auto pixel = [screen](const QPoint &global) {
            return screen->grabWindow(0, global.x(), global.y(), 1, 1).toImage().pixelColor(0, 0);
        };
        const QColor buttonBefore = pixel(inButton);
        const QColor pageBefore = pixel(beside);
        WexolinManager::playWexo(makePage({makeStep(0, QStringLiteral("nativeButton"), QStringLiteral("screen"))}, 1));
        QVERIFY(m_session->shown());
        QVERIFY(covering()->internalWinId());
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("the screen is looked at on a real X server");
        QTRY_COMPARE(pixel(inButton), buttonBefore);
        QTRY_VERIFY(pixel(beside).lightness() < pageBefore.lightness());
        QVERIFY(pixel(beside).lightness() > 0);
    }

    // With a second main window active, every layer stays with the window the
    // library was built over: picks there neither crash nor go elsewhere.
    void secondMainWindowActive()
    {
        QMainWindow second;
        second.setCentralWidget(new QLabel(QStringLiteral("second")));
        second.show();
        second.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&second));
        startRecording();
        QPushButton *target = host().targets->button;
        const QPoint point = centreIn(target, &host()) + QPoint(1, 2);
        QTest::mouseClick(host().windowHandle(), Qt::LeftButton, {}, point);
        QTRY_COMPARE(lastPost(), QStringLiteral("targetButton@WexoCreator::TargetsPage"));
        // A drag through the crosshair takes the same way.
        QTest::mouseClick(host().windowHandle(), Qt::LeftButton, {}, centreIn(console()->targetModeBtn(), &host()));
        QLabel *aim = launcher()->crossHair();
        QTest::mousePress(host().windowHandle(), Qt::LeftButton, {}, centreIn(aim, &host()));
        QTest::mouseMove(host().windowHandle(), point);
        QTest::mouseRelease(host().windowHandle(), Qt::LeftButton, {}, point);
        QCOMPARE(launcher()->targettedView.data(), target);
    }
};

QTEST_MAIN(tst_CoveringWindow)
#include "tst_coveringwindow.moc"
