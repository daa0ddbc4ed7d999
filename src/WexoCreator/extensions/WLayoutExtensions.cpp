#include "WexoCreator/extensions/WLayoutExtensions.h"

#include "WexoCreator/extensions/WColor.h"
#include "WexoCreator/platform/WHostQueries.h"
#include "WexoCreator/platform/WLogging.h"

#include "WexoCreator/extensions/WFormLoader.h"
#include "WexoCreator/extensions/WViewEffect.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QRegularExpression>
#include <QGraphicsOpacityEffect>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>
#include <QWindow>

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

namespace {

// The other widget's frame in the widget's parent's coordinates, scaled about
// its centre; absent (with a warning) when either is not in a widget tree.
std::optional<QRectF> targetFor(QWidget *widget, const QWidget *other, qreal scale)
{
    QWidget *parent = widget ? widget->parentWidget() : nullptr;
    if (!parent || !other) {
        qCWarning(lcViews) << "cannot place a widget that is not in a widget tree";
        return std::nullopt;
    }
    // A window's geometry is already in screen coordinates.
    const QPoint globalTopLeft = other->isWindow() ? other->geometry().topLeft()
                                                   : other->parentWidget()->mapToGlobal(other->geometry().topLeft());
    return rectScaled(QRectF(parent->mapFromGlobal(globalTopLeft), other->size()), scale);
}

qreal opacityOf(const QWidget *widget)
{
    const auto *effect = qobject_cast<const QGraphicsOpacityEffect *>(widget->graphicsEffect());
    return (widget->isWindow() ? widget->windowOpacity() : 1.0) * (effect ? effect->opacity() : 1.0);
}

const char *const kCornerRadius = "cornerRadius";

bool hasCornerRadius(const QWidget *widget)
{
    return widget->metaObject()->indexOfProperty(kCornerRadius) >= 0;
}

qreal cornerRadiusOf(const QWidget *widget)
{
    return hasCornerRadius(widget) ? widget->property(kCornerRadius).toReal() : 0;
}

void setOpacity(QWidget *widget, qreal opacity)
{
    if (widget->isWindow()) {
        widget->setWindowOpacity(opacity);
        return;
    }
    // No effect is added only to say "fully opaque".
    if (opacity >= 1.0 && !qobject_cast<QGraphicsOpacityEffect *>(widget->graphicsEffect()))
        return;
    if (WViewEffect *effect = WViewEffect::of(widget))
        effect->setOpacity(opacity);
}

void setCornerRadius(QWidget *widget, qreal radius)
{
    if (hasCornerRadius(widget)) {
        widget->setProperty(kCornerRadius, radius);
        return;
    }
    if (radius <= 0) {
        widget->clearMask();
        return;
    }
    QPainterPath rounded;
    rounded.addRoundedRect(QRectF(widget->rect()), radius, radius);
    widget->setMask(QRegion(rounded.toFillPolygon().toPolygon()));
}

} // namespace

bool transformTo(QWidget *widget, const QWidget *other, qreal scale)
{
    const std::optional<QRectF> target = targetFor(widget, other, scale);
    if (!target)
        return false;
    const std::optional<QTransform> transform = transformRect(QRectF(widget->geometry()), *target);
    if (!transform) {
        qCWarning(lcViews) << "cannot transform a widget without an area" << widget;
        return false;
    }
    WViewEffect *effect = WViewEffect::of(widget);
    if (!effect)
        return false;
    effect->setTransform(*transform);
    return true;
}

bool morphRectTo(QWidget *widget, const QWidget *other, qreal scale)
{
    const std::optional<QRectF> target = targetFor(widget, other, scale);
    if (!target)
        return false;
    setOpacity(widget, opacityOf(other));
    widget->setGeometry(target->toRect());
    setCornerRadius(widget, cornerRadiusOf(other) * scale);
    return true;
}

bool hasNotch()
{
    const QWidget *window = QApplication::activeWindow();
    if (!window)
        return false;
#if QT_VERSION >= QT_VERSION_CHECK(6, 9, 0)
    const QWindow *handle = window->windowHandle();
    return handle && handle->safeAreaMargins().bottom() > 0;
#else
    // No public safe-area accessor before Qt 6.9: a desktop window has none.
    return false;
#endif
}

QWidget *loadFromNibNamed(const QString &name, const std::optional<QString> &bundle, QWidget *parent)
{
    // A name picks a form in the bundle, never a path elsewhere.
    static const QRegularExpression plainName(QStringLiteral("^[A-Za-z0-9_][A-Za-z0-9_.-]*$"));
    if (!plainName.match(name).hasMatch() || name.contains(QStringLiteral(".."))) {
        qCWarning(lcViews) << "not a form name:" << name;
        return nullptr;
    }
    QString folder = bundle.value_or(QStringLiteral(":/"));
    if (!folder.endsWith(u'/'))
        folder += u'/';
    QFile file(folder + QStringLiteral("forms/") + name + QStringLiteral(".ui"));
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    return WFormLoader::make()->loadForm(&file, parent);
}

std::optional<QPixmap> wScreenShot()
{
    QWidget *window = WHostQueries::hostWindow();
    if (!window || window->size().isEmpty())
        return std::nullopt;
    return window->grab();
}

} // namespace WexoCreator
