#include "convert_bench_text.h"

#include <iconv.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/cp932.h"

namespace quor::bench {

namespace {

// A JIS X 0208 character of running text: mostly hiragana, then kanji of the first level,
// katakana and punctuation.
void AppendPair(std::string& out, std::mt19937& engine) {
    const int pick = std::uniform_int_distribution<int>(0, 99)(engine);
    int row;
    int cell;
    if (pick < 45) {
        row = 0x24;
        cell = std::uniform_int_distribution<int>(0x21, 0x73)(engine);
    } else if (pick < 85) {
        row = std::uniform_int_distribution<int>(0x30, 0x4E)(engine);
        cell = std::uniform_int_distribution<int>(0x21, 0x7E)(engine);
    } else if (pick < 95) {
        row = 0x25;
        cell = std::uniform_int_distribution<int>(0x21, 0x76)(engine);
    } else {
        row = 0x21;
        cell = std::uniform_int_distribution<int>(0x21, 0x2B)(engine);
    }
    out += static_cast<char>(row | 0x80);
    out += static_cast<char>(cell | 0x80);
}

const char* const kAsciiRuns[] = {"<br>", "</b>",       "<b>",   " 2001/05/01 ",
                                  "ABC",  "<a href=x>", "12:34", "</font>"};

}  // namespace

std::string JapaneseEuc(std::size_t bytes) {
    std::mt19937 engine(20010501);
    std::string out;
    out.reserve(bytes + 64);
    while (out.size() < bytes) {
        const int pairs = std::uniform_int_distribution<int>(4, 40)(engine);
        for (int i = 0; i < pairs; ++i)
            AppendPair(out, engine);
        out += kAsciiRuns[std::uniform_int_distribution<int>(0, 7)(engine)];
        if (std::uniform_int_distribution<int>(0, 5)(engine) == 0)
            out += '\n';
    }
    return out;
}

std::string IconvFromEuc(const std::string& euc, const char* to) {
    iconv_t cd = iconv_open(to, "EUC-JP");
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error("iconv_open failed");
    std::string out(euc.size() * 2 + 16, '\0');
    char* in = const_cast<char*>(euc.data());
    std::size_t inLeft = euc.size();
    char* op = out.data();
    std::size_t outLeft = out.size();
    if (iconv(cd, &in, &inLeft, &op, &outLeft) == static_cast<std::size_t>(-1) ||
        iconv(cd, nullptr, nullptr, &op, &outLeft) == static_cast<std::size_t>(-1))
        throw std::runtime_error("iconv failed");
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

std::string PostFields(std::size_t bytes) {
    std::mt19937 engine(42);
    const std::string japanese = IconvFromEuc(JapaneseEuc(4096), "CP932");
    const std::string pieces[] = {"<b>",
                                  "</b>",
                                  "<br>",
                                  "<BR>",
                                  "<font color=\"#ff0000\">",
                                  "</font>",
                                  "&gt;",
                                  "&lt;",
                                  "&quot;",
                                  "&amp;",
                                  "\n",
                                  "\n",
                                  " ",
                                  "<a href=\"http://example.jp/?a=1&amp;b=2\">",
                                  "</a>",
                                  "&nbsp;",
                                  "\t"};
    std::string out;
    out.reserve(bytes + 1024);
    while (out.size() < bytes) {
        const int parts = std::uniform_int_distribution<int>(10, 40)(engine);
        for (int i = 0; i < parts; ++i) {
            out += pieces[std::uniform_int_distribution<std::size_t>(
                0, std::size(pieces) - 1)(engine)];
            const std::size_t from =
                std::uniform_int_distribution<std::size_t>(0, 2000)(engine) & ~1u;
            out.append(japanese, from,
                       std::uniform_int_distribution<std::size_t>(4, 40)(engine) & ~1u);
        }
        out += '\n';
    }
    return out;
}

std::string TcupPage(std::size_t bytes, int posts) {
    const std::string japanese = IconvFromEuc(JapaneseEuc(bytes + 4096), "CP932");
    const std::size_t perPost = bytes / static_cast<std::size_t>(posts);
    std::string page = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<html><body>";
    page += core::FromUtf8("<h1>掲示板</h1><form>投稿者：<input name=name></form><hr>");
    const std::string poster = core::FromUtf8("投稿者：");
    const std::string postedOn = core::FromUtf8("投稿日：");
    std::size_t at = 0;
    for (int i = 0; i < posts; ++i) {
        const std::string n = std::to_string(i);
        std::string post = "<font size=+1 color=\"#ff0000\"><b>Re: " + n + "</b></font> " + poster +
                           "<font color=\"#008000\"><b>name" + n + "</b></font> " +
                           "<font size=-1>" + postedOn + "2001/05/01(Tue)12:34</font><blockquote>";
        const std::size_t body = perPost > post.size() + 40 ? perPost - post.size() - 40 : 16;
        post.append(japanese, at & ~std::size_t{1}, body & ~std::size_t{1});
        at = (at + body) % (japanese.size() - perPost);
        post += "<br>&gt; quote</blockquote><hr>\n";
        page += post;
    }
    page +=
        "<form method=POST><input type=hidden name=page value=2>"
        "<input type=submit name=next></form></body></html>\n";
    return page;
}

TempFile::TempFile(const std::string& bytes) {
    // TMPDIR when set, as every program on this platform honours it.
    const char* dir = std::getenv("TMPDIR");
    std::string pattern = std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp");
    pattern += "/quor-convert-bench-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        throw std::runtime_error("mkstemp failed");
    ::close(fd);
    path_ = name.data();
    std::ofstream(path_, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

TempFile::~TempFile() {
    std::remove(path_.c_str());
}

namespace {

double ChildrenCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace

CommandTime TimeCommand(const std::string& command) {
    const double cpuBefore = ChildrenCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system((command + " > /dev/null").c_str());
    const auto end = std::chrono::steady_clock::now();
    if (status != 0)
        return {-1, -1};
    return {std::chrono::duration<double>(end - start).count(), ChildrenCpuSeconds() - cpuBefore};
}

}  // namespace quor::bench
