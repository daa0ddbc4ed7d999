#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>

class QAbstractButton;
class QLabel;

namespace WexoCreator {

// A one-pixel image of the colour, stretched by whatever draws it (a search
// field's background, a progress track). Transparency is kept.
QPixmap wImageWithColor(const QColor &color);

// The image's shape painted in the colour (its alpha kept, its colours dropped),
// the way an icon is drawn in a tint colour.
QPixmap wTinted(const QPixmap &image, const QColor &color);

// Recolours the label's picture or the button's icon in place and returns what is
// now shown; an empty picture when there is none to tint.
QPixmap applyWTint(QLabel *imageView, const QColor &color);
QIcon applyWTint(QAbstractButton *button, const QColor &color);

} // namespace WexoCreator
