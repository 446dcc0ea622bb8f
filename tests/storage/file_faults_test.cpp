// Storage under failing file systems: missing, plain-file and read-only output directories, and
// a disk that fills up (a file-size limit in a child process). The old index and read-state file
// must survive whole, no temporary file may stay behind, and the status line must say so.

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <functional>

#include "storage/atomic_file.h"
#include "storage/board_commands.h"
#include "storage/board_files.h"
#include "storage/read_state.h"
#include "storage_fixture.h"

namespace quor::storage::test {
namespace {

// Runs `work` in a forked child and gives its exit status, or 128 + the signal that ended it.
int RunInChild(const std::function<int()>& work) {
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(work());
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// The limit a process may grow any file to; writes past it fail with EFBIG once SIGXFSZ is
// ignored, as writes fail on a full disk.
void LimitFileSize(rlim_t bytes, bool ignoreSignal) {
    const rlimit limit{bytes, bytes};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    if (ignoreSignal)
        ::signal(SIGXFSZ, SIG_IGN);
}

class FileFaultsTest : public StorageTest {
protected:
    static constexpr const char* kOldIndex = "61,62,63,64\r\n";
    static constexpr const char* kOldReadState = "00674300\r\n";

    FileFaultsTest() {
        SetCount(1);
        NameBoard(0, "a");
        std::vector<core::Post> posts;
        for (int i = 0; i < 2000; ++i)
            posts.push_back(
                {"title " + std::to_string(i), "name", "date", std::string(40, 'm'), 0});
        SetPosts(0, posts);
        app.SetPageText(0, std::string(20000, 'p'));
    }

    void WriteOldFiles(const std::string& directory) {
        quor::test::TempDir::WriteFile(directory + "a.idx", kOldIndex);
        quor::test::TempDir::WriteFile(directory + "a.hcc", kOldReadState);
        quor::test::TempDir::WriteFile(directory + "a.txt", "old archive");
    }
    void ExpectOldFilesWhole(const std::string& directory) {
        EXPECT_EQ(quor::test::TempDir::ReadFile(directory + "a.idx"), kOldIndex);
        EXPECT_EQ(quor::test::TempDir::ReadFile(directory + "a.hcc"), kOldReadState);
        EXPECT_EQ(quor::test::TempDir::ReadFile(directory + "a.txt"), "old archive");
    }
    static std::vector<std::string> Names(const std::string& directory) {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(directory))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // Every write of the board fails, is reported, and changes nothing in memory.
    void ExpectEveryWriteFails() {
        EXPECT_EQ(WritePostIndex(app, 0).status, StorageResult::kFailed);
        EXPECT_EQ(WriteReadState(app, 0).status, StorageResult::kFailed);
        EXPECT_EQ(AppendPageArchive(app, 0).status, StorageResult::kFailed);
        EXPECT_EQ(OnSaveBoards(app).failed, 1);
        EXPECT_EQ(OnWriteReadState(app).failed, 1);
        EXPECT_TRUE(frontend.SawStatusContaining(core::FromUtf8("書き込めませんでした")));
        EXPECT_EQ(frontend.StatusTexts().size(), 5u);
        EXPECT_EQ(Posts(0).size(), 2000u);
    }
    // Reads find nothing and leave the board alone, without a message.
    void ExpectReadsSkipQuietly() {
        frontend.Clear();
        EXPECT_EQ(ReadPostIndex(app, 0).status, StorageResult::kSkipped);
        EXPECT_EQ(CheckUnread(app, 0).status, StorageResult::kSkipped);
        EXPECT_EQ(ReadPageArchive(app, 0).status, StorageResult::kSkipped);
        EXPECT_EQ(Posts(0).size(), 2000u);
        EXPECT_EQ(Posts(0)[0].unread, 0);
        EXPECT_TRUE(frontend.StatusTexts().empty());
    }
};

TEST_F(FileFaultsTest, OutputDirectoryThatDoesNotExist) {
    SetOutputDirectory(dir.Prefix() + "missing/");
    ExpectEveryWriteFails();
    ExpectReadsSkipQuietly();
    EXPECT_TRUE(Listing().empty());
}

TEST_F(FileFaultsTest, OutputDirectoryThatIsAFile) {
    Write("plain", "not a directory");
    SetOutputDirectory(dir.Prefix() + "plain/");
    ExpectEveryWriteFails();
    ExpectReadsSkipQuietly();
    EXPECT_EQ(Read("plain"), "not a directory");
}

TEST_F(FileFaultsTest, ReadOnlyOutputDirectory) {
    // Root writes anywhere, so the writes run in a child that has given up root when it had it.
    const std::string ro = dir.Prefix() + "ro/";
    std::filesystem::create_directory(ro);
    WriteOldFiles(ro);
    ::chmod(dir.Path().c_str(), 0755);
    ::chmod(ro.c_str(), 0555);
    SetOutputDirectory(ro);
    const int status = RunInChild([&] {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            return 90;
        if (WritePostIndex(app, 0).status != StorageResult::kFailed)
            return 91;
        if (WriteReadState(app, 0).status != StorageResult::kFailed)
            return 92;
        if (!frontend.SawStatusContaining(core::FromUtf8("書き込めませんでした")))
            return 93;
        // The old files can still be read.
        if (ReadPostIndex(app, 0).status != StorageResult::kDone || Posts(0).size() != 1)
            return 94;
        return 0;
    });
    EXPECT_EQ(status, 0);
    ::chmod(ro.c_str(), 0755);
    ExpectOldFilesWhole(ro);
    EXPECT_EQ(Names(ro), (std::vector<std::string>{"a.hcc", "a.idx", "a.txt"}));
}

TEST_F(FileFaultsTest, ReadOnlyFileIsNotReplaced) {
    WriteOldFiles(dir.Prefix());
    std::filesystem::remove(File("a.hcc"));
    ::chmod(File("a.idx").c_str(), 0444);
    // Anyone may create files in the directory, so only the file's own mode can stop the write.
    ::chmod(dir.Path().c_str(), 0777);
    const int status = RunInChild([&] {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            return 90;
        if (WritePostIndex(app, 0).status != StorageResult::kFailed)
            return 91;
        // The read state beside it is no one's file yet and is written.
        return WriteReadState(app, 0).status == StorageResult::kDone ? 0 : 92;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Read("a.idx"), kOldIndex);
    EXPECT_EQ(Read("a.hcc").size(), 2000u * 10);
}

TEST_F(FileFaultsTest, FullDiskKeepsTheOldFilesWhole) {
    WriteOldFiles(dir.Prefix());
    const int status = RunInChild([&] {
        LimitFileSize(4096, true);
        const StorageResult index = WritePostIndex(app, 0);
        if (index.status != StorageResult::kFailed || index.error.find("write") != 0)
            return 91;
        if (WriteReadState(app, 0).status != StorageResult::kFailed)
            return 92;
        if (AppendPageArchive(app, 0).status != StorageResult::kFailed)
            return 93;
        if (OnSaveBoards(app).Ok() || RunExitWrites(app).failed != 0)
            return 94;  // exit writes are off by default: nothing to fail
        return frontend.SawStatusContaining("File too large") ? 0 : 95;
    });
    EXPECT_EQ(status, 0);
    ExpectOldFilesWhole(dir.Prefix());  // the archive is cut back to its old length
    EXPECT_EQ(Listing(), (std::vector<std::string>{"a.hcc", "a.idx", "a.txt"}));
}

TEST_F(FileFaultsTest, ProcessKilledMidWriteLeavesTheOldFiles) {
    WriteOldFiles(dir.Prefix());
    const int status = RunInChild([&] {
        LimitFileSize(4096, false);  // the default action of SIGXFSZ ends the process
        WritePostIndex(app, 0);
        return 0;
    });
    EXPECT_EQ(status, 128 + SIGXFSZ);
    EXPECT_EQ(Read("a.idx"), kOldIndex);
}

TEST_F(FileFaultsTest, WritesThroughASymbolicLinkAndKeepsPermissions) {
    std::filesystem::create_directory(File("real"));
    Write("real/a.idx", kOldIndex);
    ::chmod(File("real/a.idx").c_str(), 0640);
    std::filesystem::create_symlink(File("real/a.idx"), File("a.idx"));
    EXPECT_EQ(WritePostIndex(app, 0).status, StorageResult::kDone);
    EXPECT_TRUE(std::filesystem::is_symlink(File("a.idx")));
    EXPECT_EQ(ParsePostIndex(Read("real/a.idx")).size(), 2000u);
    struct stat info {};
    ASSERT_EQ(::stat(File("real/a.idx").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

}  // namespace
}  // namespace quor::storage::test
