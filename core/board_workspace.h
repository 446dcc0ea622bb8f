#pragma once

// The runtime record of one board while its pages are fetched and converted: the workspace's own
// copy of the latest page text (the text buffer), the posts extracted so far, the page counter of
// the current run, the parsing rules the conversion copied from the store, and the results of
// the next-page analysis.
//
// The application owns 64 workspaces, one per board slot, for its whole life, each behind the
// lock of a SharedWorkspace. The rules and the next-page results persist from one conversion to
// the next; ClearBoard() touches only the text buffer, the posts and the page counter.
//
// Locking: a SharedWorkspace hands out its workspace only to a function that runs under its
// lock, so no reader or writer can forget it. The conversion holds it while it rewrites the
// workspace; views hold it for the length of a read. Nobody holds it while calling the frontend.
// A BoardWorkspace on its own (a preview, a test) has no lock and needs none.

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "core/parse_rules.h"
#include "core/post.h"

namespace quor::core {

// What the latest next-page analysis found. The flag and number are set by each analysis; the
// query only when a link gives one, so an older query outlives analyses that find none.
struct NextPageResult {
    std::int32_t flag = 0;  // 1: another page follows
    std::int32_t number = 0;
    std::string query;

    friend bool operator==(const NextPageResult&, const NextPageResult&) = default;
};

class BoardWorkspace {
public:
    BoardWorkspace() = default;
    explicit BoardWorkspace(std::string_view text) { SetText(text); }

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

    // Hands everything to `to` (text buffer, posts, page counter, rules, next-page results), then
    // clears this board; its rules and next-page results stay as they were.
    void MoveContentTo(BoardWorkspace& to);

    PostTable posts;
    std::int32_t pageCounter = 1;
    ParseRules rules;
    NextPageResult nextPage;

private:
    std::string text_;
    bool hasText_ = false;
};

// A workspace behind its lock, as the application's tables hold it.
class SharedWorkspace final {
public:
    SharedWorkspace() = default;
    SharedWorkspace(const SharedWorkspace&) = delete;
    SharedWorkspace& operator=(const SharedWorkspace&) = delete;

    // Runs f on the workspace with the lock held and returns what f returns. f must not call the
    // frontend, and may not hand out a reference into the workspace: it would outlive the lock.
    template <typename F>
    decltype(auto) With(F&& f) {
        static_assert(!std::is_reference_v<std::invoke_result_t<F, BoardWorkspace&>>,
                      "a reference into the workspace would escape its lock");
        const std::lock_guard lock(mutex_);
        return std::forward<F>(f)(workspace_);
    }
    template <typename F>
    decltype(auto) With(F&& f) const {
        static_assert(!std::is_reference_v<std::invoke_result_t<F, const BoardWorkspace&>>,
                      "a reference into the workspace would escape its lock");
        const std::lock_guard lock(mutex_);
        return std::forward<F>(f)(std::as_const(workspace_));
    }

    // BoardWorkspace::MoveContentTo with both locks held. The two are taken together, so moves
    // between the same two workspaces in opposite directions cannot deadlock. A move to itself
    // changes nothing.
    void MoveContentTo(SharedWorkspace& to);

private:
    mutable std::mutex mutex_;
    BoardWorkspace workspace_;
};

}  // namespace quor::core
