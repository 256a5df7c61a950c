// What the game itself does in the page's end-to-end test, for the test to hold the page to.
// It plays, on the core alone with test doubles for its ports, the same script the test
// plays on the page with the same seeded draws, and prints as JSON what the page must show:
//
//   page_reference <width> <height> <client width> <client height> (twips)
//
// The script: Make file on; NEW MAZE; Where am I twice; the way out by arrow keys, with one
// bump into a wall from the fourth square on, and the result closed; NEW MAZE again; the way
// out by the mouse with a detour, and No to the result's question; then NEW MAZE with a width
// of 1. The seed is the first from 1 that gives both mazes an exit, the first a wall to bump
// into, the second a way of two squares or more.

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "gen/random_source.h"
#include "play/play.h"
#include "support/doubles.h"
#include "support/maze_geometry.h"
#include "ui/board_description.h"
#include "ui/commands.h"
#include "ui/window.h"
#include "web/tables.h"

namespace quorrel::testing {
namespace {

struct Setup {
    std::string width;
    std::string height;
    ClientSize client;
};

// The game on doubles, drawing from one seeded generator as the page's test build does.
struct Game {
    Game(const Setup& setup, std::uint64_t seed)
        : random(seed), form(Ports{surface, window, window, random, files}) {
        surface.recording = false;
        surface.client = setup.client;
        window.typeSizes(setup.width, setup.height);
        Form_Load(form);
    }

