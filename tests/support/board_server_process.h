#pragma once

// The project's board server (board_server.py) run by a test: started on a free port of
// 127.0.0.1 with a board configuration, its boards' settings loaded into a store, its request
// log read back.

#include <memory>
#include <string>
#include <vector>

#include "core/settings_store.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace quor::test {

class BoardServerProcess final {
public:
    struct LoggedRequest {
        int board = 0;
        int page = 0;
        std::string method;
        std::string target;
        std::string body;
        long long bytes = 0;  // of the response
        double start = 0;     // seconds, monotonic: the request had been read
        double end = 0;       // the response was done
    };

    // configJson: the server's board configuration (see board_server.py).
    explicit BoardServerProcess(const std::string& configJson,
                                std::vector<std::string> extraArgs = {});

    bool Running() const { return port_ > 0; }
    int Port() const { return port_; }
    // The settings that define the boards, section/key/value in code page 932.
    void LoadSettings(core::SettingsStore& store) const;
    std::vector<LoggedRequest> Log() const;
    // The most requests that were being answered at the same moment.
    static int MostAtOnce(const std::vector<LoggedRequest>& log);
    // The script itself, for tests that start it another way.
    static std::string ScriptPath();

private:
    TempDir dir_;
    int port_ = 0;
    std::unique_ptr<ChildProcess> process_;
};

}  // namespace quor::test
