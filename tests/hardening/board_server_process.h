#pragma once

// The project's board server (tests/support/board_server.py) as a child process on 127.0.0.1,
// with a board configuration of the test's own; its settings go into a store.

#include <memory>
#include <string>

#include "core/settings_store.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace quor::test {

class BoardServerProcess final {
public:
    // `configJson` is the server's board configuration; extra arguments follow it.
    explicit BoardServerProcess(const std::string& configJson, std::vector<std::string> extra = {});

    bool Running() const { return port_ > 0; }
    int Port() const { return port_; }
    // Writes the settings of every board the server printed into the store (values UTF-8 on
    // the server's side, code page 932 in the store).
    void WriteSettings(core::SettingsStore& store) const;

private:
    TempDir dir_;
    int port_ = 0;
    std::unique_ptr<ChildProcess> process_;
};

}  // namespace quor::test
