#pragma once

#include <QRectF>

#include <optional>

class QWidget;

namespace WexoCreator {

// Receives each pick of the inspector: the picked widget (null when there is
// none) and its rectangle in the outline view, absent only without an outline view.
class InspectorDelegate
{
public:
    virtual ~InspectorDelegate() = default;
    virtual void selectedElement(QWidget *element, std::optional<QRectF> rect) = 0;
};

} // namespace WexoCreator
