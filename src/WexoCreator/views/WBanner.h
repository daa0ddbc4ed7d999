#pragma once

#include "WexoCreator/platform/WWeakDelegate.h"
#include "WexoCreator/views/WBannerDelegate.h"

#include <QColor>
#include <QPointer>
#include <QVariantAnimation>
#include <QWidget>

#include <functional>
#include <optional>

class QAbstractButton;


namespace WexoCreator {

class WPaddingLabel;

// The edge a banner enters from and rests on.
enum class WBannerPosition { top, bottom };

// A strip as wide as its parent (the view it is shown over) with the step's
// title, description and tap-here text, a close "X" in the top trailing
// corner and, from step 2 on, a back arrow in the top leading one (they swap
// sides in a right-to-left layout). showWBanner() springs it in from its edge; a tap on it, or 30 s
// of rest, slides it out to the left, after which the completion runs (once)
// and the banner hides and deletes itself. Presses on it never reach the
// widget below. Back and close go to the delegate.
class WBanner : public QWidget
{
    Q_OBJECT

public:
    static constexpr qreal kPadding = 10.0;

    // A description that is absent leaves its part and its separator out.
    WBanner(const QString &title, const std::optional<QString> &description, WBannerPosition position,
            qint64 currentStep, std::function<void()> completion, QWidget *parent);
    // The title alone: no description, at the top, step 0 (no back button),
    // no completion.
    explicit WBanner(const QString &title, QWidget *parent = nullptr);

    WBannerPosition position() const { return m_position; }
    qint64 currentStep() const { return m_currentStep; }

    WBannerDelegate *delegate() const { return m_delegate.get(); }
    void setDelegate(WBannerDelegate *delegate) { m_delegate.set(delegate); }

    WPaddingLabel *label() const { return m_label; }
    QAbstractButton *backButton() const { return m_backButton; }
    QAbstractButton *closeButton() const { return m_closeButton; }

    // Where the banner rests in its parent, and where it starts off screen.
    int restingY() const;
    int startY() const;

    // Slides in; 30 s after the slide-in has finished the banner slides out by itself.
    void showWBanner();
    // After the parent's resize: as wide as the parent, as high as its text
    // then needs, at its resting place (a slide-in under way ends there). A
    // banner on its way out keeps going.
    void takeRestingPlace();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void initBanner();
    // Back in the leading top corner, close in the trailing one.
    void placeButtons();
    int heightFor(int width) const;
    int restingY(int height) const;
    void removeBanner();
    void finishSlideOut();
    void onPrev();
    void onClose();

    QString m_title;
    std::optional<QString> m_description;
    WBannerPosition m_position;
    qint64 m_currentStep;
    std::function<void()> m_completion;
    WWeakDelegate<WBannerDelegate> m_delegate;
    QColor m_color;
    WPaddingLabel *m_label = nullptr;
    QAbstractButton *m_backButton = nullptr;
    QAbstractButton *m_closeButton = nullptr;
    QPointer<QVariantAnimation> m_slideIn;
    bool m_entered = false;
    bool m_leaving = false;
};

} // namespace WexoCreator
