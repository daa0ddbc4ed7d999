#pragma once

#include <QWidget>

#include <functional>

namespace WexoCreator {

// The options menu's root view. The sheet keeps the keyboard: keys it does
// not use and Tab go nowhere, so nothing typed while the menu is up reaches a
// host widget. Escape, also from the search field, closes the menu, also in a
// host that has a shortcut of its own on Escape.
class WSheetView : public QWidget
{
public:
    WSheetView();

    std::function<void()> escapePressed;

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    bool closesOn(const QKeyEvent *key) const;
};

} // namespace WexoCreator
