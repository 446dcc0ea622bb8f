#pragma once

// The settings store of the desktop program and quorcli: an INI file written through QSettings,
// $XDG_CONFIG_HOME/QUORSYS/quor.ini (by default ~/.config/QUORSYS/quor.ini), one INI section
// per store section. Values are held as UTF-8 text (integers in decimal), converted from and to
// code page 932 at this boundary; every write reaches the file at once, so a confirmed dialog
// survives a crash. Qt stays behind this header.

#include <memory>
#include <string>

#include "core/settings_store.h"

namespace quor::core {

class QSettingsStore final : public SettingsStore {
public:
    // The user's settings file.
    QSettingsStore();
    // A settings file of the caller's choice (UTF-8 path).
    explicit QSettingsStore(const std::string& iniPath);
    ~QSettingsStore() override;

    QSettingsStore(const QSettingsStore&) = delete;
    QSettingsStore& operator=(const QSettingsStore&) = delete;

    void WriteString(std::string_view section, std::string_view key,
                     std::string_view value) override;
    void RemoveKey(std::string_view section, std::string_view key) override;
    std::optional<std::string> ReadRaw(std::string_view section,
                                       std::string_view key) const override;

    // The file the store reads and writes (UTF-8).
    std::string FilePath() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace quor::core
