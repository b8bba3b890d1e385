#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "CliRunner.h"
#include "GraphFixtures.h"
#include "UiTestSupport.h"
#include "archive/Archive.h"
#include "cli/BlockSession.h"
#include "render/TimeLinePainter.h"
#include "timeline/ArchiveTrace.h"
#include "timeline/TimeLinePicture.h"
#include "ui/GraphWindow.h"

using namespace kelvarox;
using namespace kelvarox::testing;

namespace {

constexpr QRgb kBlackPixel = 0xFF000000;
constexpr QRgb kGreyPixel = 0xFF808080;
constexpr QRgb kWhitePixel = 0xFFFFFFFF;

// kelvarox-cli with no display and no platform named: it has to go off screen by itself.
ProcessResult RunWithoutDisplay(const CliRunner& cli, const std::vector<std::string>& args) {
    return RunProcess(KELVAROX_CLI, args,
                      {{"XDG_CONFIG_HOME", (cli.config.path() / "config").string()},
                       {"HOME", cli.config.path().string()},
                       {"DISPLAY", ""},
                       {"WAYLAND_DISPLAY", ""},
                       {"QT_QPA_PLATFORM", ""}});
}

QImage Opaque(const QImage& image) { return image.convertToFormat(QImage::Format_RGB32); }

}  // namespace

