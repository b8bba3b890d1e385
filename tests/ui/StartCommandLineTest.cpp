// The desktop program's command line: the files and directories it starts with, and its
// answers without a window.
#include <gtest/gtest.h>

#include "KelvaroxVersion.h"
#include "Process.h"
#include "UiTestSupport.h"
#include "ui/GraphWindow.h"
#include "ui/StartCommandLine.h"

using namespace kelvarox;
using namespace kelvarox::testing;

namespace {

StartPaths PathsOf(const std::vector<std::filesystem::path>& paths) {
    QStringList list;
    for (const auto& path : paths) list.push_back(QString::fromStdString(path.string()));
    return ChooseStartPaths(list);
}

bool ListShows(KelvaroxApplication& app, const QStringList& names) {
    const FileListBox& list = *MainForm(app.Main()).blockList;
    return QTest::qWaitFor([&] { return !list.isListing() && list.names() == names; }, 5000);
}

}  // namespace

TEST(StartCommandLine, TheFirstFileIsLoadedAndGraphedWhateverItsNameAndItsFolderListed) {
    TestProgram p;  // nothing named in the settings: without a path, the start-up would ask
    BlockRecipe recipe;
    recipe.channel = "0171";
    recipe.samples = {10, 20, 30};
    WriteBytes(p.telemetry / "captured.bin", BuildBlock(recipe));
    p.AddBlock("other.dat", BlockRecipe{});
    p.Start(PathsOf({p.telemetry / "captured.bin", p.telemetry / "other.dat"}));
    p.app->Start();
    EXPECT_TRUE(p.notifier.boxes.empty());
    EXPECT_EQ(p.app->State().Loaded().blockFilePath, (p.telemetry / "captured.bin").string());
    EXPECT_EQ(MainForm(p.app->Main()).nameEdit->text(), QStringLiteral("I-SA-1 - BCR - 1"));
    EXPECT_TRUE(p.app->Main().isVisible());
    EXPECT_TRUE(p.app->Graph().isVisible());
    EXPECT_TRUE(ListShows(*p.app, {"other.dat"}));
}

TEST(StartCommandLine, ADirectoryIsListedForThisSessionAndNothingIsStored) {
    TestProgram p;
    TempDir elsewhere;
    WriteBytes(elsewhere / "y.tlm", BuildBlock(BlockRecipe{}));
    WriteBytes(elsewhere / "loaded.dat", BuildBlock(BlockRecipe{}));
    // The directory wins over the folder of the file given before it.
    p.AddBlock("x.dat", BlockRecipe{});
    p.Start(PathsOf({p.telemetry / "x.dat", elsewhere.path()}));
    p.app->Start();
    EXPECT_TRUE(p.notifier.boxes.empty());  // no directory dialog
    EXPECT_TRUE(ListShows(*p.app, {"loaded.dat", "y.tlm"}));
    EXPECT_EQ(p.app->State().Loaded().blockFilePath, (p.telemetry / "x.dat").string());
    p.app->Main().close();  // stores the window position and the Orbit HiByte
    const std::string settings = ReadText(p.settingsFile);
    EXPECT_EQ(settings.find("Default Directory"), std::string::npos) << settings;
    EXPECT_EQ(settings.find(elsewhere.path().string()), std::string::npos) << settings;
}

TEST(StartCommandLine, MissingPathsAreReportedAndTheProgramRuns) {
    TestProgram p;
    p.Start(PathsOf({p.home / "gone", p.home / "gone.dat"}));
    p.app->Start();
    const std::vector<RecordingNotifier::Box> expected{
        {"error", "Cannot open the directory '" + (p.home / "gone").string() + "': No such file or directory."},
        // as a file that cannot be read always is: the failed read, then the old buffer decoded
        {"information", "File is improper length, must be 512 bytes!!"},
        {"information", "Improper format for WOD data block!"}};
    EXPECT_EQ(p.notifier.boxes, expected);
    EXPECT_TRUE(p.app->Main().isVisible());
    EXPECT_FALSE(p.app->Graph().isVisible());
}

TEST(StartCommandLine, VersionHelpAndUsageErrorOfTheProgram) {
    TempDir home;
    // --version and --help need no display.
    const std::map<std::string, std::string> noDisplay{
        {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}, {"HOME", home.path().string()}};
    const auto version = RunProcess(KELVAROX_PROGRAM, {"--version"}, noDisplay);
    EXPECT_EQ(version.status, 0) << version.err;
    EXPECT_EQ(version.out, std::string("Kelvarox ") + kVersion + "\n");
    const auto help = RunProcess(KELVAROX_PROGRAM, {"-h"}, noDisplay);
    EXPECT_EQ(help.status, 0) << help.err;
    EXPECT_NE(help.out.find("[options] [FILE | DIRECTORY]..."), std::string::npos) << help.out;

    const auto unknown = RunProcess(KELVAROX_PROGRAM, {"--bogus", "x.dat"},
                                    {{"QT_QPA_PLATFORM", "offscreen"},
                                     {"HOME", home.path().string()},
                                     {"XDG_CONFIG_HOME", (home / "config").string()},
                                     {"XDG_RUNTIME_DIR", home.path().string()}});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err, "Kelvarox: Unknown option 'bogus'.\n");
    EXPECT_EQ(unknown.out, "");
}
