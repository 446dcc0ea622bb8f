#pragma once

// The named character entities of HTML 4.01 (&copy;, &hellip;, &nbsp; …), for the text cleaner's
// character references.

#include <cstddef>
#include <optional>
#include <string_view>

namespace quor::convert {

// The code point of the entity with this name (without "&" and ";"), or nothing.
std::optional<char32_t> LookupNamedEntity(std::string_view name);

// The length of the longest entity name, so a scanner knows how far to look for the ";".
std::size_t LongestEntityName();

}  // namespace quor::convert
