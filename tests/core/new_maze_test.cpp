#include "board/new_maze.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <system_error>
#include <tuple>
#include <utility>
#include <vector>

#include "support/doubles.h"
#include "support/invariants.h"
#include "support/maze_checks.h"
#include "support/odd_values.h"
#include "support/play_helpers.h"

namespace quorrel::testing {
namespace {

constexpr const char* kMessage = "Maze dimensions must fall between 2 and 50";

class NewMaze : public ::testing::Test {
  protected:
    // Presses NEW MAZE with the given texts in the two selectors.
    void press(const std::string& width, const std::string& height) {
        window.width = width;
        window.height = height;
        Command1_Click(form);
    }

    Harness h;
    RecordingSurface& surface = h.surface;
    FakeWindow& window = h.window;
    ScriptedRandom& random = h.random;
    MemoryFileStore& files = h.files;
    Mazeform& form = h.form;
};

class DesignSizeGeometry : public NewMaze, public ::testing::WithParamInterface<DesignBoard> {};

TEST_P(DesignSizeGeometry, FitsTheBoardIntoTheWindow) {
    const DesignBoard& g = GetParam();
    press(std::to_string(g.w), std::to_string(g.h));
    ASSERT_TRUE(window.messages.empty());
    EXPECT_EQ(form.mazeWidth, g.w);
    EXPECT_EQ(form.mazeHeight, g.h);
    EXPECT_EQ(form.squareSize, g.squareSize);
    EXPECT_EQ(form.inset, g.inset);
    EXPECT_NEAR(surface.fontSize, g.fontSize, 1e-4);
    EXPECT_EQ(form.originX, g.originX);
    EXPECT_EQ(form.originY, g.originY);
    // The maze is drawn with this geometry: its left border runs down from originY.
    const std::vector<DrawOp> lines = surface.of(DrawOp::Line);
    ASSERT_FALSE(lines.empty());
    bool leftBorder = false;
    for (const DrawOp& l : lines) {
        leftBorder = leftBorder || (l.x1 == g.originX && l.x2 == g.originX && l.y1 == g.originY &&
                                    l.y2 == g.originY + g.squareSize);
    }
    EXPECT_TRUE(leftBorder);
    // The reference the fuzzer judges NEW MAZE by gives the same board.
    const ReferenceBoard ref = referenceBoard(g.w, g.h, surface.client, surface.pixel);
    EXPECT_TRUE(ref.accepted);
    EXPECT_EQ(ref.square, g.squareSize);
    EXPECT_EQ(ref.inset, g.inset);
    EXPECT_NEAR(ref.font, g.fontSize, 1e-4);
    EXPECT_EQ(ref.originX, g.originX);
    EXPECT_EQ(ref.originY, g.originY);
}

INSTANTIATE_TEST_SUITE_P(At8880By7305, DesignSizeGeometry, ::testing::ValuesIn(kDesignBoards),
                         [](const ::testing::TestParamInfo<DesignBoard>& p) {
                             return std::to_string(p.param.w) + "x" + std::to_string(p.param.h);
                         });

TEST_F(NewMaze, SmallMazeOnALargeAreaIsCappedAt25Pixels) {
    surface.client = {20000, 15000};
    press("2", "2");
    EXPECT_EQ(form.squareSize, 375);
    EXPECT_EQ(form.inset, 75);
    EXPECT_FLOAT_EQ(surface.fontSize, 8.5F);
    EXPECT_EQ(form.originX, (20000 - 750) / 2);
}

TEST_F(NewMaze, CapRoundsHalvesToEven) {
    surface.pixel = {12.5, 12.5};
    press("2", "2");
    EXPECT_EQ(form.squareSize, 312);  // 312.5
    EXPECT_EQ(form.inset, 62);        // 62.5
    EXPECT_EQ(form.originY, 312 + 550);
}

TEST_F(NewMaze, OriginRoundsHalvesToEven) {
    surface.client = {8881, 7305};
    press("20", "20");
    EXPECT_EQ(form.squareSize, 290);
    EXPECT_EQ(form.originX, 1540);  // 1540.5
    surface.client = {8883, 7305};
    press("20", "20");
    EXPECT_EQ(form.originX, 1542);  // 1541.5
}

TEST_F(NewMaze, WideShortMazeOnATallWindowTakesItsSizeFromTheWidth) {
    surface.client = {8880, 20000};
    press("50", "2");
    EXPECT_EQ(form.squareSize, 147);  // (8880 - 1500) / 50 = 147.6
    EXPECT_EQ(form.inset, 29);
    EXPECT_NEAR(surface.fontSize, 49.0 / 15, 1e-5);
    EXPECT_EQ(form.originX, 765);  // (8880 - 7350) / 2
}

TEST_F(NewMaze, VerticalPixelsEnterOnlyTheHeightAndTheTopOffset) {
    surface.pixel = {15, 12};
    press("10", "10");
    EXPECT_EQ(form.squareSize, 375);
    EXPECT_EQ(form.inset, 75);
    EXPECT_EQ(form.originY, 12 * 40 + 50 + 375);
    surface.pixel = {15, 30};
    press("20", "20");
    EXPECT_EQ(form.squareSize, 215);  // (7305 - 3000) / 20 = 215.25
    EXPECT_EQ(form.inset, 43);
    EXPECT_NEAR(surface.fontSize, 71.0 / 15, 1e-5);
    EXPECT_EQ(form.originY, 30 * 40 + 50 + 215);
}

TEST(ReadNumber, ReadsTheNumberAtTheStart) {
    for (const NumberText& n : kNumberTexts) {
        EXPECT_EQ(readNumber(n.text), std::isinf(n.value) ? 0 : n.value)
            << ::testing::PrintToString(std::string(n.text));
    }
}

// The reference reader the event fuzzer judges the game by reads the same texts alike.
TEST(ReferenceNumber, ReadsTheSizeTextsAsTheRulesSay) {
    for (const NumberText& n : kNumberTexts) {
        EXPECT_EQ(referenceNumber(n.text), n.value)
            << ::testing::PrintToString(std::string(n.text));
    }
}

// The C library's numeric locale switched, for the life of the object, to German, whose
// decimal point is a comma. The locale is compiled with localedef into a scratch directory, so
// the test does not depend on which locales the machine has installed.
class CommaDecimalLocale {
  public:
    CommaDecimalLocale() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quorrel-locale-XXXXXX");
        if (::mkdtemp(pattern.data()) == nullptr) {
            return;
        }
        dir_ = pattern;
        const std::string compile =
            "localedef -i de_DE -f ISO-8859-1 '" + dir_ + "/de_DE' >/dev/null 2>&1";
        if (std::system(compile.c_str()) != 0) {
            return;
        }
        if (const char* old = std::getenv("LOCPATH")) {
            savedPath_ = old;
        }
        ::setenv("LOCPATH", dir_.c_str(), 1);
        savedLocale_ = std::setlocale(LC_NUMERIC, nullptr);
        active_ = std::setlocale(LC_NUMERIC, "de_DE") != nullptr &&
                  std::string(std::localeconv()->decimal_point) == ",";
    }
    ~CommaDecimalLocale() {
        if (!savedLocale_.empty()) {
            std::setlocale(LC_NUMERIC, savedLocale_.c_str());
        }
        if (savedPath_) {
            ::setenv("LOCPATH", savedPath_->c_str(), 1);
        } else {
            ::unsetenv("LOCPATH");
        }
        if (!dir_.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(dir_, ignored);
        }
    }
    CommaDecimalLocale(const CommaDecimalLocale&) = delete;
    CommaDecimalLocale& operator=(const CommaDecimalLocale&) = delete;
    bool active() const { return active_; }

