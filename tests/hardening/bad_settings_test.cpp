// Settings no dialog would write: every integer key negative, huge and not a number, every string
// key 1 MB long or made of bytes that are no valid text. Through quorcli (the INI file written by
// hand) and, for raw invalid code page 932 bytes, which the INI file cannot carry, through the
// engine with an in-memory store. The engine neither crashes nor hangs, a good board beside the
// bad one is fetched as usual, and no request line or header is broken open.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "convert/post_extraction.h"
#include "core/settings_keys.h"
#include "hardening/fetch_run_fixture.h"
#include "hardening/quorcli_process.h"
#include "storage/board_commands.h"
#include "storage/read_state.h"
#include "support/scripted_server.h"
#include "support/temp_dir.h"

namespace quor::test {
namespace {

using namespace std::chrono_literals;

const std::vector<std::string> kIntValues = {
    "-1",  "-2147483648", "2147483647", "99999999999999999999", "abc", "", "0x7f",
    "1e3", " 7 ",         "+3"};
const std::vector<std::string> kGlobalIntKeys = {"PROXYENABLE", "PROXYPORT",      "THREADCOUNT",
                                                 "TIMEOUT",     "THREADPRIORITY", "AUTOCHECK",
                                                 "AUTOSAVE",    "AUTOSAVEDATA"};
const std::vector<std::string> kBoardIntStems = {"Parent", "Enable",  "Type",    "CCode",
                                                 "Order",  "LFCV",    "SPCV",    "TGCV",
                                                 "PageCt", "NextAna", "PNMethod"};
const std::vector<std::string> kBoardTextStems = {
    "Pass",    "TitA",    "TitB",    "NameA",    "NameB", "DateA", "DateB",
    "HonbunA", "HonbunB", "PageBtn", "PageSent", "Ref",   "Cokkie"};

// 1 MB of markup, entities and Japanese text in UTF-8: long markers, long names, long addresses.
std::string Megabyte() {
    const std::string unit = "<b>\xe6\x8a\x95\xe7\xa8\xbf&amp;</b>value=9 ";
    std::string out;
    while (out.size() < (1u << 20))
        out += unit;
    return out;
}

// Bytes no valid UTF-8 (so no valid text) holds, and INI escapes for a line feed, a carriage
// return, an ESC and a zero byte, which reach the engine as those bytes.
const std::string kBrokenText = "\x81\xff\x80\xa0\xfd\xfe x\\n\\r\\x1b\\0y\x82";

struct Sweep {
    std::string name;
    std::vector<IniEntry> entries;  // over the base store
    bool goodBoardMustArrive;       // board 2 is untouched by the bad values
};

class BadSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ScriptedServer::Reply reply;
        reply.bytes = GoodPageResponse("good", 3);
        server_.SetReply(reply);
    }

    std::vector<IniEntry> Base(const TempDir& dir) const {
        const std::string url = "http://127.0.0.1:" + std::to_string(server_.Port()) + "/bbs";
        std::vector<IniEntry> base = {{"QUOR", "ODIR", dir.Prefix()},
                                      {"QUOR", "TIMEOUT", "2"},
                                      {"QUOR", "THREADCOUNT", "2"},
                                      {"Tree", "Count", "2"}};
        for (const char* n : {"1", "2"}) {
            base.push_back({"Tree", std::string("Data") + n, std::string("board") + n});
            base.push_back({"Tree", std::string("Url") + n, url + n});
            base.push_back({"Tree", std::string("Type") + n, "7"});
        }
        return base;
    }

    // Runs the whole command set with the sweep's values; returns what quorcli printed.
    void Run(const Sweep& sweep) {
        TempDir dir;
        std::vector<IniEntry> entries = Base(dir);
        // Later lines of a key win in the INI file only when they replace earlier ones.
        for (const auto& bad : sweep.entries) {
            std::erase_if(entries, [&](const IniEntry& e) {
                return e.section == bad.section && e.key == bad.key;
            });
            entries.push_back(bad);
        }
        const std::string home = (dir.Path() / "config").string();
        WriteStoreFile(home, entries);
        QuorcliProcess child(
            {"fetch-all", "posts", "2", "posts", "1", "convert", "1", "fetch", "2", "tree", "save",
             "load", "restore", "check-unread", "write-read-state", "read", "1", "0", "clear"},
            {home, std::nullopt, dir.Path().string()});
        const auto started = std::chrono::steady_clock::now();
        const auto status = child.Wait(40s);
        if (std::getenv("QUOR_TEST_VERBOSE"))
            std::printf(
                "%s: %lld ms\n", sweep.name.c_str(),
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                           std::chrono::steady_clock::now() - started)
                                           .count()));
        ASSERT_TRUE(status) << sweep.name << ": quorcli hung";
        EXPECT_TRUE(*status == 0 || *status == 1) << sweep.name << ": exit " << *status << "\n"
                                                  << child.Errors().substr(0, 2000);
        if (sweep.goodBoardMustArrive) {
            const std::string& out = child.Output();
            EXPECT_NE(out.find("\"title\":\"good-3\""), std::string::npos)
                << sweep.name << ": the good board did not arrive\n"
                << child.Errors().substr(0, 2000);
        }
        ++runs_;
    }

    void CheckRequestsStayWhole() const {
        for (const auto& request : server_.Requests()) {
            const auto header = request.substr(0, request.find("\n\n") + 1);
            std::size_t start = 0;
            while (start < header.size()) {
                const auto end = header.find('\n', start);
                const std::string line = header.substr(start, end - start);
                const bool known = line.starts_with("GET ") || line.starts_with("POST ") ||
                                   line.starts_with("Host: ") || line.starts_with("User-Agent: ") ||
                                   line.starts_with("Referer: ") || line.starts_with("Cookie: ");
                EXPECT_TRUE(known) << "a header line nobody wrote: " << line;
                EXPECT_EQ(line.find('\r'), std::string::npos) << line;
                start = end + 1;
            }
        }
    }

    ScriptedServer server_;
    int runs_ = 0;
};

