#pragma once

// The status-line texts more than one part of the engine shows, each written once here, in code
// page 932. A board's conversion shows its name followed by "変換中" and then "変換終了"; a fetch
// run that converted its boards ends with "変換終了" alone.

#include <string>

namespace quor::core {

const std::string& ConvertingText();          // "変換中", converting
const std::string& ConversionFinishedText();  // "変換終了", conversion finished

}  // namespace quor::core
