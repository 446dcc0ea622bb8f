#include "storage/read_state.h"

#include <bit>
#include <cstring>

#include "core/settings_keys.h"
#include "storage/board_file_io.h"
#include "storage/hash_set.h"

namespace quor::storage {

namespace {

// Byte i of an n-byte text is XORed in and then rotated once for itself, once for each later byte
// and once for the terminator: n - i + 1 rotations of 4 bits. A rotation by 32 is none, so only i
// modulo 8 matters, and the bytes can be XORed together eight at a time, column by column, before
// each column is rotated into place once. Same value as the byte loop, at memory speed.
std::uint32_t HashBytes(const unsigned char* bytes, std::size_t n) {
    std::uint64_t columns[4] = {0, 0, 0, 0};
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        for (int lane = 0; lane < 4; ++lane) {
            std::uint64_t word;
            std::memcpy(&word, bytes + i + 8 * lane, 8);
            columns[lane] ^= word;
        }
    }
    std::uint64_t column = columns[0] ^ columns[1] ^ columns[2] ^ columns[3];
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        column ^= word;
    }
    if (i < n) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes + i, n - i);
        column ^= word;
    }
    std::uint32_t h = 0;
    for (unsigned r = 0; r < 8; ++r) {
        const auto byte = static_cast<std::uint32_t>((column >> (8 * r)) & 0xff);
        const unsigned rotations = static_cast<unsigned>((n + 1 - r) % 8);
        h ^= std::rotl(byte, static_cast<int>(4 * rotations));
    }
    return h;
}

// The rule itself, for big-endian machines; on little-endian ones only a discarded branch names
// it, which some compilers count as unused.
[[maybe_unused]] std::uint32_t HashBytesOneByOne(const unsigned char* bytes, std::size_t n) {
    std::uint32_t h = 0;
    for (std::size_t i = 0; i < n; ++i)
        h = std::rotl(h ^ bytes[i], 4);
    return std::rotl(h, 4);
}

void AppendHashLine(std::string& out, std::uint32_t hash) {
    constexpr char kDigits[] = "0123456789abcdef";
    char line[10];
    for (int digit = 7; digit >= 0; --digit) {
        line[digit] = kDigits[hash & 15];
        hash >>= 4;
    }
    line[8] = '\r';
    line[9] = '\n';
    out.append(line, sizeof line);
}

}  // namespace

std::uint32_t HashString(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    if constexpr (std::endian::native == std::endian::little)
        return HashBytes(bytes, text.size());
    else
        return HashBytesOneByOne(bytes, text.size());
}

std::uint32_t HashPost(const core::Post& post) {
    return HashString(post.title) ^ HashString(post.date) ^ HashString(post.name) ^
           HashString(post.message);
}

std::uint32_t ParseHexValue(std::string_view line) {
    std::uint32_t value = 0;
    for (const char c : line) {
        if (c >= '0' && c <= '9')
            value = value * 16 + static_cast<std::uint32_t>(c - '0');
        else if (c >= 'a' && c <= 'f')
            value = value * 16 + static_cast<std::uint32_t>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            value = value * 16 + static_cast<std::uint32_t>(c - 'A' + 10);
    }
    return value;
}

std::string FormatReadState(const core::PostTable& posts) {
    std::string out;
    out.reserve(posts.Count() * 10);
    for (const auto& post : posts) {
        if (post.unread == 0)
            AppendHashLine(out, HashPost(post));
    }
    return out;
}

std::vector<std::uint32_t> ReadStateValues(std::string_view bytes) {
    std::vector<std::uint32_t> values;
    values.reserve(bytes.size() / 10 + 1);
    while (!bytes.empty()) {
        const std::size_t lf = bytes.find('\n');
        values.push_back(ParseHexValue(bytes.substr(0, lf)));
        bytes.remove_prefix(lf == std::string_view::npos ? bytes.size() : lf + 1);
    }
    return values;
}

std::unordered_set<std::uint32_t> ParseReadState(std::string_view bytes) {
    const std::vector<std::uint32_t> values = ReadStateValues(bytes);
    return {values.begin(), values.end()};
}

StorageResult WriteReadState(core::CQuorApp& app, int slot) {
    return WriteBoardFile(app, slot, BoardFileKind::kReadState,
                          FormattedPosts(app, slot, FormatReadState));
}

StorageResult CheckUnread(core::CQuorApp& app, int slot) {
    return ReadBoardFile(app, slot, BoardFileKind::kReadState, [&](std::string bytes) {
        const std::vector<std::uint32_t> values = ReadStateValues(bytes);
        HashSet hashes(values.size());
        for (const std::uint32_t value : values)
            hashes.Insert(value);
        app.WithWorkspace(slot, [&](core::BoardWorkspace& workspace) {
            for (auto& post : workspace.posts) {
                if (!hashes.Contains(HashPost(post)))
                    post.unread = 1;
            }
        });
    });
}

BoardsResult OnUnreadCheck(core::CQuorApp& app) {
    BoardsResult result;
    const int count = core::BoardCount(app.Store());
    for (int slot = 0; slot < count; ++slot)
        result.Add(CheckUnread(app, slot));
    app.RefreshPostList();
    return result;
}

BoardsResult OnWriteReadState(core::CQuorApp& app) {
    BoardsResult result;
    const int count = core::BoardCount(app.Store());
    for (int slot = 0; slot < count; ++slot)
        result.Add(WriteReadState(app, slot));
    return result;
}

bool MarkPostRead(core::CQuorApp& app, int slot, std::size_t index) {
    return app.WithWorkspace(slot, [index](core::BoardWorkspace& workspace) {
        if (index >= workspace.posts.Count())
            return false;
        workspace.posts.At(index).unread = 0;
        return true;
    });
}

}  // namespace quor::storage
