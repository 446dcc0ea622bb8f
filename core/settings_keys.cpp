#include "core/settings_keys.h"

namespace quor::core {

std::string BoardKey(std::string_view stem, int boardNumber) {
    std::string name(stem);
    name += std::to_string(boardNumber);
    return name;
}

}  // namespace quor::core
