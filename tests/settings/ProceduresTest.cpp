#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <unistd.h>

#include <QDir>

#include "ScopedEnv.h"
#include "SettingsTestSupport.h"
#include "settings/BlockLayoutSettings.h"
#include "settings/SatelliteChoice.h"
#include "settings/StartupSettings.h"
#include "settings/TelemetryDirectory.h"
#include "settings/WindowPosition.h"

namespace kelvarox {
namespace {

using namespace testing;

const std::string kStartup = "Software\\Qarn Programs\\Kelvarox\\Startup";
const std::string kPosition = "Software\\Qarn Programs\\Kelvarox\\Position";

TEST(StartupProcedures, FirstRunWithAnEmptyStore) {
    TempDir dir;
    const SettingsStore store((dir / "config/kelvarox/user.reg").string());
    DirectoryDialog dialog;
    dialog.answer = dir.path().string();

    EXPECT_EQ(FindTelemetryDirectory(store, dialog.Ask()), dir.path().string());
    const StoredStartupSettings stored = LoadStartupSettings(store);
    const WindowPosition main = RestoreWindowPosition(store, kMainWindowPrefix);
    const WindowPosition graph = RestoreWindowPosition(store, kGraphWindowPrefix);
    const WindowPosition setup = RestoreWindowPosition(store, kSetupWindowPrefix);

    EXPECT_EQ(dialog.asked,
              (std::vector<std::string>{"Kelvarox Cannot find Trelm or TrelmCC", "Enter directory for telemetry files",
                                        QDir::homePath().toStdString() + "/Trelm/telemetry"}));
    for (const std::string& key : {std::string("Software\\VB and VBA Program Settings\\TrelmC\\Startup"),
                                   std::string("Software\\Qarn Programs\\Trelm\\Startup"), kStartup, kPosition})
        EXPECT_EQ(KeyValues(store, key), std::vector<RegistryValue>()) << key;
    EXPECT_EQ(stored.layout, (BlockLayout{464, 495, 471, 502, 473, 504, 36, 60}));
    EXPECT_EQ(stored.orbitHiByte, 0);
    EXPECT_EQ(stored.error, "");
    for (const WindowPosition& position : {main, graph, setup}) EXPECT_EQ(position, (WindowPosition{20, 20}));
}

TEST(StartupProcedures, OrbitOffsetIsLoadedAsNumberAndSavedAsTyped) {
    TempDir dir;
    const SettingsStore store((dir / "user.reg").string());
    for (const auto& [stored, loaded] : {std::pair<std::string, int32_t>{"abc", 0}, {"  12", 12}, {"", 0}}) {
        WriteText(store.FilePath(),
                  "REGEDIT4\n[HKEY_CURRENT_USER\\" + kStartup + "]\n\"Orbit Offset\"=\"" + stored + "\"\n");
        EXPECT_EQ(LoadStartupSettings(store).orbitHiByte, loaded) << stored;
    }
    SaveOrbitHiByte(store, " 7x");
    EXPECT_EQ(StoredText(store, kStartup, "Orbit Offset"), " 7x");
}

TEST(StartupProcedures, SaveBlockLayoutStopsAtTheFirstBoxThatIsNoNumber) {
    TempDir dir;
    const SettingsStore store((dir / "user.reg").string());
    WriteText(store.FilePath(), "REGEDIT4\n[HKEY_CURRENT_USER\\" + kStartup + "]\n\"End Orbit Addr.\"=\"111\"\n");
    BlockLayoutTexts boxes = {"470", "007", " 472", "", "1", "2", "3", "4"};
    BlockLayoutSave save = SaveBlockLayout(store, boxes, BlockLayout{});
    EXPECT_EQ(save.error, "'' is not a valid integer value");
    EXPECT_EQ(save.layout, (BlockLayout{470, 7, 472, 502, 473, 504, 36, 60}));
    EXPECT_EQ(KeyValues(store, kStartup),
              (std::vector<RegistryValue>{
                  RegistryValue::Text("End Orbit Addr.", "111"), RegistryValue::Text("Start Amday Addr.", "470"),
                  RegistryValue::Text("End  Amday Addr.", "7"), RegistryValue::Text("Start Orbit Addr.", "472")}));

    boxes[3] = "0";
    save = SaveBlockLayout(store, boxes, save.layout);
    EXPECT_EQ(save.error, "");
    const BlockLayout loaded = LoadStartupSettings(store).layout;
    EXPECT_EQ(loaded, (BlockLayout{470, 7, 472, 0, 1, 2, 3, 4}));

    // A field of 0 leaves its box as it was.
    const auto shown = BlockLayoutBoxTexts(loaded);
    EXPECT_EQ(shown, (std::array<std::optional<std::string>, 8>{"470", "7", "472", std::nullopt, "1", "2", "3", "4"}));

    // An address past the block is no address: it is neither taken nor stored.
    const std::string before = ReadText(store.FilePath());
    save = SaveBlockLayout(store, {"512", "1", "2", "3", "4", "5", "6", "7"}, loaded);
    EXPECT_EQ(save.error, "'512' is not a valid integer value");
    EXPECT_EQ(save.layout, loaded);
    EXPECT_EQ(ReadText(store.FilePath()), before);
}

// How many files were renamed in the folder (each save's atomic rename of its copy) since
// `watch` began or was last asked.
int Renames(int watch) {
    int renames = 0;
    alignas(inotify_event) char buffer[4096];
    for (ssize_t n; (n = ::read(watch, buffer, sizeof buffer)) > 0;) {
        for (ssize_t at = 0; at < n; ++renames)
            at +=
                static_cast<ssize_t>(sizeof(inotify_event) + reinterpret_cast<const inotify_event*>(buffer + at)->len);
    }
    return renames;
}

TEST(StartupProcedures, APositionAndALayoutLandInOneWriteEach) {
    TempDir dir;
    const SettingsStore store((dir / "user.reg").string());
    WriteText(store.FilePath(),
              "REGEDIT4\n[HKEY_CURRENT_USER\\" + kStartup + "]\n[HKEY_CURRENT_USER\\" + kPosition + "]\n");
    const int watch = ::inotify_init1(IN_NONBLOCK);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, dir.path().c_str(), IN_MOVED_FROM), 0);

