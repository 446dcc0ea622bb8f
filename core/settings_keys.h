#pragma once

// The names of every settings key and the defaults each reader passes.
//
// Section "QUOR" holds the global settings, section "Tree" the board count and, per board number
// n (1 to Count), a family of keys whose names end in n ("Url3"). Board number n is slot n - 1 of
// the application's 64-slot tables. The key names are a stored format and are used exactly as
// written here, "Cokkie" included. The same key may be read with different defaults in different
// places; each constant below names the reader.

#include <array>
#include <string>
#include <string_view>

namespace quor::core {

class SettingsStore;

// The application's tables (page texts, board workspaces, fetch states) have this many slots;
// board numbers 1 to kSlotCount are slots 0 to kSlotCount - 1.
inline constexpr int kSlotCount = 64;

constexpr bool IsValidSlot(int slot) {
    return slot >= 0 && slot < kSlotCount;
}

inline constexpr std::string_view kSectionGlobal = "QUOR";
inline constexpr std::string_view kSectionTree = "Tree";

namespace key {
// Section QUOR.
inline constexpr std::string_view kProxyEnable = "PROXYENABLE";
inline constexpr std::string_view kProxyServer = "PROXYSV";
inline constexpr std::string_view kProxyPort = "PROXYPORT";
inline constexpr std::string_view kThreadCount = "THREADCOUNT";
inline constexpr std::string_view kTimeout = "TIMEOUT";
inline constexpr std::string_view kThreadPriority = "THREADPRIORITY";
inline constexpr std::string_view kOutputDirectory = "ODIR";
inline constexpr std::string_view kAutoCheck = "AUTOCHECK";
inline constexpr std::string_view kAutoSave = "AUTOSAVE";
inline constexpr std::string_view kAutoSaveData = "AUTOSAVEDATA";

// Section Tree.
inline constexpr std::string_view kCount = "Count";

// Per-board key stems; BoardKey(stem, n) gives the key of board n.
inline constexpr std::string_view kParent = "Parent";
inline constexpr std::string_view kName = "Data";
inline constexpr std::string_view kUrl = "Url";
inline constexpr std::string_view kEnable = "Enable";
inline constexpr std::string_view kType = "Type";
inline constexpr std::string_view kKanjiCode = "CCode";
inline constexpr std::string_view kOrder = "Order";
inline constexpr std::string_view kSkipMarker = "Pass";
inline constexpr std::string_view kTitleStart = "TitA";
inline constexpr std::string_view kTitleEnd = "TitB";
inline constexpr std::string_view kNameStart = "NameA";
inline constexpr std::string_view kNameEnd = "NameB";
inline constexpr std::string_view kDateStart = "DateA";
inline constexpr std::string_view kDateEnd = "DateB";
inline constexpr std::string_view kMessageStart = "HonbunA";
inline constexpr std::string_view kMessageEnd = "HonbunB";
inline constexpr std::string_view kLineFeedSwitch = "LFCV";
inline constexpr std::string_view kSpaceSwitch = "SPCV";
inline constexpr std::string_view kTabSwitch = "TGCV";
inline constexpr std::string_view kReferer = "Ref";
inline constexpr std::string_view kCookie = "Cokkie";
inline constexpr std::string_view kPageCount = "PageCt";
inline constexpr std::string_view kPageSearchText = "PageBtn";
inline constexpr std::string_view kPageParameter = "PageSent";
inline constexpr std::string_view kNextPageMethod = "NextAna";
inline constexpr std::string_view kPostGetChoice = "PNMethod";
// Markers and the next-page search text match ASCII letters in either case (1) or exactly (0).
inline constexpr std::string_view kNoCase = "NoCase";
// The cleaner decodes numeric and named character references (1) or only the four entities (0).
inline constexpr std::string_view kCharRef = "CharRef";
// Each field becomes the text a browser shows (1) or is cleaned by the byte rules and the
// line-feed, space and tab switches (0).
inline constexpr std::string_view kRender = "Render";
// The order of the fields on the page as letters (T title, N name, D date, M message, e.g.
// "TMND"); when valid it overrides Order and the type's order. Empty by default.
inline constexpr std::string_view kFields = "Fields";

// Every per-board key stem above, Parent first: the whole family of keys a board owns. Moving
// or removing a board moves or removes exactly these.
inline constexpr std::array<std::string_view, 30> kBoardStems{
    kParent,         kName,          kUrl,          kEnable,     kType,           kKanjiCode,
    kOrder,          kSkipMarker,    kTitleStart,   kTitleEnd,   kNameStart,      kNameEnd,
    kDateStart,      kDateEnd,       kMessageStart, kMessageEnd, kLineFeedSwitch, kSpaceSwitch,
    kTabSwitch,      kReferer,       kCookie,       kPageCount,  kPageSearchText, kPageParameter,
    kNextPageMethod, kPostGetChoice, kNoCase,       kCharRef,    kRender,         kFields};
}  // namespace key

namespace defaults {
inline constexpr int kProxyEnable = 0;
// The request path's placeholder when PROXYSV was never written.
inline constexpr std::string_view kProxyServerForRequests = "proxy";
inline constexpr int kProxyPortForRequests = 8000;
inline constexpr int kProxyPortInDialog = 0;
inline constexpr int kThreadCountForScheduler = 1;
inline constexpr int kThreadCountInDialog = 5;
inline constexpr int kTimeout = 120;
inline constexpr int kThreadPriority = 2;
inline constexpr int kAutoCheck = 0;
inline constexpr int kAutoSave = 0;
inline constexpr int kAutoSaveData = 0;
inline constexpr int kCount = 0;
inline constexpr int kParent = 0;
inline constexpr int kEnable = 0;
inline constexpr int kTypeForConversion = 1;
inline constexpr int kTypeInDialog = 0;
inline constexpr int kKanjiCode = 0;
inline constexpr int kOrder = 0;
inline constexpr int kSwitch = 0;
inline constexpr int kPageCount = 1;
inline constexpr std::string_view kPageSearchTextInDialog = "pg_line";
inline constexpr std::string_view kPageParameterForScheduler = "dummy";
inline constexpr std::string_view kPageParameterInDialog = "pg_line";
inline constexpr int kNextPageMethod = 0;
inline constexpr int kPostGetChoice = 0;
}  // namespace defaults

// "Url" and 3 give "Url3": the stem followed by the decimal number, no leading zeros.
std::string BoardKey(std::string_view stem, int boardNumber);

// The number of boards every reader walks: Count of section Tree limited to 0 to kSlotCount, so
// no board number it gives indexes past the tables. Boards past the 64th keep their keys but are
// not fetched, stored or shown.
int BoardCount(const SettingsStore& store);
// Count as stored, 0 when it is negative: for renumbering keys, which exist past the tables too,
// and for saying that boards were left out.
int StoredBoardCount(const SettingsStore& store);

}  // namespace quor::core
