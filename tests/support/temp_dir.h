#pragma once

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace quorrel::testing {

inline std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A fresh directory under the system's temporary directory, removed with everything in it
// (made writable again first).
class TempDir {
  public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quorrel-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        path = pattern;
    }
    ~TempDir() {
        namespace fs = std::filesystem;
        std::error_code ignored;
        fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The names of the entries, sorted.
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(path)) {
            names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    // Every entry with its bytes (a link's bytes are its target's name).
    std::map<std::string, std::string> contents() const {
        namespace fs = std::filesystem;
        std::map<std::string, std::string> all;
        for (const auto& e : fs::directory_iterator(path)) {
            const std::string name = e.path().filename().string();
            if (fs::is_symlink(e.symlink_status())) {
                all[name] = "-> " + fs::read_symlink(e.path()).string();
            } else if (fs::is_directory(e.symlink_status())) {
                all[name] = "<dir>";
            } else {
                all[name] = readFile(e.path());
            }
        }
        return all;
    }

    void put(const std::string& name, const std::string& bytes) const {
        std::ofstream(path / name, std::ios::binary) << bytes;
    }

    std::filesystem::path path;
};

}  // namespace quorrel::testing
