#pragma once

#include "WexoCreator/model/WexoStepView.h"
#include "WexoCreator/platform/WWeakDelegate.h"
#include "WexoCreator/views/WPoineterDelegate.h"
#include "WexoCreator/views/WPulse.h"

#include <QAbstractButton>
#include <QColor>
#include <QPointer>

#include <optional>

namespace WexoCreator {

// The 25 × 25 marker beside a corner of a step's target. The pulse kinds show
// a faint dot with a pulse around it; the tooltip kinds an opaque circle with
// "?" or "i". A click tells the delegate. The marker centres itself on its
// anchor, 15 px to the left or right for the left and right kinds, and stays
// wholly inside its parent.
//
// Qt clips a child to its parent, so the pulse, far larger than the marker, is
// a sibling above it that takes no clicks and is moved, shown, hidden and
// deleted with the marker.
class WPointerView : public QAbstractButton
{
    Q_OBJECT

public:
    static constexpr int kViewWidth = 25;
    static constexpr qreal kPulseRadius = 80;

    // anchor: in the parent's coordinates.
    WPointerView(QPointF anchor, WexoStepView viewType, QWidget *parent = nullptr);
    ~WPointerView() override;

    // The anchor and the kind; a change is used at the next place(). The look
    // (pulse or glyph) is the one chosen when the marker was built.
    QPointF position() const { return m_position; }
    void setPosition(QPointF position) { m_position = position; }
    WexoStepView viewType() const { return m_viewType; }
    void setViewType(WexoStepView viewType) { m_viewType = viewType; }
    // Centres the marker on its anchor for its kind, inside its parent.
    void place();
    // The glyph look, chosen when the marker was built.
    bool isToolTip() const;
    static bool isToolTipKind(WexoStepView viewType);
    // The glyph of the tooltip look; empty in the pulse look.
    QString glyph() const { return m_glyph; }
    QColor fillColor() const { return m_fill; }
    qreal fillOpacity() const { return m_fillOpacity; }
    WPulse *pulse() const { return m_pulse; }

    WPoineterDelegate *delegate() const { return m_delegate.get(); }
    void setDelegate(WPoineterDelegate *delegate) { m_delegate.set(delegate); }

    // Where the marker's centre goes for an anchor and a kind.
    static QPointF centreFor(QPointF anchor, WexoStepView viewType);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;

private:
    void showPulse();
    void showToolTip();
    void onPointerClick();
    void followWithPulse();

    QPointF m_position;
    WexoStepView m_viewType;
    WWeakDelegate<WPoineterDelegate> m_delegate;
    QColor m_fill;
    qreal m_fillOpacity = 0.1;
    QString m_glyph;
    QColor m_glyphColor;
    QPointer<WPulse> m_pulse;
};

} // namespace WexoCreator
