#include "board_accessible.h"

#include <QAccessibleWidget>

#include "board_widget.h"

namespace quorrel::app {

QAccessibleInterface* boardAccessible(const QString& /*className*/, QObject* object) {
    if (auto* board = qobject_cast<BoardWidget*>(object)) {
        return new QAccessibleWidget(board, QAccessible::Canvas);
    }
    return nullptr;
}

}  // namespace quorrel::app
