#pragma once

// A settings store held in memory, for tests and for tools that must not touch the user's file.

#include <map>
#include <mutex>
#include <string>

#include "core/settings_store.h"

namespace quor::core {

class MemorySettingsStore final : public SettingsStore {
public:
    void WriteString(std::string_view section, std::string_view key,
                     std::string_view value) override;
    void RemoveKey(std::string_view section, std::string_view key) override;
    std::optional<std::string> ReadRaw(std::string_view section,
                                       std::string_view key) const override;

private:
    using Section = std::map<std::string, std::string, std::less<>>;
    mutable std::mutex mutex_;
    std::map<std::string, Section, std::less<>> sections_;
};

}  // namespace quor::core
