#include "WexoCreator/recording/WPlayConsole.h"

#include "ui_WPlayConsole.h"

#include "WexoCreator/configuration/WConfiguration.h"
#include "WexoCreator/extensions/WImageExtensions.h"
#include "WexoCreator/manager/WexolinManager.h"
#include "WexoCreator/recording/WConsoleDelegate.h"

#include <QEvent>
#include <QFontMetrics>
#include <QGraphicsDropShadowEffect>
#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>

namespace WexoCreator {

namespace {

constexpr int kBadgeRadius = 15;
constexpr int kLauncherInset = 20;
// The platform's light grey.
const QColor kLightGrey(0xAA, 0xAA, 0xAA);

QPixmap requiredImage(const QString &name, const QString &bundle = WConfiguration::currentBundle())
{
    const QString path = bundle + QStringLiteral("images/%1.png").arg(name);
    QPixmap image(path);
    if (image.isNull())
        qFatal("missing library image %s", qPrintable(path));
    return image;
}

// The drop shadow's reach: the launcher faces leave it free on their free sides,
// so that the console's bounds (and the window's touch area) do not clip it.
constexpr int kShadowReach = 3;
// The launcher title: bold 14 px, drawn smaller down to 9 px when it is wider
// than the face (with a margin that keeps it off the round face's outline),
// then cut with an ellipsis.
constexpr int kTitlePixels = 14;
constexpr int kMinTitlePixels = 9;
constexpr int kTitleRoom = WPlayConsole::kLauncherSize - 2 * kShadowReach - 10;

void showFittedTitle(QPushButton *button, const QString &title)
{
    QFont font = button->font();
    font.setBold(true);
    int pixels = kTitlePixels;
    font.setPixelSize(pixels);
    while (pixels > kMinTitlePixels && QFontMetrics(font).horizontalAdvance(title) > kTitleRoom)
        font.setPixelSize(--pixels);
    const QString shown = QFontMetrics(font).elidedText(title, Qt::ElideRight, kTitleRoom);
    button->setFont(font);
    // The title comes from the theme: an "&" is shown, not taken as a shortcut mark.
    button->setText(QString(shown).replace(u'&', QStringLiteral("&&")));
    button->setToolTip(shown == title ? QString() : title);
    button->setAccessibleName(title);
}

// A tab of the launcher artwork (drawn attached to the right edge), in one colour,
// from its @2x version on a high-density screen.
QPixmap tabImage(const QString &name, const QColor &colour, bool mirrored, qreal ratio)
{
    const bool dense = ratio > 1.0;
    QPixmap image = requiredImage(dense ? name + QStringLiteral("@2x") : name);
    image.setDevicePixelRatio(dense ? 2.0 : 1.0);
    QPixmap tinted = wTinted(image, colour);
    if (mirrored) {
        tinted = QPixmap::fromImage(tinted.toImage().mirrored(true, false));
        tinted.setDevicePixelRatio(image.devicePixelRatio());
    }
    return tinted;
}

} // namespace

WPlayConsole::WPlayConsole(QWidget *parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::WPlayConsole>())
{
    m_ui->setupUi(this);
    setAttribute(Qt::WA_NoSystemBackground);

    recordModeView()->hide();
    playBtn()->hide();
    cancelTargetModeBtn()->hide();
    selectTargetViewBtn()->hide();
    stepNumberBadge()->setStyleSheet(QStringLiteral("border-radius: %1px;").arg(kBadgeRadius));
    // The console floats over the host's window: its buttons must not join the
    // host's Tab order, or a keyboard user tabbing through a form lands here.
    for (QAbstractButton *button : findChildren<QAbstractButton *>())
        button->setFocusPolicy(Qt::NoFocus);
    // The launcher button's face (a tab or a disc) is painted under its icon.
    wMenuButton()->installEventFilter(this);
    if (parent)
        parent->installEventFilter(this);
}

WPlayConsole::~WPlayConsole() = default;

QPushButton *WPlayConsole::stopBtn() const { return m_ui->stopBtn; }
QPushButton *WPlayConsole::playBtn() const { return m_ui->playBtn; }
QPushButton *WPlayConsole::pauseBtn() const { return m_ui->pauseBtn; }
QPushButton *WPlayConsole::targetModeBtn() const { return m_ui->targetModeBtn; }
QWidget *WPlayConsole::recordModeView() const { return m_ui->recordModeView; }
QPushButton *WPlayConsole::wMenuButton() const { return m_ui->wMenuButton; }
QPushButton *WPlayConsole::cancelTargetModeBtn() const { return m_ui->cancelTargetModeBtn; }
QPushButton *WPlayConsole::selectTargetViewBtn() const { return m_ui->selectTargetViewBtn; }
QPushButton *WPlayConsole::stepNumberBadge() const { return m_ui->stepNumberBadge; }
QFrame *WPlayConsole::recordViewHolder() const { return m_ui->recordViewHolder; }

void WPlayConsole::setDelegate(WConsoleDelegate *delegate)
{
    m_delegate.set(delegate);
}

WConsoleDelegate *WPlayConsole::delegate() const
{
    return m_delegate.get();
}

void WPlayConsole::setBadgeTitle(const QString &title)
{
    stepNumberBadge()->setText(title);
}

void WPlayConsole::resetRecordBar()
{
    for (QPushButton *shown : {stopBtn(), pauseBtn(), targetModeBtn()})
        shown->show();
    for (QPushButton *hidden : {playBtn(), cancelTargetModeBtn(), selectTargetViewBtn()})
        hidden->hide();
}

void WPlayConsole::setMode(WConsoleMode mode)
{
    applyColors();
    m_currentMode = mode;
    switch (mode) {
    case WConsoleMode::sniping:
        return;
    case WConsoleMode::record: {
        // The bar draws its own rounded ends and shadow: the hover face's
        // circle must not clip it.
        m_roundClip = false;
        recordViewHolder()->setStyleSheet(QStringLiteral("QFrame#recordViewHolder { background-color: white; border: 1px solid %1; border-radius: 32px; }")
                                              .arg(kLightGrey.name()));
        setShadow(recordViewHolder(), true);
        recordViewHolder()->show();
        recordModeView()->show();
        wMenuButton()->hide();
        // Widening keeps the console on screen when it was dragged near the right edge.
        QPoint origin = pos();
        if (parentWidget())
            origin.setX(std::max(0, std::min(origin.x(), parentWidget()->width() - kRecordWidth)));
        setGeometry(QRect(origin, QSize(kRecordWidth, kLauncherSize)));
        break;
    }
    case WConsoleMode::hover:
        showLauncherFace(true);
        resize(kLauncherSize, kLauncherSize);
        break;
    case WConsoleMode::widget:
        showLauncherFace(false);
        setGeometry(0, 0, kLauncherSize, kLauncherSize);
        if (parentWidget())
            m_pinned = true;
        break;
    }
    if (m_pinned)
        pinToParent();
    updateShape();
}

void WPlayConsole::applyColors()
{
    const QColor primary = WConfiguration::kPrimaryColor();
    stepNumberBadge()->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; color: white; border: none; border-radius: %2px; font-weight: bold; }")
                                         .arg(primary.name(QColor::HexArgb))
                                         .arg(kBadgeRadius));
    for (QPushButton *button : {stopBtn(), playBtn(), pauseBtn(), targetModeBtn(), cancelTargetModeBtn(), selectTargetViewBtn()})
        applyWTint(button, WConfiguration::kPrimaryColor());
}

