#pragma once

class QAccessibleInterface;
class QObject;
class QString;

namespace quorrel::app {

// Assistive technology sees the board as a canvas, a picture the game draws on, rather than as
// a plain container; its name and description are the widget's own. Install with
// QAccessible::installFactory.
QAccessibleInterface* boardAccessible(const QString& className, QObject* object);

}  // namespace quorrel::app
