#include "convert/marker_pattern.h"

#include <algorithm>
#include <cstring>

namespace quor::convert {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

// The first "<" or ">" in text[at, stop), or `stop`.
std::size_t NextAngle(std::string_view text, std::size_t at, std::size_t stop) {
    if (at >= stop)
        return stop;
    const char* const begin = text.data() + at;
    const std::size_t left = stop - at;
    const void* const open = std::memchr(begin, '<', left);
    const std::size_t limit =
        open ? static_cast<std::size_t>(static_cast<const char*>(open) - begin) : left;
    const void* const close = std::memchr(begin, '>', limit);
    return at + (close ? static_cast<std::size_t>(static_cast<const char*>(close) - begin) : limit);
}

}  // namespace

MarkerPattern::MarkerPattern(std::string_view marker) : marker_(marker) {
    std::size_t start = 0;
    for (;;) {
        const std::size_t wildcard = marker.find(kWildcard, start);
        const std::string_view piece = marker.substr(start, wildcard - start);
        if (!piece.empty())
            pieces_.emplace_back(piece);
        if (wildcard == kNone)
            break;
        start = wildcard + kWildcard.size();
    }
    if (pieces_.size() <= 1)
        marker_ = pieces_.empty() ? std::string() : pieces_.front();
    reaches_.resize(pieces_.size());
}

std::size_t MarkerPattern::AngleAfter(std::string_view text, std::size_t at) {
    if (angleFrom_ != kNone && at <= angle_) {
        if (at >= angleFrom_)
            return angle_;
        // Only the bytes before the part already scanned are new.
        const std::size_t scanned = angleFrom_;
        const std::size_t angle = NextAngle(text, at, scanned);
        angleFrom_ = at;
        if (angle < scanned)
            angle_ = angle;
        return angle_;
    }
    angleFrom_ = at;
    angle_ = NextAngle(text, at, text.size());
    return angle_;
}

std::size_t MarkerPattern::FindAfterRun(std::string_view text, std::size_t k, std::size_t at) {
    Reach& reach = reaches_[k];
    if (reach.from != kNone && at >= reach.from &&
        at <= (reach.found == kNone ? reach.angle : reach.found))
        return reach.found;
    const std::string& piece = pieces_[k];
    const std::size_t angle = AngleAfter(text, at);
    // The piece may begin at the angle itself but not after it.
    const std::size_t limit = std::min(text.size(), angle + piece.size());
    reach = {at, angle, text.substr(0, limit).find(piece, at)};
    return reach.found;
}

MarkerMatch MarkerPattern::Find(std::string_view text, std::size_t from) {
    if (from > text.size())
        return {kNone, kNone};
    if (!HasWildcard()) {
        const std::size_t at = text.find(marker_, from);
        return {at, at == kNone ? kNone : at + marker_.size()};
    }
    std::fill(reaches_.begin(), reaches_.end(), Reach{});
    angleFrom_ = kNone;
    const std::string& first = pieces_.front();
    for (std::size_t begin = text.find(first, from); begin != kNone;
         begin = text.find(first, begin + 1)) {
        std::size_t at = begin + first.size();
        std::size_t k = 1;
        for (; k < pieces_.size(); ++k) {
            const std::size_t found = FindAfterRun(text, k, at);
            if (found == kNone)
                break;
            at = found + pieces_[k].size();
        }
        if (k == pieces_.size())
            return {begin, at};
    }
    return {kNone, kNone};
}

}  // namespace quor::convert