  private:
    std::string dir_;
    std::optional<std::string> savedPath_;
    std::string savedLocale_;
    bool active_ = false;
};

// The window toolkit adopts the user's locale at start-up; a size typed with a decimal point
// must still read the same.
TEST(ReadNumber, ReadsADecimalPointWhateverTheLocale) {
    const CommaDecimalLocale german;
    if (!german.active()) {
        GTEST_SKIP() << "localedef could not make a German locale here";
    }
    EXPECT_EQ(readNumber("1.5"), 1.5);
    EXPECT_EQ(readNumber("3.5"), 3.5);
    EXPECT_EQ(readNumber("50.6"), 50.6);
    EXPECT_EQ(readNumber("1,5"), 1);
    EXPECT_EQ(readNumber("1e1"), 10);
    EXPECT_EQ(readNumber("-3"), -3);
}

const std::pair<double, double> kRoundings[] = {
    {0.5, 0},   {1.5, 2},   {2.5, 2},       {3.5, 4}, {50.5, 50},
    {50.6, 51}, {-2.5, -2}, {1540.5, 1540}, {1.4, 1}, {2.4999, 2},
};

TEST(RoundHalfEven, GoesToTheEvenNeighbour) {
    for (const auto& [x, rounded] : kRoundings) {
        EXPECT_EQ(roundHalfEven(x), rounded) << x;
    }
}

TEST(ReferenceNumber, RoundsHalvesToEven) {
    for (const auto& [x, rounded] : kRoundings) {
        EXPECT_EQ(referenceRound(x), rounded) << x;
    }
}

// The entry typed into the width selector, or into the height selector, with 10 in the other.
class SizeEntries : public NewMaze,
                    public ::testing::WithParamInterface<std::tuple<bool, SizeEntry>> {};

TEST_P(SizeEntries, AcceptOrRefuseTheSide) {
    const auto& [width, e] = GetParam();
    press(width ? e.text : "10", width ? "10" : e.text);
    const Int& side = width ? form.mazeWidth : form.mazeHeight;
    if (e.side == 0) {
        EXPECT_EQ(window.messages, std::vector<std::string>{kMessage});
        EXPECT_EQ(random.reseeds, 0) << "a maze was generated";
        EXPECT_EQ(side, 0);
    } else {
        EXPECT_TRUE(window.messages.empty());
        EXPECT_EQ(side, e.side);
        EXPECT_EQ(width ? form.mazeHeight : form.mazeWidth, 10);
        EXPECT_EQ(random.reseeds, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, SizeEntries,
                         ::testing::Combine(::testing::Bool(), ::testing::ValuesIn(kSizeEntries)),
                         [](const ::testing::TestParamInfo<std::tuple<bool, SizeEntry>>& p) {
                             // The side, the entry's letters and digits, then what it must give.
                             const SizeEntry& e = std::get<1>(p.param);
                             return (std::get<0>(p.param) ? "Width" : "Height") +
                                    std::to_string(p.index) + "_" + caseName(e.text) +
                                    (e.side == 0 ? "_refused" : "_gives" + std::to_string(e.side));
                         });

TEST_F(NewMaze, RefusedSizeBlanksTheBoardAndKeepsThePreviousMaze) {
    press("7", "5");
    ASSERT_TRUE(window.messages.empty());
    const State before = form;
    form.moveCount = 5;
    form.extraMoves = 3;
    window.moves = "5";
    window.extra = "3";
    surface.ops.clear();

    press("7", "51");
    ASSERT_EQ(window.messages, std::vector<std::string>{kMessage});
    // The board was cleared and nothing drawn after, before the message appeared.
    ASSERT_EQ(surface.ops.size(), 1U);
    EXPECT_EQ(surface.ops[0].kind, DrawOp::Clear);
    EXPECT_EQ(window.opsAtMessage[0], 1U);
    EXPECT_EQ(window.shown[0].moves, "");
    EXPECT_EQ(window.shown[0].extra, "");
    EXPECT_EQ(window.moves, "");
    EXPECT_EQ(window.extra, "");
    EXPECT_EQ(form.moveCount, 0);
    EXPECT_EQ(form.extraMoves, 0);

    EXPECT_EQ(random.reseeds, 1);
    EXPECT_EQ(form.mazeWidth, 7);
    EXPECT_EQ(form.mazeHeight, 5);
    EXPECT_EQ(form.squareSize, before.squareSize);
    EXPECT_EQ(form.inset, before.inset);
    EXPECT_EQ(form.originX, before.originX);
    EXPECT_EQ(form.originY, before.originY);
    EXPECT_EQ(form.entryCol, before.entryCol);
    EXPECT_EQ(form.exitMade, before.exitMade);
    EXPECT_EQ(form.trail, before.trail);
    EXPECT_EQ(form.trailCount, before.trailCount);
    for (int r = 0; r <= 6; ++r) {
        for (int c = 0; c <= 8; ++c) {
            EXPECT_EQ(form.openings(c, r), before.openings(c, r));
            EXPECT_EQ(form.visited(c, r), before.visited(c, r));
        }
    }
    expectFinishedMaze(form);
}

TEST_F(NewMaze, AcceptedSizeClearsFirstAndDrawsTheMaze) {
    window.moves = "9";
    form.moveCount = 9;
    form.tracking = true;
    press("4", "3");
    ASSERT_FALSE(surface.ops.empty());
    EXPECT_EQ(surface.ops[0].kind, DrawOp::Clear);
    EXPECT_EQ(surface.of(DrawOp::Clear).size(), 1U);
    EXPECT_EQ(window.moves, "");
    EXPECT_EQ(form.moveCount, 0);
    EXPECT_FALSE(form.tracking);
    EXPECT_EQ(random.reseeds, 1);
    expectFinishedMaze(form);
}

TEST_F(NewMaze, RefusesSquaresTooSmallToDraw) {
    // 50 squares in 1650 - 1500 twips: exactly 3 twips each is the smallest accepted.
    surface.client = {1650, 7305};
    press("50", "10");
    EXPECT_TRUE(window.messages.empty());
    EXPECT_EQ(form.squareSize, 3);
    EXPECT_EQ(form.inset, 0);

    surface.client = {1649, 7305};
    press("50", "10");
    EXPECT_EQ(window.messages, std::vector<std::string>{kMessage});
    EXPECT_EQ(form.squareSize, 3);  // the last maze's geometry stays

    surface.client = {1000, 500};
    press("10", "10");
    EXPECT_EQ(window.messages.size(), 2U);
    surface.client = {0, 0};
    press("2", "2");
    EXPECT_EQ(window.messages.size(), 3U);
    EXPECT_EQ(random.reseeds, 1);
}

// Every coordinate handed to the board fits a 16-bit integer.
void expectDrawingWithin16Bits(const RecordingSurface& surface) {
    ASSERT_FALSE(surface.of(DrawOp::Line).empty());
    for (const DrawOp& op : surface.ops) {
        for (float v : {op.x1, op.y1, op.x2, op.y2}) {
            EXPECT_GE(v, 0.0F);
            EXPECT_LE(v, 32767.0F);
        }
    }
}

TEST_F(NewMaze, HugeClientAreaIsUsedOnlyUpTo16Bits) {
    surface.client = {1e6, 1e6};
    press("50", "50");
    ASSERT_TRUE(window.messages.empty());
    EXPECT_EQ(form.squareSize, 375);
    EXPECT_EQ(form.originX, 7008);  // (32767 - 18750) / 2 = 7008.5
    expectDrawingWithin16Bits(surface);

    surface.ops.clear();
    surface.pixel = {1, 1};
    press("2", "50");
    ASSERT_TRUE(window.messages.empty());
    EXPECT_EQ(form.squareSize, 25);
    expectDrawingWithin16Bits(surface);
}

TEST_F(NewMaze, WideClientAreasKeepTheMazeCentredWhileItFits16Bits) {
    struct Case {
        double clientWidth;
        const char* side;
        int originX;
    };
    // 2560 pixels: 20 squares of 375 twips leave 15450 twips each side. With 60000 twips a
    // 50-square maze would end at 39375, so it is centred in the first 32767 instead.
    for (const Case& c : {Case{38400, "20", 15450}, Case{60000, "50", 7008}}) {
        surface.client = {c.clientWidth, 21600};
        press(c.side, c.side);
        ASSERT_TRUE(window.messages.empty()) << c.clientWidth;
        EXPECT_EQ(form.squareSize, 375) << c.clientWidth;
        EXPECT_EQ(form.originX, c.originX) << c.clientWidth;
        expectDrawingWithin16Bits(surface);
    }
}

TEST_F(NewMaze, RefusesABoardWhoseSquareBelowTheExitWouldPass16Bits) {
    // Tall pixels: the capped 625-twip squares fit the height the window offers, but the
    // square below the bottom row would end at 32790 twips.
    surface.client = {1e6, 1e6};
    surface.pixel = {25, 6};
    press("2", "50");
    EXPECT_EQ(window.messages, std::vector<std::string>{kMessage});
    EXPECT_EQ(random.reseeds, 0);
    press("2", "49");
    EXPECT_EQ(window.messages.size(), 1U);
    EXPECT_EQ(form.squareSize, 625);
    expectDrawingWithin16Bits(surface);
}

}  // namespace
}  // namespace quorrel::testing
