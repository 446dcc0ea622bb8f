#pragma once

// What the scheduler tests share: a fresh store, a recording frontend, an output directory and
// the application, the board server with a configuration, and a run waited for to its end.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "convert/post_extraction.h"
#include "core/cp932.h"
#include "core/memory_settings_store.h"
#include "core/quor_app.h"
#include "fetch/page_request.h"
#include "support/board_server_process.h"
#include "support/recording_frontend.h"
#include "support/temp_dir.h"

namespace quor::fetch {

class SchedulerTest : public ::testing::Test {
protected:
    void StartServer(const std::string& configJson) {
        server = std::make_unique<test::BoardServerProcess>(configJson);
        ASSERT_TRUE(server->Running()) << "the board server did not start";
        server->LoadSettings(store);
        store.WriteString(core::kSectionGlobal, "ODIR", out.Prefix());
    }

    void SetGlobal(const char* key, int value) { store.WriteInt(core::kSectionGlobal, key, value); }
    void SetBoard(const char* stem, int number, int value) {
        store.WriteInt(core::kSectionTree, core::BoardKey(stem, number), value);
    }

    // Waits until no run is active; false when it did not end in time.
    bool WaitForRunEnd(std::chrono::milliseconds limit = std::chrono::seconds(60)) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (app->Run().IsActive()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }

    std::string BoardFile(const std::string& name, const char* extension) const {
        std::error_code error;
        const auto path = out.Path() / (name + extension);
        return std::filesystem::exists(path, error) ? test::TempDir::ReadFile(path) : "<none>";
    }

    core::PostTable PostsOf(int slot) {
        return app->WithWorkspace(
            slot, [](const core::BoardWorkspace& workspace) { return workspace.posts; });
    }

    // The posts the same pages give when each is fetched alone and converted, as import and
    // convert do: page 1 by GET, then the page turns the run itself sent.
    core::PostTable PostsFetchedAlone(int slot,
                                      const std::vector<std::optional<std::string>>& bodies,
                                      bool byQuery = false) {
        core::CQuorApp alone(store);
        LoadProxySettings(alone);
        for (std::size_t i = 0; i < bodies.size(); ++i) {
            if (byQuery && i > 0)
                FetchPageWithQuery(alone, slot, bodies[i]);
            else
                FetchPage(alone, slot, bodies[i]);
            convert::ConvertBoard(alone, slot);
        }
        return alone.WithWorkspace(
            slot, [](const core::BoardWorkspace& workspace) { return workspace.posts; });
    }

    static std::string Cp932(const char* utf8) { return core::FromUtf8(utf8); }

    core::MemorySettingsStore store;
    test::RecordingFrontend ui;
    test::TempDir out;
    std::unique_ptr<core::CQuorApp> app = std::make_unique<core::CQuorApp>(store, ui);
    std::unique_ptr<test::BoardServerProcess> server;
};

}  // namespace quor::fetch
