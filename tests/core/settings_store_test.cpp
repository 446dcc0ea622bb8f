#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <thread>

#include "core/cp932.h"
#include "core/memory_settings_store.h"
#include "core/settings_keys.h"
#include "settings/qsettings_store.h"
#include "support/temp_dir.h"

namespace quor::core {
namespace {

// Values that must come back byte for byte: every marker of the built-in templates, and the
// characters INI files like to eat.
const std::vector<std::string>& AwkwardValues() {
    static const std::vector<std::string> values = [] {
        std::vector<std::string> utf8 = {"</td></tr></table><p>",
                                         "<small>　",
                                         "</b></font>",
                                         "投稿者：",
                                         "さん",
                                         "【",
                                         "】",
                                         "<div>",
                                         "</blockquote>",
                                         "<br><br><center>",
                                         "<b>",
                                         "</b>",
                                         "投稿日：",
                                         "</font>",
                                         "<blockquote>",
                                         "  <table>",
                                         "<td><font size=\"5\" color=\"#ff0000\">",
                                         "<td><font size=\"4\" color=\"#0000ff\">",
                                         "<font size=\"3\" color=\"#ff0000\">",
                                         "<td colspan=\"6\">",
                                         "  <td><br></td>",
                                         "</small></p>",
                                         "<td width=50% rowspan=2><b>",
                                         "<td width=50% bgcolor=\"#e0f0ff\"><b>",
                                         "<br>",
                                         "</td>",
                                         "<td colspan=2 id=\"kiji\">",
                                         "<hr>",
                                         "<p>",
                                         "<small>",
                                         "</small>",
                                         "<font size=4>",
                                         "<font size=-1>",
                                         "a,b,c",
                                         "\"quoted\"",
                                         "x=y",
                                         "a;b",
                                         "#hash",
                                         "back\\slash\\",
                                         "  leading and trailing  ",
                                         "",
                                         "①～髙ﾃｽﾄ",
                                         "@at",
                                         "tab\there",
                                         "line\nfeed",
                                         "semi;colon=equals,comma"};
        std::vector<std::string> cp932;
        for (const auto& value : utf8)
            cp932.push_back(FromUtf8(value));
        return cp932;
    }();
    return values;
}

void ExpectRoundTrips(SettingsStore& writer, const SettingsStore& reader) {
    const auto& values = AwkwardValues();
    for (std::size_t i = 0; i < values.size(); ++i)
        writer.WriteString(kSectionTree, BoardKey("TitA", static_cast<int>(i) + 1), values[i]);
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(reader.ReadString(kSectionTree, BoardKey("TitA", static_cast<int>(i) + 1), "?"),
                  values[i])
            << "value " << i << ": " << ToUtf8(values[i]);
    }
}

void ExpectIntegerRules(SettingsStore& store) {
    EXPECT_EQ(store.ReadInt(kSectionGlobal, key::kThreadCount, 5), 5);
    EXPECT_EQ(store.ReadString(kSectionGlobal, key::kProxyServer, "dflt"), "dflt");
    store.WriteInt(kSectionGlobal, key::kThreadCount, -7);
    EXPECT_EQ(store.ReadInt(kSectionGlobal, key::kThreadCount, 5), -7);
    store.WriteInt(kSectionGlobal, key::kTimeout, 2147483647);
    EXPECT_EQ(store.ReadInt(kSectionGlobal, key::kTimeout, 0), 2147483647);
    for (const char* bad : {"abc", "12abc", "", "99999999999", "1.5", "0x10"}) {
        store.WriteString(kSectionGlobal, key::kTimeout, bad);
        EXPECT_EQ(store.ReadInt(kSectionGlobal, key::kTimeout, 120), 120) << bad;
    }
    store.WriteString(kSectionGlobal, key::kTimeout, " 42 ");
    EXPECT_EQ(store.ReadInt(kSectionGlobal, key::kTimeout, 120), 42);
    store.RemoveKey(kSectionGlobal, key::kTimeout);
    EXPECT_EQ(store.ReadInt(kSectionGlobal, key::kTimeout, 120), 120);
    EXPECT_FALSE(store.ReadRaw(kSectionGlobal, key::kTimeout));
}

TEST(SettingsStoreTest, BoardKeysHaveNoLeadingZeros) {
    EXPECT_EQ(BoardKey("Url", 1), "Url1");
    EXPECT_EQ(BoardKey("Cokkie", 12), "Cokkie12");
    EXPECT_EQ(BoardKey(key::kMessageEnd, 64), "HonbunB64");
}

TEST(SettingsStoreTest, BoardStemsNameEveryKeyOfABoardOnce) {
    std::set<std::string_view> stems;
    for (const std::string_view stem : key::kBoardStems) {
        EXPECT_TRUE(stems.insert(stem).second) << stem << " twice";
        // A digit in a stem could make "stem1" + 2 and "stem" + 12 the same key.
        EXPECT_EQ(stem.find_first_of("0123456789"), std::string_view::npos) << stem;
        EXPECT_NE(stem, key::kCount);
    }
    // The stored names, as the settings file of every earlier version holds them.
    EXPECT_EQ(stems, (std::set<std::string_view>{
                         "Parent",  "Data",     "Url",     "Enable",  "Type",    "CCode",
                         "Order",   "Pass",     "TitA",    "TitB",    "NameA",   "NameB",
                         "DateA",   "DateB",    "HonbunA", "HonbunB", "LFCV",    "SPCV",
                         "TGCV",    "Ref",      "Cokkie",  "PageCt",  "PageBtn", "PageSent",
                         "NextAna", "PNMethod", "NoCase",  "CharRef", "Render",  "Fields"}));
    EXPECT_EQ(key::kBoardStems.front(), key::kParent);
}

TEST(SettingsStoreTest, ParseStoredInt) {
    EXPECT_EQ(ParseStoredInt("0"), 0);
    EXPECT_EQ(ParseStoredInt("-2147483648"), -2147483648LL);
    EXPECT_EQ(ParseStoredInt("+3"), 3);
    EXPECT_FALSE(ParseStoredInt("2147483648"));
    EXPECT_FALSE(ParseStoredInt("- 3"));
    EXPECT_FALSE(ParseStoredInt("３"));
}

TEST(MemorySettingsStoreTest, RoundTripsAndDefaults) {
    MemorySettingsStore store;
    ExpectRoundTrips(store, store);
    ExpectIntegerRules(store);
}

TEST(QSettingsStoreTest, RoundTripsThroughTheFile) {
    test::TempDir dir;
    const std::string path = (dir.Path() / "quor.ini").string();
    {
        QSettingsStore writer(path);
        ExpectIntegerRules(writer);
        QSettingsStore reader(path);
        ExpectRoundTrips(writer, reader);
    }
    // A fresh process reading the file finds the same bytes.
    QSettingsStore later(path);
    const auto& values = AwkwardValues();
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(later.ReadString(kSectionTree, BoardKey("TitA", static_cast<int>(i) + 1), "?"),
                  values[i]);
    // The file itself holds UTF-8.
    const std::string file = test::TempDir::ReadFile(path);
    EXPECT_NE(file.find("投稿者："), std::string::npos);
}

TEST(QSettingsStoreTest, DefaultLocationFollowsXdgConfigHome) {
    test::TempDir dir;
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);
    {
        QSettingsStore store;
        store.WriteInt(kSectionTree, key::kCount, 2);
        EXPECT_EQ(store.FilePath(), (dir.Path() / "QUORSYS" / "quor.ini").string());
    }
    if (old)
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "QUORSYS" / "quor.ini"));
}

TEST(QSettingsStoreTest, ConcurrentReadersSeeOldOrNewValues) {
    test::TempDir dir;
    QSettingsStore store((dir.Path() / "quor.ini").string());
    const std::string oldValue = FromUtf8("投稿者：old");
    const std::string newValue = FromUtf8("投稿者：new,value");
    store.WriteString(kSectionTree, "NameA1", oldValue);
    std::atomic<bool> done{false};
    std::atomic<int> bad{0};
    std::vector<std::thread> readers;
    for (int r = 0; r < 3; ++r) {
        readers.emplace_back([&] {
            while (!done.load()) {
                const auto value = store.ReadString(kSectionTree, "NameA1", "");
                if (value != oldValue && value != newValue)
                    bad.fetch_add(1);
            }
        });
    }
    for (int i = 0; i < 200; ++i)
        store.WriteString(kSectionTree, "NameA1", i % 2 ? oldValue : newValue);
    done = true;
    for (auto& reader : readers)
        reader.join();
    EXPECT_EQ(bad.load(), 0);
}

}  // namespace
}  // namespace quor::core
