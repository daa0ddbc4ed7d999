#include "WexoCreator/views/WDetailedPopup.h"

#include "ui_WDetailedPopup.h"

#include "WexoCreator/appearance-model/Template.h"
#include "WexoCreator/appearance-model/TemplateConstraints.h"
#include "WexoCreator/appearance-model/TemplateParameters.h"
#include "WexoCreator/configuration/WAppearanceState.h"
#include "WexoCreator/configuration/WConfiguration.h"
#include "WexoCreator/extensions/WLayoutExtensions.h"
#include "WexoCreator/views/WPaddingLabel.h"
#include "WexoCreator/views/WProgressBar.h"
#include "WexoCreator/views/WViewStyle.h"

#include <cmath>
#include <limits>

namespace WexoCreator {

namespace {

// The platform's light grey, for the rules and the progress track.
const QColor kLightGrey(0xAA, 0xAA, 0xAA);
const QColor kCardColor(Qt::white);
const QColor kTextColor(0x33, 0x33, 0x33);
constexpr qreal kCornerRadius = 8;
constexpr int kUnstyledProgressMargin = 10;

using Block = std::shared_ptr<TemplateConstraints>;

bool applies(const Block &block)
{
    return block && block->hasProperties();
}

// A margin counts only when it is above 0.
int marginOr(double margin, int fallback)
{
    return margin > 0 && margin < std::numeric_limits<int>::max() ? int(margin) : fallback;
}

void setEdges(QLayout *layout, std::optional<int> top, std::optional<int> left, std::optional<int> right)
{
    QMargins margins = layout->contentsMargins();
    if (top)
        margins.setTop(*top);
    if (left)
        margins.setLeft(*left);
    if (right)
        margins.setRight(*right);
    layout->setContentsMargins(margins);
}

} // namespace

WDetailedPopup *WDetailedPopup::createView(const QString &, QWidget *parent)
{
    return new WDetailedPopup(parent);
}

WDetailedPopup::WDetailedPopup(QWidget *parent)
    : WTemplateCard(parent)
    , m_ui(std::make_unique<Ui::WDetailedPopup>())
{
    setCornerRadius(kCornerRadius);
    m_ui->setupUi(this);
    for (QLabel *label : {stepTitle(), progressLabel()})
        wStylePlainLabel(label, label->font(), kTextColor);
    stepTitle()->setStyleSheet(QStringLiteral("background: %1; color: white; border-radius: 4px; padding: 0 6px;")
                                   .arg(WConfiguration::wBrandPrimaryColorHexString));
    headingLabel()->setFont(wSystemFont(16, QFont::Bold));
    for (WPaddingLabel *label : {headingLabel(), descriptionLabel()})
        label->setTextColor(kTextColor);
    progressHolder()->setAutoFillBackground(true);
    QPalette holder = progressHolder()->palette();
    holder.setColor(QPalette::Window, Qt::transparent);
    progressHolder()->setPalette(holder);
    progressView()->setProgressTintColor(WConfiguration::kProgressBgColor());
    borders(progressHolder(), {WRectEdge::Top, WRectEdge::Bottom}, 1.0, kLightGrey);
    borders(prevBtn(), {WRectEdge::Right}, 1.0, kLightGrey);
}

WDetailedPopup::~WDetailedPopup() = default;

QLabel *WDetailedPopup::stepTitle() const { return m_ui->stepTitle; }
WPaddingLabel *WDetailedPopup::headingLabel() const { return m_ui->headingLabel; }
WPaddingLabel *WDetailedPopup::descriptionLabel() const { return m_ui->descriptionLabel; }
QWidget *WDetailedPopup::progressHolder() const { return m_ui->progressHolder; }
WProgressBar *WDetailedPopup::progressView() const { return m_ui->progressView; }
QLabel *WDetailedPopup::progressLabel() const { return m_ui->progressLabel; }
QPushButton *WDetailedPopup::prevBtn() const { return m_ui->prevBtn; }
QPushButton *WDetailedPopup::nextBtn() const { return m_ui->nextBtn; }
QMargins WDetailedPopup::stepTitleMargins() const { return m_ui->stepTitleRow->contentsMargins(); }
QMargins WDetailedPopup::headingMargins() const { return m_ui->headingRow->contentsMargins(); }
QMargins WDetailedPopup::descriptionMargins() const { return m_ui->descriptionRow->contentsMargins(); }
QMargins WDetailedPopup::progressMargins() const { return m_ui->progressRow->contentsMargins(); }

void WDetailedPopup::updateTemplate()
{
    updateDesign();
}

QString WDetailedPopup::percentText(qint64 current, qint64 total)
{
    const float percent = float(current) / float(total) * 100.0f;
    if (!std::isfinite(percent) || std::abs(percent) >= float(std::numeric_limits<int>::max()))
        return QStringLiteral("0%");
    return QStringLiteral("%1%").arg(int(percent));
}

void WDetailedPopup::updateDesign()
{
    headingLabel()->setText(title());
    descriptionLabel()->setText(descriptionText());
    progressView()->setProgress(WProgressBar::ratio(currentStep(), totalSteps()));
    progressView()->setTrackColor(kLightGrey);
    progressLabel()->setText(percentText(currentStep(), totalSteps()));
    stepTitle()->setText(QString::number(currentStep()));

    const std::shared_ptr<Template> style = WAppearanceState::currentTemplate();
    const std::shared_ptr<TemplateParameters> css = style ? style->CssObject() : nullptr;
    if (!css)
        return;

    if (const Block &block = css->stepsTitle(); applies(block))
        setEdges(m_ui->stepTitleRow, marginOr(block->marginT(), 20), marginOr(block->marginL(), 15), marginOr(block->marginR(), 15));
    if (const Block &block = css->content(); applies(block)) {
        setEdges(m_ui->headingRow, marginOr(block->marginT(), 15), std::nullopt, marginOr(block->marginR(), 15));
        setEdges(m_ui->descriptionRow, marginOr(block->marginT(), 0), marginOr(block->marginL(), 15), marginOr(block->marginR(), 15));
    }
    if (const Block &block = css->progressbarWrapper(); applies(block)) {
        const QColor background = block->bgColor();
        QPalette holder = progressHolder()->palette();
        holder.setColor(QPalette::Window, background);
        progressHolder()->setPalette(holder);
        // The percentage stays legible on a dark wrapper.
        const bool dark = background.alpha() > 127 && background.lightnessF() < 0.5;
        wStylePlainLabel(progressLabel(), progressLabel()->font(), dark ? QColor(Qt::white) : kTextColor);
    }
    if (const Block &block = css->progressbar(); applies(block)) {
        progressView()->setProgressTintColor(block->bgColor());
        setEdges(m_ui->progressRow, std::nullopt, marginOr(block->marginL(), 15), marginOr(block->marginR(), 15));
    } else {
        setEdges(m_ui->progressRow, std::nullopt, kUnstyledProgressMargin, kUnstyledProgressMargin);
    }
    layout()->activate();
}

void WDetailedPopup::paintEvent(QPaintEvent *)
{
    wPaintCard(this, kCardColor, cornerRadius());
}

} // namespace WexoCreator
