#include "support/KeyStrokes.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QWidget>
#include <QWindow>

namespace WexoCreator {

namespace {

struct XKey {
    quint32 keycode = 0;
    quint32 keysym = 0;
    QString text;
};

// The X keycodes and keysyms of the keys a step answers.
XKey xKeyOf(int key)
{
    switch (key) {
    case Qt::Key_Return:
        return {36, 0xff0d, QStringLiteral("\r")};
    case Qt::Key_Enter:
        return {104, 0xff8d, QStringLiteral("\r")};
    case Qt::Key_Space:
        return {65, 0x20, QStringLiteral(" ")};
    case Qt::Key_Escape:
        return {9, 0xff1b, QStringLiteral("\x1b")};
    default:
        return {};
    }
}

void send(QObject *receiver, QEvent::Type type, int key, ulong time, bool repeat)
{
    const XKey x = xKeyOf(key);
    QKeyEvent event(type, key, Qt::NoModifier, x.keycode, x.keysym, 0, x.text, repeat);
    event.setTimestamp(time);
    // An override nobody claims stays unaccepted.
    if (type == QEvent::ShortcutOverride)
        event.ignore();
    QCoreApplication::sendEvent(receiver, &event);
}

bool xdotool(const QStringList &arguments)
{
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

// Sees a Shift press reach a window (any window when none is given).
struct ShiftWatcher : QObject {
    const QWindow *window = nullptr;
    bool seen = false;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        seen = seen
            || (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Shift
                && watched->isWindowType() && (!window || watched == window));
        return false;
    }
};

} // namespace

void sendKeyScript(QWindow *window, int key, const QString &script)
{
    // Later than any time QTest stamps its own key events with.
    static ulong base = 10'000'000;
    ulong latest = base;
    const QPointer<QWindow> target(window);
    for (QString stroke : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!target)
            return;
        const bool repeat = stroke.endsWith(QLatin1Char('r'));
        if (repeat)
            stroke.chop(1);
        const ulong time = base + stroke.mid(1).toULong();
        latest = std::max(latest, time);
        if (stroke.startsWith(QLatin1Char('P'))) {
            QObject *focus = target->focusObject();
            send(focus ? focus : target.data(), QEvent::ShortcutOverride, key, time, repeat);
            if (target)
                send(target, QEvent::KeyPress, key, time, repeat);
        } else {
            send(target, QEvent::KeyRelease, key, time, repeat);
        }
    }
    base = latest + 100'000;
}

KeyCounter::KeyCounter(QObject *watched, int key)
    : m_key(key)
{
    watched->installEventFilter(this);
}

bool KeyCounter::eventFilter(QObject *, QEvent *event)
{
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)
        && static_cast<QKeyEvent *>(event)->key() == m_key)
        ++events;
    return false;
}

std::optional<QString> XKeyboard::unavailable()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return QStringLiteral("real keys are pressed on an X server (xcb) only");
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        return QStringLiteral("xdotool is not installed");
    return std::nullopt;
}

XKeyboard::XKeyboard()
{
    QCoreApplication::instance()->installNativeEventFilter(this);
}

XKeyboard::~XKeyboard()
{
    // A key left down would go on repeating into every later test.
    for (const QString &keysym : std::as_const(m_down))
        xdotool({QStringLiteral("keyup"), keysym});
    QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool XKeyboard::keyDown(const QString &keysym)
{
    m_down << keysym;
    return xdotool({QStringLiteral("keydown"), keysym});
}

bool XKeyboard::keyUp(const QString &keysym)
{
    m_down.removeAll(keysym);
    return xdotool({QStringLiteral("keyup"), keysym});
}

bool XKeyboard::type(const QString &text)
{
    return xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), QStringLiteral("--"), text})
        && settle();
}

bool XKeyboard::tap(const QString &keysym)
{
    return xdotool({QStringLiteral("key"), keysym}) && settle();
}

bool XKeyboard::waitForPresses(int count)
{
    return QTest::qWaitFor([&] { return m_presses >= count; }, 10'000);
}

bool XKeyboard::focus(const QWindow *window)
{
    // Qt may take a window as active (a modal dialog over a blocked one)
    // before the server gives it the keyboard.
    return xdotool({QStringLiteral("windowfocus"), QString::number(window->winId())}) && tapShift(window);
}

bool XKeyboard::settle()
{
    return tapShift(nullptr);
}

bool XKeyboard::tapShift(const QWindow *to)
{
    ShiftWatcher watcher;
    watcher.window = to;
    qApp->installEventFilter(&watcher);
    return xdotool({QStringLiteral("key"), QStringLiteral("Shift_L")})
        && QTest::qWaitFor([&] { return watcher.seen; }, 10'000);
}

bool XKeyboard::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    // The first byte of an X event is its type; 2 is a key press.
    if (eventType == "xcb_generic_event_t" && (static_cast<const quint8 *>(message)[0] & 0x7f) == 2)
        ++m_presses;
    return false;
}

bool WindowKeys::activate(QWidget *window)
{
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        return false;
    if (XKeyboard::unavailable())
        return true;
    XKeyboard keyboard;
    return keyboard.focus(window->windowHandle());
}

bool WindowKeys::type(QWidget *window, const QString &text)
{
    if (!XKeyboard::unavailable()) {
        XKeyboard keyboard;
        return keyboard.type(text);
    }
    for (const QChar character : text) {
        if (!window->windowHandle())
            return false;
        QTest::keyClick(window->windowHandle(), character.toLatin1());
    }
    return true;
}

bool WindowKeys::tap(QWidget *window, const QString &keysym, int key)
{
    if (!XKeyboard::unavailable()) {
        XKeyboard keyboard;
        return keyboard.tap(keysym);
    }
    if (!window->windowHandle())
        return false;
    QTest::keyClick(window->windowHandle(), Qt::Key(key));
    return true;
}

} // namespace WexoCreator
