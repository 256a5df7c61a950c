#include "mazefile/posix_file_store.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quorrel {

PosixFileStore::PosixFileStore(std::string directory) : directory_(std::move(directory)) {}

PosixFileStore::~PosixFileStore() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

std::string PosixFileStore::pathOf(const std::string& name) const {
    return directory_ + "/" + name;
}

CreateResult PosixFileStore::create(const std::string& name, std::string& reason) {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    const int fd =
        ::open(pathOf(name).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) {
        if (errno == EEXIST) {
            return CreateResult::NameTaken;
        }
        reason = std::strerror(errno);
        return CreateResult::Failed;
    }
    fd_ = fd;
    return CreateResult::Created;
}

bool PosixFileStore::writeAndClose(std::string_view bytes, std::string& reason) {
    if (fd_ < 0) {
        reason = "the file is not open";
        return false;
    }
    bool ok = true;
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            reason = n < 0 ? std::strerror(errno) : "nothing could be written";
            ok = false;
            break;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    if (::close(fd_) != 0 && ok) {
        reason = std::strerror(errno);
        ok = false;
    }
    fd_ = -1;
    return ok;
}

void PosixFileStore::remove(const std::string& name) {
    ::unlink(pathOf(name).c_str());
}

}  // namespace quorrel
