#pragma once

// A fresh application with an in-memory store, a recording frontend and an empty output
// directory, for the storage tests.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/cp932.h"
#include "core/memory_settings_store.h"
#include "core/post.h"
#include "core/quor_app.h"
#include "core/settings_keys.h"
#include "support/recording_frontend.h"
#include "support/temp_dir.h"

namespace quor::storage::test {

class StorageTest : public ::testing::Test {
protected:
    StorageTest() : app(store, frontend) { SetOutputDirectory(dir.Prefix()); }

    void SetOutputDirectory(const std::string& directory) {
        store.WriteString(core::kSectionGlobal, core::key::kOutputDirectory, directory);
    }
    void SetCount(int count) { store.WriteInt(core::kSectionTree, core::key::kCount, count); }
    // Board numbers start at 1; slot = number - 1.
    void NameBoard(int slot, const std::string& name) {
        store.WriteString(core::kSectionTree, core::BoardKey(core::key::kName, slot + 1), name);
    }
    void SetPosts(int slot, const std::vector<core::Post>& posts) {
        app.WithWorkspace(slot, [&](core::BoardWorkspace& workspace) {
            workspace.posts.Clear();
            for (const auto& post : posts)
                workspace.posts.Append(post);
        });
    }
    std::vector<core::Post> Posts(int slot) {
        return app.WithWorkspace(slot, [](const core::BoardWorkspace& workspace) {
            return std::vector<core::Post>(workspace.posts.begin(), workspace.posts.end());
        });
    }
    std::filesystem::path File(const std::string& name) const { return dir.Path() / name; }
    std::string Read(const std::string& name) const {
        return quor::test::TempDir::ReadFile(File(name));
    }
    void Write(const std::string& name, const std::string& bytes) const {
        quor::test::TempDir::WriteFile(File(name), bytes);
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(File(name)); }
    // The names in the output directory, sorted; temporary files would show up here.
    std::vector<std::string> Listing() const;

    quor::test::TempDir dir;
    core::MemorySettingsStore store;
    quor::test::RecordingFrontend frontend;
    core::CQuorApp app;
};

inline std::vector<std::string> StorageTest::Listing() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace quor::storage::test
