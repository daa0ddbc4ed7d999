#pragma once

class QWidget;

namespace WexoCreator {

// The library's own widgets over a host window (its covering window, the
// inspector's outline view) are marked once, so that whatever walks the host's
// widget tree (picking, identifier look-up, the top-page walk) can pass over
// them and everything inside them.
struct WLibraryWidgets {
    static void mark(QWidget *widget);
    // The widget itself carries the mark.
    static bool isMarked(const QWidget *widget);
    // The widget or one of its ancestors carries the mark.
    static bool isLibraryOwned(const QWidget *widget);
};

} // namespace WexoCreator
