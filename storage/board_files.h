#pragma once

// The two files that carry a board's content, in the output directory (see board_location.h for
// the names). Contents are code page 932 bytes, never converted; line ends are CR LF on disk
// (line_ends.h).
//
// Page archive, <name>.txt: the page texts received for the board, appended one after another
// exactly as each stood (up to its first zero byte), with no header, separator, length or time
// stamp. It only grows, and only Clear removes it. Reading it back gives the first stored page:
// everything up to and including the first line that holds "</html>" (case-sensitive), or the
// whole file when no line does.
//
// Post index, <name>.idx: one line per post, in table order, no header or trailer:
//     <title>,<date>,<name>,<message> CR LF
// each field a hex field (hex_field.h). Note the order: title, date, name, message. The unread
// flag is not stored; every post read back is read (flag 0). A field may be empty (two adjacent
// commas, or a comma at either end); such a post reads back as it was written. A line that does
// not hold exactly three commas is read the old way (runs of commas are one separator, commas at
// either end are dropped), so every line an older writer produced reads as before; a line that
// does not give four fields either way is skipped. Lines are read whole, however long.
//
// Every operation works on one board slot through the step of board_file_io.h: it reads the
// board's settings from the store each time and leaves a board with an empty name alone. A board
// whose name cannot be a file name, and a write that fails, are reported on the status line and
// skip that board; the old index stays whole.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/post.h"
#include "core/quor_app.h"
#include "storage/board_location.h"
#include "storage/hex_field.h"

namespace quor::storage {

// Output directory + name + extension (UTF-8), or nothing for an empty or refused name.
std::optional<std::string> BoardFilePath(const core::CQuorApp& app, int slot,
                                         std::string_view extension);

// Appends the board's page text to its page archive, creating the file when missing.
StorageResult AppendPageArchive(core::CQuorApp& app, int slot);

// Replaces the board's page text with the first page of its archive. kDone when the archive was
// read (an empty archive gives an empty page text); otherwise the page text is unchanged.
StorageResult ReadPageArchive(core::CQuorApp& app, int slot);

// Rewrites the board's post index from its post table. An empty table writes nothing and leaves
// an existing index as it is (kSkipped).
StorageResult WritePostIndex(core::CQuorApp& app, int slot);

// Replaces the board's post table with the posts of its index, all read. Without an index (or
// when it cannot be read) the table stays as it was. The post list is not refreshed here.
StorageResult ReadPostIndex(core::CQuorApp& app, int slot);

// The file formats on their own, for the operations above and for tests.
std::string FormatPostIndex(const core::PostTable& posts);
std::vector<core::Post> ParsePostIndex(std::string_view bytes);
// Where the first stored page ends in archive bytes read so far (one past the LF of the line that
// holds "</html>"), or npos when it is not in them yet. Only the line that holds `newFrom` and
// those after it are searched again.
std::size_t FindFirstPageEnd(std::string_view bytes, std::size_t newFrom);

}  // namespace quor::storage
