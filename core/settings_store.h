#pragma once

// The per-user keyed store that holds every setting of Quor, the board tree included.
//
// A two-level map: section -> key -> value. Values are integers (32-bit signed) or strings of
// code page 932 bytes. A missing key gives the default the caller passes; a value that is present
// but does not read as a 32-bit integer also gives the caller's default when read as an integer.
// Nothing is cached: every reader asks the store at the moment it needs a value, so a change made
// in a dialog takes effect at the next fetch or conversion.
//
// Implementations are safe for concurrent use: worker threads read while the user-interface thread
// writes, and a reader sees either the old or the new value of a key.

#include <optional>
#include <string>
#include <string_view>

namespace quor::core {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    virtual int ReadInt(std::string_view section, std::string_view key, int defaultValue) const;
    virtual std::string ReadString(std::string_view section, std::string_view key,
                                   std::string_view defaultValue) const;
    virtual void WriteInt(std::string_view section, std::string_view key, int value);
    virtual void WriteString(std::string_view section, std::string_view key,
                             std::string_view value) = 0;

    // Removes a key; used when boards are renumbered after a delete.
    virtual void RemoveKey(std::string_view section, std::string_view key) = 0;

    // The stored text of a key, or nothing when the key is missing.
    virtual std::optional<std::string> ReadRaw(std::string_view section,
                                               std::string_view key) const = 0;
};

// Reads a stored text as a 32-bit integer: optional blanks, an optional sign, decimal digits,
// optional blanks. Anything else, or a value outside the 32-bit range, gives nothing.
std::optional<int> ParseStoredInt(std::string_view text);

}  // namespace quor::core
