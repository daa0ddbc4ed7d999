#include "WexoCreator/views/WViewStyle.h"

#include "WexoCreator/configuration/WConfiguration.h"
#include "WexoCreator/extensions/WImageExtensions.h"
#include "WexoCreator/platform/WTiming.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEasingCurve>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>

#include <algorithm>

namespace WexoCreator {

namespace {

constexpr int kButtonSide = 44;
constexpr int kBackImageInset = 10;

// One blink cycle: from opaque to transparent and back, each half eased.
qreal blinkAlpha(qreal progress)
{
    static const QEasingCurve ease(QEasingCurve::InOutSine);
    return progress < 0.5 ? 1 - ease.valueForProgress(progress * 2) : ease.valueForProgress(progress * 2 - 1);
}

void setTextColor(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::ButtonText, color);
    widget->setPalette(palette);
}

} // namespace

QFont wSystemFont(int pixelSize, QFont::Weight weight)
{
    QFont font = QApplication::font();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

QPixmap wRequiredImage(const QString &name)
{
    const QString path = WConfiguration::currentBundle() + QStringLiteral("images/%1.png").arg(name);
    QPixmap image(path);
    if (image.isNull())
        qFatal("missing library image %s", qPrintable(path));
    return image;
}

void wStylePlainLabel(QLabel *label, const QFont &font, const QColor &color)
{
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    setTextColor(label, color);
}

void wStyleCloseButton(QAbstractButton *button, const QColor &color)
{
    button->setText(QStringLiteral("X"));
    button->setAccessibleName(QStringLiteral("Close"));
    button->setFont(wSystemFont(18, QFont::ExtraBold));
    button->setStyleSheet(QStringLiteral("border: none; background: transparent; color: %1;").arg(color.name(QColor::HexArgb)));
    setTextColor(button, color);
    button->setFixedSize(kButtonSide, kButtonSide);
    button->setCursor(Qt::PointingHandCursor);
}

void wStyleBackButton(QAbstractButton *button, const QColor &color)
{
    button->setText(QString());
    button->setAccessibleName(QStringLiteral("Back"));
    button->setIcon(QIcon(wTinted(wRequiredImage(QStringLiteral("popup-back")), color)));
    button->setIconSize(QSize(kButtonSide - 2 * kBackImageInset, kButtonSide - 2 * kBackImageInset));
    button->setStyleSheet(QStringLiteral("border: none; background: transparent;"));
    setTextColor(button, color);
    button->setFixedSize(kButtonSide, kButtonSide);
    button->setCursor(Qt::PointingHandCursor);
}

void wPaintCard(QWidget *widget, const QColor &color, qreal radius)
{
    QPainter painter(widget);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath card;
    card.addRoundedRect(QRectF(widget->rect()), radius, radius);
    painter.fillPath(card, color);
}

QVariantAnimation *wBlink(QWidget *widget)
{
    auto *blink = new QVariantAnimation(widget);
    const QColor base = widget->palette().color(QPalette::WindowText);
    QEasingCurve curve;
    curve.setCustomType(blinkAlpha);
    blink->setEasingCurve(curve);
    blink->setStartValue(0.0);
    blink->setEndValue(1.0);
    blink->setDuration(std::max(1, WTiming::ms(1.6)));
    blink->setLoopCount(-1);
    QObject::connect(blink, &QVariantAnimation::valueChanged, widget, [widget, base](const QVariant &value) {
        QColor color = base;
        color.setAlphaF(float(base.alphaF() * std::clamp(value.toDouble(), 0.0, 1.0)));
        setTextColor(widget, color);
    });
    blink->start();
    return blink;
}

} // namespace WexoCreator
