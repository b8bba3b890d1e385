#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "ErrorOf.h"
#include "HandWrittenFile.h"
#include "SettingsTestSupport.h"
#include "settings/SettingsKey.h"
#include "settings/StartupSettings.h"
#include "settings/WindowPosition.h"

namespace kelvarox {
namespace {

using namespace testing;

TEST(SettingsKey, OpensCreatesReadsAndWritesThroughTheFile) {
    TempDir dir;
    const SettingsStore store((dir / "config/kelvarox/user.reg").string());
    {
        SettingsKey key(store);
        EXPECT_TRUE(key.OpenSettingsKey("Software\\Test"));
    }
    EXPECT_EQ(KeyValues(store, "Software\\Test"), std::vector<RegistryValue>());

    SettingsKey key(store);
    ASSERT_TRUE(key.OpenSettingsKey("software\\TEST"));
    key.WriteSettingText("End  Amday Addr.", "500");
    EXPECT_EQ(key.ReadSettingNumber("End Amday Addr.", 495), 495);
    EXPECT_EQ(key.ReadSettingNumber("End  Amday Addr.", 495), 500);
    key.WriteSettingText("cut", std::string("ab\0cd", 5));
    EXPECT_EQ(key.ReadSettingText("cut"), "ab");
    key.WriteSettingText("n", "  $1F");
    EXPECT_EQ(key.ReadSettingNumber("n", -1), 31);
    key.WriteSettingText("n", "12x");
    EXPECT_EQ(key.ReadSettingNumber("n", -1), -1);

    // Every read and write takes the file as it is now.
    WriteText(store.FilePath(), "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Test]\n\"n\"=\"77\"\n");
    EXPECT_EQ(key.ReadSettingNumber("n", -1), 77);
    key.WriteSettingText("Path", "C:\\Trelm\\ \"quoted\"");
    EXPECT_EQ(
        ReadText(store.FilePath()),
        "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Test]\n\"n\"=\"77\"\n\"Path\"=\"C:\\\\Trelm\\\\ \\\"quoted\\\"\"\n");
}

TEST(SettingsKey, ValuesOfOtherTypesAreNoText) {
    TempDir dir;
    const SettingsStore store((dir / "user.reg").string());
    WriteText(store.FilePath(),
              "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Qarn Programs\\Kelvarox\\Position]\n"
              "\"Form1 Top\"=dword:00000064\n\"Form1 Left\"=hex(2):33,30,00,39\n"
              "[HKEY_CURRENT_USER\\Software\\Qarn Programs\\Kelvarox\\Startup]\n"
              "\"Start Amday Addr.\"=\"470\"\n\"Start MA Addr.\"=hex:01\n\"Orbit Offset\"=hex(1):35,00\n");
    EXPECT_EQ(ErrorOf([&] { (void)RestoreWindowPosition(store, kMainWindowPrefix); }),
              "Invalid data type for 'Form1 Top'");
    SettingsKey key(store);
    ASSERT_TRUE(key.OpenSettingsKey("Software\\Qarn Programs\\Kelvarox\\Position"));
    EXPECT_EQ(key.ReadSettingNumber("Form1 Left", 0), 30);

    // The load goes on past the faulty value with its default, then reports it.
    const StoredStartupSettings loaded = LoadStartupSettings(store);
    EXPECT_EQ(loaded.error, "Invalid data type for 'Start MA Addr.'");
    EXPECT_EQ(loaded.layout, (BlockLayout{470, 495, 471, 502, 473, 504, 36, 60}));
    EXPECT_EQ(loaded.orbitHiByte, 5);
    EXPECT_EQ(ReadStoredStartupSettings(store).error, "Invalid data type for 'Start MA Addr.'");
}

TEST(SettingsKey, StoreThatCannotBeWrittenFailsEachWriteAndKeepsItsFile) {
    TempDir dir;
    WriteText(dir / "blocker", "a file where a folder should be");
    std::filesystem::create_directories(dir / "occupied/user.reg");
    const std::string foreign = "; exported settings\nREGEDIT4\n[HKEY_CURRENT_USER\\Software]\n";
    WriteText(dir / "foreign.reg", foreign);

    for (const auto& path : {dir / "blocker/user.reg", dir / "occupied/user.reg", dir / "foreign.reg"}) {
        const SettingsStore store(path.string());
        SettingsKey key(store);
        EXPECT_FALSE(key.OpenSettingsKey("Software\\Qarn Programs\\Kelvarox\\Position"));
        EXPECT_EQ(ErrorOf([&] {
                      SaveWindowPosition(store, kMainWindowPrefix, {671, 42}, WindowState::Normal);
                  }),
                  "Failed to set data for 'Form1 Top'");
        EXPECT_EQ(RestoreWindowPosition(store, kMainWindowPrefix), (WindowPosition{20, 20}));
        EXPECT_EQ(ErrorOf([&] { SaveOrbitHiByte(store, "3"); }), "Failed to set data for 'Orbit Offset'");
    }
    EXPECT_EQ(ReadText(dir / "foreign.reg"), foreign);
}

TEST(SettingsKey, HandWrittenFileKeepsAllItsLinesWhenTheProgramWrites) {
    TempDir dir;
    const SettingsStore store((dir / "user.reg").string());
    WriteText(store.FilePath(), kHandWrittenFile);
    SaveOrbitHiByte(store, "5");
    SaveWindowPosition(store, kMainWindowPrefix, WindowPosition{671, -30}, WindowState::Normal);

    std::string expected = kHandWrittenFile;
    const std::string offset = "\"orbit offset\"=\"3\"   \n";
    expected.replace(expected.find(offset), offset.size(), "\"orbit offset\"=\"5\"\n");
    expected +=
        "\n[HKEY_CURRENT_USER\\Software\\Qarn Programs\\Kelvarox\\Position]\n"
        "\"Form1 Top\"=\"671\"\n\"Form1 Left\"=\"-30\"\n\n";
    EXPECT_EQ(ReadText(store.FilePath()), expected);
}

TEST(SettingsKey, StoredStartupSettingsAreReadWithoutWriting) {
    TempDir dir;
    const StoredStartupSettings none = ReadStoredStartupSettings(SettingsStore((dir / "none/user.reg").string()));
    EXPECT_EQ(none.layout, BlockLayout::Defaults());
    EXPECT_EQ(none.orbitHiByte, 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "none"));

