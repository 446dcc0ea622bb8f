#pragma once

// Which posts the user has seen, remembered as hashes rather than as the posts themselves.
//
// Post hash: HashString(text) starts with h = 0 and, for each byte c (0-255) and once more for the
// terminating zero byte, sets h = h XOR c and rotates h left by 4 bits. The last step only
// rotates, but stored files depend on it: "" hashes to 00000000, "a" to 00006100, "abc" to
// 00674300. HashPost is the XOR of the hashes of title, date, name and message; the unread flag
// takes no part, and swapping two fields' texts gives the same hash.
//
// Read-state file, <name>.hcc (board_location.h): one line per post whose unread flag is 0, in
// table order, the hash as exactly eight lowercase hexadecimal digits, CR LF ("%08x"). No header
// or trailer; duplicates are harmless. It is rewritten whole, through a temporary file, so a
// failed write leaves the old one as it was.
//
// Reading it, every line counts, whatever it holds: its hexadecimal digits (either case) make
// the value, everything else on the line is skipped, more than eight digits keep the last eight,
// and a line without a digit gives 0. Lines are read whole, however long.
//
// The unread check marks (flag 1) every post whose hash is not in the file and never sets a flag
// back to 0; without a file it changes nothing, with an empty file every post becomes unread.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "core/post.h"
#include "core/quor_app.h"
#include "storage/board_location.h"

namespace quor::storage {

// The text is taken up to its first zero byte, as the terminator ends it.
std::uint32_t HashString(std::string_view text);
std::uint32_t HashPost(const core::Post& post);
std::uint32_t ParseHexValue(std::string_view line);

// Rewrites the board's read-state file with the hashes of its read posts. An empty post table
// writes nothing and leaves an existing file as it is (kSkipped).
StorageResult WriteReadState(core::CQuorApp& app, int slot);

// Marks the board's posts whose hash the read-state file lacks. kSkipped when there is no file.
StorageResult CheckUnread(core::CQuorApp& app, int slot);

// The unread check of every board, then the post list is refilled so it shows the new flags.
// Runs on the user-interface thread or on a fetch run's driver thread.
BoardsResult OnUnreadCheck(core::CQuorApp& app);

// Writes every board's read state. No refresh, no message beyond the failures.
BoardsResult OnWriteReadState(core::CQuorApp& app);

// Marks one post read, as selecting it in the post list does. False when there is no such post.
bool MarkPostRead(core::CQuorApp& app, int slot, std::size_t index);

// The file format on its own, for the operations above and for tests.
std::string FormatReadState(const core::PostTable& posts);
// The value of every line of a read-state file, in file order.
std::vector<std::uint32_t> ReadStateValues(std::string_view bytes);
std::unordered_set<std::uint32_t> ParseReadState(std::string_view bytes);

}  // namespace quor::storage