    RecordingSurface surface;
    FakeWindow window;
    SeededRandom random;
    MemoryFileStore files;
    Mazeform form;
};

std::string list(const std::vector<std::string>& items) {
    std::string out = "[";
    for (const std::string& item : items) {
        out += (out.size() > 1 ? "," : "") + item;
    }
    return out + "]";
}

// A key and what it came to: the words said after it, and whether a message box came first
// (the finish's box, after which the words are said once it closes).
std::string key(Command id, const Said& said) {
    return "{\"command\":" + std::to_string(static_cast<int>(id)) +
           ",\"words\":" + web::jsonString(said.words) +
           (said.boxShown ? ",\"box\":true}" : ",\"box\":false}");
}

Command arrowFor(Square from, Square to) {
    if (to.col != from.col) {
        return to.col > from.col ? Command::StepRight : Command::StepLeft;
    }
    return to.row > from.row ? Command::StepDown : Command::StepUp;
}

// An arrow into a closed side of the square the player stands on, if it has one.
std::optional<Command> bumpFrom(const State& s, Square at) {
    const std::pair<bool, Command> sides[] = {{opensLeft(s, at), Command::StepLeft},
                                              {opensRight(s, at), Command::StepRight},
                                              {opensDown(s, at), Command::StepDown},
                                              {at.row <= 1 || opensUp(s, at), Command::StepUp}};
    for (const auto& [open, arrow] : sides) {
        if (!open) {
            return arrow;
        }
    }
    return std::nullopt;
}

// Notes the message boxes shown since the last note, each as [text, whether it asked], then
// the Moves box.
void noteShown(Game& g, std::vector<std::string>& out) {
    for (const Shown& box : g.window.shown) {
        out.push_back("[" + web::jsonString(box.text) + (box.question ? ",true]" : ",false]"));
    }
    g.window.shown.clear();
    out.push_back(web::jsonString(g.window.moves));
}

// The way out by arrow keys, each key with the words the game says after it; empty when the
// way has no square with a wall to bump into. The messages shown, then the Moves box at the
// end, go to `messages`.
std::optional<std::string> keyGame(Game& g, std::vector<std::string>& messages) {
    const std::vector<Square> way = routeToExit(g.form);
    // Where am I, twice: the same words twice in a row.
    std::vector<std::string> keys(2, key(Command::WhereAmI, perform(g.form, Command::WhereAmI)));
    Square at = entranceSquare(g.form);
    bool bumped = false;
    for (std::size_t i = 0; i < way.size(); ++i) {
        if (const std::optional<Command> bump = bumpFrom(g.form, at); i >= 4 && !bumped && bump) {
            keys.push_back(key(*bump, perform(g.form, *bump)));
            bumped = true;
        }
        const Command step = arrowFor(at, way[i]);
        keys.push_back(key(step, perform(g.form, step)));
        at = way[i];
    }
    noteShown(g, messages);
    if (!bumped) {
        return std::nullopt;
    }
    return list(keys);
}

std::string point(Point p) {
    return "[" + std::to_string(p.x) + "," + std::to_string(p.y) + "]";
}

// The way out by the mouse, with a detour: a press on the entrance, a movement to the middle
// of the first two squares of the way, back to the first and on along the whole way, a
// release. Gives the points; the messages shown, then the Moves box at the end, go to
// `messages`.
std::string mouseGame(Game& g, std::vector<std::string>& messages) {
    std::vector<Square> way = routeToExit(g.form);
    way.insert(way.begin() + 1, {way[1], way[0]});
    std::vector<std::string> points;
    Point p = centreOf(g.form, entranceSquare(g.form));
    Form_MouseDown(g.form, kLeftButton, 0, p.x, p.y);
    points.push_back(point(p));
    for (const Square& s : way) {
        p = centreOf(g.form, s);
        Form_MouseMove(g.form, kLeftButton, 0, p.x, p.y);
        points.push_back(point(p));
    }
    Form_MouseUp(g.form, kLeftButton, 0, p.x, p.y);
    noteShown(g, messages);
    return list(points);
}

std::string fileOf(const Game& g, const std::string& name) {
    const auto found = g.files.files.find(name);
    return web::jsonString(found == g.files.files.end() ? "" : found->second);
}

// The whole script on a game from `seed`; empty when a maze of it has no exit.
std::optional<std::string> play(const Setup& setup, std::uint64_t seed) {
    Game g(setup, seed);
    perform(g.form, Command::MakeFile);
    const std::string firstWords = web::jsonString(perform(g.form, Command::NewMaze).words);
    if (exitColumn(g.form) == 0) {
        return std::nullopt;
    }
    std::vector<std::string> keyMessages;
    const std::optional<std::string> keys = keyGame(g, keyMessages);
    if (!keys) {
        return std::nullopt;
    }
    const std::string secondWords = web::jsonString(perform(g.form, Command::NewMaze).words);
    if (routeToExit(g.form).size() < 2) {
        return std::nullopt;
    }
    std::vector<std::string> mouseMessages;
    const std::string points = mouseGame(g, mouseMessages);
    const std::string mouseAfter = web::jsonString(describeWhereAmI(g.form));
    g.window.typeSizes("1", setup.height);
    perform(g.form, Command::NewMaze);
    return "{\"seed\":" + std::to_string(seed) + ",\"newMaze\":[" + firstWords + "," + secondWords +
           "],\"files\":[" + fileOf(g, "./maze_001.txt") + "," + fileOf(g, "./maze_002.txt") +
           "],\"keys\":" + *keys + ",\"keyMessages\":" + list(keyMessages) +
           ",\"points\":" + points + ",\"mouseMessages\":" + list(mouseMessages) +
           ",\"mouseAfter\":" + mouseAfter +
           ",\"sizeMessage\":" + web::jsonString(g.window.shown.back().text) +
           ",\"help\":" + web::jsonString(helpText(FrontEnd::Page)) + "}";
}

}  // namespace
}  // namespace quorrel::testing

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: page_reference width height client-width client-height\n");
        return 2;
    }
    const quorrel::testing::Setup setup{argv[1], argv[2], {std::atof(argv[3]), std::atof(argv[4])}};
    for (std::uint64_t seed = 1; seed < 1000; ++seed) {
        if (const auto out = quorrel::testing::play(setup, seed)) {
            std::printf("%s\n", out->c_str());
            return 0;
        }
    }
    std::fprintf(stderr, "no seed below 1000 gives two mazes with exits\n");
    return 1;
}
