#include "core/settings_keys.h"

#include <algorithm>

#include "core/settings_store.h"

namespace quor::core {

std::string BoardKey(std::string_view stem, int boardNumber) {
    std::string name(stem);
    name += std::to_string(boardNumber);
    return name;
}

int BoardCount(const SettingsStore& store) {
    return std::min(StoredBoardCount(store), kSlotCount);
}

int StoredBoardCount(const SettingsStore& store) {
    return std::max(store.ReadInt(kSectionTree, key::kCount, defaults::kCount), 0);
}

}  // namespace quor::core
