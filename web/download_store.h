#pragma once

#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "game/ports.h"

namespace quorrel::web {

// Maze files as downloads. A page cannot look into the user's folders, so a name counts as
// taken once this page has offered a file under it: the numbering starts afresh at each load.
// A finished file is handed to `offer` under its bare name ("maze_001.txt").
class DownloadStore : public FileStore {
  public:
    using Offer = std::function<void(const std::string& name, std::string_view bytes)>;

    explicit DownloadStore(Offer offer) : offer_(std::move(offer)) {}
    // Opens a file under a name not offered before; a file still open is given up.

    CreateResult create(const std::string& name, std::string& reason) override;
    bool writeAndClose(std::string_view bytes, std::string& reason) override;
    void remove(const std::string& name) override;

  private:
    Offer offer_;
    std::set<std::string> offered_;
    std::string open_;  // the name of the file being written, empty when none is
};

}  // namespace quorrel::web
