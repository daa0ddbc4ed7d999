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

// Places the widget over the other one (its rectangle scaled about the centre by
// `scale`, in the widget's parent's coordinates) and gives it the other one's
// opacity. Nothing happens, and false is returned, when the widget has no parent.
bool morphRectTo(QWidget *widget, const QWidget *other, qreal scale);

// A picture of the host window, whichever widget asks; absent without one.
std::optional<QPixmap> wScreenShot();

} // namespace WexoCreator
