#pragma once

// Values at the edges of what a window may report, for the event driver and the fuzzers.

#include <array>
#include <limits>

namespace quorrel::testing {

template <class T>
inline constexpr T kNaN = std::numeric_limits<T>::quiet_NaN();
template <class T>
inline constexpr T kInfinity = std::numeric_limits<T>::infinity();

// Client area lengths in twips.
inline constexpr std::array<double, 12> kOddLengths = {
    0, -1, kNaN<double>, kInfinity<double>, 1e300, 32767, 32768, 65535, 1500, 4.9e-324, 1e9, 3000};

// Twips per pixel.
inline constexpr std::array<double, 10> kOddPixels = {
    0, -15, kNaN<double>, kInfinity<double>, 1440, 1441, 1, 0.5, 15, 26.666666666666668};

// Pointer coordinates in twips.
inline constexpr std::array<float, 8> kOddCoordinates = {
    kNaN<float>, kInfinity<float>, -kInfinity<float>, -1e30F, 1e30F, -0.0F, 32767.5F, -32768.5F};

}  // namespace quorrel::testing
