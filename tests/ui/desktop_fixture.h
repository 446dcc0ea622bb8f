#pragma once

// A whole desktop program for one test: a fresh in-memory store, the application object, the
// Qt frontend and the started main window, with helpers to put boards and posts in place.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/memory_settings_store.h"
#include "core/quor_app.h"
#include "ui/frame/main_frame.h"
#include "ui/frame/qt_frontend.h"

namespace quor::test {

// UTF-8 text (as written in the tests) in code page 932.
std::string Sjis(const std::string& utf8);

struct BoardSpec {
    int parent = 0;
    std::string name;  // UTF-8
    std::string url;
};

void WriteBoards(core::SettingsStore& store, const std::vector<BoardSpec>& boards);

struct PostSpec {
    std::string title, name, date, message;  // UTF-8
    int unread = 0;
};

void PutPosts(core::CQuorApp& app, int slot, const std::vector<PostSpec>& posts);

// Waits (handling events) until the condition holds or the time runs out.
bool WaitUntil(const std::function<bool()>& condition, int milliseconds = 5000);

class DesktopTest : public ::testing::Test {
protected:
    ~DesktopTest() override;
    // Starts the program on the store as the test prepared it.
    void Start();
    ui::CMainFrame& Frame() { return *frame_; }

    core::MemorySettingsStore store_;
    ui::QtFrontend frontend_;
    std::unique_ptr<core::CQuorApp> app_ = std::make_unique<core::CQuorApp>(store_);
    std::unique_ptr<ui::CMainFrame> frame_;
};

}  // namespace quor::test