void WPlayConsole::showLauncherFace(bool roundClip)
{
    m_roundClip = roundClip;
    setShadow(this, false);
    recordViewHolder()->hide();
    recordModeView()->hide();
    wMenuButton()->show();
    applyLauncherContent();
    setShadow(wMenuButton(), true);
}

const QPixmap &WPlayConsole::diamondBgImage() const
{
    if (m_diamondBgImage.isNull())
        m_diamondBgImage = requiredImage(QStringLiteral("d-bg"), m_currentBundle);
    return m_diamondBgImage;
}

void WPlayConsole::applyLauncherContent()
{
    QPushButton *button = wMenuButton();
    button->setIcon(QIcon());
    const QColor tint = WConfiguration::kPlayIconTintColor();
    const QString icon = WConfiguration::KTypeIcon();
    if (icon == QStringLiteral("wexoIcon")) {
        if (m_logoImage.isNull())
            m_logoImage = requiredImage(QStringLiteral("w-logo"), m_currentBundle);
        button->setIcon(wTinted(m_logoImage, tint));
    } else if (icon == QStringLiteral("questionMark")) {
        if (m_questionMark.isNull())
            m_questionMark = requiredImage(QStringLiteral("question-mark"), m_currentBundle);
        button->setIcon(wTinted(m_questionMark, tint));
    } else {
        showFittedTitle(button, WConfiguration::kConsoleText());
    }
    const int side = kLauncherSize - 2 * kLauncherInset;
    button->setIconSize(QSize(side, side));
    // The content sits in the middle of the face, away from the shadow's room.
    const QString freeSide = m_roundClip ? QStringLiteral("top")
                             : WConfiguration::KPlacement() == QStringLiteral("right") ? QStringLiteral("left")
                                                                                        : QStringLiteral("right");
    button->setStyleSheet(QStringLiteral("QPushButton { background-color: transparent; color: %1; border: none; padding-%2: %3px; }")
                              .arg(tint.name(QColor::HexArgb), freeSide)
                              .arg(m_roundClip ? 0 : kShadowReach));
}