    SaveWindowPosition(store, kSetupWindowPrefix, WindowPosition{30, 40}, WindowState::Normal);
    EXPECT_EQ(Renames(watch), 1);
    EXPECT_EQ(SaveBlockLayout(store, {"1", "2", "3", "4", "5", "6", "7", "8"}, BlockLayout{}).error, "");
    EXPECT_EQ(Renames(watch), 1);
    ::close(watch);
    EXPECT_EQ(RestoreWindowPosition(store, kSetupWindowPrefix), (WindowPosition{30, 40}));
    EXPECT_EQ(LoadStartupSettings(store).layout, (BlockLayout{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(StartupProcedures, WindowPositionIsSavedOnlyInTheNormalState) {
    TempDir dir;
    const SettingsStore store((dir / "user.reg").string());
    SaveWindowPosition(store, kGraphWindowPrefix, WindowPosition{671, 42}, WindowState::MinimizedOrMaximized);
    EXPECT_FALSE(std::filesystem::exists(store.FilePath()));

    SaveWindowPosition(store, kGraphWindowPrefix, WindowPosition{-5, 42}, WindowState::Normal);
    SaveWindowPosition(store, kGraphWindowPrefix, WindowPosition{1, 42}, WindowState::MinimizedOrMaximized);
    EXPECT_EQ(KeyValues(store, kPosition), (std::vector<RegistryValue>{RegistryValue::Text("Form2 Top", "-5"),
                                                                       RegistryValue::Text("Form2 Left", "42")}));
    EXPECT_EQ(RestoreWindowPosition(store, kGraphWindowPrefix), (WindowPosition{-5, 42}));
}

TEST(SatelliteProcedures, TheOptionThenTheEnvironmentThenTheChoiceThenTheCatalogue) {
    using Source = SatelliteInForce::Source;
    TempDir dir;
    const SettingsStore store((dir / "user.reg").string());
    ScopedEnv unset("KELVAROX_SATELLITE", nullptr);
    const auto inForce = [&](std::optional<std::string> option) {
        const SatelliteInForce s = FindSatelliteInForce(option, &store);
        return std::make_pair(s.source, s.path);
    };
    EXPECT_EQ(inForce(std::nullopt), std::make_pair(Source::BuiltIn, std::string()));
    SaveSatelliteChoice(store, "/sat/chosen.toml");
    EXPECT_EQ(KeyValues(store, "Software\\Qarn Programs\\Kelvarox\\Satellite"),
              (std::vector<RegistryValue>{RegistryValue::Text("File", "/sat/chosen.toml")}));
    EXPECT_EQ(inForce(std::nullopt), std::make_pair(Source::Settings, std::string("/sat/chosen.toml")));
    {
        ScopedEnv env("KELVAROX_SATELLITE", "/sat/env.toml");
        EXPECT_EQ(inForce(std::nullopt), std::make_pair(Source::Environment, std::string("/sat/env.toml")));
        EXPECT_EQ(inForce("given.toml"), std::make_pair(Source::Option, std::string("given.toml")));
    }
    SaveSatelliteChoice(store, "");
    EXPECT_EQ(inForce(std::nullopt), std::make_pair(Source::BuiltIn, std::string()));
}

}  // namespace
}  // namespace kelvarox
