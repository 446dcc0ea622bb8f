#pragma once

// A real HTTP proxy for the tests: tinyproxy in the foreground on a free loopback port, with a
// configuration of its own in a temporary directory. It forwards to any server, the tests' own
// on 127.0.0.1 included.

#include <memory>
#include <string>

#include "support/child_process.h"
#include "support/temp_dir.h"

namespace quor::test {

class TinyproxyProcess final {
public:
    // extraConfig: further lines of tinyproxy's configuration (ConnectPort, say).
    explicit TinyproxyProcess(const std::string& extraConfig = {});

    // False when tinyproxy is missing or did not come up; Problem() says why.
    bool Running() const { return running_; }
    const std::string& Problem() const { return problem_; }
    int Port() const { return port_; }
    // What tinyproxy logged so far.
    std::string Log() const;

private:
    TempDir dir_;
    int port_ = 0;
    bool running_ = false;
    std::string problem_;
    std::unique_ptr<ChildProcess> process_;
};

}  // namespace quor::test
