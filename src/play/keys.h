#pragma once

#include "game/mazeform.h"
#include "play/steps.h"

namespace quorrel {

// What an arrow key did.
enum class ArrowResult {
    NoMaze,    // no maze yet: nothing happened
    Wall,      // the maze is closed that way: nothing was pressed, nothing moved
    Stepped,   // the player went one square that way
    Finished,  // the player is out through the exit and the result was shown
};

// Keyboard play: one arrow key is a left press at the centre of the square whose lower-right
// corner is (curX, curY), one pointer movement to the centre of the neighbouring square that
// way and a release, through Form_MouseDown, Form_MouseMove and Form_MouseUp. Counters,
// painting, visibility, the finish, its messages and Retry are therefore those of the mouse.
// While the left button is held (tracking) an arrow that presses is the movement and the
// release: no second press, and the drag ends, as a release of the button would end it. The
// pointer is still over the square the arrow left, so a drag that went on would step straight
// back at the next movement; the mouse walks again after a new press on the player's square.
// A bump presses nothing and leaves the drag as it was.
//
// Which arrows press at all:
// - Before any maze, none.
// - While the player's corner is below the maze (after the finish, or after Solve, which leaves
//   the corner on the square below the exit) every arrow presses, moves and releases, just as a
//   mouse press there would: unless the arrow steps back up into the maze, the finish is tested
//   again and its result shown again.
// - Before the first step of a game (moveCount 0) only Down, from the entrance into row 1. Any
//   other arrow is a bump: a press on the entrance then would count it as passed once more and
//   cost two extra moves, as a second mouse press there does.
// - Otherwise only an arrow that canStep allows from (playerCol, playerRow); any other is a
//   bump and presses nothing.
ArrowResult arrowKey(Mazeform& f, Arrow way);

}  // namespace quorrel
