#pragma once

// The runtime record of one board while its pages are fetched and converted: the workspace's own
// copy of the latest page text (the text buffer), the posts extracted so far, the page counter of
// the current run, the parsing settings the conversion copied from the store, and the results of
// the next-page analysis.
//
// The application owns 64 workspaces, one per board slot, for its whole life. Markers, switches,
// field order, page limit and next-page values persist from one conversion to the next;
// ClearBoard() touches only the text buffer, the posts and the page counter.
//
// Locking: `mutex` guards the post table and the text buffer. The conversion holds it while it
// rewrites them; views hold it for the length of a read. Nobody holds it while calling the
// frontend.

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "core/post.h"

namespace quor::core {

enum FieldKind : std::int32_t {
    kFieldTitle = 0,
    kFieldName = 1,
    kFieldDate = 2,
    kFieldMessage = 3
};

class BoardWorkspace {
public:
    BoardWorkspace() = default;
    explicit BoardWorkspace(std::string_view text) { SetText(text); }
    virtual ~BoardWorkspace() = default;

    BoardWorkspace(const BoardWorkspace&) = delete;
    BoardWorkspace& operator=(const BoardWorkspace&) = delete;

    // Replaces the text buffer with a copy of the text up to its first zero byte.
    void SetText(std::string_view text);

    // Drops the HTTP header: when the buffer holds "\r\n\r\n", the text from its first occurrence
    // on (the four bytes included) moves to the start of the buffer.
    void StripHeader();

    // Frees the text buffer, removes every post and sets the page counter back to 1.
    void ClearBoard();

    bool HasText() const { return hasText_; }
    // The text buffer; empty when there is none. Conversions rewrite it in place and may only
    // shorten it.
    std::string& Text() { return text_; }
    const std::string& Text() const { return text_; }

    // Fields in their order of declaration; each starts at its initial value.
    PostTable posts;
    std::int32_t pageCounter = 1;
    std::int32_t pageLimit = 0;  // set from PageCt at each conversion
    std::array<std::int32_t, 4> fieldOrder{kFieldTitle, kFieldName, kFieldDate, kFieldMessage};
    std::string skipMarker;
    std::string titleStart, titleEnd;
    std::string nameStart, nameEnd;
    std::string dateStart, dateEnd;
    std::string messageStart, messageEnd;
    std::int32_t lineFeedSwitch = 0;
    std::int32_t spaceSwitch = 0;
    std::int32_t tabSwitch = 0;
    std::string nextPageSearchText;
    std::int32_t nextPageFlag = 0;    // set by each analysis
    std::int32_t nextPageNumber = 0;  // set by each analysis
    std::string nextPageQuery;
    std::int32_t nextPageMethod = 0;  // set from NextAna at each conversion
    std::int32_t noCaseSwitch = 0;    // set from NoCase at each conversion
    std::int32_t charRefSwitch = 0;   // set from CharRef at each conversion

    mutable std::mutex mutex;

private:
    std::string text_;
    bool hasText_ = false;
};

}  // namespace quor::core
