// ReadPostIndex and HexDecodeField on arbitrary file bytes.
//
// Checks: reading the bytes as a board's .idx file gives the posts ParsePostIndex gives and
// replaces the table only then; every post written back and read again is the same; a post never
// comes from more than one line; HexDecodeField decodes exactly the leading well-formed pairs of a
// field (counted here independently) and encoding them again gives those pairs in lower case.

#include <algorithm>
#include <string>
#include <vector>

#include "core/memory_settings_store.h"
#include "core/quor_app.h"
#include "core/settings_keys.h"
#include "fuzz_check.h"
#include "scratch_dir.h"
#include "storage/board_files.h"
#include "storage/hex_field.h"

namespace {

using namespace quor;

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

void CheckHexField(std::string_view field) {
    std::size_t pairs = 0;
    while (2 * pairs + 1 < field.size() && IsHexDigit(field[2 * pairs]) &&
           IsHexDigit(field[2 * pairs + 1]))
        ++pairs;
    const std::string decoded = storage::HexDecodeField(field);
    fuzz::Check(decoded.size() == pairs, "a field decoded to other than its well-formed pairs");
    std::string expected(field.substr(0, 2 * pairs));
    std::transform(expected.begin(), expected.end(), expected.begin(), Lower);
    fuzz::Check(storage::HexEncodeField(decoded) == expected, "a pair decoded to the wrong byte");
}

void CheckFields(std::string_view bytes) {
    CheckHexField(bytes);
    std::size_t start = 0;
    for (;;) {
        const std::size_t cut = bytes.find_first_of(",\n", start);
        CheckHexField(bytes.substr(start, cut == std::string_view::npos ? cut : cut - start));
        if (cut == std::string_view::npos)
            return;
        start = cut + 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckFields(bytes);

    const std::vector<core::Post> parsed = storage::ParsePostIndex(bytes);
    const std::size_t lines =
        static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1;
    fuzz::Check(parsed.size() <= lines, "more posts than lines");

    core::MemorySettingsStore store;
    store.WriteString(core::kSectionGlobal, core::key::kOutputDirectory, fuzz::ScratchDir());
    store.WriteString(core::kSectionTree, core::BoardKey(core::key::kName, 1), "board");
    store.WriteInt(core::kSectionTree, core::key::kCount, 1);
    core::CQuorApp app(store);
    app.WithWorkspace(0, [](core::BoardWorkspace& workspace) {
        workspace.posts.Append({"old", "", "", "kept until a read succeeds", 1});
    });
    fuzz::WriteScratchFile(fuzz::ScratchDir() + "board.idx", bytes);
    const storage::StorageResult read = storage::ReadPostIndex(app, 0);
    fuzz::Check(read.status == storage::StorageResult::kDone, "an index that exists was not read");
    const core::PostTable posts =
        app.WithWorkspace(0, [](const core::BoardWorkspace& workspace) { return workspace.posts; });
    fuzz::Check(posts.Count() == parsed.size(), "the file gave other posts than its bytes");
    for (std::size_t i = 0; i < parsed.size(); ++i) {
        fuzz::Check(posts.At(i) == parsed[i], "the file gave another post than its bytes");
        fuzz::Check(posts.At(i).unread == 0, "a post read from an index is unread");
    }

    const std::vector<core::Post> again = storage::ParsePostIndex(storage::FormatPostIndex(posts));
    fuzz::Check(again == parsed, "posts written back do not read back the same");
    return 0;
}
