#include "hardening/hostile_server.h"

#include <chrono>
#include <thread>

namespace quor::test {

namespace {

using namespace std::chrono_literals;

std::size_t BodyStart(const std::string& bytes) {
    const auto end = HeaderEnd(bytes);
    return end == std::string::npos ? 0 : end;
}

}  // namespace

HostileServer::HostileServer(Script script)
    : script_(std::move(script)), server_("the hostile server", [this](int fd) { Serve(fd); }) {}

void HostileServer::WaitUntilStopped() const {
    while (!server_.Stopping())
        std::this_thread::sleep_for(10ms);
}

void HostileServer::Flood(int fd) {
    static const std::string header = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n";
    if (!SendAll(fd, header))
        return;
    const std::string filler(64 * 1024, 'x');
    std::size_t left = script_.floodBytes;
    while (left > 0 && !server_.Stopping()) {
        const std::size_t piece = std::min(left, filler.size());
        if (!SendAll(fd, std::string_view(filler).substr(0, piece)))
            return;
        floodSent_.fetch_add(piece);
        left -= piece;
    }
}

void HostileServer::Serve(int fd) {
    ReadRequest(fd, server_.StopFlag(), 0ms, 2s);
    const std::string& bytes = script_.bytes;
    switch (script_.mode) {
        case Mode::kSilent:
            WaitUntilStopped();
            break;
        case Mode::kHeaderThenStall:
            SendAll(fd,
                    "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: 5000\r\n\r\n");
            WaitUntilStopped();
            break;
        case Mode::kCloseMidBody: {
            const std::size_t start = BodyStart(bytes);
            SendAll(fd, std::string_view(bytes).substr(0, start + (bytes.size() - start) / 2));
            break;
        }
        case Mode::kFlood:
            Flood(fd);
            break;
        case Mode::kBytes:
            SendAll(fd, bytes);
            break;
        case Mode::kTrickle: {
            bool open = SendAll(fd, "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n");
            while (open && !server_.Stopping()) {
                std::this_thread::sleep_for(200ms);
                open = SendAll(fd, "x");
            }
            break;
        }
    }
    CloseGently(fd, 2s);
}

}  // namespace quor::test
