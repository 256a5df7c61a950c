#pragma once

#include <string>
#include <string_view>

#include "ui/mazeform.h"

namespace quorrel {

inline constexpr std::string_view kCaption = "Quorrel 1.0";
inline constexpr std::string_view kAppTitle = "quorrel";

// The entries of both size selectors, and the one shown at start.
inline constexpr std::string_view kSizeEntries[] = {"5", "10", "15", "20", "25", "30", "35", "40"};
inline constexpr int kInitialSizeEntry = 3;

// Sets the window up when it opens: no maze yet, full visibility.
void Form_Load(Mazeform& f);

// File > Make file: switches the writing of maze files on and off.
void mkfile_Click(Mazeform& f);

// HELP!: shows the rules.
void help_Click(Mazeform& f);

std::string helpText();

}  // namespace quorrel
