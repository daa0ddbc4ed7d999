#pragma once

#include <QLabel>
#include <QPointer>
#include <QWidget>

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

    // The text is fixed when the counter is built: these only store.
    qint64 currentStepNumber() const { return m_currentStepNumber; }
    void setCurrentStepNumber(qint64 number) { m_currentStepNumber = number; }
    qint64 totalSteps() const { return m_totalSteps; }
    void setTotalSteps(qint64 steps) { m_totalSteps = steps; }
    // The label the counter keeps; another one set here is neither shown nor
    // owned by the counter (null once it is deleted).
    QLabel *stepLabel() const { return m_stepLabel; }
    void setStepLabel(QLabel *label) { m_stepLabel = label; }

    static QString titleString(WStepNumberViewType type, qint64 current, qint64 total);

private:
    qint64 m_currentStepNumber;
    qint64 m_totalSteps;
    QPointer<QLabel> m_stepLabel;
};

} // namespace WexoCreator
