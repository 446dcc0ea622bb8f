#include "fetch/page_request.h"

#include <algorithm>
#include <deque>
#include <mutex>
#include <set>
#include <utility>

#include "core/cp932.h"
#include "core/settings_keys.h"
#include "fetch/exchange.h"
#include "fetch/redirect.h"
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
constexpr char kRedirected[] = "転送";

std::string AddressErrorText(AddressError error) {
    switch (error) {
        case AddressError::kTooLong:
            return Text("アドレスが長すぎます(1024バイト以上)");
        case AddressError::kNoHost:
            return Text("アドレスにホスト名がありません");
        case AddressError::kUnsupportedScheme:
            return Text("http://かhttps://で始まらないアドレスは取得できません");
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
    int page = 1;        // <n>
    RequestParams params;
    IoLimits limits;
};

BoardRequest ReadBoardRequest(core::CQuorApp& app, int slot, std::string address) {
    const auto& store = app.Store();
    const int number = slot + 1;
    BoardRequest request;
    const int pageCounter = app.WithWorkspace(
        slot, [](const core::BoardWorkspace& workspace) { return workspace.pageCounter; });
    request.page = pageCounter;
    request.prefix = store.ReadString(kSectionTree, BoardKey(key::kName, number), "") + "(Page" +
                     std::to_string(pageCounter) + ")";
    request.params.address = std::move(address);
    request.params.referer = store.ReadString(kSectionTree, BoardKey(key::kReferer, number), "");
    request.params.cookie = store.ReadString(kSectionTree, BoardKey(key::kCookie, number), "");
    request.params.proxy = app.Proxy();
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

// The outcome of an exchange and its redirects: the last response, or why there is none.
struct Outcome {
    TransferStatus status = TransferStatus::kOk;
    std::string detail;
    std::string page;
};

Outcome Failed(TransferStatus status, std::string detail = {}) {
    return {status, std::move(detail), {}};
}

// Two requests of an exchange are the same when their method and address are; scheme and host
// name are compared without regard to case. A POST answered by 303 with its own address is
// the usual post-then-get and goes on as the GET it asks for.
std::string RequestKey(const BuiltRequest& built) {
    std::string key = built.method + " " + built.requestedAddress;
    const std::size_t hostStart = key.find("://");
    const std::size_t hostEnd = key.find('/', hostStart + 3);
    for (std::size_t i = 0; i < hostEnd && i < key.size(); ++i) {
        if (key[i] >= 'A' && key[i] <= 'Z')
            key[i] = static_cast<char>(key[i] - 'A' + 'a');
    }
    return key;
}

// A response is looked at for a redirect when its header arrived whole.
bool MayRedirect(TransferStatus status) {
    return status == TransferStatus::kOk || status == TransferStatus::kTruncated ||
           status == TransferStatus::kBodyCut;
}

// The request of the next hop, or the reason the redirect is not followed.
struct NextHop {
    TransferStatus refusal = TransferStatus::kOk;
    std::string detail;
    BuiltRequest built;
};

NextHop PlanNextHop(RequestParams& params, const BuiltRequest& current,
                    const RedirectOrder& order) {
    NextHop next;
    const ResolvedLocation resolved = ResolveLocation(current.requestedAddress, order.location);
    if (!resolved.Ok()) {
        next.refusal = TransferStatus::kBadRedirect;
        next.detail = AddressErrorText(resolved.error);
        return next;
    }
    params.address = resolved.address;
    // The page turn's query belongs to the address asked for; the location has its own.
    params.kind = RequestKind::kPage;
    if (current.method != "POST" || TurnsIntoGet(order.code))
        params.text.reset();
    next.built = BuildRequest(params);
    if (!next.built.Ok()) {
        next.refusal = TransferStatus::kBadRedirect;
        next.detail = AddressErrorText(next.built.error);
    } else if (current.secure && !next.built.secure) {
        next.refusal = TransferStatus::kRedirectToHttp;
    }
    return next;
}

// Runs the exchange and the redirects it meets; the page is the last response.
Outcome RunExchange(core::CQuorApp& app, const BoardRequest& request, BuiltRequest built) {
    RequestParams params = request.params;
    std::set<std::string> asked{RequestKey(built)};
    for (int hop = 1;; ++hop) {
        ExchangeResult exchanged = Exchange(built, request.limits, kMaxResponseBytes);
        const auto order =
            MayRedirect(exchanged.status) ? RedirectOf(exchanged.response) : std::nullopt;
        if (!order)
            return {exchanged.status, std::move(exchanged.detail), std::move(exchanged.response)};
        if (hop > kMaxRedirects)
            return Failed(TransferStatus::kTooManyRedirects);
        NextHop next = PlanNextHop(params, built, *order);
        if (next.refusal != TransferStatus::kOk)
            return Failed(next.refusal, std::move(next.detail));
        if (!asked.insert(RequestKey(next.built)).second)
            return Failed(TransferStatus::kRedirectLoop);
        app.SetStatusText(request.prefix + Text(kRedirected) + "(" + std::to_string(hop) + "/" +
                          std::to_string(kMaxRedirects) + "): " + next.built.requestedAddress);
        built = std::move(next.built);
    }
}

std::string FailureLine(const Outcome& outcome) {
    std::string line = Text(kFailed) + TransferFailureText(outcome.status);
    if (!outcome.detail.empty())
        line += "(" + outcome.detail + ")";
    return line;
}

// A request that failed says so on the status line and in the run's list of failed boards.
void ReportFailure(core::CQuorApp& app, const BoardRequest& request, int slot, std::string reason) {
    app.SetStatusText(request.prefix + reason);
    app.Run().RecordFailure({slot, request.page, std::move(reason)});
}

void RunRequest(core::CQuorApp& app, int slot, RequestKind kind, std::optional<std::string> text) {
    if (!core::IsValidSlot(slot)) {
        app.Run().SetLaunchPending(false);
        return;
    }
    const int number = slot + 1;
    std::string address = app.Store().ReadString(kSectionTree, BoardKey(key::kUrl, number), "");
    if (address.empty()) {
        app.FetchStateOf(slot).store(core::kFinished);
        app.Run().SetLaunchPending(false);
        return;
    }
    app.Run().SetLaunchPending(false);

    BoardRequest request = ReadBoardRequest(app, slot, std::move(address));
    request.params.kind = kind;
    request.params.text = std::move(text);
    BuiltRequest built = BuildRequest(request.params);
    if (!built.Ok()) {
        app.SetPageText(slot, {});
        ReportFailure(app, request, slot, Text(kNotRequested) + AddressErrorText(built.error));
        app.FetchStateOf(slot).store(core::kFinished);
        return;
    }

    app.SetStatusText(request.prefix + Text(kStarted));
    Outcome outcome = RunExchange(app, request, std::move(built));
    app.SetPageText(slot, std::move(outcome.page));
    if (outcome.status == TransferStatus::kCancelled)
        return;
    if (outcome.status == TransferStatus::kOk)
        app.SetStatusText(request.prefix + Text(kFinished));
    else if (outcome.status == TransferStatus::kTruncated)
        app.SetStatusText(request.prefix + Text(kFinished) + Text(kCutOff));
    else
        ReportFailure(app, request, slot, FailureLine(outcome));
    app.FetchStateOf(slot).store(core::kPageArrived);
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
        case TransferStatus::kTunnelRefused:
            return Text("プロキシが中継を断りました");
        case TransferStatus::kTlsFailed:
            return Text("TLSで接続できません");
        case TransferStatus::kCertificateRejected:
            return Text("サーバの証明書を信頼できません");
        case TransferStatus::kRedirectLoop:
            return Text("転送先が循環しています");
        case TransferStatus::kTooManyRedirects:
            return Text("転送が5回を超えました");
        case TransferStatus::kRedirectToHttp:
            return Text("https://からhttp://への転送には従いません");
        case TransferStatus::kBadRedirect:
            return Text("転送先のアドレスを取得できません");
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
    BuiltRequest built;
    built.connectHost = host;
    built.connectPort = port;
    built.text = request;
    ExchangeResult exchanged = Exchange(built, limits, maxBytes);
    TransferResult result{exchanged.status, exchanged.response.size(), exchanged.zeroBytes,
                          std::move(exchanged.detail)};
    app.SetPageText(slot, std::move(exchanged.response));
    return result;
}

}  // namespace quor::fetch
