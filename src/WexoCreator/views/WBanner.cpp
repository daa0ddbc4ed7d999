#include "WexoCreator/views/WBanner.h"

#include "WexoCreator/backend/WFontManager.h"
#include "WexoCreator/configuration/WConfiguration.h"
#include "WexoCreator/extensions/WAttributedString.h"
#include "WexoCreator/platform/WGestureTracker.h"
#include "WexoCreator/platform/WHostQueries.h"
#include "WexoCreator/platform/WPerform.h"
#include "WexoCreator/platform/WSpringAnimation.h"
#include "WexoCreator/platform/WTiming.h"
#include "WexoCreator/views/WPaddingLabel.h"
#include "WexoCreator/views/WViewStyle.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QVariantAnimation>

#include <algorithm>

namespace WexoCreator {

namespace {

constexpr int kMinHeight = 100;
constexpr double kStaySeconds = 30;

int widthWithoutParent()
{
    if (QWidget *host = WHostQueries::hostWindow())
        return host->width();
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() : 0;
}

} // namespace

WBanner::WBanner(const QString &title, const std::optional<QString> &description, WBannerPosition position,
                 qint64 currentStep, std::function<void()> completion, QWidget *parent)
    : QWidget(parent)
    , m_title(title)
    , m_description(description)
    , m_position(position)
    , m_currentStep(currentStep)
    , m_completion(std::move(completion))
{
    initBanner();
    auto *taps = new WGestureTracker(this);
    connect(taps, &WGestureTracker::tapped, this, &WBanner::removeBanner);
    setAttribute(Qt::WA_NoMousePropagation);
}

WBanner::WBanner(const QString &title, QWidget *parent)
    : WBanner(title, std::nullopt, WBannerPosition::top, 0, nullptr, parent)
{
}

void WBanner::initBanner()
{
    const int width = parentWidget() ? parentWidget()->width() : widthWithoutParent();

    m_label = new WPaddingLabel(this);
    m_label->setLeftInset(44);
    m_label->setRightInset(44);
    m_label->setTopInset(10);
    m_label->setTextColor(WConfiguration::KStepsTitleColor());
    m_label->setAlignment(Qt::AlignHCenter);
    m_label->setNumberOfLines(10);
    m_label->setFont(wSystemFont(14, QFont::Medium));

    const QString separator = QStringLiteral("\n\n");
    WAttributedString text;
    text.wBold(m_title, WFontManager::templateTitleFont(WConfiguration::kTemplateHeadingFontName(),
                                                        WConfiguration::kTemplateHeadingFontSize()));
    text.wNormal(separator);
    if (m_description) {
        text.wBold(*m_description, WFontManager::templateContentFont(WConfiguration::kTemplateContentFontName(),
                                                                     WConfiguration::kTemplateContentFontSize()));
        text.wNormal(separator);
    }
    text.wBold(WConfiguration::kTapHereText(), WFontManager::templateTapHereFont(WConfiguration::kTemplateTapHereFontName(),
                                                                                 WConfiguration::kTemplateTapHereFontSize()));
    m_label->setAttributedText(text);

    const int height = heightFor(width);
    m_label->setGeometry(0, 0, width, height);
    setGeometry(0, 0, width, height);
    move(0, startY());
    m_color = WConfiguration::kBannerColor();

    const QColor tint = WConfiguration::KStepsTitleColor();
    if (m_currentStep > 1) {
        auto *back = new QToolButton(this);
        wStyleBackButton(back, tint);
        connect(back, &QToolButton::clicked, this, &WBanner::onPrev);
        m_backButton = back;
    }
    auto *close = new QToolButton(this);
    wStyleCloseButton(close, tint);
    connect(close, &QToolButton::clicked, this, &WBanner::onClose);
    m_closeButton = close;
    placeButtons();
}

void WBanner::placeButtons()
{
    const Qt::LayoutDirection direction = layoutDirection();
    if (m_backButton)
        m_backButton->setGeometry(QStyle::visualRect(direction, rect(), QRect(QPoint(0, 0), m_backButton->size())));
    if (m_closeButton) {
        const QSize size = m_closeButton->size();
        m_closeButton->setGeometry(
            QStyle::visualRect(direction, rect(), QRect(QPoint(width() - size.width(), 0), size)));
    }
}

int WBanner::heightFor(int width) const
{
    // Measured at the width the text is drawn in, so the end of a long text shows.
    return std::max(m_label->heightForWidth(width), kMinHeight);
}

int WBanner::restingY() const
{
    return restingY(height());
}

int WBanner::restingY(int height) const
{
    // Desktop windows have no safe area.
    if (!parentWidget() || m_position == WBannerPosition::top)
        return 0;
    return parentWidget()->height() - height;
}

int WBanner::startY() const
{
    if (m_position == WBannerPosition::top)
        return -height();
    return parentWidget() ? parentWidget()->height() : 0;
}

void WBanner::takeRestingPlace()
{
    if (m_leaving || !parentWidget())
        return;
    const int width = parentWidget()->width();
    const int height = heightFor(width);
    if (!m_entered) {
        resize(width, height);
        move(0, startY());
        return;
    }
    const QRect resting(0, restingY(height), width, height);
    // A slide-in under way goes on to the new place instead of starting again.
    if (m_slideIn && m_slideIn->state() == QAbstractAnimation::Running)
        m_slideIn->setEndValue(resting);
    else
        setGeometry(resting);
}

void WBanner::showWBanner()
{
    if (m_leaving || m_entered)
        return;
    m_entered = true;
    auto *slideIn = new WSpringAnimation(1.5, 0.3, 0.5, this);
    slideIn->setStartValue(geometry());
    slideIn->setEndValue(QRect(0, restingY(), width(), height()));
    connect(slideIn, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) { setGeometry(value.toRect()); });
    // Only a slide-in that ran to its end starts the stay.
    connect(slideIn, &QVariantAnimation::finished, this, [this] {
        WPerform::delay(WTiming::seconds(kStaySeconds), this, [this] { removeBanner(); });
    });
    m_slideIn = slideIn;
    slideIn->start(QAbstractAnimation::DeleteWhenStopped);
}

