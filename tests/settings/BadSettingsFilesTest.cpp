// Everything a settings file can throw at the settings store, each with the message it gets;
// no stored value may be lost.
#include <gtest/gtest.h>

#include <map>

#include "ErrorOf.h"
#include "SettingsTestSupport.h"
#include "StartupSection.h"
#include "settings/SettingsKey.h"
#include "settings/StartupSettings.h"

using namespace kelvarox;
using namespace kelvarox::testing;
namespace fs = std::filesystem;

namespace {

// The values in force of a settings text by key and name, compared without case as the store does.
std::map<std::pair<std::string, std::string>, RegistryValue> ValuesInForce(const std::string& text) {
    auto fold = [](std::string s) {
        for (char& c : s) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        return s;
    };
    std::map<std::pair<std::string, std::string>, RegistryValue> values;
    const auto doc = ParseRegistryText(text);
    if (!doc) return values;
    // The last value of a name in the sections of its key is the one in force.
    for (const auto& section : doc->sections)
        for (const auto& entry : section.entries)
            if (entry.value) values[{fold(section.path), fold(entry.value->name)}] = *entry.value;
    return values;
}

}  // namespace

TEST(BadSettingsFiles, EachGetsItsMessageAndLosesNoStoredValue) {
    std::string junk = "REGEDIT4\r\n";
    for (int b = 1; b < 256; ++b) junk += static_cast<char>(b == '\n' ? 0 : b);
    junk += "\n\r\r\n" + std::string("\0\0\xff\xfe", 4) + "\r\n";
    junk += "[HKEY_CURRENT_USER\\" + kStartup + "]\r\n\"Orbit Offset\"=\"5\"\r\n";
    std::string tenMegabytes = StartupSection("\"Orbit Offset\"=\"3\"\r\n\"Start MA Addr.\"=\"200\"\r\n\r\n");
    tenMegabytes += "[HKEY_CURRENT_USER\\Software\\Big]\r\n\"One line\"=\"" + std::string(2'000'000, 'x') + "\"\r\n";
    for (int i = 0; tenMegabytes.size() < 10'000'000; ++i)
        tenMegabytes += "\"Value " + std::to_string(i) + "\"=\"" + std::string(40, 'v') + "\"\r\n";
    // A long value as regedit and the program write it: hex bytes continued over many lines.
    std::string continued =
        StartupSection("\"Orbit Offset\"=\"6\"\r\n\r\n") + "[HKEY_CURRENT_USER\\Software\\Big]\r\n\"Blob\"=hex:";
    while (continued.size() < 3'000'000)
        continued += "00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,\\\r\n  ";
    continued += "ff\r\n";
    const std::string longName(10'000, 'n');
    const std::string longKey = "Software\\" + std::string(10'000, 'k');

    struct Case {
        std::string name;
        std::string file;
        std::string loadError;  // the start-up's message
        BlockLayout layout;
        int32_t orbitHiByte;
        std::string saveError;  // storing the Orbit HiByte box "7"
    };
    const BlockLayout defaults;
    const std::string cannotSave = "Failed to set data for 'Orbit Offset'";
    const std::vector<Case> cases = {
        {"empty", "", "", defaults, 0, ""},
        {"binary",
         "\x7f"
         "ELF\x02\x01\x01" +
             std::string(200, '\0') + "\xff\xfe",
         "", defaults, 0, cannotSave},
        {"binary after its first line", junk, "", defaults, 5, ""},
        {"cut in the middle of a value",
         StartupSection("\"Start Amday Addr.\"=\"100\"\r\n\"End  Amday Addr.\"=\"101\"\r\n\"Start Orbit Addr.\"=\"4"),
         "", BlockLayout{100, 101, 471, 502, 473, 504, 36, 60}, 0, ""},
        {"cut in the middle of a key", "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Qarn Pro", "", defaults, 0, ""},
        {"cut in the middle of its first line", "REGED", "", defaults, 0, cannotSave},
        {"10 MB long", tenMegabytes, "", BlockLayout{464, 495, 471, 502, 200, 504, 36, 60}, 3, ""},
        {"a hex value continued over 40,000 lines", continued, "", defaults, 6, ""},
        {"values of other types",
         StartupSection("\"Start MA Addr.\"=dword:00000010\r\n\"End MA Addr.\"=hex(7):35,00,00\r\n"
                        "\"MA Step Addr.\"=qword:0000000000000001\r\n\"Channel Addr.\"=hex(2):36,31,00\r\n"
                        "\"Orbit Offset\"=hex(1):39,00\r\n"),
         "Invalid data type for 'Start MA Addr.'", BlockLayout{464, 495, 471, 502, 473, 504, 36, 61}, 9, ""},
        {"names of 10,000 characters",
         StartupSection("\"" + longName + "\"=\"kept\"\r\n\"Orbit Offset\"=\"4\"\r\n\r\n[HKEY_CURRENT_USER\\" +
                        longKey + "]\r\n\"v\"=\"kept too\"\r\n"),
         "", defaults, 4, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const SettingsStore store((dir / "user.reg").string());
        WriteText(store.FilePath(), c.file);

        const StoredStartupSettings loaded = LoadStartupSettings(store);
        EXPECT_EQ(loaded.error, c.loadError);
        EXPECT_EQ(loaded.layout, c.layout);
        EXPECT_EQ(loaded.orbitHiByte, c.orbitHiByte);

        const std::string before = ReadText(store.FilePath());
        EXPECT_EQ(ErrorOf([&] { SaveOrbitHiByte(store, "7"); }), c.saveError);
        const std::string after = ReadText(store.FilePath());
        if (!c.saveError.empty()) {
            EXPECT_EQ(after, c.file);  // a file that is no settings text is never overwritten
            continue;
        }
        // Every value in force stays, the one stored is there, and the next start reads it.
        auto kept = ValuesInForce(before);
        kept[{"hkey_current_user\\software\\qarn programs\\kelvarox\\startup", "orbit offset"}] =
            RegistryValue::Text("Orbit Offset", "7");
        EXPECT_TRUE(ValuesInForce(after) == kept);
        EXPECT_EQ(StoredText(store, kStartup, "Orbit Offset"), "7");
        const StoredStartupSettings next = LoadStartupSettings(store);
        EXPECT_EQ(next.error, c.loadError);
        EXPECT_EQ(next.layout, c.layout);
        EXPECT_EQ(next.orbitHiByte, 7);
    }
}

TEST(BadSettingsFiles, AKeyPathOf10000CharactersIsCreatedWrittenAndReadBack) {
    TempDir dir;
    const SettingsStore store((dir / "user.reg").string());
    const std::string path = "Software\\" + std::string(10'000, 'k') + "\\Below";
    {
        SettingsKey key(store);
        ASSERT_TRUE(key.OpenSettingsKey(path));
        key.WriteSettingText(std::string(10'000, 'n'), "long");
        key.WriteSettingText("Short", "short");
    }
    SettingsKey key(store);
    ASSERT_TRUE(key.OpenSettingsKey(path));
    EXPECT_EQ(key.ReadSettingText(std::string(10'000, 'N')), "long");  // names compare without case
    EXPECT_EQ(key.ReadSettingText("Short"), "short");
    EXPECT_EQ(key.ReadSettingNumber("Missing", 5), 5);
}
