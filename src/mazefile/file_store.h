#pragma once

#include <string>
#include <string_view>

namespace quorrel {

enum class CreateResult { Created, NameTaken, Failed };

// Where maze files go. Holds at most one open file at a time.
class FileStore {
  public:
    virtual ~FileStore() = default;

    // Creates a new file of this name and keeps it open. Never opens or truncates an existing
    // entry: anything already there under the name, file or not, gives NameTaken.
    virtual CreateResult create(const std::string& name, std::string& reason) = 0;
    // Writes all of `bytes` to the open file and closes it; false with a reason on failure.
    virtual bool writeAndClose(std::string_view bytes, std::string& reason) = 0;
    // Deletes a file this store created.
    virtual void remove(const std::string& name) = 0;
};

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
