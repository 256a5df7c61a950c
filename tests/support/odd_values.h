#pragma once

// Values the tests, the event driver and the fuzzers share: values at the edges of what a
// window may report, size texts with the number and the side each stands for, and the boards
// NEW MAZE fits into the window as it opens.

#include <array>
#include <limits>
#include <ostream>
#include <string_view>

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

// A text typed into a size selector, or one on the edge of a rule of the size reading, and the
// number at its start; an infinite one is too large to hold, and the game reads it as 0.
struct NumberText {
    std::string_view text;
    double value;
};

inline constexpr double kHuge = kInfinity<double>;
inline constexpr NumberText kNumberTexts[] = {
    {"", 0},
    {" ", 0},
    {"abc", 0},
    {"2", 2},
    {"50", 50},
    {"51", 51},
    {"1", 1},
    {"20", 20},
    {"100000", 1e5},
    {"65536", 65536},
    {"1.4", 1.4},
    {"0.5", 0.5},
    {"1.5", 1.5},
    {"2.5", 2.5},
    {"3.5", 3.5},
    {"49.5", 49.5},
    {"50.5", 50.5},
    {"50.6", 50.6},
    {"32767.5", 32767.5},
    {"49.999999", 49.999999},
    {"-3", -3},
    {"-7", -7},
    {"-0", 0},
    {"+7", 7},
    {" 2 0", 20},
    {"\t3\n", 3},
    {"\t4\n", 4},
    {"\r5", 0},
    {"12abc", 12},
    {"1.2.3", 1.2},
    {".5", 0.5},
    {"2.", 2},
    {"-.5", -0.5},
    {"+.5", 0.5},
    {"- 4", -4},
    {"+-5", 0},
    {"+", 0},
    {"-", 0},
    {".", 0},
    {"1e1", 10},
    {"1 e 1", 10},
    {"1.e1", 10},
    {"1e", 1},
    {"2e+", 2},
    {"e5", 0},
    {"4e-1", 0.4},
    {".5e2", 50},
    {"2d1", 20},
    {"5d0", 5},
    {"1.5e1x", 15},
    {"2,5", 2},
    {"0x10", 0},
    {"inf", 0},
    {"nan", 0},
    {"1e999", kHuge},
    {"-1e999", -kHuge},
    {"00000000000000000002", 2},
};

// Texts typed into a size selector, and the side NEW MAZE takes from each; 0 where it refuses.
struct SizeEntry {
    const char* text;
    int side;
};

inline void PrintTo(const SizeEntry& e, std::ostream* os) {
    *os << '"' << e.text << '"';
}

inline constexpr SizeEntry kSizeEntries[] = {
    {"", 0},
    {"abc", 0},
    {"1.4", 0},
    {"0.5", 0},
    {"1.5", 2},
    {"2.5", 2},
    {"3.5", 4},
    {"50.5", 50},
    {"50.6", 0},
    {"100000", 0},
    {"-3", 0},
    {" 2 0", 20},
    {"1e1", 10},
    {"2", 2},
    {"\t3\n", 3},
    {"50", 50},
    {"51", 0},
    {"1", 0},
    {"99999999999999999999", 0},
};

// The boards NEW MAZE fits into the client area of 8880 x 7305 twips at 15 twips a pixel: the
// maze's size, the square and its inset, the font size of the counts, and the maze's origin.
struct DesignBoard {
    int w, h, squareSize, inset;
    double fontSize;
    int originX, originY;
};

inline void PrintTo(const DesignBoard& b, std::ostream* os) {
    *os << b.w << " by " << b.h;
}

inline constexpr DesignBoard kDesignBoards[] = {
    {10, 10, 375, 75, 8.5, 2565, 1025},
    {20, 20, 290, 58, 96.0 / 15, 1540, 940},
    {30, 20, 246, 49, 82.0 / 15, 750, 896},
    {50, 50, 116, 23, 38.0 / 15, 1540, 766},
};

}  // namespace quorrel::testing
