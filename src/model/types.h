#pragma once

#include <cstdint>

namespace quorrel {

// Every integer of the game state is a 16-bit signed value.
using Int = std::int16_t;

inline constexpr Int kIntMax = INT16_MAX;

// A colour packed as blue * 65536 + green * 256 + red.
using Colour = std::int32_t;

inline constexpr Colour kBlack = 0x000000;
inline constexpr Colour kWhite = 0xFFFFFF;
inline constexpr Colour kEntranceGray = 0xDDDDDD;
inline constexpr Colour kTrailGreen = 0x88FF00;
inline constexpr Colour kPlayerBlue = 0xFF8800;

inline constexpr int redOf(Colour c) {
    return c & 0xFF;
}
inline constexpr int greenOf(Colour c) {
    return (c >> 8) & 0xFF;
}
inline constexpr int blueOf(Colour c) {
    return (c >> 16) & 0xFF;
}

// Mazes are 2 to 50 squares each way.
inline constexpr int kMinSide = 2;
inline constexpr int kMaxSide = 50;

}  // namespace quorrel
