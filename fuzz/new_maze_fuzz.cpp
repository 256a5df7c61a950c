// libFuzzer target: NEW MAZE's reading of the two size selectors and its fitting of the board
// into the client area. The input gives a client area, the screen's twips per pixel and the
// two selector texts. Checked against an independent reading of the rules:
//  - readNumber gives a finite number, the same as a separate reader of the number format
//    wherever that one's number is finite; roundHalfEven rounds halves to even;
//  - NEW MAZE accepts exactly when both rounded sizes lie in 2..50 and the board fits: squares
//    of 3 twips or more, every corner within 16-bit twips, the screen's twips per pixel
//    between 1 and 1440; the maze is centred in the whole client area, or, when a corner would
//    then pass 32767 twips, in the part of it up to 32767 twips each way;
//  - an accepted maze has the size, square, inset, font size and origin the rules give, and a
//    sound maze; a refused one shows the size message once and keeps the previous maze.

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <span>
#include <string>

#include "board/new_maze.h"
#include "support/doubles.h"
#include "support/event_driver.h"
#include "support/invariants.h"
#include "support/odd_values.h"

namespace {

using quorrel::ClientSize;
using quorrel::TwipsPerPixel;
using quorrel::testing::ByteReader;
using quorrel::testing::kOddLengths;
using quorrel::testing::kOddPixels;
using quorrel::testing::referenceNumber;
using quorrel::testing::referenceRound;

[[noreturn]] void fail(const std::string& what, const std::string& width, const std::string& height,
                       ClientSize c, TwipsPerPixel p) {
    std::fprintf(stderr,
                 "fault: %s\n  width text %zu bytes, height text %zu bytes, client %.17g x "
                 "%.17g, twips per pixel %.17g, %.17g\n",
                 what.c_str(), width.size(), height.size(), c.width, c.height, p.x, p.y);
    std::abort();
}

double readLength(ByteReader& in, int mode) {
    switch (mode) {
        case 1:
            return in.u16();
        case 2:
            return in.u16() / 7.0;
        case 3:
            return kOddLengths.at(in.byte() % kOddLengths.size());
        default:
            return 0;
    }
}

void checkReading(const std::string& text, const std::string& w, const std::string& h, ClientSize c,
                  TwipsPerPixel p) {
    const double value = quorrel::readNumber(text);
    const double reference = referenceNumber(text);
    if (!std::isfinite(value)) {
        fail("readNumber gave a number that is not finite", w, h, c, p);
    }
    if (std::isfinite(reference) && value != reference) {
        fail("readNumber gave " + std::to_string(value) + ", not " + std::to_string(reference), w,
             h, c, p);
    }
    if (quorrel::roundHalfEven(value) != referenceRound(value)) {
        fail("roundHalfEven(" + std::to_string(value) + ") is wrong", w, h, c, p);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ByteReader in(std::span<const std::uint8_t>(data, size));
    const int how = in.byte();
    ClientSize client{8880, 7305};
    if ((how & 3) != 0) {
        client.width = readLength(in, how & 3);
        client.height = readLength(in, how & 3);
    }
    TwipsPerPixel pixel{15, 15};
    switch ((how >> 2) & 3) {
        case 1:
            pixel = {1.0 + in.byte() % 40, 1.0 + in.byte() % 40};
            break;
        case 2:
            pixel = {in.u16() / 32.0, in.u16() / 32.0};
            break;
        case 3:
            pixel = {kOddPixels.at(in.byte() % kOddPixels.size()),
                     kOddPixels.at(in.byte() % kOddPixels.size())};
            break;
        default:
            break;
    }
    // The rest: a length byte, the width text, and the height text.
    const std::size_t widthLength = in.byte() % 48;
    std::string width;
    while (width.size() < widthLength && !in.empty()) {
        width += static_cast<char>(in.byte());
    }
    std::string height;
    while (!in.empty() && height.size() < 64) {
        height += static_cast<char>(in.byte());
    }
    checkReading(width, width, height, client, pixel);
    checkReading(height, width, height, client, pixel);

    quorrel::testing::Harness h;
    quorrel::testing::RecordingSurface& surface = h.surface;
    quorrel::testing::FakeWindow& window = h.window;
    quorrel::Mazeform& form = h.form;
    surface.recording = false;
    surface.watch(form);
    window.watch(form, surface);
    h.random.restart(static_cast<std::uint64_t>(size), (how & 0x10) != 0);

    // A previous 3 by 3 maze, which a refused NEW MAZE must keep.
    window.width = "3";
    window.height = "3";
    quorrel::Command1_Click(form);
    if (form.mazeWidth != 3 || !window.shown.empty()) {
        fail("the first maze was not made", width, height, client, pixel);
    }
    const quorrel::Int square = form.squareSize;
    window.shown.clear();

    window.width = width;
    window.height = height;
    surface.client = client;
    surface.pixel = pixel;
    quorrel::Command1_Click(form);

    const quorrel::testing::ReferenceBoard expected = quorrel::testing::referenceBoard(
        referenceNumber(width), referenceNumber(height), client, pixel);
    const bool refused = window.shown.size() == 1 && window.shown[0].text == quorrel::sizeMessage();
    if (refused == expected.accepted) {
        fail(expected.accepted ? "a size that fits was refused"
                               : "a size that does not fit was accepted",
             width, height, client, pixel);
    }
    quorrel::testing::Faults faults;
    quorrel::testing::checkMaze(form, faults);
    if (!faults.empty()) {
        fail("the maze is broken: " + faults.front(), width, height, client, pixel);
    }
    if (refused) {
        if (form.mazeWidth != 3 || form.mazeHeight != 3 || form.squareSize != square) {
            fail("a refused NEW MAZE changed the maze", width, height, client, pixel);
        }
        return 0;
    }
    if (!window.shown.empty() || form.mazeWidth != expected.w || form.mazeHeight != expected.h ||
        form.squareSize != expected.square || form.inset != expected.inset ||
        form.originX != expected.originX || form.originY != expected.originY ||
        surface.fontSize != expected.font) {
        fail("the board is not the one the rules give", width, height, client, pixel);
    }
    if (!surface.faults.empty()) {
        fail("drawing: " + surface.faults.front(), width, height, client, pixel);
    }
    return 0;
}
