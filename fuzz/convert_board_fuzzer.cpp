// ConvertBoard on arbitrary page bytes with every BBS type, kanji code, field order, next-page
// method and switch setting, and with stored markers and next-page search texts cut from the page
// itself (so they match somewhere) or taken from a table of realistic ones.
//
// Input: a 12-byte header (below), then the page text (the HTTP response as received).
//   0 Type -1..12   1 CCode   2 Order -1..8   3 NextAna -1..4   4 PageCt -2..5
//   5 page counter 1..4   6 switches (2 bits each: line feed, space, tab; 0..2; bit 6 NoCase,
//     bit 7 CharRef)
//   7-8 which of the nine marker settings are stored (bit 9: PageBtn too; bit 10: the values
//       come first in the input, ten strings each ended by a zero byte: the nine markers in the
//       order they are read, then PageBtn; otherwise they are cut from the page; bit 11: Render
//       1; bit 12: a "{*}" wildcard in place of a few bytes of each marker cut from the page;
//       bits 13-15: the Fields letters, 0 none, else one of a table of valid and invalid ones)
//   9 PageBtn choice when cut   10-11 seed of the marker cuts
//
// Checks: the next-page outputs keep their rules (flag 0 or 1; no turn at the page limit, without
// a search text or with a method that has none; no negative page number); the text never grows;
// posts hold only what the cleaner (or, with Render 1, the renderer) lets through; the same page
// converted again appends the same posts after the first ones; the post index and the read-state
// file of the posts read back exactly.

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "convert/post_extraction.h"
#include "core/cp932.h"
#include "core/memory_settings_store.h"
#include "core/quor_app.h"
#include "core/settings_keys.h"
#include "fuzz_check.h"
#include "storage/board_files.h"
#include "storage/read_state.h"

