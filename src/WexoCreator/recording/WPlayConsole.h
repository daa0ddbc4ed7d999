#pragma once

#include "WexoCreator/configuration/WConfiguration.h"
#include "WexoCreator/platform/WWeakDelegate.h"
#include "WexoCreator/recording/WConsoleMode.h"

#include <QPixmap>
#include <QWidget>

#include <memory>

class QFrame;
class QPushButton;

namespace Ui {
class WPlayConsole;
}

namespace WexoCreator {

class WConsoleDelegate;

// The floating console. Resting, it is a 64 x 64 launcher button (hover: a
// draggable circle; widget: pinned to the left or right edge of its parent,
// vertically centred). While recording it is a 196 x 64 bar with stop,
// play/pause, target buttons and the recorded-step badge. It lays itself out
// for a mode, keeps its buttons' visibility in step with the taps, and tells
// its delegate about every tap.
class WPlayConsole : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kLauncherSize = 64;
    static constexpr int kRecordWidth = 196;

    explicit WPlayConsole(QWidget *parent = nullptr);
    ~WPlayConsole() override;

    // Held weakly when the delegate is a QObject.
    void setDelegate(WConsoleDelegate *delegate);
    WConsoleDelegate *delegate() const;

    WConsoleMode currentMode() const { return m_currentMode; }
    // The bundle the console's images come from, taken when it was made.
    const QString &currentBundle() const { return m_currentBundle; }
    // The record face's diamond backdrop, loaded on first use; no face shows it.
    const QPixmap &diamondBgImage() const;
    void setMode(WConsoleMode mode);
    void setBadgeTitle(const QString &title);
    // The record bar as a recording starts: stop, pause and target shown;
    // play, cancel-target and select-target hidden.
    void resetRecordBar();

    // The library's drop shadow: black, radius 3, opacity 0.8, no offset.
    static void setShadow(QWidget *widget, bool on);

    // True while a widget layout keeps the console on its parent's edge; a
    // drag lets it go until the next widget layout.
    bool isPinned() const { return m_pinned; }
    void unpin() { m_pinned = false; }

    QPushButton *stopBtn() const;
    QPushButton *playBtn() const;
    QPushButton *pauseBtn() const;
    QPushButton *targetModeBtn() const;
    QWidget *recordModeView() const;
    QPushButton *wMenuButton() const;
    QPushButton *cancelTargetModeBtn() const;
    QPushButton *selectTargetViewBtn() const;
    QPushButton *stepNumberBadge() const;
    QFrame *recordViewHolder() const;

Q_SIGNALS:
    // The console's outline changed (mode, size or rounding).
    void shapeChanged();

public Q_SLOTS:
    void onSelectBtn();
    void onStop();
    void onPlay();
    void onPause();
    void onTarget();
    void onCancelTarget();
    void onSelectTarget();
    void onBadge();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool event(QEvent *event) override;

private:
    QPushButton *tapped(QPushButton *fallback) const;
    void applyColors();
    void applyLauncherContent();
    void paintLauncherFace();
    // The hover and widget faces: the launcher button alone, round or square.
    void showLauncherFace(bool roundClip);
    void pinToParent();
    void updateShape();

    std::unique_ptr<Ui::WPlayConsole> m_ui;
    WWeakDelegate<WConsoleDelegate> m_delegate;
    WConsoleMode m_currentMode = WConsoleMode::hover;
    bool m_pinned = false;
    bool m_roundClip = false;
    const QString m_currentBundle = WConfiguration::currentBundle();
    QPixmap m_logoImage;
    mutable QPixmap m_diamondBgImage;
    QPixmap m_questionMark;
};

} // namespace WexoCreator
