#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace WexoCreator {

// A widget's element identifier is its object name, so a name the host gives a
// widget is the identifier that walkthroughs record and look for. An empty
// name, or one that Qt gives its own internals ("qt_" and on), is no
// identifier. A tool button that shows an action (as tool bars make them) and
// has no name of its own takes its action's: hosts name their actions, not the
// buttons Qt makes for them. Recording and look-up both use this, so whatever
// can be recorded can be found again.
std::optional<QString> wexoElementIdentifier(const QWidget *widget);
void setWexoElementIdentifier(QWidget *widget, const std::optional<QString> &identifier);

// The first widget carrying the identifier in a pre-order, depth-first walk: the
// root first, then each child widget's subtree in children() order (back-most
// first). Hidden widgets count; child windows (dialogs) are not part of the tree.
QWidget *getWView(QWidget *root, const QString &identifier);

// The same walk over what a person can see: hidden widgets and the library's
// own widgets are passed over together with everything inside them, and so is
// `skip` (a subtree already searched).
QWidget *getShownWView(QWidget *root, const QString &identifier, const QWidget *skip = nullptr);

} // namespace WexoCreator
