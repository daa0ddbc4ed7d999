#pragma once

#include <QImage>
#include <QJsonObject>
#include <QObject>
#include <QString>

#include <memory>

class QWidget;

namespace WexoCreator {

// Counts a card's back and close calls.
template <typename Delegate, typename View>
struct PrevCloseRecorder : QObject, Delegate {
    int prev = 0;
    int close = 0;
    void onPrev(View *) override { ++prev; }
    void onClose(View *) override { ++close; }
};

// Set-up shared by the widget tests of the step views: a pinned font, short
// animations, the built-in look, and pictures saved for a person to look at.
namespace ViewTestSupport {

// DejaVu Sans as the application font, animations and delays at `timing` of
// their length, no theme or template.
void setUp(double timing = 0.01);

// A plain widget shown at the size, standing for the view a step is shown over.
std::unique_ptr<QWidget> shownView(QSize size);

// The sample host's template as the downloaded one; false when it does not decode.
bool useSampleTemplate();
// A template answer decoded by the real decoder; false when it does not decode.
bool useTemplate(const QJsonObject &answer);
void clearTemplate();

// The widget and its children drawn into a transparent image at the screen's
// pixel ratio (grab() would fill the background).
QImage drawn(QWidget *widget);
// The same, saved as <build>/snapshots/<name>[@2x].png with the path printed.
QImage snapshot(QWidget *widget, const QString &name);

// The colour at a logical point of a snapshot.
QColor pixelAt(const QImage &image, QPointF point);

// How many logical pixels of the rectangle are not the colour.
int pixelsNotOf(const QImage &image, const QRect &rect, const QColor &color);

} // namespace ViewTestSupport

} // namespace WexoCreator
