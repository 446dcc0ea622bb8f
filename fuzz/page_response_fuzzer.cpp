// The receiving end of a page request on arbitrary bytes from a server: a peer on 127.0.0.1
// answers the request with the input and closes.
//
// Input: a 4-byte header, then the bytes the server sends.
//   0 bit 0: a whole FetchPage of the board (request bytes, status texts, fetch state), else a
//     bare Transfer with a small response limit;  1-2 that limit (1 to 8192 bytes);
//   3 the size of the pieces the server sends (0: all at once).
//
// Checks: the page text is the bytes sent without their zero bytes, cut at the limit; the result
// says "cut" exactly when something did not fit, "empty" when nothing came and "body cut" when
// the header announced more body than came; FetchPage sends its GET, ends in fetch state 2 and
// says on the status line how the fetch ended; the page converts without harm.

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "convert/post_extraction.h"
#include "core/cp932.h"
#include "core/memory_settings_store.h"
#include "core/quor_app.h"
#include "core/settings_keys.h"
#include "fetch/page_request.h"
#include "fuzz_check.h"
#include "loopback_peer.h"

namespace {

using namespace quor;

class LastStatus final : public core::Frontend {
public:
    void SetStatusText(const std::string& text) override {
        const std::lock_guard lock(mutex_);
        last_ = text;
    }
    void RefreshPostList() override {}
    void ShowWarning(const std::string&, const std::string&) override {}
    std::unique_ptr<core::ProgressDisplay> OpenProgress() override {
        return core::NullFrontend().OpenProgress();
    }
    int SelectedEntryNumber() override { return -1; }
    std::string Last() {
        const std::lock_guard lock(mutex_);
        return last_;
    }

private:
    std::mutex mutex_;
    std::string last_;
};

fuzz::LoopbackPeer& Peer() {
    static fuzz::LoopbackPeer* peer = new fuzz::LoopbackPeer();  // lives as long as the process
    return *peer;
}

std::string WithoutZeroBytes(std::string_view bytes) {
    std::string out(bytes);
    out.erase(std::remove(out.begin(), out.end(), '\0'), out.end());
    return out;
}

// Whether the bytes may hold a redirect, which FetchPage follows to wherever it points.
bool MayRedirect(const std::string& sent) {
    std::string lowered = sent;
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    return lowered.find("location") != std::string::npos;
}

void CheckFetchPage(core::CQuorApp& app, LastStatus& status, const std::string& sent) {
    // Every hop goes to the peer as the proxy, so a redirect to any address never leaves the
    // loopback interface and no name is ever resolved.
    app.SetProxy({1, "127.0.0.1", Peer().Port()});
    fetch::FetchPage(app, 0, std::nullopt);
    fuzz::Check(Peer().WaitServed(std::chrono::seconds(20)), "the peer was never served");
    fuzz::Check(Peer().LastRequest().starts_with("GET http://127.0.0.1:"), "not the GET asked");
    fuzz::Check(app.FetchStateOf(0).load() == core::kPageArrived ||
                    app.FetchStateOf(0).load() == core::kFinished,
                "fetch state is neither 2 nor 3");
    if (MayRedirect(sent))
        return;
    fuzz::Check(app.FetchStateOf(0).load() == core::kPageArrived, "fetch state is not 2");
    fuzz::Check(app.PageTextCopy(0) == WithoutZeroBytes(sent), "the page text is not what came");
    static const std::string finished = "fuzz(Page1)" + core::FromUtf8("取得終了");
    static const std::string empty =
        "fuzz(Page1)" + core::FromUtf8("取得失敗: 応答がありませんでした");
    static const std::string cut =
        "fuzz(Page1)" + core::FromUtf8("取得失敗: 本文が途中で切れました");
    if (sent.empty())
        fuzz::Check(status.Last() == empty, "the status line does not say nothing came");
    else
        fuzz::Check(status.Last() == finished || status.Last() == cut,
                    "the status line does not say the fetch finished");
}

// Whether the bytes hold a header that announces more body than came, counted here on the bytes
// as sent (zero bytes included), with a header end of either kind.
bool ShortOfAnnounced(const std::string& sent) {
    std::string lowered = sent;
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    const std::size_t crlf = lowered.find("\r\n\r\n");
    const std::size_t lf = lowered.find("\n\n");
    if (crlf == std::string::npos && lf == std::string::npos)
        return false;
    const bool useCrLf = crlf != std::string::npos && (lf == std::string::npos || crlf < lf);
    const std::size_t end = useCrLf ? crlf + 4 : lf + 2;
    return fetch::AnnouncedBodyLength(sent).value_or(0) > sent.size() - end;
}

void CheckTransfer(core::CQuorApp& app, const std::string& sent, std::size_t limit) {
    fetch::IoLimits limits;
    limits.noProgress = std::chrono::seconds(5);
    const fetch::TransferResult result =
        fetch::Transfer(app, "127.0.0.1", Peer().Port(), "GET / HTTP/1.0\n\n", 0, limits, limit);
    fuzz::Check(Peer().WaitServed(std::chrono::seconds(20)), "the peer was never served");
    const std::string whole = WithoutZeroBytes(sent);
    const std::string page = app.PageTextCopy(0);
    const bool cut = whole.size() > limit;
    fuzz::Check(page == whole.substr(0, limit), "the page text is not the bytes up to the limit");
    fuzz::Check(result.bytes == page.size(), "the result counts other bytes than the page holds");
    fetch::TransferStatus expected = fetch::TransferStatus::kOk;
    if (cut)
        expected = fetch::TransferStatus::kTruncated;
    else if (sent.empty())
        expected = fetch::TransferStatus::kEmptyResponse;
    else if (sent.find('\0') == std::string::npos && ShortOfAnnounced(sent))
        expected = fetch::TransferStatus::kBodyCut;
    if (cut || sent.empty() || sent.find('\0') == std::string::npos)
        fuzz::Check(result.status == expected,
                    "the result does not say what became of the response");
    else
        fuzz::Check(result.status == fetch::TransferStatus::kOk ||
                        result.status == fetch::TransferStatus::kBodyCut,
                    "the result is neither complete nor cut");
    fuzz::Check(result.zeroBytes ==
                    (cut ? result.zeroBytes
                         : static_cast<std::size_t>(std::count(sent.begin(), sent.end(), '\0'))),
                "the zero bytes were miscounted");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const fuzz::HeaderBytes header(data, size, 4);
    const std::string sent(reinterpret_cast<const char*>(data) + header.Used(),
                           size - header.Used());
    const std::size_t limit = 1 + ((header.Byte(1) << 8) | header.Byte(2)) % 8192;

    core::MemorySettingsStore store;
    store.WriteString(core::kSectionTree, core::BoardKey(core::key::kUrl, 1),
                      "http://127.0.0.1:" + std::to_string(Peer().Port()) + "/board/1");
    store.WriteString(core::kSectionTree, core::BoardKey(core::key::kName, 1), "fuzz");
    // A redirect's further hops find the peer armed for one connection only; they give up soon.
    store.WriteInt(core::kSectionGlobal, core::key::kTimeout, 1);
    LastStatus status;
    core::CQuorApp app(store, status);
    app.SetPageText(0, "stale text of an earlier page");

    Peer().Arm(sent, header.Byte(3));
    if (header.Byte(0) & 1)
        CheckFetchPage(app, status, sent);
    else
        CheckTransfer(app, sent, limit);
    convert::ConvertBoard(app, 0);
    return 0;
}
