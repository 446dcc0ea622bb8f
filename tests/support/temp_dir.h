#pragma once

// A fresh directory under the system's temporary directory, removed with everything in it when
// the object goes.

#include <filesystem>
#include <string>

namespace quor::test {

class TempDir final {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // The directory with a trailing "/", as an output directory setting wants it.
    std::string Prefix() const { return path_.string() + "/"; }

    // Whole-file helpers for tests.
    static std::string ReadFile(const std::filesystem::path& path);
    static void WriteFile(const std::filesystem::path& path, const std::string& bytes);

private:
    std::filesystem::path path_;
};

}  // namespace quor::test
