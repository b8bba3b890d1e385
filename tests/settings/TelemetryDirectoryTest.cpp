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

    // An empty value counts as missing: the second key is asked.
    WriteText(store.FilePath(), "REGEDIT4\n" + kTrelmC + "\"Default Directory\"=\"\"\n[HKEY_CURRENT_USER\\" + kTrelm +
                                    "]\n\"Default Directory\"=\"/srv/trelm\"\n");
    DirectoryDialog dialog;
    EXPECT_EQ(FindTelemetryDirectory(store, dialog.Ask()), "/srv/trelm/telemetry/");
    EXPECT_TRUE(dialog.asked.empty());

    // A named directory is taken as it is, missing or not, and the second key is left alone.
    WriteText(store.FilePath(), "REGEDIT4\n" + kTrelmC + "\"Default Directory\"=\"/no/such/data/\"\n");
    EXPECT_EQ(FindTelemetryDirectory(store, dialog.Ask()), "/no/such/data//telemetry/");
    EXPECT_TRUE(dialog.asked.empty());
    EXPECT_EQ(KeyValues(store, kTrelm), std::nullopt);
}

TEST(FindTelemetryDirectory, DialogAnswersAreTakenAsTheyAre) {
    TempDir dir;
    const SettingsStore store((dir / "user.reg").string());

    DirectoryDialog cancelled;
    EXPECT_EQ(FindTelemetryDirectory(store, cancelled.Ask()), DefaultTelemetryDirectory());

    DirectoryDialog typed;
    typed.answer = " /data/tlm ";
    EXPECT_EQ(FindTelemetryDirectory(store, typed.Ask()), " /data/tlm ");

    DirectoryDialog emptied;
    emptied.answer = "";
    EXPECT_EQ(FindTelemetryDirectory(store, emptied.Ask()), "");
    EXPECT_EQ(emptied.asked.size(), 3u);
}

}  // namespace
}  // namespace kelvarox
