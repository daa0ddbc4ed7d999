#pragma once

#include "WexoCreator/platform/WViewController.h"

#include <QPointer>
#include <QRegion>
#include <QWidget>

#include <functional>
#include <optional>

namespace WexoCreator {

class WPlayConsole;

// The library's covering window: a transparent child of the host window, kept
// on top and at the host's size. Three slots decide which touches it keeps;
// everything else falls through to the host below. While a modal host dialog
// blocks the host window, it covers that dialog instead.
class WexoButtonWindow : public QWidget
{
    Q_OBJECT

public:
    // What each slot claims, in window coordinates. An absent slot is empty;
    // a set slot may claim an empty area (hidden, or not in the window).
    struct Slots {
        std::optional<QRegion> console;
        std::optional<QRegion> alert;
        std::optional<QRegion> crossHair;
    };

    // The touch rule: the area that stays in the library, or absent when the
    // window takes every touch.
    static std::optional<QRegion> touchArea(const Slots &touchSlots);
    static bool takesTouch(const Slots &touchSlots, const QPoint &point);

    explicit WexoButtonWindow(QWidget *host = nullptr);
    ~WexoButtonWindow() override;

    // The host window it was built for; it lies over that window or over the
    // modal dialog that blocks it (its parent).
    QWidget *host() const { return m_host; }

    void setRootViewController(WViewController *controller);
    WViewController *rootViewController() const { return m_root; }

    WPlayConsole *wConsoleButton() const;
    void setWConsoleButton(WPlayConsole *console);
    QWidget *alert() const { return m_alert; }
    void setAlert(QWidget *alert);
    QWidget *crossHair() const { return m_crossHair; }
    void setCrossHair(QWidget *crossHair);

    // The slots as they stand now, measured from the live widgets.
    Slots currentSlots() const;
    void updateTouchArea();

    // True while the window is shown and keeps every touch; it then keeps the
    // keyboard from the host too, and every click and key from the host's
    // other windows (floating docks, tool windows, other main windows,
    // embedded native windows).
    bool holdsEveryTouch() const { return m_holding; }
    // While the pick layer is up the host's other windows get no input either:
    // nothing there can be picked.
    void setPicking(bool picking);
    // Where the keys go that the window keeps from the host, asked afresh for
    // each key: the library widget that answers them, or null to drop them.
    std::function<QWidget *()> heldKeysTarget;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool event(QEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void moveTo(QWidget *surface);
    void setHolding(bool holding);
    // When a hold ends: the keyboard back to the host.
    void giveFocusBack();
    void updateInputFilter();
    bool filterHostInput(QObject *receiver, QEvent *event) const;
    void routeHeldKey(QEvent *event);

    std::optional<QRegion> claimedArea(QWidget *widget) const;
    void watch(QWidget *oldWidget, QWidget *newWidget);

    QPointer<WViewController> m_root;
    QPointer<QWidget> m_console;
    QPointer<QWidget> m_alert;
    QPointer<QWidget> m_crossHair;
    QPointer<QWidget> m_host;
    QPointer<QWidget> m_hostFocus;
    bool m_holding = false;
    bool m_picking = false;
    bool m_filtering = false;
    bool m_routing = false;
};

} // namespace WexoCreator
