#include <gtest/gtest.h>

#include <QDir>

#include "SettingsTestSupport.h"
#include "settings/BlockLayoutSettings.h"
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
    ProgramState state;
    state.Layout = BlockLayout{0, 0, 0, 0, 0, 0, 0, 0};
    FakeDirectoryView view;
    view.answer = dir.path().string();
    FakeBox orbitHiByte;
    FakeWindow main, graph, setup;

    FindTelemetryDirectory(store, state, view);
    LoadStartupSettings(store, state, orbitHiByte);
    RestoreWindowPosition(store, main, "Form1");
    RestoreWindowPosition(store, graph, "Form2");
    RestoreWindowPosition(store, setup, "Form3");

    EXPECT_EQ(view.asked, (std::vector<std::string>{"Kelvarox Cannot find Trelm or TrelmCC",
                                                    "Enter directory for telemetry files",
                                                    QDir::homePath().toStdString() + "/Trelm/telemetry"}));
    EXPECT_EQ(state.TelemetryDirectory, dir.path().string());
    EXPECT_EQ(view.pointedAt, std::vector<std::string>{dir.path().string()});
    for (const std::string& key : {std::string("Software\\VB and VBA Program Settings\\TrelmC\\Startup"),
                                   std::string("Software\\Qarn Programs\\Trelm\\Startup"), kStartup, kPosition})
        EXPECT_EQ(KeyValues(store, key), std::vector<RegistryValue>()) << key;
    EXPECT_EQ(state.Layout, (BlockLayout{464, 495, 471, 502, 473, 504, 36, 60}));
    EXPECT_EQ(state.OrbitHiByte, 0);
    EXPECT_EQ(orbitHiByte.text, "0");
    for (const FakeWindow* window : {&main, &graph, &setup}) {
        EXPECT_EQ(window->top, 20);
        EXPECT_EQ(window->left, 20);
        EXPECT_EQ(window->moves, "top left ");
    }
}

TEST(StartupProcedures, OrbitOffsetIsLoadedAsNumberAndSavedAsTyped) {
    TempDir dir;
    const SettingsStore store((dir / "user.reg").string());
    for (const auto& [stored, shown] : {std::pair<std::string, std::string>{"abc", "0"}, {"  12", "12"}, {"", "0"}}) {
        WriteText(store.FilePath(), "REGEDIT4\n[HKEY_CURRENT_USER\\" + kStartup + "]\n\"Orbit Offset\"=\"" + stored + "\"\n");
        ProgramState state;
        FakeBox box;
        LoadStartupSettings(store, state, box);
        EXPECT_EQ(box.text, shown) << stored;
        EXPECT_EQ(std::to_string(state.OrbitHiByte), shown);
    }
    FakeBox box;
    box.text = " 7x";
    SaveOrbitHiByte(store, box);
    EXPECT_EQ(StoredText(store, kStartup, "Orbit Offset"), " 7x");
}

TEST(StartupProcedures, SaveBlockLayoutStopsAtTheFirstBoxThatIsNoNumber) {
    TempDir dir;
    const SettingsStore store((dir / "user.reg").string());
    WriteText(store.FilePath(), "REGEDIT4\n[HKEY_CURRENT_USER\\" + kStartup + "]\n\"End Orbit Addr.\"=\"111\"\n");
    BlockLayout layout;
    FakeSetup setup;
    setup.boxes = {"470", "007", " 472", "", "1", "2", "3", "4"};
    try {
        SaveBlockLayout(store, layout, setup);
        ADD_FAILURE() << "an empty box was saved";
    } catch (const KelvaroxError& error) {
        EXPECT_STREQ(error.what(), "'' is not a valid integer value");
    }
    EXPECT_EQ(layout, (BlockLayout{470, 7, 472, 502, 473, 504, 36, 60}));
    EXPECT_FALSE(setup.hidden);
    EXPECT_EQ(KeyValues(store, kStartup),
              (std::vector<RegistryValue>{RegistryValue::Text("End Orbit Addr.", "111"),
                                          RegistryValue::Text("Start Amday Addr.", "470"),
                                          RegistryValue::Text("End  Amday Addr.", "7"),
                                          RegistryValue::Text("Start Orbit Addr.", "472")}));

    setup.boxes[3] = "0";
    SaveBlockLayout(store, layout, setup);
    EXPECT_TRUE(setup.hidden);
    ProgramState state;
    FakeBox box;
    LoadStartupSettings(store, state, box);
    EXPECT_EQ(state.Layout, (BlockLayout{470, 7, 472, 0, 1, 2, 3, 4}));

    // A field of 0 leaves its box as it was.
    setup.boxes.fill("typed");
    ShowBlockLayout(state.Layout, setup);
    EXPECT_EQ(setup.boxes, (std::array<std::string, 8>{"470", "7", "472", "typed", "1", "2", "3", "4"}));
}

TEST(StartupProcedures, WindowPositionIsSavedOnlyInTheNormalState) {
    TempDir dir;
    const SettingsStore store((dir / "user.reg").string());
    FakeWindow window;
    window.normal = false;
    SaveWindowPosition(store, window, "Form2");
    EXPECT_FALSE(std::filesystem::exists(store.FilePath()));

    window = FakeWindow();
    window.top = -5;
    SaveWindowPosition(store, window, "Form2");
    window.top = 1;
    window.normal = false;
    SaveWindowPosition(store, window, "Form2");
    EXPECT_EQ(KeyValues(store, kPosition),
              (std::vector<RegistryValue>{RegistryValue::Text("Form2 Top", "-5"), RegistryValue::Text("Form2 Left", "42")}));
    FakeWindow restored;
    RestoreWindowPosition(store, restored, "Form2");
    EXPECT_EQ(restored.top, -5);
    EXPECT_EQ(restored.left, 42);
}

}  // namespace
}  // namespace kelvarox