TEST(GraphCli, ThePngShowsTheTraceAndTheAxesOfTheBlock) {
    CliRunner cli;
    TempDir dir;
    const BlockRecipe recipe = FourSampleBlockRecipe();
    WriteBytes(dir / "four.dat", BuildBlock(recipe));

    const auto r = RunWithoutDisplay(cli, {"graph", (dir / "four.dat").string(), "-o", (dir / "four.png").string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "");
    const QImage png(QString::fromStdString((dir / "four.png").string()));
    ASSERT_FALSE(png.isNull());
    EXPECT_EQ(png.size(), QSize(719, 402));
    // The image lies at (8, 2) in the window.
    const auto at = [&](int x, int y) { return png.pixel(8 + x, 2 + y); };
    EXPECT_EQ(at(150, 33), kBlackPixel);   // sample 1, 16, from x 55 to 261
    EXPECT_EQ(at(261, 100), kBlackPixel);  // down to sample 2
    EXPECT_EQ(at(400, 172), kBlackPixel);  // sample 2, 10
    EXPECT_EQ(at(600, 242), kBlackPixel);  // sample 3, 7
    EXPECT_EQ(at(300, 312), kGreyPixel);   // the orbit axis
    EXPECT_EQ(at(54, 200), kGreyPixel);    // the value axis
    EXPECT_EQ(at(468, 60), kGreyPixel);    // the mark at MA 128
    EXPECT_EQ(at(600, 100), kWhitePixel);
}

TEST(GraphCli, ThePngIsTheGraphWindowsPicture) {
    CliRunner cli;
    TempDir dir;
    const std::string block = SamplePath("temperature-one-orbit.dat");
    const std::string out = (dir / "temperature.png").string();
    const auto r = cli({"graph", "--orbit-hibyte", "2", "--coefficients", ",,1.5,", block, "-o", out});
    ASSERT_EQ(r.status, 0) << r.err;

    cli::Options options;
    options.orbitHiByte = "2";
    options.coefficients = std::array<std::string, 4>{"", "", "1.5", ""};
    cli::LoadedBlock loaded = cli::LoadBlock(block, options, BuiltInSatellite());
    ASSERT_TRUE(loaded.ok());
    RecordingNotifier notifier;
    SettingsStore store((dir / "user.reg").string());
    ProgramState state;
    state.PutBlock(loaded.block, loaded.header);
    GraphWindow window(state, store, notifier);
    window.drawGraph(loaded.boxes);
    const QImage grabbed = Opaque(window.grab().toImage());
    const QImage png = Opaque(QImage(QString::fromStdString(out)));
    ASSERT_EQ(png.size(), QSize(719, 402));
    EXPECT_TRUE(grabbed == png);
    EXPECT_EQ(window.scene().Text(GraphText::StartOrbit), "Orbit# 572");
}

TEST(GraphCli, FailuresAndExitStatus) {
    CliRunner cli;
    TempDir dir;
    const std::string out = (dir / "x.png").string();

    const auto noOutput = cli({"graph", SamplePath("SPIN.TLM")});
    EXPECT_EQ(noOutput.status, 2);
    EXPECT_EQ(noOutput.err.rfind("kelvarox-cli: graph takes one file and -o OUT.png\n", 0), 0u) << noOutput.err;
    EXPECT_EQ(cli({"graph", SamplePath("SPIN.TLM"), SamplePath("BATTERY.DAT"), "-o", out}).status, 2);

    const auto shortFile = cli({"graph", SamplePath("short-100-bytes.dat"), "-o", out});
    EXPECT_EQ(shortFile.status, 1);
    EXPECT_EQ(shortFile.err, SamplePath("short-100-bytes.dat") + ": File is improper length, must be 512 bytes!!\n");
    EXPECT_FALSE(std::filesystem::exists(out));

    const std::string unwritable = (dir / "missing-folder" / "x.png").string();
    const auto noFolder = cli({"graph", SamplePath("SPIN.TLM"), "-o", unwritable});
    EXPECT_EQ(noFolder.status, 1);
    EXPECT_EQ(noFolder.err, unwritable + ": cannot write the PNG image\n");

    // The one-sample and all-zero blocks draw too.
    EXPECT_EQ(cli({"graph", SamplePath("one-sample.dat"), "-o", out}).status, 0);
    EXPECT_EQ(cli({"graph", SamplePath("sun-sensor-zero-coefficients.dat"), "-o", out}).status, 0);
}

TEST(GraphCli, TheSuffixNamesTheImageFormat) {
    CliRunner cli;
    TempDir dir;
    const auto startOf = [](const std::filesystem::path& path, size_t n) { return ReadText(path).substr(0, n); };
    for (const auto& [name, magic] :
         std::initializer_list<std::pair<std::string, std::string>>{{"spin.JPG", "\xFF\xD8\xFF"},
                                                                    {"spin.jpeg", "\xFF\xD8\xFF"},
                                                                    {"spin.Bmp", "BM"},
                                                                    {"spin.png", "\x89PNG"},
                                                                    {"spin.svg", "<?xml"}}) {
        const auto r = cli({"graph", SamplePath("SPIN.TLM"), "-o", (dir / name).string()});
        EXPECT_EQ(r.status, 0) << name << ": " << r.err;
        EXPECT_EQ(startOf(dir / name, magic.size()), magic) << name;
        if (name.ends_with(".svg"))
            EXPECT_NE(ReadText(dir / name).find("viewBox=\"0 0 719 402\""), std::string::npos);
        else
            EXPECT_EQ(QImage(QString::fromStdString((dir / name).string())).size(), QSize(719, 402)) << name;
    }
    const std::string gif = (dir / "spin.gif").string();
    const auto unknown = cli({"graph", SamplePath("SPIN.TLM"), "-o", gif});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(
        unknown.err.rfind("kelvarox-cli: graph writes .png, .jpg, .jpeg, .bmp or .svg images, not '" + gif + "'\n", 0),
        0u)
        << unknown.err;
    EXPECT_FALSE(std::filesystem::exists(gif));
}

TEST(GraphCli, AnImageThatCannotBeWrittenLeavesTheFileThereWhole) {
    CliRunner cli;
    TempDir dir;
    const std::filesystem::path out = dir / "spin.png";
    const std::string before = "the picture of yesterday, which must survive";
    WriteText(out, before);
    // A disk that fills up: no file may grow past 512 bytes, and a write beyond gets an error.
    const auto r = cli.Run("/bin/sh", {"-c", "trap '' XFSZ; ulimit -f 1; exec \"$0\" \"$@\"", KELVAROX_CLI, "graph",
                                       SamplePath("SPIN.TLM"), "-o", out.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, out.string() + ": cannot write the PNG image\n");
    EXPECT_EQ(ReadText(out), before);
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1);
}

TEST(GraphCli, TheRendererIsFoundBesideTheProgramOrInItsLibexecFolder) {
    CliRunner cli;
    TempDir prefix;
    const std::filesystem::path bin = prefix / "bin";
    std::filesystem::create_directories(bin);
    std::filesystem::copy_file(KELVAROX_CLI, bin / "kelvarox-cli");
    const std::string out = (prefix / "spin.png").string();

    // Without it, the graph command says what is missing; the other commands need no renderer.
    const auto missing = cli.Run((bin / "kelvarox-cli").string(), {"graph", SamplePath("SPIN.TLM"), "-o", out});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err.rfind("kelvarox-cli: the graph renderer is not installed: no kelvarox-graph-render beside "
                                "kelvarox-cli or in ../libexec/kelvarox",
                                0),
              0u)
        << missing.err;
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_EQ(cli.Run((bin / "kelvarox-cli").string(), {"info", SamplePath("SPIN.TLM")}).status, 0);

    // Installed: in ../libexec/kelvarox.
    std::filesystem::create_directories(prefix / "libexec/kelvarox");
    std::filesystem::create_symlink(KELVAROX_GRAPH_RENDER, prefix / "libexec/kelvarox/kelvarox-graph-render");
    const auto found = cli.Run((bin / "kelvarox-cli").string(), {"graph", SamplePath("SPIN.TLM"), "-o", out});
    EXPECT_EQ(found.status, 0) << found.err;
    EXPECT_EQ(QImage(QString::fromStdString(out)).size(), QSize(719, 402));
}

