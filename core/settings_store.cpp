#include "core/settings_store.h"

#include <charconv>

namespace quor::core {

namespace {

std::string_view TrimBlanks(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\n";
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

}  // namespace

std::optional<int> ParseStoredInt(std::string_view text) {
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

int SettingsStore::ReadInt(std::string_view section, std::string_view key, int defaultValue) const {
    const auto raw = ReadRaw(section, key);
    if (!raw)
        return defaultValue;
    return ParseStoredInt(*raw).value_or(defaultValue);
}

std::string SettingsStore::ReadString(std::string_view section, std::string_view key,
                                      std::string_view defaultValue) const {
    auto raw = ReadRaw(section, key);
    return raw ? std::move(*raw) : std::string(defaultValue);
}

void SettingsStore::WriteInt(std::string_view section, std::string_view key, int value) {
    WriteString(section, key, std::to_string(value));
}

}  // namespace quor::core
