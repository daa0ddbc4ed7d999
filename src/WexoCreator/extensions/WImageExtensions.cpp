#include "WexoCreator/extensions/WImageExtensions.h"

#include <QAbstractButton>
#include <QImage>
#include <QLabel>
#include <QPainter>

namespace WexoCreator {

QPixmap wImageWithColor(const QColor &color)
{
    QImage image(1, 1, QImage::Format_ARGB32);
    image.fill(color);
    return QPixmap::fromImage(image);
}

QPixmap wTinted(const QPixmap &image, const QColor &color)
{
    if (image.isNull())
        return {};
    QPixmap tinted(image.size());
    tinted.setDevicePixelRatio(image.devicePixelRatio());
    tinted.fill(Qt::transparent);
    QPainter painter(&tinted);
    painter.drawPixmap(0, 0, image);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(QRect(QPoint(0, 0), image.deviceIndependentSize().toSize()), color);
    painter.end();
    return tinted;
}

QPixmap applyWTint(QLabel *imageView, const QColor &color)
{
    if (!imageView)
        return {};
    const QPixmap tinted = wTinted(imageView->pixmap(), color);
    if (!tinted.isNull())
        imageView->setPixmap(tinted);
    return tinted;
}

QIcon applyWTint(QAbstractButton *button, const QColor &color)
{
    if (!button || button->icon().isNull())
        return {};
    QIcon tinted;
    const QIcon original = button->icon();
    const QList<QSize> sizes = original.availableSizes();
    for (const QSize &size : sizes.isEmpty() ? QList<QSize>{button->iconSize()} : sizes)
        tinted.addPixmap(wTinted(original.pixmap(size), color));
    button->setIcon(tinted);
    return tinted;
}

} // namespace WexoCreator
