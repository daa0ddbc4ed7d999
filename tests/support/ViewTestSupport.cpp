#include "ViewTestSupport.h"

#include "WexoCreator/configuration/WAppearanceState.h"
#include "WexoCreator/platform/WTiming.h"

#include <QApplication>
#include <QStandardPaths>
#include <QWidget>

#include <cmath>

namespace WexoCreator::ViewTestSupport {

void setUp(double timing)
{
    QStandardPaths::setTestModeEnabled(true);
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans")));
    WTiming::setScale(timing);
    WAppearanceState::setTheme(nullptr);
    WAppearanceState::setDefaultTheme(nullptr);
    WAppearanceState::setTemplate(nullptr);
}

QImage drawn(QWidget *widget)
{
    const qreal ratio = widget->devicePixelRatioF();
    QImage image((QSizeF(widget->size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

QColor pixelAt(const QImage &image, QPointF point)
{
    const QPointF device = point * image.devicePixelRatio();
    return image.pixelColor(int(std::floor(device.x())), int(std::floor(device.y())));
}

} // namespace WexoCreator::ViewTestSupport