TEST_F(BadSettingsTest, IntegerKeysNegativeHugeAndNotNumbers) {
    for (const auto& value : kIntValues) {
        Sweep globals{"globals = '" + value + "'", {}, false};
        for (const auto& key : kGlobalIntKeys)
            globals.entries.push_back({"QUOR", key, value});
        Run(globals);

        Sweep board{"board 1 integers = '" + value + "'", {}, true};
        for (const auto& stem : kBoardIntStems)
            board.entries.push_back({"Tree", stem + "1", value});
        Run(board);

        Run({"Count = '" + value + "'", {{"Tree", "Count", value}}, false});
        Run({"proxy port = '" + value + "'",
             {{"QUOR", "PROXYENABLE", "1"},
              {"QUOR", "PROXYSV", "127.0.0.1"},
              {"QUOR", "PROXYPORT", value}},
             false});
    }
    CheckRequestsStayWhole();
    EXPECT_EQ(runs_, 40);
}

TEST_F(BadSettingsTest, StringKeysOfAMegabyteAndOfBrokenBytes) {
    for (const std::string& value : {Megabyte(), kBrokenText}) {
        const std::string kind = value.size() > 1000 ? "1 MB" : "broken bytes";
        Run({"Url1 = " + kind, {{"Tree", "Url1", value}}, true});
        Sweep texts{"board 1 texts = " + kind, {}, true};
        for (const auto& stem : kBoardTextStems)
            texts.entries.push_back({"Tree", stem + "1", value});
        Run(texts);
        Run({"Data1 = " + kind, {{"Tree", "Data1", value}}, true});
        Run({"ODIR = " + kind, {{"QUOR", "ODIR", value}}, false});
        Run({"PROXYSV = " + kind,
             {{"QUOR", "PROXYENABLE", "1"}, {"QUOR", "PROXYSV", value}},
             false});
    }
    CheckRequestsStayWhole();
    EXPECT_EQ(runs_, 10);
}

// Raw bytes that are not code page 932 text at all, straight into the store's values: lone lead
// bytes, bytes no character starts with, escape and control bytes, zero bytes.
// Runs the rest of a test in a temporary working directory: an output directory of broken bytes
// is a relative path, and the board files it names must land there rather than in the checkout.
class WorkingDirectoryGuard final {
public:
    WorkingDirectoryGuard() : old_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir_.Path());
    }
    ~WorkingDirectoryGuard() { std::filesystem::current_path(old_); }
    WorkingDirectoryGuard(const WorkingDirectoryGuard&) = delete;
    WorkingDirectoryGuard& operator=(const WorkingDirectoryGuard&) = delete;

private:
    TempDir dir_;
    std::filesystem::path old_;
};

TEST(BadSettingsRaw, InvalidCp932InEveryStringKeyThroughTheEngine) {
    const WorkingDirectoryGuard inTemporaryDirectory;
    using namespace std::string_literals;
    const std::vector<std::string> values = {
        "\x81"s, "\x80\xa0\xfd\xfe\xff"s, "a\x82"s, "\x1b$B\x30"s, "x\0y\r\nz"s, "\x81\x7f\xfc"s};
    ScriptedServer server;
    ScriptedServer::Reply reply;
    reply.bytes = GoodPageResponse("good", 3);
    server.SetReply(reply);
    const std::string url = "http://127.0.0.1:" + std::to_string(server.Port()) + "/bbs";
    for (const auto& value : values) {
        FetchRunFixture run;
        run.AddBoard(1, "bad", url + "1");
        run.AddBoard(2, "good", url + "2");
        for (const auto& stem : kBoardTextStems)
            run.store.WriteString(core::kSectionTree, stem + "1", value);
        const auto took = run.FetchAll(30s);
        ASSERT_TRUE(took) << "the run hung";
        EXPECT_EQ(run.IndexedPosts("good").size(), 3u);

        // The name and the output directory too, and every storage command over them.
        run.store.WriteString(core::kSectionTree, "Data1", value);
        storage::OnSaveBoards(*run.app);
        storage::OnWriteReadState(*run.app);
        storage::OnUnreadCheck(*run.app);
        storage::OnRestore(*run.app);
        storage::OnClear(*run.app);
        run.store.WriteString(core::kSectionGlobal, "ODIR", value);
        storage::OnSaveBoards(*run.app);
        storage::OnLoadBoards(*run.app);
        run.store.WriteString(core::kSectionTree, "Url2", value);
        run.store.WriteString(core::kSectionGlobal, "PROXYSV", value);
        ASSERT_TRUE(run.FetchAll(30s)) << "the run hung";
    }
    for (const auto& request : server.Requests())
        EXPECT_EQ(request.find("\r\n"), std::string::npos) << "a stored line break was sent";
}

}  // namespace
}  // namespace quor::test
