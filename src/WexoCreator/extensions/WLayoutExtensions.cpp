#include "WexoCreator/extensions/WLayoutExtensions.h"

#include "WexoCreator/extensions/WColor.h"
#include "WexoCreator/platform/WHostQueries.h"
#include "WexoCreator/platform/WLogging.h"

#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QPainter>
#include <QWidget>

#include <cmath>

namespace WexoCreator {

namespace {

// A child that keeps itself laid over part of its parent as the parent resizes.
class WParentTracker : public QWidget
{
public:
    WParentTracker(QWidget *parent, qreal width, const QColor &color)
        : QWidget(parent)
        , m_width(width)
        , m_color(color)
    {
        parent->installEventFilter(this);
    }

    void setLook(qreal width, const QColor &color)
    {
        m_width = width;
        m_color = color;
        place();
        update();
    }

protected:
    virtual void place() = 0;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == parentWidget() && event->type() == QEvent::Resize)
            place();
        return false;
    }

    int thickness() const { return m_width > 0 ? int(std::ceil(m_width)) : 0; }

    qreal m_width;
    QColor m_color;
};

class WEdgeStrip final : public WParentTracker
{
public:
    WEdgeStrip(QWidget *parent, WRectEdge edge, qreal width, const QColor &color)
        : WParentTracker(parent, width, color)
        , m_edge(edge)
    {
        place();
    }

    WRectEdge edge() const { return m_edge; }

protected:
    void place() override
    {
        const QSize size = parentWidget()->size();
        const int t = thickness();
        switch (m_edge) {
        case WRectEdge::Top: setGeometry(0, 0, size.width(), t); break;
        case WRectEdge::Bottom: setGeometry(0, size.height() - t, size.width(), t); break;
        case WRectEdge::Left: setGeometry(0, 0, t, size.height()); break;
        default: setGeometry(size.width() - t, 0, t, size.height()); break;
        }
    }

    void paintEvent(QPaintEvent *) override
    {
        // The widget is whole pixels thick; a fractional width fills only its share, flush with the edge.
        QRectF strip = rect();
        switch (m_edge) {
        case WRectEdge::Top: strip.setHeight(m_width); break;
        case WRectEdge::Bottom: strip.setTop(height() - m_width); break;
        case WRectEdge::Left: strip.setWidth(m_width); break;
        default: strip.setLeft(width() - m_width); break;
        }
        QPainter painter(this);
        painter.fillRect(strip, m_color);
    }

private:
    WRectEdge m_edge;
};

class WOutlineView final : public WParentTracker
{
public:
    WOutlineView(QWidget *parent, qreal width, const QColor &color)
        : WParentTracker(parent, width, color)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        place();
    }

protected:
    void place() override
    {
        setGeometry(parentWidget()->rect());
        raise();
    }

    void paintEvent(QPaintEvent *) override
    {
        if (m_width <= 0)
            return;
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(m_color, m_width));
        painter.setBrush(Qt::NoBrush);
        const qreal inset = m_width / 2;
        painter.drawRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset));
    }
};

template <typename Child>
QList<Child *> ownChildren(QWidget *widget)
{
    QList<Child *> found;
    for (QObject *child : widget->children()) {
        if (auto *typed = dynamic_cast<Child *>(child))
            found.append(typed);
    }
    return found;
}

void removeWidget(QWidget *widget)
{
    widget->hide();
    widget->setParent(nullptr);
    widget->deleteLater();
}

} // namespace

void borders(QWidget *widget, const QList<WRectEdge> &edges, qreal width, const QColor &color)
{
    if (!widget)
        return;
    if (edges.contains(WRectEdge::All)) {
        setOutline(widget, width, color);
        return;
    }
    const QList<WEdgeStrip *> earlier = ownChildren<WEdgeStrip>(widget);
    for (WRectEdge edge : {WRectEdge::Top, WRectEdge::Bottom, WRectEdge::Left, WRectEdge::Right}) {
        for (WEdgeStrip *strip : earlier) {
            if (strip->edge() == edge)
                removeWidget(strip);
        }
        if (edges.contains(edge)) {
            auto *strip = new WEdgeStrip(widget, edge, width, color);
            strip->show();
        }
    }
}

void setOutline(QWidget *widget, qreal width, const QColor &color)
{
    if (!widget)
        return;
    const QList<WOutlineView *> outlines = ownChildren<WOutlineView>(widget);
    if (!outlines.isEmpty()) {
        outlines.first()->setLook(width, color);
        return;
    }
    if (width <= 0)
        return;
    auto *outline = new WOutlineView(widget, width, color);
    outline->show();
}

void debugBounds(QWidget *widget, const QString &hexColor, qreal borderWidth)
{
    if (const std::optional<QColor> color = colorFromHex(hexColor))
        setOutline(widget, borderWidth, *color);
}

qreal distance(const QPointF &from, const QPointF &to)
{
    return std::hypot(from.x() - to.x(), from.y() - to.y());
}

QRectF rectScaled(const QRectF &rect, qreal factor)
{
    const QRectF standard = rect.normalized();
    const qreal width = standard.width();
    const qreal height = standard.height();
    return QRectF(rect.x() + (width - width * factor) / 2, rect.y() + (height - height * factor) / 2,
                  width * factor, height * factor);
}

std::optional<QTransform> transformRect(const QRectF &from, const QRectF &to)
{
    if (from.width() == 0 || from.height() == 0)
        return std::nullopt;
    QTransform transform;
    transform.translate(to.center().x() - from.center().x(), to.center().y() - from.center().y());
    transform.scale(to.width() / from.width(), to.height() / from.height());
    return transform;
}

bool morphRectTo(QWidget *widget, const QWidget *other, qreal scale)
{
    QWidget *parent = widget ? widget->parentWidget() : nullptr;
    if (!parent || !other) {
        qCWarning(lcViews) << "cannot place a widget that is not in a widget tree";
        return false;
    }
    // A window's geometry is already in screen coordinates.
    const QPoint globalTopLeft = other->isWindow() ? other->geometry().topLeft()
                                                   : other->parentWidget()->mapToGlobal(other->geometry().topLeft());
    const QRectF target(parent->mapFromGlobal(globalTopLeft), other->size());

    const auto *otherOpacity = qobject_cast<QGraphicsOpacityEffect *>(other->graphicsEffect());
    const qreal opacity = otherOpacity ? otherOpacity->opacity() : 1.0;
    auto *ownOpacity = qobject_cast<QGraphicsOpacityEffect *>(widget->graphicsEffect());
    if (!ownOpacity && opacity < 1.0 && !widget->graphicsEffect()) {
        ownOpacity = new QGraphicsOpacityEffect(widget);
        widget->setGraphicsEffect(ownOpacity);
    }
    if (ownOpacity)
        ownOpacity->setOpacity(opacity);

    widget->setGeometry(rectScaled(target, scale).toRect());
    return true;
}

std::optional<QPixmap> wScreenShot()
{
    QWidget *window = WHostQueries::hostWindow();
    if (!window || window->size().isEmpty())
        return std::nullopt;
    return window->grab();
}

} // namespace WexoCreator