void WPlayConsole::paintLauncherFace()
{
    QPushButton *button = wMenuButton();
    QPainter painter(button);
    const QColor fill = WConfiguration::kPlayIconbackgroundColor();
    // A face in the colour of the page still shows by its outline.
    const QColor outline = fill.darker(125);
    if (m_roundClip) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(outline, 1));
        painter.setBrush(fill);
        painter.drawEllipse(QRectF(button->rect()).adjusted(kShadowReach + 0.5, kShadowReach + 0.5, -kShadowReach - 0.5,
                                                            -kShadowReach - 0.5));
        return;
    }
    const bool left = WConfiguration::KPlacement() != QStringLiteral("right");
    const qreal ratio = button->devicePixelRatioF();
    painter.drawPixmap(button->rect(), tabImage(QStringLiteral("console-tab"), fill, left, ratio));
    painter.drawPixmap(button->rect(), tabImage(QStringLiteral("console-tab-edge"), outline, left, ratio));
}

void WPlayConsole::setShadow(QWidget *widget, bool on)
{
    if (!on) {
        widget->setGraphicsEffect(nullptr);
        return;
    }
    auto *shadow = new QGraphicsDropShadowEffect(widget);
    shadow->setColor(QColor(0, 0, 0, qRound(0.8 * 255)));
    shadow->setBlurRadius(3.0);
    shadow->setOffset(0, 0);
    widget->setGraphicsEffect(shadow);
}

void WPlayConsole::pinToParent()
{
    QWidget *parent = parentWidget();
    if (!parent)
        return;
    const bool right = WConfiguration::KPlacement() == QStringLiteral("right");
    const int x = right ? parent->width() - width() : 0;
    const int y = (parent->height() - height()) / 2;
    move(x, y);
}

void WPlayConsole::updateShape()
{
    if (m_roundClip) {
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()), kLauncherSize / 2.0, kLauncherSize / 2.0);
        setMask(QRegion(path.toFillPolygon().toPolygon()));
    } else {
        clearMask();
    }
    Q_EMIT shapeChanged();
}

void WPlayConsole::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    updateShape();
}

bool WPlayConsole::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == wMenuButton() && event->type() == QEvent::Paint)
        paintLauncherFace();
    if (watched == parentWidget() && event->type() == QEvent::Resize && m_pinned)
        pinToParent();
    return QWidget::eventFilter(watched, event);
}

bool WPlayConsole::event(QEvent *event)
{
    if (event->type() == QEvent::ParentAboutToChange && parentWidget())
        parentWidget()->removeEventFilter(this);
    if (event->type() == QEvent::ParentChange && parentWidget())
        parentWidget()->installEventFilter(this);
    return QWidget::event(event);
}

QPushButton *WPlayConsole::tapped(QPushButton *fallback) const
{
    auto *button = qobject_cast<QPushButton *>(sender());
    return button ? button : fallback;
}

void WPlayConsole::onSelectBtn()
{
    QPushButton *button = tapped(wMenuButton());
    if (WConsoleDelegate *d = delegate())
        d->onSelectMode(button);
}

void WPlayConsole::onStop()
{
    QPushButton *button = tapped(stopBtn());
    stepNumberBadge()->setText(QStringLiteral("0"));
    if (WConsoleDelegate *d = delegate())
        d->onStop(button);
}

void WPlayConsole::onPlay()
{
    QPushButton *button = tapped(playBtn());
    button->hide();
    pauseBtn()->show();
    if (WConsoleDelegate *d = delegate())
        d->onPlay(button);
}

void WPlayConsole::onPause()
{
    QPushButton *button = tapped(pauseBtn());
    playBtn()->show();
    button->hide();
    if (WConsoleDelegate *d = delegate())
        d->onPause(button);
}

void WPlayConsole::onTarget()
{
    QPushButton *button = tapped(targetModeBtn());
    setMode(WConsoleMode::sniping);
    button->hide();
    cancelTargetModeBtn()->show();
    stopBtn()->hide();
    selectTargetViewBtn()->show();
    if (WConsoleDelegate *d = delegate())
        d->onTargetView(button);
}

void WPlayConsole::onCancelTarget()
{
    // While paused the crosshair stays: the tap is ignored entirely.
    if (WexolinManager::shared().isPaused)
        return;
    QPushButton *button = tapped(cancelTargetModeBtn());
    setMode(WConsoleMode::record);
    targetModeBtn()->show();
    button->hide();
    stopBtn()->show();
    selectTargetViewBtn()->hide();
    if (WConsoleDelegate *d = delegate())
        d->onCancelTarget(button);
}

void WPlayConsole::onSelectTarget()
{
    QPushButton *button = tapped(selectTargetViewBtn());
    if (WConsoleDelegate *d = delegate())
        d->onSelectTarget(button);
}

void WPlayConsole::onBadge()
{
    QPushButton *button = tapped(stepNumberBadge());
    if (WConsoleDelegate *d = delegate())
        d->onWexoBadge(button);
}

} // namespace WexoCreator
