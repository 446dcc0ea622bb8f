#pragma once

// One extracted message of a board, and the ordered table of a board's posts.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quor::core {

struct Post {
    std::string title;        // code page 932, cleaned
    std::string name;         // the poster's name
    std::string date;         // as the page shows it, not parsed
    std::string message;      // line breaks as CR LF
    std::int32_t unread = 0;  // 1 once the unread check found the post's hash missing

    friend bool operator==(const Post&, const Post&) = default;
};

// Posts in the order they were found; index 0 is the first. Nothing ever removes a single post
// or reorders the table: the post list sorts its rows, not this table.
class PostTable {
public:
    std::size_t Count() const { return posts_.size(); }
    bool Empty() const { return posts_.empty(); }
    Post& At(std::size_t index) { return posts_.at(index); }
    const Post& At(std::size_t index) const { return posts_.at(index); }

    // Appends a copy of the post and returns its index.
    std::size_t Append(Post post) {
        posts_.push_back(std::move(post));
        return posts_.size() - 1;
    }

    // Removes every post and frees the table's storage.
    void Clear() { std::vector<Post>().swap(posts_); }

    void Reserve(std::size_t count) { posts_.reserve(count); }

    auto begin() { return posts_.begin(); }
    auto end() { return posts_.end(); }
    auto begin() const { return posts_.begin(); }
    auto end() const { return posts_.end(); }

private:
    std::vector<Post> posts_;
};

}  // namespace quor::core
