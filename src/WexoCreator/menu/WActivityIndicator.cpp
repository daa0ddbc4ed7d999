#include "WexoCreator/menu/WActivityIndicator.h"

#include "ui_WActivityIndicator.h"

#include "WexoCreator/configuration/WConfiguration.h"

#include <QPainter>

namespace WexoCreator {

WActivityIndicator::WActivityIndicator(QWidget *parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::WActivityIndicator>())
{
    m_ui->setupUi(this);
    m_image = QPixmap(WConfiguration::currentBundle() + QStringLiteral("images/spinner.png"));
    if (m_image.isNull())
        qFatal("missing library image spinner");
    paintImage();
}

WActivityIndicator::WActivityIndicator(const QRect &frame, const QPixmap &image, QWidget *parent)
    : WActivityIndicator(parent)
{
    Q_UNUSED(image);
    setGeometry(frame);
}

WActivityIndicator::~WActivityIndicator() = default;

WActivityIndicator *WActivityIndicator::createView(QWidget *parent)
{
    return new WActivityIndicator(parent);
}

QLabel *WActivityIndicator::bgImageView() const { return m_ui->bgImageView; }
QLabel *WActivityIndicator::opaqueView() const { return m_ui->opaqueView; }
QLabel *WActivityIndicator::logoView() const { return m_ui->logoView; }
QLabel *WActivityIndicator::titleLabel() const { return m_ui->titleLabel; }

void WActivityIndicator::setupView()
{
    m_ui->titleLabel->setText(title.value_or(QString()));
}

void WActivityIndicator::startAnimating(const std::optional<QString> &text)
{
    show();
    m_ui->titleLabel->setText(text.value_or(QStringLiteral("loading...")));
    rotate();
}

void WActivityIndicator::stopAnimating()
{
    hide();
    removeRotation();
}

void WActivityIndicator::rotate()
{
    // One animation at a time; a new one goes on from the angle reached.
    if (m_rotation)
        m_rotation->stop();
    auto *animation = new QVariantAnimation(this);
    animation->setObjectName(rotationAnimationKey);
    animation->setDuration(kTurnMs);
    animation->setStartValue(0.0);
    animation->setEndValue(360.0);
    animation->setLoopCount(-1);
    const qreal from = m_angle;
    connect(animation, &QVariantAnimation::valueChanged, this, [this, from](const QVariant &value) {
        m_angle = std::fmod(from + value.toReal(), 360.0);
        paintImage();
    });
    m_rotation = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void WActivityIndicator::removeRotation()
{
    if (m_rotation)
        m_rotation->stop();
    m_angle = 0;
    paintImage();
}

void WActivityIndicator::paintImage()
{
    // The image turns about its centre inside a canvas of its own size.
    const qreal ratio = devicePixelRatioF();
    const QSize size = m_ui->bgImageView->maximumSize().boundedTo(QSize(64, 64));
    QPixmap canvas(size * ratio);
    canvas.setDevicePixelRatio(ratio);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(size.width() / 2.0, size.height() / 2.0);
    painter.rotate(m_angle);
    painter.drawPixmap(QRectF(-size.width() / 2.0, -size.height() / 2.0, size.width(), size.height()), m_image, m_image.rect());
    painter.end();
    m_ui->bgImageView->setPixmap(canvas);
}

} // namespace WexoCreator
