#pragma once

#include <QObject>

namespace WexoCreator {

// A player of recorded trees: declared beside the tree node, with nothing in
// it yet; the library makes none.
class WexoPlayer : public QObject
{
public:
    using QObject::QObject;
};

} // namespace WexoCreator
