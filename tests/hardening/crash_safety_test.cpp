// quorcli killed at random moments while it writes the post indexes (save) or the read-state
// files (write-read-state), and a save against a file-size limit: every .idx and .hcc is always
// either the old file or the new one, whole; a failed save says so and leaves the old files.

#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <thread>

#include "core/cp932.h"
#include "hardening/fetch_run_fixture.h"
#include "hardening/quorcli_process.h"
#include "support/temp_dir.h"

namespace quor::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int kBoards = 3;
constexpr int kPostsPerPage = 3000;

// A store with three boards named b1..b3 and the output directory in `dir`.
std::vector<IniEntry> BaseStore(const TempDir& dir) {
    std::vector<IniEntry> entries = {{"QUOR", "ODIR", dir.Prefix() + "out/"},
                                     {"Tree", "Count", std::to_string(kBoards)}};
    for (int n = 1; n <= kBoards; ++n) {
        const std::string number = std::to_string(n);
        entries.push_back({"Tree", "Data" + number, "b" + number});
        entries.push_back({"Tree", "Type" + number, "7"});
        entries.push_back({"Tree", "CCode" + number, "3"});
    }
    return entries;
}

// quorcli arguments that put `page` into every board and convert it, then `command`.
std::vector<std::string> ConvertAllThen(const std::string& page, const std::string& command) {
    std::vector<std::string> args;
    for (int n = 1; n <= kBoards; ++n) {
        const std::string number = std::to_string(n);
        args.insert(args.end(), {"import", number, page, "convert", number});
    }
    args.push_back(command);
    return args;
}

// Tells when a writer creates a temporary file in a directory, so a kill can be aimed at the
// moment a replacing write is under way rather than left to a sleep that a loaded machine
// stretches past it.
class TemporaryFileWatch final {
public:
    explicit TemporaryFileWatch(const std::filesystem::path& directory)
        : fd_(::inotify_init1(IN_CLOEXEC | IN_NONBLOCK)) {
        if (fd_ >= 0)
            ::inotify_add_watch(fd_, directory.c_str(), IN_CREATE);
    }
    ~TemporaryFileWatch() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    TemporaryFileWatch(const TemporaryFileWatch&) = delete;
    TemporaryFileWatch& operator=(const TemporaryFileWatch&) = delete;

    bool Valid() const { return fd_ >= 0; }

