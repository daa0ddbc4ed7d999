#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;
class QWindow;

namespace WexoCreator {

// Key events as Qt hands on what the X server sends: each carries the X
// timestamp and keycode, a press comes after its shortcut override (sent to
// the window's focus object), and the window passes it on to its focus widget.
// A script is a list of strokes: "P100" a press at 100 ms, "R160" a release; a
// trailing "r" flags the stroke as an auto-repeat. "P100 R760 P760" is a key
// held down past its first repeat, as X sends it when Qt does not flag the
// pair. Each script runs at times of its own, later than every earlier one.
void sendKeyScript(QWindow *window, int key, const QString &script);

// Counts the presses and releases of one key delivered to an object (those its
// children leave to it included).
class KeyCounter : public QObject
{
public:
    KeyCounter(QObject *watched, int key);
    int events = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int m_key;
};

// Real keys on the X server the test runs on, pressed and let go through
// xdotool (XTEST), so the server repeats a held key as it does a keyboard's.
// Keys still down when it goes are let go.
class XKeyboard : public QAbstractNativeEventFilter
{
public:
    // Why real keys cannot be pressed here, or absent when they can.
    static std::optional<QString> unavailable();

    XKeyboard();
    ~XKeyboard() override;
    XKeyboard(const XKeyboard &) = delete;
    XKeyboard &operator=(const XKeyboard &) = delete;

    // Gives the window the server's keyboard focus.
    bool focus(const QWindow *window);
    bool keyDown(const QString &keysym);
    bool keyUp(const QString &keysym);
    // Types text, or taps one key ("Escape"), wherever the server sends keys;
    // true once Qt has delivered them.
    bool type(const QString &text);
    bool tap(const QString &keysym);
    // Waits until the server has sent this many key presses (repeats included).
    bool waitForPresses(int count);
    // Taps Shift and waits until Qt has delivered it: every key the server
    // sent before has been delivered too.
    bool settle();

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    bool tapShift(const QWindow *to);

    QStringList m_down;
    int m_presses = 0;
};

// A person at the keyboard of a window: on an X server the window is given the
// server's keyboard and the keys are real (XKeyboard); offscreen, Qt activates
// the window and the keys are sent to it. Either way the window hands them to
// its focus widget, whatever that is.
struct WindowKeys {
    static bool activate(QWidget *window);
    static bool type(QWidget *window, const QString &text);
    // One key ("Return", "Escape", "Delete"), as a keysym and as Qt's key.
    static bool tap(QWidget *window, const QString &keysym, int key);
};

} // namespace WexoCreator
