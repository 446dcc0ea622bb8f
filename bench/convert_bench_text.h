#pragma once

// Texts for the conversion benchmarks, made the same way on every run (a fixed seed): Japanese
// prose in EUC-JP and JIS with ASCII markup between, post fields with tags, entities and line
// feeds, and board pages of a given size. Also the timing of another program on a file, for the
// comparisons with iconv and sed in the same run.

#include <cstddef>
#include <string>

namespace quor::bench {

// About `bytes` of Japanese text in EUC-JP: JIS X 0208 kana and kanji, with short ASCII runs
// (tags, numbers) and line feeds, roughly four fifths of the bytes in pairs.
std::string JapaneseEuc(std::size_t bytes);

// The text in another code, converted by iconv(3) ("ISO-2022-JP", "CP932").
std::string IconvFromEuc(const std::string& euc, const char* to);

// Post fields in code page 932, each ending with a line feed, about `bytes` in all: HTML with
// <b>, <font>, <br>, <a href> tags, the four decoded entities, line feeds and Japanese text.
std::string PostFields(std::size_t bytes);

// A TCUPBBS page of `posts` posts, about `bytes` long, in code page 932 behind an HTTP header.
std::string TcupPage(std::size_t bytes, int posts);

// A file in the system's temporary directory holding the bytes, removed with the object.
class TempFile final {
public:
    explicit TempFile(const std::string& bytes);
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

struct CommandTime {
    double wallSeconds;
    double cpuSeconds;  // user and system time of the command and its children
};

// Runs the shell command with its output to /dev/null; negative times when it failed.
CommandTime TimeCommand(const std::string& command);

}  // namespace quor::bench