namespace {

using namespace quor;
using core::BoardKey;
using core::kSectionTree;
namespace key = core::key;

constexpr int kKanjiSettings[] = {0, 1, 2, 3, 4, -1};

constexpr const char* kFieldLetters[] = {"TMND", "NDM", "M", "DTNM", "TTM", "MNDT", "tndx"};

std::vector<std::string> SearchTexts() {
    return {"value=", "name=\"pg_line\"", core::FromUtf8("次のページ"), "a href="};
}

// A marker cut from the page: 1 to 12 bytes at a position the seed picks; with `wildcard`, a
// few of its bytes after the first become "{*}", so the marker still matches where it was cut
// from when those bytes hold no "<" or ">".
std::string CutMarker(std::string_view page, unsigned seed, int k, bool wildcard = false) {
    if (page.empty())
        return "<";
    unsigned state = seed * 2654435761u + static_cast<unsigned>(k) * 40503u + 1u;
    state ^= state >> 13;
    const std::size_t at = state % page.size();
    const std::size_t length = 1 + (state >> 8) % 12;
    std::string marker(page.substr(at, length));
    if (wildcard && marker.size() > 2) {
        const std::size_t from = 1 + (state >> 16) % (marker.size() - 2);
        const std::size_t count = 1 + (state >> 20) % (marker.size() - from - 1);
        marker.replace(from, count, "{*}");
    }
    return marker;
}

// Bytes the cleaner can put into a field: no control byte but tab and CR LF, a space only with
// the space switch, a tab only with the tab switch, CR only before LF.
void CheckField(const std::string& field, const core::BoardWorkspace& workspace) {
    for (std::size_t i = 0; i < field.size(); ++i) {
        const auto byte = static_cast<unsigned char>(field[i]);
        if (byte == '\r') {
            fuzz::Check(i + 1 < field.size() && field[i + 1] == '\n', "a CR without its LF");
            ++i;
            continue;
        }
        fuzz::Check(byte != '\n', "a bare LF in a field");
        // The renderer keeps the blanks a browser shows and the tabs of "<pre>".
        const bool render = workspace.rules.switches.render == 1;
        fuzz::Check(byte != '\t' || render || workspace.rules.switches.tab == 1,
                    "a tab with the tab switch off");
        fuzz::Check(byte != ' ' || render || workspace.rules.switches.space == 1,
                    "a space with the space switch off");
        fuzz::Check(byte >= 0x20 || byte == '\t', "a control byte in a field");
    }
    if (workspace.rules.switches.render == 1) {
        fuzz::Check(field.rfind("\r\n", 0) != 0, "a rendered field starts with a line break");
        fuzz::Check(field.size() < 2 || field.compare(field.size() - 2, 2, "\r\n") != 0,
                    "a rendered field ends with a line break");
    }
}

void CheckNextPage(const core::BoardWorkspace& workspace) {
    fuzz::Check(workspace.nextPage.flag == 0 || workspace.nextPage.flag == 1, "flag not 0 or 1");
    fuzz::Check(workspace.nextPage.number >= 0, "a negative next-page number");
    if (workspace.nextPage.flag == 1) {
        fuzz::Check(workspace.pageCounter < workspace.rules.pageLimit,
                    "a turn past the page limit");
        fuzz::Check(!workspace.rules.nextPage.searchText.empty(), "a turn without a search text");
        fuzz::Check(workspace.rules.nextPage.method >= 0 && workspace.rules.nextPage.method <= 2,
                    "a turn by a method that has none");
    }
}

void CheckStoredForms(const core::PostTable& posts) {
    const std::vector<core::Post> back = storage::ParsePostIndex(storage::FormatPostIndex(posts));
    fuzz::Check(back.size() == posts.Count(), "the post index lost or gained posts");
    for (std::size_t i = 0; i < back.size(); ++i) {
        core::Post expected = posts.At(i);
        expected.unread = 0;
        fuzz::Check(back[i] == expected, "a post did not read back from its index line");
    }
    const auto hashes = storage::ParseReadState(storage::FormatReadState(posts));
    for (const auto& post : posts)
        fuzz::Check(hashes.contains(storage::HashPost(post)), "a read post's hash went missing");
}

// Takes the next zero-ended string off the front of the input (all of it when no zero follows).
std::string TakeString(std::string_view& input) {
    const std::size_t zero = input.find('\0');
    std::string value(input.substr(0, zero));
    input.remove_prefix(zero == std::string_view::npos ? input.size() : zero + 1);
    return value;
}

void StoreGiven(core::MemorySettingsStore& store, unsigned mask, std::string_view& input) {
    for (int k = 0; k < 10; ++k) {
        std::string value = TakeString(input);
        if (!(mask & (1u << k)))
            continue;
        store.WriteString(kSectionTree,
                          BoardKey(k < 9 ? core::kMarkerKeys[k].stem : key::kPageSearchText, 1),
                          value);
    }
}

void StoreCut(core::MemorySettingsStore& store, const fuzz::HeaderBytes& header, unsigned mask,
              std::string_view page) {
    const int n = 1;
    const unsigned seed = header.Byte(10) | (header.Byte(11) << 8);
    for (int k = 0; k < 9; ++k) {
        if (mask & (1u << k))
            store.WriteString(kSectionTree, BoardKey(core::kMarkerKeys[k].stem, n),
                              CutMarker(page, seed, k, (mask & (1u << 12)) != 0));
    }
    if (mask & (1u << 9)) {
        const auto texts = SearchTexts();
        const unsigned choice = header.Byte(9);
        store.WriteString(
            kSectionTree, BoardKey(key::kPageSearchText, n),
            choice < 200 ? texts[choice % texts.size()] : CutMarker(page, seed + choice, 9));
    }
}

// Stores the header's settings; returns the page, which follows the given markers if any.
std::string StoreSettings(core::MemorySettingsStore& store, const fuzz::HeaderBytes& header,
                          std::string_view input) {
    const int n = 1;
    store.WriteInt(kSectionTree, BoardKey(key::kType, n), header.Pick(0, -1, 14));
    store.WriteInt(kSectionTree, BoardKey(key::kKanjiCode, n),
                   kKanjiSettings[header.Byte(1) % std::size(kKanjiSettings)]);
    store.WriteInt(kSectionTree, BoardKey(key::kOrder, n), header.Pick(2, -1, 10));
    store.WriteInt(kSectionTree, BoardKey(key::kNextPageMethod, n), header.Pick(3, -1, 6));
    store.WriteInt(kSectionTree, BoardKey(key::kPageCount, n), header.Pick(4, -2, 8));
    store.WriteInt(kSectionTree, BoardKey(key::kLineFeedSwitch, n),
                   static_cast<int>(header.Byte(6) & 3) % 3);
    store.WriteInt(kSectionTree, BoardKey(key::kSpaceSwitch, n),
                   static_cast<int>((header.Byte(6) >> 2) & 3) % 3);
    store.WriteInt(kSectionTree, BoardKey(key::kTabSwitch, n),
                   static_cast<int>((header.Byte(6) >> 4) & 3) % 3);
    store.WriteInt(kSectionTree, BoardKey(key::kNoCase, n), (header.Byte(6) >> 6) & 1);
    store.WriteInt(kSectionTree, BoardKey(key::kCharRef, n), (header.Byte(6) >> 7) & 1);
    const unsigned mask = header.Byte(7) | (header.Byte(8) << 8);
    store.WriteInt(kSectionTree, BoardKey(key::kRender, n), (mask >> 11) & 1);
    if (const unsigned letters = (mask >> 13) & 7; letters != 0)
        store.WriteString(kSectionTree, BoardKey(key::kFields, n), kFieldLetters[letters - 1]);
    if (mask & (1u << 10))
        StoreGiven(store, mask, input);
    else
        StoreCut(store, header, mask, input);
    store.WriteString(kSectionTree, BoardKey(key::kName, n), "fuzz");
    return std::string(input);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const fuzz::HeaderBytes header(data, size, 12);
    core::MemorySettingsStore store;
    const std::string page =
        StoreSettings(store, header,
                      std::string_view(reinterpret_cast<const char*>(data) + header.Used(),
                                       size - header.Used()));
    core::CQuorApp app(store);
    app.WithWorkspace(
        0, [&](core::BoardWorkspace& workspace) { workspace.pageCounter = header.Pick(5, 1, 4); });

    app.SetPageText(0, page);
    convert::ConvertBoard(app, 0);
    const std::vector<core::Post> first =
        app.WithWorkspace(0, [&](const core::BoardWorkspace& workspace) {
            fuzz::Check(workspace.Text().size() <= page.size(), "the text buffer grew");
            CheckNextPage(workspace);
            return std::vector<core::Post>(workspace.posts.begin(), workspace.posts.end());
        });
    const std::size_t firstPage = first.size();

    // The same page once more with the same settings: its posts follow the first's, the same
    // again, since nothing a conversion leaves in the workspace may change the next one's result.
    convert::ConvertBoard(app, 0);
    const core::NextPageResult next =
        app.WithWorkspace(0, [&](const core::BoardWorkspace& workspace) {
            CheckNextPage(workspace);
            fuzz::Check(workspace.posts.Count() == 2 * firstPage,
                        "the second page gave other posts");
            for (std::size_t i = 0; i < firstPage; ++i) {
                fuzz::Check(workspace.posts.At(i) == first[i],
                            "a second page changed the first's posts");
                fuzz::Check(workspace.posts.At(firstPage + i) == first[i],
                            "the same page, other posts");
            }
            for (const auto& post : workspace.posts) {
                fuzz::Check(post.unread == 0, "a new post is not read");
                CheckField(post.title, workspace);
                CheckField(post.name, workspace);
                CheckField(post.date, workspace);
                CheckField(post.message, workspace);
            }
            CheckStoredForms(workspace.posts);
            return workspace.nextPage;
        });
    // QUOR_FUZZ_VERBOSE=1 shows what each input gave, to see that the seeds reach the posts.
    static const bool verbose = std::getenv("QUOR_FUZZ_VERBOSE") != nullptr;
    if (verbose)
        std::fprintf(stderr, "posts %zu, next page %d (%d)\n", firstPage, next.flag, next.number);
    return 0;
}
