#pragma once

#include <string>
#include <string_view>

#include "game/ports.h"

namespace quorrel {

// Files in a directory of the real file system, the current one by default.
class PosixFileStore : public FileStore {
  public:
    explicit PosixFileStore(std::string directory = ".");
    ~PosixFileStore() override;
    PosixFileStore(const PosixFileStore&) = delete;
    PosixFileStore& operator=(const PosixFileStore&) = delete;

    CreateResult create(const std::string& name, std::string& reason) override;
    bool writeAndClose(std::string_view bytes, std::string& reason) override;
    void remove(const std::string& name) override;

  private:
    std::string pathOf(const std::string& name) const;

    std::string directory_;
    int fd_ = -1;
};

}  // namespace quorrel
