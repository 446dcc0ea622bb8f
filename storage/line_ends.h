#pragma once

// Line ends of the board files. Every file in the output directory has CR LF line ends: on
// writing, each LF of a text becomes CR LF (an LF already preceded by CR too, so CR LF in a page
// is stored as CR CR LF); on reading, each CR LF becomes LF again. The two are exact inverses, so
// a page text comes back byte for byte.

#include <string>
#include <string_view>

namespace quor::storage {

// Appends `text` to `out` with every LF written as CR LF.
void AppendWithCrLf(std::string& out, std::string_view text);
std::string ToCrLf(std::string_view text);

// Every CR LF of `bytes` as LF; a CR on its own stays.
std::string FromCrLf(std::string_view bytes);

}  // namespace quor::storage