    // True as soon as a file whose name holds ".tmp" is created; false after `limit`.
    bool WaitForTemporary(std::chrono::milliseconds limit) {
        const auto deadline = Clock::now() + limit;
        alignas(inotify_event) char buffer[4096];
        while (Clock::now() < deadline) {
            pollfd ready{fd_, POLLIN, 0};
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (::poll(&ready, 1, static_cast<int>(left.count()) + 1) <= 0)
                continue;
            const ssize_t got = ::read(fd_, buffer, sizeof buffer);
            for (ssize_t at = 0; got > 0 && at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->len > 0 && std::string(event->name).find(".tmp") != std::string::npos)
                    return true;
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        return false;
    }

private:
    int fd_;
};

class CrashSafetyTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir_.Path() / "out");
        options_.configHome = (dir_.Path() / "config").string();
        WriteStoreFile(options_.configHome, BaseStore(dir_));
        pageA_ = (dir_.Path() / "a.html").string();
        pageB_ = (dir_.Path() / "b.html").string();
        TempDir::WriteFile(pageA_, GoodPageResponse("first", kPostsPerPage));
        TempDir::WriteFile(pageB_, GoodPageResponse("second", kPostsPerPage + 7));
    }

    std::string Out(const std::string& file) const { return (dir_.Path() / "out" / file).string(); }

    // The board files of one extension after an undisturbed run of `command` on the page.
    std::vector<std::string> FilesAfter(const std::string& page, const std::string& command,
                                        const std::string& extension) {
        std::string errors;
        EXPECT_EQ(RunQuorcli(ConvertAllThen(page, command), options_, 60s, &errors), 0) << errors;
        std::vector<std::string> files;
        for (int n = 1; n <= kBoards; ++n)
            files.push_back(TempDir::ReadFile(Out('b' + std::to_string(n) + extension)));
        return files;
    }

    // Kills `command` at random moments over many runs, alternating the page, and checks after
    // each that every file is one of the two whole versions.
    void KillAtRandom(const std::string& command, const std::string& extension, int runs) {
        const auto versionA = FilesAfter(pageA_, command, extension);
        const auto started = Clock::now();
        const auto versionB = FilesAfter(pageB_, command, extension);
        const auto whole =
            std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - started);
        for (int n = 0; n < kBoards; ++n)
            ASSERT_NE(versionA[n], versionB[n]);

        // Start-up and conversion come first: half the kills fall anywhere, the other half the
        // moment a temporary file appears. Aimed runs go on (up to a bound) until some kill has
        // landed inside a write, or the test would prove nothing.
        std::mt19937 random(20260);
        std::uniform_int_distribution<long> anywhere(0, whole.count());
        int killedMidway = 0;
        int killedInsideAWrite = 0;
        int run = 0;
        for (; run < runs || (killedInsideAWrite == 0 && run < runs * 5); ++run) {
            const bool aimed = run % 2 == 1 || run >= runs;
            KillOnce(command, extension, run, aimed ? -1 : anywhere(random), versionA, versionB,
                     killedMidway, killedInsideAWrite);
            if (HasFatalFailure())
                return;
        }
        EXPECT_GT(killedMidway, runs / 4);
        EXPECT_GT(killedInsideAWrite, 0);
        std::printf("%s: %d of %d runs killed before their end, %d inside a write\n",
                    command.c_str(), killedMidway, run, killedInsideAWrite);
    }

    // One run of `command` on alternating pages, killed after `delayUs` microseconds or, with a
    // negative delay, as soon as it creates a temporary file; then every file must be one of the
    // two whole versions.
    void KillOnce(const std::string& command, const std::string& extension, int run, long delayUs,
                  const std::vector<std::string>& versionA,
                  const std::vector<std::string>& versionB, int& killedMidway,
                  int& killedInsideAWrite) {
        const std::string& page = run % 2 == 0 ? pageA_ : pageB_;
        TemporaryFileWatch watch(dir_.Path() / "out");
        ASSERT_TRUE(watch.Valid());
        QuorcliProcess child(ConvertAllThen(page, command), options_);
        if (delayUs >= 0)
            std::this_thread::sleep_for(std::chrono::microseconds(delayUs));
        else
            watch.WaitForTemporary(60s);
        child.Kill(SIGKILL);
        const auto status = child.Wait(30s);
        ASSERT_TRUE(status);
        if (*status == 128 + SIGKILL)
            ++killedMidway;
        killedInsideAWrite += RemoveTemporaryFiles() > 0 ? 1 : 0;
        for (int n = 0; n < kBoards; ++n) {
            const std::string file = Out('b' + std::to_string(n + 1) + extension);
            const std::string bytes = TempDir::ReadFile(file);
            EXPECT_TRUE(bytes == versionA[n] || bytes == versionB[n])
                << file << " is neither version after run " << run << " (" << bytes.size()
                << " bytes)";
        }
    }

    // A process killed in the middle of a replacing write leaves its temporary file beside the
    // target (nobody is left to remove it); the target itself is untouched. Returns how many.
    int RemoveTemporaryFiles() const {
        int removed = 0;
        for (const auto& entry : std::filesystem::directory_iterator(dir_.Path() / "out")) {
            if (entry.path().filename().string().find(".tmp") != std::string::npos) {
                std::filesystem::remove(entry.path());
                ++removed;
            }
        }
        return removed;
    }

    TempDir dir_;
    QuorcliOptions options_;
    std::string pageA_;
    std::string pageB_;
};

TEST_F(CrashSafetyTest, SaveKilledAnywhereLeavesOldOrNewIndex) {
    KillAtRandom("save", ".idx", 40);
}

TEST_F(CrashSafetyTest, WriteReadStateKilledAnywhereLeavesOldOrNewFile) {
    KillAtRandom("write-read-state", ".hcc", 40);
}

TEST_F(CrashSafetyTest, SaveOnAFullDiskFailsAndKeepsTheOldIndexes) {
    const auto old = FilesAfter(pageA_, "save", ".idx");
    // Room for the settings file and more than one page, not for a new index.
    QuorcliOptions full = options_;
    full.fileSizeLimit = static_cast<long>(old[0].size() / 2);
    std::string errors;
    const auto status = RunQuorcli(ConvertAllThen(pageB_, "save"), full, 60s, &errors);
    ASSERT_TRUE(status);
    EXPECT_EQ(*status, 1) << "a save that wrote nothing reported success";
    EXPECT_NE(errors.find("3 board(s) failed"), std::string::npos) << errors;
    EXPECT_NE(errors.find("File too large"), std::string::npos) << errors;
    for (int n = 1; n <= kBoards; ++n)
        EXPECT_EQ(TempDir::ReadFile(Out('b' + std::to_string(n) + ".idx")), old[n - 1]);
    for (const auto& entry : std::filesystem::directory_iterator(dir_.Path() / "out"))
        EXPECT_EQ(entry.path().extension(), ".idx") << "left behind: " << entry.path();
}

}  // namespace
}  // namespace quor::test
