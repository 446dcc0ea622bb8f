#include "core/memory_settings_store.h"

namespace quor::core {

void MemorySettingsStore::WriteString(std::string_view section, std::string_view key,
                                      std::string_view value) {
    const std::lock_guard lock(mutex_);
    auto sectionIt = sections_.find(section);
    if (sectionIt == sections_.end())
        sectionIt = sections_.emplace(std::string(section), Section{}).first;
    sectionIt->second.insert_or_assign(std::string(key), std::string(value));
}

void MemorySettingsStore::RemoveKey(std::string_view section, std::string_view key) {
    const std::lock_guard lock(mutex_);
    const auto sectionIt = sections_.find(section);
    if (sectionIt == sections_.end())
        return;
    const auto keyIt = sectionIt->second.find(key);
    if (keyIt != sectionIt->second.end())
        sectionIt->second.erase(keyIt);
}

std::optional<std::string> MemorySettingsStore::ReadRaw(std::string_view section,
                                                        std::string_view key) const {
    const std::lock_guard lock(mutex_);
    const auto sectionIt = sections_.find(section);
    if (sectionIt == sections_.end())
        return std::nullopt;
    const auto keyIt = sectionIt->second.find(key);
    if (keyIt == sectionIt->second.end())
        return std::nullopt;
    return keyIt->second;
}

}  // namespace quor::core
