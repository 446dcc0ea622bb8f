#pragma once

// What the fault tests of fetch runs share: an application on an in-memory store with a
// recording frontend and an output directory of its own, boards defined in a few calls, a fetch
// run waited for with a limit, and the board files before and after.

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/memory_settings_store.h"
#include "core/post.h"
#include "core/quor_app.h"
#include "support/recording_frontend.h"
#include "support/scripted_server.h"
#include "support/temp_dir.h"

namespace quor::test {

// A TCUPBBS page (type 7) of `posts` posts whose titles are "<prefix>-1", "<prefix>-2", ...,
// Japanese text included, as a whole HTTP response in code page 932.
std::string GoodPageResponse(const std::string& prefix, int posts);
// The same page's body only.
std::string GoodPageBody(const std::string& prefix, int posts);

class FetchRunFixture {
public:
    FetchRunFixture();
    ~FetchRunFixture();

    core::MemorySettingsStore store;
    RecordingFrontend frontend;
    TempDir dir;
    std::unique_ptr<core::CQuorApp> app;

    // Board n: a TCUPBBS board at the address, named `name`. Raises Count to n.
    void AddBoard(int n, const std::string& name, const std::string& url);
    // Board n, served by a server of the fixture's own with GoodPageResponse(name, posts).
    void AddGoodBoard(int n, const std::string& name, int posts = 3);

    // Starts a fetch-all run and waits for its end and for every request thread; the time it
    // took, or nothing when it did not end within the limit.
    std::optional<std::chrono::milliseconds> FetchAll(std::chrono::seconds limit);

    std::string FilePath(const std::string& name, const std::string& extension) const;
    // The file's bytes, or nothing when it does not exist.
    std::optional<std::string> File(const std::string& name, const std::string& extension) const;
    void WriteBoardFile(const std::string& name, const std::string& extension,
                        const std::string& bytes) const;
    // The posts of the board's index file (empty when it has none).
    std::vector<core::Post> IndexedPosts(const std::string& name) const;

    // Status texts that start with the board's "<name>(Page1)" prefix, in code page 932.
    std::vector<std::string> StatusOf(const std::string& name) const;

private:
    std::vector<std::unique_ptr<ScriptedServer>> servers_;
};

// Text in code page 932 from UTF-8, for expected status texts.
std::string Sjis(const char* utf8);

}  // namespace quor::test
