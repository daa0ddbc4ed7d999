#pragma once

#include <QWidget>

namespace WexoCreator {

// The options menu's root view. The sheet keeps the keyboard: keys it does
// not use and Tab go nowhere, so nothing typed while the menu is up reaches a
// host widget.
class WSheetView : public QWidget
{
public:
    WSheetView();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    bool focusNextPrevChild(bool next) override;
};

} // namespace WexoCreator
