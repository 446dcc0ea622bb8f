#include "storage/board_files.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "storage/board_file_io.h"
#include "storage/line_ends.h"

namespace quor::storage {

namespace {

constexpr std::string_view kPageEndTag = "</html>";

// The fields of a line that holds exactly three commas, empty ones included.
bool SplitFourFields(std::string_view line, std::array<std::string_view, 4>& fields) {
    std::size_t field = 0;
    for (;;) {
        const std::size_t comma = line.find(',');
        if (comma == std::string_view::npos)
            break;
        if (field == 3)
            return false;
        fields[field++] = line.substr(0, comma);
        line.remove_prefix(comma + 1);
    }
    if (field != 3)
        return false;
    fields[3] = line;
    return true;
}

// The reading of older versions: runs of commas separate, commas at either end vanish, and only a
// line of exactly four such tokens is a post.
bool SplitFourTokens(std::string_view line, std::array<std::string_view, 4>& fields) {
    std::size_t count = 0;
    std::size_t pos = 0;
    while (pos < line.size()) {
        if (line[pos] == ',') {
            ++pos;
            continue;
        }
        const std::size_t end = std::min(line.find(',', pos), line.size());
        if (count == 4)
            return false;
        fields[count++] = line.substr(pos, end - pos);
        pos = end;
    }
    return count == 4;
}

std::optional<core::Post> ParseIndexLine(std::string_view line) {
    std::array<std::string_view, 4> fields;
    if (!SplitFourFields(line, fields) && !SplitFourTokens(line, fields))
        return std::nullopt;
    core::Post post;
    post.title = HexDecodeField(fields[0]);
    post.date = HexDecodeField(fields[1]);
    post.name = HexDecodeField(fields[2]);
    post.message = HexDecodeField(fields[3]);
    return post;
}

// The page text up to its first zero byte, with disk line ends.
std::string ArchiveBytesOf(const std::string& page) {
    const std::size_t zero = page.find('\0');
    return ToCrLf(std::string_view(page).substr(0, zero));
}

}  // namespace

std::optional<std::string> BoardFilePath(const core::CQuorApp& app, int slot,
                                         std::string_view extension) {
    BoardLocation location = LocateBoardFile(app, slot, extension);
    if (location.status != BoardLocation::kOk)
        return std::nullopt;
    return std::move(location.path);
}

StorageResult AppendPageArchive(core::CQuorApp& app, int slot) {
    return WriteBoardFile(app, slot, BoardFileKind::kArchive, [&]() -> std::optional<std::string> {
        return app.WithPageText(slot, ArchiveBytesOf);
    });
}

StorageResult ReadPageArchive(core::CQuorApp& app, int slot) {
    return ReadBoardFile(
        app, slot, BoardFileKind::kArchive,
        [&](std::string bytes) { app.SetPageText(slot, FromCrLf(bytes)); }, FindFirstPageEnd);
}

StorageResult WritePostIndex(core::CQuorApp& app, int slot) {
    return WriteBoardFile(app, slot, BoardFileKind::kIndex,
                          FormattedPosts(app, slot, FormatPostIndex));
}

StorageResult ReadPostIndex(core::CQuorApp& app, int slot) {
    return ReadBoardFile(app, slot, BoardFileKind::kIndex, [&](std::string bytes) {
        std::vector<core::Post> posts = ParsePostIndex(bytes);
        std::string().swap(bytes);
        app.WithWorkspace(slot, [&](core::BoardWorkspace& workspace) {
            workspace.posts.Clear();
            workspace.posts.Reserve(posts.size());
            for (auto& post : posts)
                workspace.posts.Append(std::move(post));
        });
    });
}

std::string FormatPostIndex(const core::PostTable& posts) {
    std::size_t size = 0;
    for (const auto& post : posts)
        size +=
            2 * (post.title.size() + post.date.size() + post.name.size() + post.message.size()) + 5;
    std::string out;
    out.reserve(size);
    for (const auto& post : posts) {
        AppendHexField(out, post.title);
        out.push_back(',');
        AppendHexField(out, post.date);
        out.push_back(',');
        AppendHexField(out, post.name);
        out.push_back(',');
        AppendHexField(out, post.message);
        out.append("\r\n");
    }
    return out;
}

std::vector<core::Post> ParsePostIndex(std::string_view bytes) {
    std::vector<core::Post> posts;
    while (!bytes.empty()) {
        const std::size_t lf = bytes.find('\n');
        std::string_view line = bytes.substr(0, lf);
        bytes.remove_prefix(lf == std::string_view::npos ? bytes.size() : lf + 1);
        // The CR of a CR LF line end belongs to the line end, not to the last field.
        if (lf != std::string_view::npos && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (auto post = ParseIndexLine(line))
            posts.push_back(std::move(*post));
    }
    return posts;
}

std::size_t FindFirstPageEnd(std::string_view bytes, std::size_t newFrom) {
    // The tag may straddle two pieces, and a line found earlier may only now get its end.
    const std::size_t lineStart =
        newFrom == 0 ? 0 : bytes.rfind('\n', newFrom - 1) + 1;  // npos + 1 == 0
    const std::size_t tag = bytes.find(kPageEndTag, lineStart);
    if (tag == std::string_view::npos)
        return std::string_view::npos;
    const std::size_t lf = bytes.find('\n', tag + kPageEndTag.size());
    return lf == std::string_view::npos ? std::string_view::npos : lf + 1;
}

}  // namespace quor::storage
