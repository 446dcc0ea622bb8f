#include "hardening/fetch_run_fixture.h"

#include <thread>

#include "core/cp932.h"
#include "core/settings_keys.h"
#include "fetch/fetch_scheduler.h"
#include "storage/board_files.h"

namespace quor::test {

namespace {

using core::BoardKey;
using core::kSectionGlobal;
using core::kSectionTree;
namespace key = core::key;
using Clock = std::chrono::steady_clock;

}  // namespace

std::string Sjis(const char* utf8) {
    return core::FromUtf8(utf8);
}

std::string GoodPageBody(const std::string& prefix, int posts) {
    std::string body = "<html><head><title>" + prefix + "</title></head><body>\n<hr>\n";
    for (int i = 1; i <= posts; ++i) {
        body += "<b>" + prefix + "-" + std::to_string(i) + "</b> " + Sjis("投稿者：") + "<b>" +
                Sjis("山田") + std::to_string(i) + "</b> <font size=2>" + Sjis("投稿日：") +
                "2024/05/0" + std::to_string(i % 10) + "</font><blockquote>" + Sjis("本文です。") +
                "<br>line-" + std::to_string(i) + "</blockquote><hr>\n";
    }
    return body + "</body></html>\n";
}

std::string GoodPageResponse(const std::string& prefix, int posts) {
    return ScriptedServer::Response(GoodPageBody(prefix, posts));
}

FetchRunFixture::FetchRunFixture() {
    store.WriteString(kSectionGlobal, key::kOutputDirectory, dir.Prefix());
    store.WriteInt(kSectionGlobal, key::kTimeout, 2);
    store.WriteInt(kSectionGlobal, key::kThreadCount, 5);
    app = std::make_unique<core::CQuorApp>(store, frontend);
}

FetchRunFixture::~FetchRunFixture() {
    app.reset();
    servers_.clear();
}

void FetchRunFixture::AddBoard(int n, const std::string& name, const std::string& url) {
    store.WriteString(kSectionTree, BoardKey(key::kName, n), name);
    store.WriteString(kSectionTree, BoardKey(key::kUrl, n), url);
    store.WriteInt(kSectionTree, BoardKey(key::kType, n), 7);
    store.WriteInt(kSectionTree, BoardKey(key::kKanjiCode, n), 3);
    if (store.ReadInt(kSectionTree, key::kCount, 0) < n)
        store.WriteInt(kSectionTree, key::kCount, n);
}

void FetchRunFixture::AddGoodBoard(int n, const std::string& name, int posts) {
    auto server = std::make_unique<ScriptedServer>();
    ScriptedServer::Reply reply;
    reply.bytes = GoodPageResponse(name, posts);
    server->SetReply(reply);
    AddBoard(n, name, "http://127.0.0.1:" + std::to_string(server->Port()) + "/bbs/" + name);
    servers_.push_back(std::move(server));
}

std::optional<std::chrono::milliseconds> FetchRunFixture::FetchAll(std::chrono::seconds limit) {
    const auto start = Clock::now();
    if (fetch::StartFetchAll(*app) != fetch::StartOutcome::kStarted)
        return std::nullopt;
    const auto deadline = start + limit;
    while (app->Run().IsActive() || app->Workers().Running() > 0) {
        if (Clock::now() >= deadline)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

std::string FetchRunFixture::FilePath(const std::string& name, const std::string& extension) const {
    return dir.Prefix() + name + extension;
}

std::optional<std::string> FetchRunFixture::File(const std::string& name,
                                                 const std::string& extension) const {
    const std::string path = FilePath(name, extension);
    if (!std::filesystem::exists(path))
        return std::nullopt;
    return TempDir::ReadFile(path);
}

void FetchRunFixture::WriteBoardFile(const std::string& name, const std::string& extension,
                                     const std::string& bytes) const {
    TempDir::WriteFile(FilePath(name, extension), bytes);
}

std::vector<core::Post> FetchRunFixture::IndexedPosts(const std::string& name) const {
    const auto bytes = File(name, ".idx");
    return bytes ? storage::ParsePostIndex(*bytes) : std::vector<core::Post>{};
}

std::vector<std::string> FetchRunFixture::StatusOf(const std::string& name) const {
    const std::string prefix = name + "(Page1)";
    std::vector<std::string> found;
    for (const auto& text : frontend.StatusTexts()) {
        if (text.starts_with(prefix))
            found.push_back(text.substr(prefix.size()));
    }
    return found;
}

}  // namespace quor::test
