#pragma once

// A directory of the fuzzer's own for the board files it reads and writes, in memory where the
// system has /dev/shm, removed when the fuzzer exits.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace quor::fuzz {

inline const std::string& ScratchDir() {
    static const std::string dir = [] {
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                               ? "/dev/shm"
                                               : std::filesystem::temp_directory_path();
        const std::filesystem::path path = base / ("quor-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        static const std::filesystem::path removed = path;
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(removed, ignored);
        });
        return path.string() + "/";
    }();
    return dir;
}

inline void WriteScratchFile(const std::string& path, std::string_view bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        std::abort();
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

}  // namespace quor::fuzz
