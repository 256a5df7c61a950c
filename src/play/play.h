#pragma once

#include <string>

#include "game/mazeform.h"

namespace quorrel {

// Mouse buttons as the events report them.
inline constexpr Int kLeftButton = 1;
inline constexpr Int kRightButton = 2;
inline constexpr Int kMiddleButton = 4;

// A left press on the player's square starts or resumes play.
void Form_MouseDown(Mazeform& f, Int button, Int shift, float x, float y);
// While play is active, steps the player one square toward the pointer and tests the finish.
void Form_MouseMove(Mazeform& f, Int button, Int shift, float x, float y);
void Form_MouseUp(Mazeform& f, Int button, Int shift, float x, float y);

// After a step: redraws the neighbourhood under restricted visibility, or the whole maze
// once when full visibility has just come back.
void visibilityRedraw(Mazeform& f);

void hide0_Click(Mazeform& f);
void hide1_Click(Mazeform& f);
void hide2_Click(Mazeform& f);
void hide4_Click(Mazeform& f);
void hide8_Click(Mazeform& f);

// Replays the maze from the entrance.
void retry_Click(Mazeform& f);

// The share of moves that were not extra, (moves - extra) * 100 / moves, in the pattern
// "##.00": two decimals, no leading zero before the point (".50"). Worked out exactly from the
// two counts, a half hundredth rounded away from zero. No moves at all gives ".00".
std::string percentText(Int moves, Int extra);

// The result of a finished walk with extra moves.
std::string resultMessage(Int moves, Int extra);

}  // namespace quorrel
