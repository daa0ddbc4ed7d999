#pragma once

class QPushButton;

namespace WexoCreator {

// Receives every tap on the console's buttons, with the tapped button.
class WConsoleDelegate
{
public:
    virtual ~WConsoleDelegate() = default;

    virtual void onSelectMode(QPushButton *sender) = 0;
    virtual void onStop(QPushButton *sender) = 0;
    virtual void onPlay(QPushButton *sender) = 0;
    virtual void onPause(QPushButton *sender) = 0;
    virtual void onTargetView(QPushButton *sender) = 0;
    virtual void onCancelTarget(QPushButton *sender) = 0;
    virtual void onSelectTarget(QPushButton *sender) = 0;
    virtual void onWexoBadge(QPushButton *sender) = 0;
};

} // namespace WexoCreator
