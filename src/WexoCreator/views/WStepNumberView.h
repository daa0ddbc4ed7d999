#pragma once

#include <QWidget>

class QLabel;

namespace WexoCreator {

// The text forms of the step counter; the popups show `detailed`.
enum class WStepNumberViewType { compact, detailed, offed, none };

// The step counter of the popups ("Step 2 / 5"): white bold text on no
// background, sized to its one line at (0, 0). Its owner places it. The text
// is fixed when it is built; numbers are shown as given.
class WStepNumberView : public QWidget
{
    Q_OBJECT

public:
    WStepNumberView(qint64 currentStepNumber, qint64 totalSteps, QWidget *parent = nullptr);

    qint64 currentStepNumber() const { return m_currentStepNumber; }
    qint64 totalSteps() const { return m_totalSteps; }
    QLabel *stepLabel() const { return m_stepLabel; }

    static QString titleString(WStepNumberViewType type, qint64 current, qint64 total);

private:
    qint64 m_currentStepNumber;
    qint64 m_totalSteps;
    QLabel *m_stepLabel;
};

} // namespace WexoCreator
