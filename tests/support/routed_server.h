#pragma once

// A plain HTTP server on 127.0.0.1 that answers by request target: each target (path and
// query, as in the request line) has its response, every other target gets 404. It records
// every request it receives, for the redirect tests.

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "support/loopback_server.h"

namespace quor::test {

class RoutedServer final {
public:
    struct Request {
        std::string method;
        std::string target;
        std::string bytes;  // the whole request as received
    };

    RoutedServer();
    RoutedServer(const RoutedServer&) = delete;
    RoutedServer& operator=(const RoutedServer&) = delete;

    int Port() const { return server_.Port(); }
    // "http://127.0.0.1:<port>" and the path.
    std::string Address(const std::string& path) const { return server_.Address(path); }

    void Route(const std::string& target, std::string response);
    std::vector<Request> Requests() const;

    // A redirect with that status code and Location, and a short body of its own.
    static std::string Redirect(int code, const std::string& location);

private:
    void Serve(int fd);

    mutable std::mutex mutex_;
    std::map<std::string, std::string> routes_;
    std::vector<Request> requests_;
    LoopbackServer server_;  // last: its connections end before the members above go
};

}  // namespace quor::test
