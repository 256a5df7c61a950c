#pragma once

#include <string>
#include <string_view>

namespace quorrel::web {

// On the page one CSS pixel is 15 twips, whatever the screen's density.
inline constexpr int kTwipsPerCssPixel = 15;

// A text as a JSON string, quotes included.
std::string jsonString(std::string_view text);

// The window as data, for the page to build itself from: caption, application title, menus,
// commands with their captions, shortcuts and where those work, the controls with their
// positions and accessible words, the bold font's families and size, the focus order, the
// board's name, the size entries, the buttons of the message boxes and what the page says
// when the game cannot run in it.
std::string tablesJson();

}  // namespace quorrel::web
