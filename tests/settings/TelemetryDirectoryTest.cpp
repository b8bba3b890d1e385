#include <gtest/gtest.h>

#include "SettingsTestSupport.h"
#include "settings/TelemetryDirectory.h"

namespace kelvarox {
namespace {

using namespace testing;

const std::string kTrelmC = "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\TrelmC\\Startup]\n";
const std::string kTrelm = "Software\\Qarn Programs\\Trelm\\Startup";

TEST(FindTelemetryDirectory, TakesTheFirstCaptureKeyThatNamesADirectory) {
    TempDir dir;
    const SettingsStore store((dir / "user.reg").string());
    ProgramState state;

    // An empty value counts as missing: the second key is asked.
    WriteText(store.FilePath(), "REGEDIT4\n" + kTrelmC + "\"Default Directory\"=\"\"\n[HKEY_CURRENT_USER\\" + kTrelm +
                                    "]\n\"Default Directory\"=\"/srv/trelm\"\n");
    FakeDirectoryView view;
    FindTelemetryDirectory(store, state, view);
    EXPECT_EQ(state.TelemetryDirectory, "/srv/trelm/telemetry/");
    EXPECT_EQ(view.pointedAt, std::vector<std::string>{"/srv/trelm/telemetry/"});
    EXPECT_TRUE(view.asked.empty());

    // A named directory is taken as it is, missing or not, and the second key is left alone.
    WriteText(store.FilePath(), "REGEDIT4\n" + kTrelmC + "\"Default Directory\"=\"/no/such/data/\"\n");
    view = FakeDirectoryView();
    FindTelemetryDirectory(store, state, view);
    EXPECT_EQ(state.TelemetryDirectory, "/no/such/data//telemetry/");
    EXPECT_EQ(view.pointedAt, std::vector<std::string>{"/no/such/data//telemetry/"});
    EXPECT_TRUE(view.asked.empty());
    EXPECT_EQ(KeyValues(store, kTrelm), std::nullopt);

    // A directory that cannot be entered ends the search with the file list's error.
    view.failure = "Cannot enter the directory";
    EXPECT_THROW(FindTelemetryDirectory(store, state, view), KelvaroxError);
    EXPECT_EQ(KeyValues(store, kTrelm), std::nullopt);
}

TEST(FindTelemetryDirectory, DialogAnswersAreTakenAsTheyAre) {
    TempDir dir;
    const SettingsStore store((dir / "user.reg").string());
    ProgramState state;

    FakeDirectoryView cancelled;
    FindTelemetryDirectory(store, state, cancelled);
    EXPECT_EQ(state.TelemetryDirectory, DefaultTelemetryDirectory());
    EXPECT_EQ(cancelled.pointedAt, std::vector<std::string>{DefaultTelemetryDirectory()});

    FakeDirectoryView typed;
    typed.answer = " /data/tlm ";
    FindTelemetryDirectory(store, state, typed);
    EXPECT_EQ(state.TelemetryDirectory, " /data/tlm ");
    EXPECT_EQ(typed.pointedAt, std::vector<std::string>{" /data/tlm "});

    FakeDirectoryView emptied;
    emptied.answer = "";
    FindTelemetryDirectory(store, state, emptied);
    EXPECT_EQ(state.TelemetryDirectory, "");
    EXPECT_EQ(emptied.asked.size(), 3u);
    EXPECT_TRUE(emptied.pointedAt.empty());
}

}  // namespace
}  // namespace kelvarox
