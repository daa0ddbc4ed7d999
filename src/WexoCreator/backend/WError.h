#pragma once

#include <QString>

namespace WexoCreator {

// A failed request: either one of the transport's own errors (empty domain) or
// an error of the network stack passed on with its own domain and code.
struct WError {
    QString domain;
    int code = 0;
    QString message;

    bool operator==(const WError &) const = default;
};

} // namespace WexoCreator
