#include "play/steps.h"

namespace quorrel {

Offset offsetOf(Arrow way) {
    switch (way) {
        case Arrow::Left:
            return {-1, 0};
        case Arrow::Right:
            return {1, 0};
        case Arrow::Up:
            return {0, -1};
        case Arrow::Down:
            return {0, 1};
    }
    return {};
}

bool canStep(const State& s, int col, int row, Arrow way) {
    switch (way) {
        case Arrow::Right:
            return s.opensRight(col, row) && col < s.mazeWidth;
        case Arrow::Left:
            return col > 1 && s.opensRight(col - 1, row);
        case Arrow::Down:
            return row < s.mazeHeight + 1 && s.opensDown(col, row);
        case Arrow::Up:
            return row > 1 && s.opensDown(col, row - 1);
    }
    return false;
}

}  // namespace quorrel
