#pragma once

namespace WexoCreator {

// Faces of the floating console, in this order.
enum class WConsoleMode {
    record,
    hover,
    sniping,
    widget,
};

} // namespace WexoCreator
