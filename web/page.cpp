// The game on a web page: the exports the page's script calls. The script opens one page,
// keeps the handle it gets and passes it back with every event.

#include <emscripten.h>

#include <cstdint>
#include <optional>
#include <string>

#include "game/mazeform.h"
#include "gen/random_source.h"
#include "play/play.h"
#include "ui/board_description.h"
#include "ui/commands.h"
#include "ui/window.h"
#include "web/download_store.h"
#include "web/js_ports.h"

namespace quorrel::web {

namespace {

// Draws from the clock; in the test build a test may fix the seed, so that the page and the
// desktop make the same mazes.
class PageRandom : public RandomSource {
  public:
    void reseed() override {
        if (!seeded_) {
            clock_.reseed();
        }
    }
    double next() override { return seeded_ ? seeded_->next() : clock_.next(); }
    void useSeed(std::uint64_t seed) { seeded_.emplace(seed); }

  private:
    ClockRandom clock_;
    std::optional<SeededRandom> seeded_;
};

}  // namespace

// The window of the page: the game's state and its ports.
class Page {
  public:
    Page() : files_(offerDownload), form_(Ports{surface_, controls_, messages_, random_, files_}) {
        form_.frontEnd = FrontEnd::Page;
        Form_Load(form_);
        showCheckMarks(form_);
    }

    // Performs a command; gives the words to say, empty when there are none. A key's
    // auto-repeat says nothing: its words for the release wait, each replacing the last.
    const char* perform(Command id, bool repeated) {
        words_ = held_.after(id, quorrel::perform(form_, id), repeated);
        return words_.c_str();
    }

    // The held key of this command let go: where its run stopped, once.
    const char* keyReleased(Command id) {
        words_ = held_.released(id);
        return words_.c_str();
    }

    // A mouse event; after the finish's box, the words of where that leaves the player. A
    // step by the mouse leaves a held key nothing to say.
    const char* mouse(int event, Int button, Int shift, float x, float y) {
        const long shown = form_.messagesShown();
        const Int moves = form_.moveCount;
        switch (event) {
            case 0:
                Form_MouseDown(form_, button, shift, x, y);
                break;
            case 1:
                Form_MouseMove(form_, button, shift, x, y);
                break;
            default:
                Form_MouseUp(form_, button, shift, x, y);
                break;
        }
        if (form_.moveCount != moves) {
            held_.forget();
        }
        words_ = form_.messagesShown() != shown ? describeWhereAmI(form_) : std::string();
        return words_.c_str();
    }

    const char* boardWords() {
        words_ = describeBoard(form_);
        return words_.c_str();
    }

    // What the board says when it takes the focus: its name, then its words. Screen readers
    // say nothing of their own for a focused board that is a canvas on a page.
    const char* focusWords() {
        words_ = std::string(kBoardName) + ". " + describeBoard(form_);
        return words_.c_str();
    }

    void useSeed(std::uint64_t seed) { random_.useSeed(seed); }

    // What the where-am-I key says for the game as it stands.
    const char* whereWords() {
        words_ = describeWhereAmI(form_);
        return words_.c_str();
    }

  private:
    CanvasSurface surface_;
    PageControls controls_;
    PageMessages messages_;
    PageRandom random_;
    DownloadStore files_;
    Mazeform form_;
    std::string words_;
    HeldKey held_;  // the words of the held key's run, until its release
};

}  // namespace quorrel::web

using quorrel::web::Page;

extern "C" {

EMSCRIPTEN_KEEPALIVE Page* quorrel_open() {
    return new Page();
}

// `repeated` for the auto-repeat of a key held down.
EMSCRIPTEN_KEEPALIVE const char* quorrel_perform(Page* page, int command, int repeated) {
    return page->perform(static_cast<quorrel::Command>(command), repeated != 0);
}

EMSCRIPTEN_KEEPALIVE const char* quorrel_key_released(Page* page, int command) {
    return page->keyReleased(static_cast<quorrel::Command>(command));
}

// A mouse event over the board: 0 press, 1 movement, 2 release; position in twips.
EMSCRIPTEN_KEEPALIVE const char* quorrel_mouse(Page* page, int event, int button, int shift,
                                               float x, float y) {
    return page->mouse(event, static_cast<quorrel::Int>(button), static_cast<quorrel::Int>(shift),
                       x, y);
}

// The board in words, as a screen reader hears it when the board takes the focus.
EMSCRIPTEN_KEEPALIVE const char* quorrel_board_words(Page* page) {
    return page->boardWords();
}

EMSCRIPTEN_KEEPALIVE const char* quorrel_focus_words(Page* page) {
    return page->focusWords();
}

#ifdef QUORREL_PAGE_TEST_DRAWS
// Test build only: every maze from now on draws from a generator with this seed.
EMSCRIPTEN_KEEPALIVE void quorrel_seed_draws(Page* page, double seed) {
    page->useSeed(static_cast<std::uint64_t>(seed));
}

// Test build only: the where-am-I words for the game as it stands, for a test to hold the
// page's live region to.
EMSCRIPTEN_KEEPALIVE const char* quorrel_where_words(Page* page) {
    return page->whereWords();
}
#endif
}