// The archive's address, which may hold a password, reaches the renderer in its environment,
// never on its command line, which every user of the machine can read.
TEST(GraphCli, SeriesPassesTheArchiveToTheRendererOutOfSight) {
    CliRunner cli;
    TempDir bin;
    std::filesystem::copy_file(KELVAROX_CLI, bin / "kelvarox-cli");
    WriteText(bin / "kelvarox-graph-render",
              "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.args\"\nprintf '%s' \"$KELVAROX_DATABASE\" > \"$0.database\"\n");
    std::filesystem::permissions(bin / "kelvarox-graph-render", std::filesystem::perms(0755));
    const std::string address = "postgresql://kx:secret@/archive?host=/nowhere";
    const auto r =
        RunProcess((bin / "kelvarox-cli").string(), {"series", "#140", "-o", (bin / "t.png").string()},
                   {{"XDG_CONFIG_HOME", (cli.config.path() / "config").string()}, {"KELVAROX_DATABASE", address}});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadText(bin / "kelvarox-graph-render.args"), "series\n-o\n" + (bin / "t.png").string() + "\n--\n#140\n");
    EXPECT_EQ(ReadText(bin / "kelvarox-graph-render.database"), address);
}

TEST(GraphCli, SeriesDrawsTheTimeLinePictureOfTheArchive) {
    CliRunner cli;
    TempDir dir;
    const std::string db = (dir / "archive.sqlite").string();
    cli({"archive", "add", "--database", db, SamplePath("")});
    const std::string png = (dir / "temperature.png").string();
    const auto r = RunWithoutDisplay(cli, {"series", "--database", db, "#140", "-o", png});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "");

    // The picture the time line paints of the archive's samples, shown all.
    archive::Archive archive(db, archive::Archive::Access::Read);
    const timeline::ChannelTrace trace = timeline::LoadChannelTrace(archive, 0x140);
    const timeline::DateLine dates = timeline::LoadDateLine(archive);
    const timeline::TimeRange view = timeline::Showing(*trace.Extent());
    using namespace timeline::layout;
    timeline::TimeLinePicture picture;
    picture.width = kPictureWidth;
    picture.plots = {timeline::ComposePlot({&trace, std::nullopt, timeline::PlotColour(0)}, view, dates, kPictureWidth,
                                           kPicturePlotHeight)};
    picture.axis = timeline::ComposeAxis(view, dates, kPictureWidth);
    QImage painted(picture.width, picture.Height(), QImage::Format_RGB32);
    QPainter painter(&painted);
    PaintTimeLine(painter, picture);
    painter.end();
    EXPECT_EQ(Opaque(QImage(QString::fromStdString(png))), painted);
    EXPECT_EQ(picture.plots[0].statistics.substr(0, 9), "Count 65 ");

    const auto svg = RunWithoutDisplay(
        cli, {"series", "--database", db, "#140", "--from", "316", "--to", "316", "-o", (dir / "t.svg").string()});
    EXPECT_EQ(svg.status, 0) << svg.err;
    EXPECT_NE(ReadText(dir / "t.svg").find("Temp - SEU"), std::string::npos);
    const auto none = RunWithoutDisplay(cli, {"series", "--database", db, "#150", "-o", png});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.err, "kelvarox-cli: no sample of channel #150 in the archive " + db + "\n");
    const auto gif = RunWithoutDisplay(cli, {"series", "--database", db, "#140", "-o", (dir / "t.gif").string()});
    EXPECT_EQ(gif.status, 2);
    EXPECT_EQ(gif.err.rfind("kelvarox-cli: series -o writes .png, .jpg, .jpeg, .bmp or .svg images, not '", 0), 0u);
}

TEST(GraphCli, TheProgramItselfLinksNoGuiLibrary) {
    const auto r = RunProcess("/usr/bin/ldd", {KELVAROX_CLI});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out.find("libQt6Gui"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("libQt6Widgets"), std::string::npos) << r.out;
}

TEST(GraphCli, TheRendererPaintsWithoutTheWidgetLibrary) {
    const auto r = RunProcess("/usr/bin/ldd", {KELVAROX_GRAPH_RENDER});
    ASSERT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("libQt6Gui"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("libQt6Widgets"), std::string::npos) << r.out;
}
