#pragma once

#include <QColor>
#include <QList>
#include <QPixmap>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QTransform>

#include <optional>

class QWidget;

namespace WexoCreator {

// Edges a border can be drawn on; the values are the edge bits.
enum class WRectEdge { Top = 1, Left = 2, Bottom = 4, Right = 8, All = 15 };

// Draws strips of the given thickness along the chosen edges, kept flush with
// them as the widget resizes. Strips drawn by an earlier call on the edges are
// removed first (an empty list removes them all); only strips made here are
// ever removed. `All` instead outlines the whole widget and leaves strips alone.
void borders(QWidget *widget, const QList<WRectEdge> &edges, qreal width, const QColor &color);

// The outline that borders(All) and debugBounds() draw; a width of 0 removes it.
void setOutline(QWidget *widget, qreal width, const QColor &color);

// An outline in a hex colour for finding a widget on screen; a colour text that
// does not parse draws nothing.
void debugBounds(QWidget *widget, const QString &hexColor = QStringLiteral("#FF0000"), qreal borderWidth = 1.0);

qreal distance(const QPointF &from, const QPointF &to);

// The rectangle scaled about its centre.
QRectF rectScaled(const QRectF &rect, qreal factor);

// The transform that carries `from` onto `to`: centre onto centre, then scaled
// by the ratio of their sizes. Absent when `from` has no area to scale.
std::optional<QTransform> transformRect(const QRectF &from, const QRectF &to);

// Draws the widget over the other one (the other's rectangle in the widget's
// parent's coordinates, scaled about its centre by `scale`) through its
// WViewEffect; its geometry stays, so clicks still land on the untransformed
// rectangle. Nothing happens, and false is returned (with a warning), when the
// widget has no parent, the other widget is missing, the widget has no area
// to scale yet, or it is drawn through another kind of effect.
bool transformTo(QWidget *widget, const QWidget *other, qreal scale);

// Places the widget over the other one (same rectangle as transformTo) and
// gives it the other one's opacity (a window's windowOpacity() and an opacity
// effect's, together) and its corner radius times `scale`: the `cornerRadius`
// property of the library's rounded views; a plain widget is given a rounded
// mask instead. Nothing happens, and false is returned, when the widget has no
// parent.
bool morphRectTo(QWidget *widget, const QWidget *other, qreal scale);

// True when there is an active window and the bottom of its safe-area margins
// is above 0. Qt 6.4 has no public safe-area accessor, so there it is false.
bool hasNotch();

// The top-level widget of the Designer form `<bundle>/forms/<name>.ui`, made
// with the library's own classes where the form names them; the bundle is a
// resource prefix (":/WexoCreator/") or a folder. Without a bundle the form
// comes from the application's own resources (":/forms/<name>.ui"). Null when
// the name is not a plain file name, or the form is missing, unreadable or
// yields no widget. The caller owns the widget (or `parent` does).
QWidget *loadFromNibNamed(const QString &name, const std::optional<QString> &bundle = std::nullopt,
                          QWidget *parent = nullptr);

// A picture of the host window, whichever widget asks; absent without one.
std::optional<QPixmap> wScreenShot();

} // namespace WexoCreator
