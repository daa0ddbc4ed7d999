#pragma once

#include "WexoCreator/views/WTemplateCard.h"
#include "WexoCreator/platform/WWeakDelegate.h"
#include "WexoCreator/views/WMobilePopupDelegate.h"
#include "WexoCreator/views/WStepNumberView.h"

#include <QColor>
#include <QPointer>
#include <QString>

#include <memory>

class QLabel;
class QToolButton;

namespace Ui {
class WMobilePopup;
}

namespace WexoCreator {

class WPaddingLabel;
class WProgressBar;

// The template-styled step card: heading, description, progress bar, step
// counter, blinking dismiss text, back and close. Built from its form; its
// owner sets the four inputs, calls updateTemplate() once, then sizes it
// (kChromeHeight plus the description's height) and places it. Presses on
// its body are left to the widget below.
class WMobilePopup : public WTemplateCard
{
    Q_OBJECT

public:
    // Everything but the description, in height.
    static constexpr int kChromeHeight = 130;

    // Loads the form from the library's resources; the argument is not consulted.
    static WMobilePopup *createView(const QString &bundle = QString(), QWidget *parent = nullptr);
    ~WMobilePopup() override;

    WMobilePopupDelegate *delegate() const { return m_delegate.get(); }
    void setDelegate(WMobilePopupDelegate *delegate) { m_delegate.set(delegate); }

    // Applies the inputs and the template's look.
    void updateTemplate() override;

    // The description's height when the card is the given width: the width
    // the form draws it at, so its last line shows; never above the limit.
    int descriptionHeight(int cardWidth) const;
    // The form's limit on the description's height (its maximum height): a
    // longer text shows as many whole lines as fit and ends with an ellipsis.
    int descriptionHtConstraint() const;

    WPaddingLabel *headingLabel() const;
    WPaddingLabel *descriptionLabel() const;
    QLabel *dismissLabel() const;
    QToolButton *closeButton() const;
    QToolButton *backButton() const;
    WProgressBar *progressView() const;
    WStepNumberView *stepBadge() const { return m_badge; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    explicit WMobilePopup(QWidget *parent);
    void updateDesign();
    void onBack();
    void onClose();

    std::unique_ptr<Ui::WMobilePopup> m_ui;
    WWeakDelegate<WMobilePopupDelegate> m_delegate;
    QColor m_color;
    // The form's line limit of the description.
    int m_descriptionLines = 0;
    QPointer<WStepNumberView> m_badge;
    QPointer<QObject> m_blink;
};

} // namespace WexoCreator
