#include "web/download_store.h"

namespace quorrel::web {

namespace {

// "./maze_001.txt" is offered as "maze_001.txt".
std::string bareName(const std::string& name) {
    const std::size_t slash = name.find_last_of('/');
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

}  // namespace

CreateResult DownloadStore::create(const std::string& name, std::string& /*reason*/) {
    const std::string bare = bareName(name);
    if (!offered_.insert(bare).second) {
        return CreateResult::NameTaken;
    }
    open_ = bare;
    return CreateResult::Created;
}

bool DownloadStore::writeAndClose(std::string_view bytes, std::string& reason) {
    if (open_.empty()) {
        reason = "no maze file is open";
        return false;
    }
    offer_(open_, bytes);
    open_.clear();
    return true;
}

void DownloadStore::remove(const std::string& name) {
    const std::string bare = bareName(name);
    if (bare == open_) {
        open_.clear();
    }
    offered_.erase(bare);
}

}  // namespace quorrel::web
