#include "core/quor_app.h"

#include <chrono>

namespace quor::core {

namespace {

NullFrontend& SilentFrontend() {
    static NullFrontend frontend;
    return frontend;
}

}  // namespace

std::unique_ptr<ProgressDisplay> NullFrontend::OpenProgress() {
    struct NullProgress final : ProgressDisplay {
        void SetRange(int, int) override {}
        int Show(int position) override { return std::exchange(last, position); }
        void SetText(const std::string&) override {}
        int last = 0;
    };
    return std::make_unique<NullProgress>();
}

CQuorApp::CQuorApp(SettingsStore& store, Frontend& frontend)
    : store_(store), frontend_(&frontend) {}

CQuorApp::CQuorApp(SettingsStore& store) : CQuorApp(store, SilentFrontend()) {}

CQuorApp::~CQuorApp() {
    workers_.RequestShutdown();
    run_.Stop();
    // Workers notice the shutdown within one polling period; they may still be inside a call of
    // the frontend, so the wait is generous rather than tight.
    workers_.WaitIdle(std::chrono::seconds(30));
}

std::string CQuorApp::PageTextCopy(int slot) {
    return WithPageText(slot, [](const std::string& text) { return text; });
}

void CQuorApp::SetPageText(int slot, std::string text) {
    WithPageText(slot, [&](std::string& page) { page = std::move(text); });
}

ProxySettings CQuorApp::Proxy() const {
    const std::lock_guard lock(proxyMutex_);
    return proxy_;
}

void CQuorApp::SetProxy(ProxySettings proxy) {
    const std::lock_guard lock(proxyMutex_);
    proxy_ = std::move(proxy);
}

}  // namespace quor::core
