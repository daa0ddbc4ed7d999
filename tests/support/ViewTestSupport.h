#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>

class QWidget;

namespace WexoCreator::ViewTestSupport {

// The look the step views are tested in: DejaVu Sans as the application font,
// animations and delays at `timing` of their length, no theme or template.
void setUp(double timing = 0.01);

// The widget and its children drawn into a transparent image at the screen's
// pixel ratio (grab() would fill the background).
QImage drawn(QWidget *widget);
// The colour at a logical point of a drawn image.
QColor pixelAt(const QImage &image, QPointF point);

} // namespace WexoCreator::ViewTestSupport
