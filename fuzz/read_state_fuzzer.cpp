// ParseHexValue, the read-state file and the post hash on arbitrary bytes.
//
// Checks: ParseHexValue of every line is the value of its last eight hexadecimal digits (counted
// here with strtoul over the digits alone); the hash set of a file is exactly the set of its
// lines' values, and the open-addressing set agrees with a standard set on any values; HashString
// equals the byte-at-a-time rotate-after-XOR rule for texts of every length and alignment;
// CheckUnread on the bytes as a board's .hcc file marks exactly the posts whose hash is missing and
// never clears a flag; WriteReadState writes what reads back.

#include <bit>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_set>

#include "core/memory_settings_store.h"
#include "core/quor_app.h"
#include "core/settings_keys.h"
#include "fuzz_check.h"
#include "scratch_dir.h"
#include "storage/hash_set.h"
#include "storage/read_state.h"

namespace {

using namespace quor;

std::uint32_t ValueOfLastDigits(std::string_view line) {
    std::string digits;
    for (const char c : line) {
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))
            digits += c;
    }
    if (digits.size() > 8)
        digits.erase(0, digits.size() - 8);
    return digits.empty() ? 0
                          : static_cast<std::uint32_t>(std::strtoul(digits.c_str(), nullptr, 16));
}

std::uint32_t HashByBytes(std::string_view text) {
    std::uint32_t h = 0;
    for (const char c : text) {
        if (c == '\0')
            break;
        h = std::rotl(h ^ static_cast<unsigned char>(c), 4);
    }
    return std::rotl(h, 4);
}

// Four fields of a post cut from the bytes, so posts differ from input to input.
core::Post PostFrom(std::string_view bytes, std::size_t part) {
    const std::size_t quarter = bytes.size() / 4;
    const auto field = [&](std::size_t k) {
        return std::string(bytes.substr(((part + k) % 4) * quarter, quarter + part));
    };
    return {field(0), field(1), field(2), field(3), static_cast<std::int32_t>(part % 2)};
}

// The open-addressing set against the standard one: same size, every member found, and values
// next to the members (likely neighbours in a slot table) found only when they are members.
void CheckSameSet(const storage::HashSet& set, const std::unordered_set<std::uint32_t>& expected,
                  const char* what) {
    fuzz::Check(set.Size() == expected.size(), what);
    for (const std::uint32_t value : expected) {
        fuzz::Check(set.Contains(value), what);
        for (const std::uint32_t near : {value + 1, value - 1, value ^ 0x80000000u, ~value})
            fuzz::Check(set.Contains(near) == expected.contains(near), what);
    }
    fuzz::Check(set.Contains(0) == expected.contains(0), what);
}

// Every four bytes of the input as a value, inserted in order, duplicates included, so the set
// grows and collides in ways hash lines alone rarely make it.
void CheckWordsAsSet(std::string_view bytes) {
    storage::HashSet set(bytes.size() % 7);
    std::unordered_set<std::uint32_t> expected;
    for (std::size_t at = 0; at + 4 <= bytes.size(); at += 4) {
        std::uint32_t value = 0;
        std::memcpy(&value, bytes.data() + at, 4);
        set.Insert(value);
        expected.insert(value);
    }
    CheckSameSet(set, expected, "the hash set differs from a standard set");
}

void CheckHashes(std::string_view bytes) {
    for (std::size_t start = 0; start < bytes.size() && start < 64; ++start) {
        const std::string_view text = bytes.substr(start);
        fuzz::Check(storage::HashString(text) == HashByBytes(text), "HashString differs");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckHashes(bytes);

    std::unordered_set<std::uint32_t> expected;
    for (std::size_t start = 0; start < bytes.size();) {
        const std::size_t lf = bytes.find('\n', start);
        const std::string_view line =
            bytes.substr(start, lf == std::string_view::npos ? lf : lf - start);
        fuzz::Check(storage::ParseHexValue(line) == ValueOfLastDigits(line),
                    "ParseHexValue is not the value of the last eight digits");
        expected.insert(ValueOfLastDigits(line));
        start = lf == std::string_view::npos ? bytes.size() : lf + 1;
    }
    fuzz::Check(storage::ParseReadState(bytes) == expected, "the hash set is not the lines'");
    CheckWordsAsSet(bytes);

    core::MemorySettingsStore store;
    store.WriteString(core::kSectionGlobal, core::key::kOutputDirectory, fuzz::ScratchDir());
    store.WriteString(core::kSectionTree, core::BoardKey(core::key::kName, 1), "board");
    store.WriteInt(core::kSectionTree, core::key::kCount, 1);
    core::CQuorApp app(store);
    const auto posts = [&app] {
        return app.WithWorkspace(
            0, [](const core::BoardWorkspace& workspace) { return workspace.posts; });
    };
    const auto setUnread = [&app](std::int32_t flag) {
        app.WithWorkspace(0, [flag](core::BoardWorkspace& workspace) {
            for (auto& post : workspace.posts)
                post.unread = flag;
        });
    };
    app.WithWorkspace(0, [&](core::BoardWorkspace& workspace) {
        for (std::size_t part = 0; part < 4; ++part)
            workspace.posts.Append(PostFrom(bytes, part));
    });
    fuzz::WriteScratchFile(fuzz::ScratchDir() + "board.hcc", bytes);
    storage::CheckUnread(app, 0);
    const core::PostTable checked = posts();
    for (std::size_t part = 0; part < 4; ++part) {
        const core::Post& post = checked.At(part);
        const bool missing = !expected.contains(storage::HashPost(post));
        const bool wasUnread = part % 2 == 1;
        fuzz::Check(post.unread == ((missing || wasUnread) ? 1 : 0), "the unread check is wrong");
    }

    setUnread(0);
    fuzz::Check(storage::WriteReadState(app, 0).status == storage::StorageResult::kDone,
                "the read state was not written");
    storage::CheckUnread(app, 0);
    for (const auto& post : posts())
        fuzz::Check(post.unread == 0, "a post whose hash was written came back unread");
    setUnread(1);
    storage::CheckUnread(app, 0);
    for (const auto& post : posts())
        fuzz::Check(post.unread == 1, "the unread check cleared a flag");
    return 0;
}
