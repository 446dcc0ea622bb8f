#pragma once

// A post marker as the extraction seeks it. "{*}" inside a marker is a wildcard: it matches the
// shortest run of bytes that holds neither "<" nor ">" (an attribute value, a per-post number),
// so `<span style="color:{*}">` finds a message start whatever colour each post has. A marker
// without "{*}" matches exactly, as a plain search does.
//
// Matching: the first occurrence wins (the one that begins first), and within it each wildcard
// takes the shortest run after which the next piece of the marker follows. A wildcard's run is
// not revisited once taken, so a marker whose later pieces fail after the shortest run of an
// earlier wildcard fails there, even where a longer run would have let it match; a run can only
// grow past another occurrence of the next piece, and pieces without "<" or ">" never need that.
// Wildcards at the start or end of a marker, and wildcards side by side, take the empty run; a
// marker of wildcards only is the empty marker.
//
// Searches are made on the text as the conversion seeks it (a folded copy for a board that
// ignores case): the pattern is built from the marker in the same form.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quor::convert {

inline constexpr std::string_view kWildcard = "{*}";

struct MarkerMatch {
    std::size_t begin;  // kNotFound (npos) when the marker does not occur
    std::size_t end;    // one past the last byte of the occurrence

    bool Found() const { return begin != std::string_view::npos; }
};

class MarkerPattern final {
public:
    explicit MarkerPattern(std::string_view marker = {});

    // The first occurrence that begins at or after `from`. An empty marker is found at `from`
    // when `from` lies within the text or at its end, as the plain search does.
    MarkerMatch Find(std::string_view text, std::size_t from);

    bool HasWildcard() const { return pieces_.size() > 1; }

private:
    // One search of a piece within a wildcard's reach, kept while the reach is the same: every
    // search of a Find that starts between `from` and the result (or the reach's end) has the
    // same answer.
    struct Reach {
        std::size_t from = std::string_view::npos;
        std::size_t angle = 0;  // the first "<" or ">" at or after `from`, or the text's end
        std::size_t found = 0;  // where the piece starts, or npos
    };

    // Where piece k (k >= 1) begins after a run from `at`, or npos.
    std::size_t FindAfterRun(std::string_view text, std::size_t k, std::size_t at);
    // The first "<" or ">" at or after `at`, or the text's end. Remembers the last answer: every
    // position from the one asked down to the answer has the same one, so a page is scanned
    // about once however many candidates a marker has.
    std::size_t AngleAfter(std::string_view text, std::size_t at);

    std::string marker_;                              // without wildcards: the marker itself
    std::vector<std::string> pieces_;                 // the texts between wildcards, none empty
    std::vector<Reach> reaches_;                      // per piece, reset by each Find
    std::size_t angleFrom_ = std::string_view::npos;  // reset by each Find
    std::size_t angle_ = 0;
};

}  // namespace quor::convert
