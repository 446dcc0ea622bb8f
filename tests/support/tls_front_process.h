#pragma once

// tls_front.py run by a test: TLS with a given certificate on a free port of 127.0.0.1, the
// bytes inside passed on to a plain server of the tests on 127.0.0.1.

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/temp_dir.h"

namespace quor::test {

class TlsFrontProcess final {
public:
    struct Options {
        bool closeNotify = true;  // end each stream with a closing TLS message
    };

    TlsFrontProcess(int backendPort, const std::string& certificateFile, const std::string& keyFile,
                    Options options);
    TlsFrontProcess(int backendPort, const std::string& certificateFile, const std::string& keyFile)
        : TlsFrontProcess(backendPort, certificateFile, keyFile, Options{}) {}

    bool Running() const { return port_ > 0; }
    int Port() const { return port_; }
    // One line per event: "sni <name>", "handshake ok", "handshake failed <reason>".
    std::vector<std::string> Log() const;
    // Waits until a line of the log starts with the text; false when the time ran out.
    bool WaitForLog(const std::string& start, std::chrono::milliseconds limit) const;

private:
    TempDir dir_;
    int port_ = 0;
    std::unique_ptr<ChildProcess> process_;
};

}  // namespace quor::test
