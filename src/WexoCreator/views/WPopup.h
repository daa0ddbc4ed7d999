#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

class QLabel;

namespace WexoCreator {

class WPaddingLabel;
class WProgressBar;
class WStepNumberView;

// The side a tooltip card prefers; kept, but the card's layout is the same for each.
enum class WPopupPosition { up, down, left, right, best };

// The default tooltip card of a step: a rounded card in the popup colour with
// the bold title and the description, an optional progress bar, the step
// counter at the lower right and a blinking tap-here line. It lays itself out
// when built and ends at (0, 0) with its size; its owner only moves it.
// Presses on it are left to the widget below, which takes them as a tap.
class WPopup : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(qreal cornerRadius READ cornerRadius WRITE setCornerRadius)

public:
    WPopup(const QString &title, const QString &descriptionText, WPopupPosition position = WPopupPosition::up,
           qint64 currentStepNumber = 0, qint64 totalStepNumber = 0, bool showProgressBar = false,
           QWidget *parent = nullptr);

    // The six inputs. The card is laid out once, when built: a later change
    // is only stored.
    WPopupPosition toolTipPosition() const { return m_position; }
    void setToolTipPosition(WPopupPosition position) { m_position = position; }
    QString titleText() const { return m_titleText; }
    void setTitleText(const QString &text) { m_titleText = text; }
    QString descriptionText() const { return m_descriptionText; }
    void setDescriptionText(const QString &text) { m_descriptionText = text; }
    qint64 currentStepNumber() const { return m_currentStepNumber; }
    void setCurrentStepNumber(qint64 number) { m_currentStepNumber = number; }
    qint64 totalStepNumber() const { return m_totalStepNumber; }
    void setTotalStepNumber(qint64 number) { m_totalStepNumber = number; }
    bool showProgressBar() const { return m_showProgressBar; }
    void setShowProgressBar(bool show) { m_showProgressBar = show; }

    qreal cornerRadius() const { return m_radius; }
    void setCornerRadius(qreal radius);

    WPaddingLabel *textLabel() const { return m_textLabel; }
    WProgressBar *progressBar() const { return m_progressBar; }
    QLabel *tapHereLabel() const { return m_tapHereLabel; }
    WStepNumberView *stepCounter() const { return m_stepCounter; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void initToolTip();

    WPopupPosition m_position;
    QString m_titleText;
    QString m_descriptionText;
    qint64 m_currentStepNumber;
    qint64 m_totalStepNumber;
    bool m_showProgressBar;
    QColor m_color;
    qreal m_radius = 0;
    WPaddingLabel *m_textLabel = nullptr;
    WProgressBar *m_progressBar = nullptr;
    QLabel *m_tapHereLabel = nullptr;
    WStepNumberView *m_stepCounter = nullptr;
};

} // namespace WexoCreator
