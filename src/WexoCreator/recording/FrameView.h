#pragma once

#include <QList>
#include <QRectF>
#include <QWidget>

#include <optional>

namespace WexoCreator {

// The inspector's transparent layer over the host window: it outlines the
// current pick (blue, or red when the pick sits at a fractional offset in its
// parent) or, while rectsToOutline holds rectangles, all of those at once in
// random colours.
class FrameView : public QWidget
{
    Q_OBJECT

public:
    FrameView(const QRect &frame, QWidget *parent);

    // In this view's coordinates; while not empty it replaces the pick outline.
    QList<QRectF> rectsToOutline;

    std::optional<QRectF> mainRect() const { return m_mainRect; }
    std::optional<QRectF> superRect() const { return m_superRect; }
    void setMainRect(const QRectF &rect);
    void setSuperRect(const QRectF &rect);

    // Red when the pick's offset in its parent is fractional, blue otherwise.
    static bool isFractional(const QRectF &mainRect, const QRectF &superRect);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::optional<QRectF> m_mainRect;
    std::optional<QRectF> m_superRect;
};

} // namespace WexoCreator
