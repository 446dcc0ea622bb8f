#include "core/status_texts.h"

#include "core/cp932.h"

namespace quor::core {

const std::string& ConvertingText() {
    static const std::string text = FromUtf8("変換中");
    return text;
}

const std::string& ConversionFinishedText() {
    static const std::string text = FromUtf8("変換終了");
    return text;
}

}  // namespace quor::core
