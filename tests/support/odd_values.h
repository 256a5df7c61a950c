#pragma once

// Values at the edges of what a window may report, for the event driver and the fuzzers.

#include <array>
#include <limits>

namespace quorrel::testing {

// Client area lengths in twips.
inline constexpr std::array<double, 12> kOddLengths = {0,
                                                       -1,
                                                       std::numeric_limits<double>::quiet_NaN(),
                                                       std::numeric_limits<double>::infinity(),
                                                       1e300,
                                                       32767,
                                                       32768,
                                                       65535,
                                                       1500,
                                                       4.9e-324,
                                                       1e9,
                                                       3000};

// Twips per pixel.
inline constexpr std::array<double, 10> kOddPixels = {0,
                                                      -15,
                                                      std::numeric_limits<double>::quiet_NaN(),
                                                      std::numeric_limits<double>::infinity(),
                                                      1440,
                                                      1441,
                                                      1,
                                                      0.5,
                                                      15,
                                                      26.666666666666668};

// Pointer coordinates in twips.
inline constexpr std::array<float, 8> kOddCoordinates = {std::numeric_limits<float>::quiet_NaN(),
                                                         std::numeric_limits<float>::infinity(),
                                                         -std::numeric_limits<float>::infinity(),
                                                         -1e30F,
                                                         1e30F,
                                                         -0.0F,
                                                         32767.5F,
                                                         -32768.5F};

}  // namespace quorrel::testing
