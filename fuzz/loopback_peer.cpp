#include "loopback_peer.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quor::fuzz {

using namespace std::chrono_literals;

LoopbackPeer::LoopbackPeer()
    : server_(
          "the fuzzer's peer", [this](int fd) { Serve(fd); },
          test::LoopbackServer::Connections::kOneAtATime) {}

void LoopbackPeer::Arm(std::string bytes, std::size_t piece) {
    {
        const std::lock_guard lock(mutex_);
        bytes_ = std::move(bytes);
        piece_ = piece;
        armed_ = true;
        served_ = false;
    }
    changed_.notify_all();
}

bool LoopbackPeer::WaitServed(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit, [this] { return served_; });
}

std::string LoopbackPeer::LastRequest() {
    const std::lock_guard lock(mutex_);
    return request_;
}

void LoopbackPeer::Serve(int fd) {
    std::string bytes;
    std::size_t piece = 0;
    {
        const std::lock_guard lock(mutex_);
        if (!armed_) {
            ::close(fd);
            return;
        }
        bytes = bytes_;
        piece = piece_;
    }
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    std::string request = test::ReadRequest(fd, server_.StopFlag(), 0ms, 2s);
    const std::size_t step = piece == 0 ? bytes.size() : piece;
    for (std::size_t at = 0; at < bytes.size(); at += step)
        test::SendAll(fd, std::string_view(bytes).substr(at, step));
    test::CloseGently(fd, 5s);
    {
        // Disarmed before the next connection is accepted, so a redirect's next hop is refused.
        const std::lock_guard lock(mutex_);
        request_ = std::move(request);
        armed_ = false;
        served_ = true;
    }
    changed_.notify_all();
}

}  // namespace quor::fuzz
