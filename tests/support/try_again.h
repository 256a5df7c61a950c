#pragma once

// The question the game asks when a walk out of the maze took extra moves, built once for every
// test that expects it.

#include <string>
#include <string_view>

namespace quorrel::testing {

// "You had 4 extra moves for a percentage of 86.67; try again?" for tryAgain(4, "86.67").
inline std::string tryAgain(long extra, std::string_view percent) {
    return "You had " + std::to_string(extra) + " extra moves for a percentage of " +
           std::string(percent) + "; try again?";
}

}  // namespace quorrel::testing
