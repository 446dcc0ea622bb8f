#include "fetch/page_request.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <deque>
#include <mutex>
#include <utility>

#include "core/cp932.h"
#include "core/settings_keys.h"
#include "fetch/request_text.h"

namespace quor::fetch {

namespace {

namespace key = core::key;
namespace defaults = core::defaults;
using core::BoardKey;
using core::kSectionGlobal;
using core::kSectionTree;

const std::string& Text(const char* utf8) {
    // Status texts are written in UTF-8 here and shown in code page 932; each is converted once.
    static std::mutex mutex;
    // A deque keeps the references handed out valid as it grows.
    static std::deque<std::pair<const char*, std::string>> cache;
    const std::lock_guard lock(mutex);
    for (const auto& [source, text] : cache) {
        if (source == utf8)
            return text;
    }
    cache.emplace_back(utf8, core::FromUtf8(utf8));
    return cache.back().second;
}

constexpr char kStarted[] = "取得開始";
constexpr char kFinished[] = "取得終了";
constexpr char kFailed[] = "取得失敗: ";
constexpr char kNotRequested[] = "取得せず: ";
constexpr char kCutOff[] = "(64MBを超えた分は切り捨てました)";

std::string AddressErrorText(AddressError error) {
    switch (error) {
        case AddressError::kTooLong:
            return Text("アドレスが長すぎます(1024バイト以上)");
        case AddressError::kNoHost:
            return Text("アドレスにホスト名がありません");
        case AddressError::kUnsupportedScheme:
            return Text("http://で始まらないアドレスは取得できません");
        case AddressError::kBadPort:
            return Text("アドレスのポート番号が正しくありません");
        case AddressError::kControlBytes:
            return Text("アドレス、リファラかクッキーに改行などの制御文字があります");
        case AddressError::kBadProxyPort:
            return Text("プロキシのポート番号が正しくありません(1～65535)");
        case AddressError::kNone:
            break;
    }
    return {};
}

// What a request thread needs, read once when it starts.
struct BoardRequest {
    std::string prefix;  // "<name>(Page<n>)"
    RequestSpec spec;
    IoLimits limits;
};

BoardRequest ReadBoardRequest(core::CQuorApp& app, int slot, std::string address) {
    const auto& store = app.Store();
    const int number = slot + 1;
    BoardRequest request;
    int pageCounter = 1;
    {
        auto& workspace = app.Workspace(slot);
        const std::lock_guard lock(workspace.mutex);
        pageCounter = workspace.pageCounter;
    }
    request.prefix = store.ReadString(kSectionTree, BoardKey(key::kName, number), "") + "(Page" +
                     std::to_string(pageCounter) + ")";
    request.spec.address = std::move(address);
    request.spec.referer = store.ReadString(kSectionTree, BoardKey(key::kReferer, number), "");
    request.spec.cookie = store.ReadString(kSectionTree, BoardKey(key::kCookie, number), "");
    request.spec.proxy = app.Proxy();
    // A request needs at least a second to get anywhere, even when the run's limit is zero.
    const int seconds =
        std::max(1, store.ReadInt(kSectionGlobal, key::kTimeout, defaults::kTimeout));
    request.limits.noProgress = std::chrono::seconds(seconds);
    // A server that trickles a byte now and then makes progress forever; the whole exchange gets
    // a limit too, or one such board would keep the run, and every run after it, from ending.
    const auto whole = kWholeRequestLimitFactor * request.limits.noProgress;
    if (whole < std::chrono::hours(24 * 365))  // beyond that, no clock arithmetic that overflows
        request.limits.deadline = std::chrono::steady_clock::now() + whole;
    request.limits.cancelled = [&app] { return app.ShuttingDown(); };
    return request;
}

void RunRequest(core::CQuorApp& app, int slot, RequestKind kind, std::optional<std::string> text) {
    if (!core::IsValidSlot(slot)) {
        app.launchPending.store(0);
        return;
    }
    const int number = slot + 1;
    std::string address = app.Store().ReadString(kSectionTree, BoardKey(key::kUrl, number), "");
    if (address.empty()) {
        app.FetchStateOf(slot).store(core::kFinished);
        app.launchPending.store(0);
        return;
    }
    app.launchPending.store(0);

    BoardRequest request = ReadBoardRequest(app, slot, std::move(address));
    request.spec.kind = kind;
    request.spec.text = std::move(text);
    const BuiltRequest built = BuildRequest(request.spec);
    if (!built.Ok()) {
        app.SetPageText(slot, {});
        app.SetStatusText(request.prefix + Text(kNotRequested) + AddressErrorText(built.error));
        app.FetchStateOf(slot).store(core::kFinished);
        return;
    }

    app.SetStatusText(request.prefix + Text(kStarted));
    const TransferResult result =
        Transfer(app, built.connectHost, built.connectPort, built.text, slot, request.limits);
    if (result.status == TransferStatus::kCancelled)
        return;
    if (result.status == TransferStatus::kOk)
        app.SetStatusText(request.prefix + Text(kFinished));
    else if (result.status == TransferStatus::kTruncated)
        app.SetStatusText(request.prefix + Text(kFinished) + Text(kCutOff));
    else
        app.SetStatusText(request.prefix + Text(kFailed) + TransferFailureText(result.status));
    app.FetchStateOf(slot).store(core::kPageArrived);
}

// Appends received bytes without their zero bytes and reports whether the limit was reached.
bool AppendChunk(std::string& page, const char* bytes, std::size_t size, std::size_t maxBytes,
                 std::size_t& zeroBytes) {
    const char* const end = bytes + size;
    while (bytes < end) {
        const auto* zero = static_cast<const char*>(std::memchr(bytes, '\0', end - bytes));
        const char* runEnd = zero ? zero : end;
        const std::size_t room = maxBytes - std::min(maxBytes, page.size());
        const auto run = static_cast<std::size_t>(runEnd - bytes);
        page.append(bytes, std::min(run, room));
        if (run > room)
            return true;
        if (zero)
            ++zeroBytes;
        bytes = zero ? zero + 1 : end;
    }
    return false;
}

// Where the header ends: after its blank line, with either line end.
std::size_t HeaderEnd(std::string_view response) {
    const std::size_t crlf = response.find("\r\n\r\n");
    const std::size_t lf = response.find("\n\n");
    if (crlf != std::string_view::npos && (lf == std::string_view::npos || crlf < lf))
        return crlf + 4;
    return lf == std::string_view::npos ? lf : lf + 2;
}

std::string LowerAscii(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lowered;
}

// A response that ended normally may still be short of what its header promised. Zero bytes
// were dropped from the page text but did arrive, so they count towards the body.
TransferStatus CheckComplete(const std::string& page, std::size_t zeroBytes) {
    if (page.empty() && zeroBytes == 0)
        return TransferStatus::kEmptyResponse;
    const auto announced = AnnouncedBodyLength(page);
    const std::size_t end = HeaderEnd(page);
    if (announced && end != std::string::npos && page.size() - end + zeroBytes < *announced)
        return TransferStatus::kBodyCut;
    return TransferStatus::kOk;
}

}  // namespace

std::string TransferFailureText(TransferStatus status) {
    switch (status) {
        case TransferStatus::kResolveFailed:
            return Text("ホスト名を解決できません");
        case TransferStatus::kConnectFailed:
            return Text("接続できません");
        case TransferStatus::kConnectTimedOut:
            return Text("接続がタイムアウトしました");
        case TransferStatus::kSendFailed:
            return Text("送信できません");
        case TransferStatus::kSendTimedOut:
            return Text("送信がタイムアウトしました");
        case TransferStatus::kReceiveTimedOut:
            return Text("受信がタイムアウトしました");
        case TransferStatus::kReceiveFailed:
            return Text("受信中に接続が切れました");
        case TransferStatus::kEmptyResponse:
            return Text("応答がありませんでした");
        case TransferStatus::kBodyCut:
            return Text("本文が途中で切れました");
        case TransferStatus::kCancelled:
            return Text("終了のため中断しました");
        case TransferStatus::kOk:
        case TransferStatus::kTruncated:
            break;
    }
    return {};
}

void LoadProxySettings(core::CQuorApp& app) {
    const auto& store = app.Store();
    core::ProxySettings proxy = app.Proxy();
    if (store.ReadInt(kSectionGlobal, key::kProxyEnable, defaults::kProxyEnable) == 1) {
        proxy.enabled = 1;
        proxy.server =
            store.ReadString(kSectionGlobal, key::kProxyServer, defaults::kProxyServerForRequests);
        proxy.port =
            store.ReadInt(kSectionGlobal, key::kProxyPort, defaults::kProxyPortForRequests);
    } else {
        proxy.enabled = 0;
    }
    app.SetProxy(std::move(proxy));
}

void FetchPage(core::CQuorApp& app, int slot, std::optional<std::string> body) {
    RunRequest(app, slot, RequestKind::kPage, std::move(body));
}

void FetchPageWithQuery(core::CQuorApp& app, int slot, std::optional<std::string> query) {
    RunRequest(app, slot, RequestKind::kPageWithQuery, std::move(query));
}

TransferResult Transfer(core::CQuorApp& app, const std::string& host, int port,
                        const std::string& request, int slot, const IoLimits& limits,
                        std::size_t maxBytes) {
    TransferResult result;
    auto opened = TcpStream::Connect(host, port, limits);
    switch (opened.status) {
        case ConnectStatus::kOk:
            break;
        case ConnectStatus::kResolveFailed:
            result.status = TransferStatus::kResolveFailed;
            break;
        case ConnectStatus::kConnectFailed:
            result.status = TransferStatus::kConnectFailed;
            break;
        case ConnectStatus::kTimedOut:
            result.status = TransferStatus::kConnectTimedOut;
            break;
        case ConnectStatus::kCancelled:
            result.status = TransferStatus::kCancelled;
            break;
    }
    if (!opened.stream) {
        app.SetPageText(slot, {});
        return result;
    }

    const IoResult sent = opened.stream->SendAll(request);
    if (sent.status != IoStatus::kOk) {
        result.status = sent.status == IoStatus::kTimedOut    ? TransferStatus::kSendTimedOut
                        : sent.status == IoStatus::kCancelled ? TransferStatus::kCancelled
                                                              : TransferStatus::kSendFailed;
        app.SetPageText(slot, {});
        return result;
    }

    std::string page;
    std::array<char, 16384> buffer{};
    for (;;) {
        const IoResult received = opened.stream->Receive(buffer.data(), buffer.size());
        if (received.status == IoStatus::kClosed)
            break;
        if (received.status != IoStatus::kOk) {
            result.status =
                received.status == IoStatus::kTimedOut    ? TransferStatus::kReceiveTimedOut
                : received.status == IoStatus::kCancelled ? TransferStatus::kCancelled
                                                          : TransferStatus::kReceiveFailed;
            break;
        }
        if (AppendChunk(page, buffer.data(), received.bytes, maxBytes, result.zeroBytes)) {
            result.status = TransferStatus::kTruncated;
            break;
        }
    }
    if (result.status == TransferStatus::kOk)
        result.status = CheckComplete(page, result.zeroBytes);
    result.bytes = page.size();
    app.SetPageText(slot, std::move(page));
    return result;
}

std::optional<std::size_t> AnnouncedBodyLength(std::string_view response) {
    const std::size_t end = HeaderEnd(response);
    if (end == std::string_view::npos)
        return std::nullopt;
    std::string header = LowerAscii(response.substr(0, end));
    const std::size_t at = header.find("\ncontent-length:");
    if (at == std::string::npos)
        return std::nullopt;
    std::size_t pos = at + 16;
    while (pos < header.size() && (header[pos] == ' ' || header[pos] == '\t'))
        ++pos;
    std::size_t length = 0;
    const auto [stop, error] =
        std::from_chars(header.data() + pos, header.data() + header.size(), length);
    if (error != std::errc{} || stop == header.data() + pos)
        return std::nullopt;
    return length;
}

}  // namespace quor::fetch