    // Through a store for reading only, the procedures read as usual and never write.
    const SettingsStore readOnly((dir / "none/user.reg").string(), SettingsStore::Access::ReadOnly);
    EXPECT_EQ(RestoreWindowPosition(readOnly, kMainWindowPrefix), (WindowPosition{20, 20}));
    EXPECT_EQ(ErrorOf([&] {
                  SaveWindowPosition(readOnly, kMainWindowPrefix, {671, 42}, WindowState::Normal);
              }),
              "Failed to set data for 'Form1 Top'");
    EXPECT_FALSE(std::filesystem::exists(dir / "none"));

    const SettingsStore store((dir / "user.reg").string());
    const std::string text =
        "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Qarn Programs\\Kelvarox\\Startup]\n"
        "\"End  Amday Addr.\"=\"512\"\n\"Start Orbit Addr.\"=\"-1\"\n\"End Orbit Addr.\"=\"511\"\n"
        "\"Start MA Addr.\"=\"$1F\"\n\"End MA Addr.\"=\"4.5\"\n\"Channel Addr.\"=\"0\"\n\"Orbit Offset\"=\" 12\"\n";
    WriteText(store.FilePath(), text);
    const StoredStartupSettings stored = ReadStoredStartupSettings(store);
    EXPECT_EQ(stored.layout, (BlockLayout{464, 495, 471, 511, 31, 504, 36, 0}));
    EXPECT_EQ(stored.orbitHiByte, 12);
    EXPECT_EQ(stored.error, "");
    EXPECT_EQ(ReadText(store.FilePath()), text);
}

}  // namespace
}  // namespace kelvarox
