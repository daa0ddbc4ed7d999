#include "WexoCreator/views/WStepNumberView.h"

#include "WexoCreator/views/WStaticTextLabel.h"
#include "WexoCreator/views/WViewStyle.h"


namespace WexoCreator {

WStepNumberView::WStepNumberView(qint64 currentStepNumber, qint64 totalSteps, QWidget *parent)
    : QWidget(parent)
    , m_currentStepNumber(currentStepNumber)
    , m_totalSteps(totalSteps)
    , m_stepLabel(new WStaticTextLabel(this))
{
    wStylePlainLabel(m_stepLabel, wSystemFont(12, QFont::Bold), Qt::white);
    m_stepLabel->setText(titleString(WStepNumberViewType::detailed, m_currentStepNumber, m_totalSteps));
    m_stepLabel->adjustSize();
    m_stepLabel->move(0, 0);
    setGeometry(QRect(QPoint(0, 0), m_stepLabel->size()));
}

QString WStepNumberView::titleString(WStepNumberViewType type, qint64 current, qint64 total)
{
    switch (type) {
    case WStepNumberViewType::detailed:
        return QStringLiteral("Step %1 / %2").arg(current).arg(total);
    case WStepNumberViewType::offed:
        return QStringLiteral("%1 of %2").arg(current).arg(total);
    case WStepNumberViewType::compact:
    case WStepNumberViewType::none:
        break;
    }
    return QStringLiteral("%1 / %2").arg(current).arg(total);
}

} // namespace WexoCreator
