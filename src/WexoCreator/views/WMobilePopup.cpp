#include "WexoCreator/views/WMobilePopup.h"

#include "ui_WMobilePopup.h"

#include "WexoCreator/backend/WFontManager.h"
#include "WexoCreator/configuration/WConfiguration.h"
#include "WexoCreator/views/WPaddingLabel.h"
#include "WexoCreator/views/WProgressBar.h"
#include "WexoCreator/views/WStepNumberView.h"
#include "WexoCreator/views/WViewStyle.h"

#include <QFontMetricsF>
#include <QVariantAnimation>

#include <algorithm>
#include <limits>

namespace WexoCreator {

namespace {

constexpr int kBadgeHeight = 44;
constexpr int kBadgeEndGap = 20;
constexpr int kHeadingLines = 2;

} // namespace

WMobilePopup *WMobilePopup::createView(const QString &, QWidget *parent)
{
    return new WMobilePopup(parent);
}

WMobilePopup::WMobilePopup(QWidget *parent)
    : WTemplateCard(parent)
    , m_ui(std::make_unique<Ui::WMobilePopup>())
    , m_color(WConfiguration::kPopupColor())
{
    setCornerRadius(WConfiguration::wDefaultPopupCornerRadius);
    m_ui->setupUi(this);
    m_descriptionLines = m_ui->descriptionLabel->numberOfLines();
    // The heading stays centred on the card when the first step hides the back button.
    QSizePolicy back = m_ui->backButton->sizePolicy();
    back.setRetainSizeWhenHidden(true);
    m_ui->backButton->setSizePolicy(back);
    connect(m_ui->backButton, &QToolButton::clicked, this, &WMobilePopup::onBack);
    connect(m_ui->closeButton, &QToolButton::clicked, this, &WMobilePopup::onClose);
}

WMobilePopup::~WMobilePopup() = default;

WPaddingLabel *WMobilePopup::headingLabel() const { return m_ui->headingLabel; }
WPaddingLabel *WMobilePopup::descriptionLabel() const { return m_ui->descriptionLabel; }
QLabel *WMobilePopup::dismissLabel() const { return m_ui->dismissLabel; }
QToolButton *WMobilePopup::closeButton() const { return m_ui->closeButton; }
QToolButton *WMobilePopup::backButton() const { return m_ui->backButton; }
WProgressBar *WMobilePopup::progressView() const { return m_ui->progressView; }

void WMobilePopup::updateTemplate()
{
    updateDesign();
}

void WMobilePopup::updateDesign()
{
    const QColor titleColor = WConfiguration::KStepsTitleColor();
    // A long heading wraps to as many lines as its row holds (two at most) and
    // then ends with an ellipsis, instead of being cut at both ends.
    const QFont headingFont = WFontManager::templateTitleFont(WConfiguration::kTemplateHeadingFontName(),
                                                              WConfiguration::kTemplateHeadingFontSize());
    headingLabel()->setFont(headingFont);
    headingLabel()->setTextColor(titleColor);
    headingLabel()->setNumberOfLines(
        std::clamp(int(headingLabel()->maximumHeight() / QFontMetricsF(headingFont).lineSpacing()), 1, kHeadingLines));
    headingLabel()->setText(title());

    descriptionLabel()->setFont(WFontManager::templateContentFont(WConfiguration::kTemplateContentFontName(),
                                                                  WConfiguration::kTemplateContentFontSize()));
    descriptionLabel()->setTextColor(titleColor);
    const QFontMetricsF description(descriptionLabel()->font());
    const qreal textRoom = descriptionHtConstraint() - descriptionLabel()->topInset() - descriptionLabel()->bottomInset();
    const int formLines = m_descriptionLines > 0 ? m_descriptionLines : std::numeric_limits<int>::max();
    descriptionLabel()->setNumberOfLines(std::clamp(int(textRoom / description.lineSpacing()), 1, formLines));
    descriptionLabel()->setText(descriptionText());

    progressView()->setProgress(WProgressBar::ratio(currentStep(), totalSteps()));
    // The track in the progress colour and the fill in its background colour,
    // as the tooltip card pairs them.
    progressView()->setTrackColor(WConfiguration::kProgressColor());
    progressView()->setProgressTintColor(WConfiguration::kProgressBgColor());

    m_color = WConfiguration::kPopupColor();
    setCornerRadius(WConfiguration::kPopUpBorderRadius());

    // A second design pass replaces the badge instead of stacking another.
    if (m_badge) {
        m_badge->hide();
        m_badge->deleteLater();
    }
    auto *badge = new WStepNumberView(currentStep(), totalSteps(), this);
    const int textWidth = badge->width();
    badge->setFixedSize(textWidth, kBadgeHeight);
    // The form's row holds the dismiss text and a stretch; the badge and its end gap follow.
    for (int i = m_ui->footerRow->count() - 1; i > 1; --i)
        std::unique_ptr<QLayoutItem>(m_ui->footerRow->takeAt(i));
    m_ui->footerRow->addWidget(badge, 0, Qt::AlignTop);
    m_ui->footerRow->addSpacing(textWidth + kBadgeEndGap);
    m_badge = badge;

    wStylePlainLabel(dismissLabel(), WFontManager::templateTapHereFont(WConfiguration::kTemplateTapHereFontName(),
                                                                       WConfiguration::kTemplateTapHereFontSize()),
                     WConfiguration::kTapHereColor());
    dismissLabel()->setText(WConfiguration::kTapHereText());

    wStyleCloseButton(closeButton(), titleColor);
    wStyleBackButton(backButton(), titleColor);

    if (m_blink)
        m_blink->deleteLater();
    m_blink = wBlink(dismissLabel());

    if (currentStep() == 1)
        backButton()->hide();
    layout()->activate();
    update();
}

int WMobilePopup::descriptionHeight(int cardWidth) const
{
    const QMargins margins = layout()->contentsMargins();
    return std::min(descriptionLabel()->heightForWidth(cardWidth - margins.left() - margins.right()),
                    descriptionHtConstraint());
}

int WMobilePopup::descriptionHtConstraint() const
{
    return descriptionLabel()->maximumHeight();
}

void WMobilePopup::onBack()
{
    if (WMobilePopupDelegate *delegate = m_delegate.get())
        delegate->onPrev(this);
}

void WMobilePopup::onClose()
{
    if (WMobilePopupDelegate *delegate = m_delegate.get())
        delegate->onClose(this);
}

void WMobilePopup::paintEvent(QPaintEvent *)
{
    wPaintCard(this, m_color, cornerRadius());
}

} // namespace WexoCreator
