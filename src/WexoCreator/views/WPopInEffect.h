#pragma once

#include "WexoCreator/extensions/WViewEffect.h"

class QWidget;

namespace WexoCreator {

// Draws a widget scaled about its centre: the library's view effect under a
// scale. popIn() uses it to let a card grow from 0.7 to its size on a spring
// (2.0 s, damping 0.2, velocity 6.0) and removes it at the end, so the card
// is drawn plainly again.
class WPopInEffect : public WViewEffect
{
    Q_OBJECT

public:
    explicit WPopInEffect(QObject *parent = nullptr);

    qreal scale() const { return m_scale; }
    void setScale(qreal scale);

    static WPopInEffect *popIn(QWidget *card);

protected:
    QRectF boundingRectFor(const QRectF &rect) const override;

private:
    qreal m_scale = 1;
};

} // namespace WexoCreator
