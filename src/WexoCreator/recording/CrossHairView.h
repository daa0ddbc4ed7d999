#pragma once

#include <QColor>
#include <QWidget>

namespace WexoCreator {

// A transparent marker: one vertical and one horizontal hairline through its
// centre, in the colour it was made with.
class CrossHairView : public QWidget
{
    Q_OBJECT

public:
    CrossHairView(const QRect &frame, const QColor &color, QWidget *parent = nullptr);

    QColor color;

    // Where the lines run: the floor of half the extent, plus half a pixel,
    // so a hairline sits on a pixel centre.
    static qreal lineOffset(qreal extent);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace WexoCreator
