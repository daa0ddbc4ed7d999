#pragma once

#include <QString>
#include <QWidget>

namespace WexoCreator {

// What the template cards share: rounded corners and four inputs that their owner sets, after
// which it calls updateTemplate() once. Setting an input changes nothing on
// screen until then.
class WTemplateCard : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(qreal cornerRadius READ cornerRadius WRITE setCornerRadius)

public:
    // The card's rounded corners.
    qreal cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(qreal radius)
    {
        m_cornerRadius = radius;
        update();
    }

    QString title() const { return m_title; }
    void setTitle(const QString &title) { m_title = title; }
    QString descriptionText() const { return m_descriptionText; }
    void setDescriptionText(const QString &text) { m_descriptionText = text; }
    qint64 currentStep() const { return m_currentStep; }
    void setCurrentStep(qint64 step) { m_currentStep = step; }
    qint64 totalSteps() const { return m_totalSteps; }
    void setTotalSteps(qint64 steps) { m_totalSteps = steps; }

    virtual void updateTemplate() = 0;

protected:
    explicit WTemplateCard(QWidget *parent)
        : QWidget(parent)
    {
    }

private:
    QString m_title;
    QString m_descriptionText;
    qint64 m_currentStep = 0;
    qint64 m_totalSteps = 0;
    qreal m_cornerRadius = 0;
};

} // namespace WexoCreator
