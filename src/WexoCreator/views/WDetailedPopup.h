#pragma once

#include "WexoCreator/views/WTemplateCard.h"
#include <QMargins>
#include <QString>

#include <memory>

class QLabel;
class QPushButton;

namespace Ui {
class WDetailedPopup;
}

namespace WexoCreator {

class WPaddingLabel;
class WProgressBar;

// A template card with the step number, heading, description, a progress row
// with its percentage, and previous and next buttons. Built from its form;
// its owner sets the four inputs and calls updateTemplate(), which fills the
// texts and progress and takes the spacing of each row and two colours from
// the template's style blocks. The buttons are wired by no one.
class WDetailedPopup : public WTemplateCard
{
    Q_OBJECT

public:
    static constexpr double minimumHeight = 180.0;
    static constexpr double minimumWidth = 250.0;

    // Loads the form from the library's resources; the argument is not consulted.
    static WDetailedPopup *createView(const QString &bundle = QString(), QWidget *parent = nullptr);
    ~WDetailedPopup() override;

    void updateTemplate() override;

    // The percentage shown for a step of a total: truncated, never rounded; a
    // ratio that is not finite or not within int range (a total of 0) shows 0%.
    static QString percentText(qint64 current, qint64 total);

    QLabel *stepTitle() const;
    WPaddingLabel *headingLabel() const;
    WPaddingLabel *descriptionLabel() const;
    QWidget *progressHolder() const;
    WProgressBar *progressView() const;
    QLabel *progressLabel() const;
    QPushButton *prevBtn() const;
    QPushButton *nextBtn() const;

    // The spacing of each row: the top, left and right the template sets.
    QMargins stepTitleMargins() const;
    QMargins headingMargins() const;
    QMargins descriptionMargins() const;
    QMargins progressMargins() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    explicit WDetailedPopup(QWidget *parent);
    void updateDesign();

    std::unique_ptr<Ui::WDetailedPopup> m_ui;
};

} // namespace WexoCreator
