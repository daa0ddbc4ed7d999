#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QString>

class QAbstractButton;
class QLabel;
class QVariantAnimation;
class QWidget;

namespace WexoCreator {

// Small pieces of look that several step views share.

// The application's font at a size in logical pixels and a weight.
QFont wSystemFont(int pixelSize, QFont::Weight weight);

// An image of the library's resources; a missing one is a build fault.
QPixmap wRequiredImage(const QString &name);

// A label that shows backend text as typed, in one colour.
void wStylePlainLabel(QLabel *label, const QFont &font, const QColor &color);

// The "X" of a close button, heavy 18 px in the colour, on no background;
// a screen reader reads it as "Close".
void wStyleCloseButton(QAbstractButton *button, const QColor &color);
// The back arrow, tinted in the colour and inset by 10 px in the button; a
// screen reader reads it as "Back".
void wStyleBackButton(QAbstractButton *button, const QColor &color);

// Fills the widget with an antialiased rounded card; the corners stay clear.
void wPaintCard(QWidget *widget, const QColor &color, qreal radius);

// Fades the widget's text to transparent and back (0.8 s each way, ease in and
// out) without end, through the alpha of its palette's text colour: a graphics
// effect would draw the text offset inside a card that pops in with its own.
// The animation belongs to the widget.
QVariantAnimation *wBlink(QWidget *widget);

} // namespace WexoCreator