void WBanner::removeBanner()
{
    // One slide-out, one completion: a second tap or the stay's end while
    // leaving must not advance the walkthrough again.
    if (m_leaving)
        return;
    m_leaving = true;
    if (m_slideIn)
        m_slideIn->stop();
    auto *slideOut = new QVariantAnimation(this);
    slideOut->setDuration(WTiming::ms(0.5));
    slideOut->setEasingCurve(QEasingCurve::InOutCubic);
    slideOut->setStartValue(geometry());
    slideOut->setEndValue(QRect(-width(), restingY(), width(), height()));
    connect(slideOut, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) { setGeometry(value.toRect()); });
    // Queued, so the completion may take the banner's parent down with it.
    connect(slideOut, &QVariantAnimation::finished, this, &WBanner::finishSlideOut, Qt::QueuedConnection);
    slideOut->start(QAbstractAnimation::DeleteWhenStopped);
}

void WBanner::finishSlideOut()
{
    const QPointer<WBanner> self(this);
    if (auto completion = std::exchange(m_completion, nullptr))
        completion();
    if (!self)
        return;
    hide();
    deleteLater();
}

void WBanner::onPrev()
{
    if (WBannerDelegate *delegate = m_delegate.get())
        delegate->onPrev(this);
}

void WBanner::onClose()
{
    if (WBannerDelegate *delegate = m_delegate.get())
        delegate->onClose(this);
}

void WBanner::paintEvent(QPaintEvent *)
{
    QPainter(this).fillRect(rect(), m_color);
}

void WBanner::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (!m_closeButton)
        return;
    m_label->setGeometry(rect());
    placeButtons();
}

void WBanner::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LayoutDirectionChange)
        placeButtons();
}

void WBanner::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

} // namespace WexoCreator
