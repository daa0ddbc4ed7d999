#include "ViewTestSupport.h"

#include "WexoCreator/appearance-model/Template.h"
#include "WexoCreator/configuration/WAppearanceState.h"
#include "WexoCreator/model/WJsonDecoder.h"
#include "WexoCreator/platform/WTiming.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
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

std::unique_ptr<QWidget> shownView(QSize size)
{
    auto view = std::make_unique<QWidget>();
    view->resize(size);
    view->show();
    return view;
}

bool useTemplate(const QJsonObject &answer)
{
    const auto decoded = WJsonDecoder::decode<Template>(QJsonDocument(answer).toJson());
    if (!decoded)
        return false;
    WAppearanceState::setTemplate(decoded.record);
    return true;
}

bool useSampleTemplate()
{
    QFile file(QStringLiteral(WEXO_SAMPLE_DATA_DIR "/template.json"));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return useTemplate(QJsonDocument::fromJson(file.readAll()).object());
}

void clearTemplate()
{
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

QImage snapshot(QWidget *widget, const QString &name)
{
    const qreal ratio = widget->devicePixelRatioF();
    const QImage image = drawn(widget);
    const QDir dir(QCoreApplication::applicationDirPath() + QStringLiteral("/snapshots"));
    dir.mkpath(QStringLiteral("."));
    const QString path = dir.filePath(name + (ratio > 1 ? QStringLiteral("@%1x.png").arg(ratio) : QStringLiteral(".png")));
    if (image.save(path))
        qInfo("snapshot: %s", qPrintable(path));
    return image;
}

QColor pixelAt(const QImage &image, QPointF point)
{
    const QPointF device = point * image.devicePixelRatio();
    return image.pixelColor(int(std::floor(device.x())), int(std::floor(device.y())));
}

int pixelsNotOf(const QImage &image, const QRect &rect, const QColor &color)
{
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            count += pixelAt(image, QPointF(x + 0.5, y + 0.5)) != color;
    return count;
}

} // namespace WexoCreator::ViewTestSupport
