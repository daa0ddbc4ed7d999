#include "WexoCreator/views/WPopup.h"

#include "WexoCreator/configuration/WConfiguration.h"
#include "WexoCreator/extensions/WAttributedString.h"
#include "WexoCreator/views/WPaddingLabel.h"
#include "WexoCreator/views/WProgressBar.h"
#include "WexoCreator/views/WStaticTextLabel.h"
#include "WexoCreator/views/WStepNumberView.h"
#include "WexoCreator/views/WViewStyle.h"


#include <algorithm>
#include <cmath>

namespace WexoCreator {

namespace {

// The card is measured as if it had no parent yet (300 less 40), so it has
// one width wherever it is shown.
constexpr qreal kMeasureWidth = 260;
constexpr qreal kMeasureHeight = 200;
constexpr int kMinWidth = 260;
constexpr int kMinHeight = 100;
constexpr int kMargin = 10;
constexpr int kBarHeight = 5;

} // namespace

WPopup::WPopup(const QString &title, const QString &descriptionText, WPopupPosition position,
               qint64 currentStepNumber, qint64 totalStepNumber, bool showProgressBar, QWidget *parent)
    : QWidget(parent)
    , m_position(position)
    , m_titleText(title)
    , m_descriptionText(descriptionText)
    , m_currentStepNumber(currentStepNumber)
    , m_totalStepNumber(totalStepNumber)
    , m_showProgressBar(showProgressBar)
{
    initToolTip();
}

void WPopup::initToolTip()
{
    m_textLabel = new WPaddingLabel(this);
    m_textLabel->setAlignment(Qt::AlignHCenter);
    m_textLabel->setTextColor(WConfiguration::KStepsTitleColor());
    m_textLabel->setNumberOfLines(10);
    m_textLabel->setFont(wSystemFont(14, QFont::Medium));
    WAttributedString text;
    text.wBold(m_titleText).wNormal(QStringLiteral("\n\n")).wNormal(m_descriptionText);
    m_textLabel->setAttributedText(text);

    const QSizeF fit = m_textLabel->sizeThatFits(QSizeF(kMeasureWidth, kMeasureHeight));
    const int w = std::max(int(std::ceil(fit.width())), kMinWidth);
    const int h = std::max(int(std::ceil(fit.height())), kMinHeight);
    m_textLabel->setGeometry(0, 0, w, h);

    m_color = WConfiguration::kPopupColor();
    m_radius = WConfiguration::kPopUpBorderRadius();

    int contentBottom = h;
    if (m_showProgressBar) {
        m_progressBar = new WProgressBar(this);
        m_progressBar->setGeometry(kMargin, h + kMargin, w - 2 * kMargin, kBarHeight);
        m_progressBar->setProgress(WProgressBar::ratio(m_currentStepNumber, m_totalStepNumber));
        // As the other popups pair them: the fill in the background colour.
        m_progressBar->setProgressTintColor(WConfiguration::kProgressBgColor());
        m_progressBar->setTrackColor(WConfiguration::kProgressColor());
        contentBottom = m_progressBar->geometry().bottom() + 1;
    }

    m_stepCounter = new WStepNumberView(m_currentStepNumber, m_totalStepNumber, this);
    m_stepCounter->move(w - m_stepCounter->width() - kMargin, contentBottom + kMargin);
    const int counterBottom = m_stepCounter->geometry().bottom() + 1;

    m_tapHereLabel = new WStaticTextLabel(this);
    wStylePlainLabel(m_tapHereLabel, wSystemFont(12, QFont::Light), WConfiguration::kTapHereColor());
    m_tapHereLabel->setText(WConfiguration::kTapHereText());
    m_tapHereLabel->adjustSize();
    const QSize tap = m_tapHereLabel->size();
    // One line of space above it, centred across the card.
    m_tapHereLabel->move(w / 2 - tap.width() / 2, counterBottom + tap.height());
    wBlink(m_tapHereLabel);

    setGeometry(0, 0, w, counterBottom + 2 * tap.height() + kMargin);
    m_stepCounter->raise();
}

void WPopup::setCornerRadius(qreal radius)
{
    m_radius = radius;
    update();
}

void WPopup::paintEvent(QPaintEvent *)
{
    wPaintCard(this, m_color, m_radius);
}

} // namespace WexoCreator
