#include <gtest/gtest.h>

#include <charconv>

#include "CliRunner.h"
#include "core/SampleSeries.h"

using namespace kelvarox;
using namespace kelvarox::testing;

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start) + "<no CR LF>");
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

}  // namespace

TEST(CliCsv, EverySampleOfEveryBlockInNameOrder) {
    CliRunner cli;
    TempDir dir;
    BlockRecipe battery;  // a name with a comma
    battery.channel = "0106";
    battery.startOrbit = "3C";
    battery.startMA = "F8";
    battery.endOrbit = "3D";
    battery.endMA = "04";
    battery.samples = {0, 127, 128, 255};
    WriteBytes(dir / "B.DAT", BuildBlock(battery));
    BlockRecipe raw = battery;
    raw.channel = "0180";
    raw.endOrbit = "3C";
    raw.endMA = "F8";  // one sample
    WriteBytes(dir / "a.tlm", BuildBlock(raw));
    WriteBytes(dir / "c-short.dat", std::vector<uint8_t>(100, 0));
    WriteText(dir / "notes.txt", "not a block");

    const auto r = cli({"csv", "--orbit-hibyte", "1", dir.path().string()});
    EXPECT_EQ(r.status, 1);  // the short file failed
    EXPECT_EQ(r.err, (dir / "c-short.dat").string() + ": File is improper length, must be 512 bytes!!\n");
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 6u) << r.out;
    const std::string a = (dir / "a.tlm").string(), b = (dir / "B.DAT").string();
    EXPECT_EQ(lines[0], "file,channel,name,unit,sample,orbit,ma,raw,value,start_date");
    EXPECT_EQ(lines[1], a + ",#180,Raw Data,Count,0,316,248,0,0,2002  Jan  01 [Tue]");
    EXPECT_EQ(lines[2], b + ",#106,\"I-Bat, Tot Bat Amps\",Amps,0,316,248,0,-31.28,2002  Jan  01 [Tue]");
    EXPECT_EQ(lines[4], b + ",#106,\"I-Bat, Tot Bat Amps\",Amps,2,317,0,128,-0.4320011,2002  Jan  01 [Tue]");
    // Every value reads back as the float the series holds.
    Coefficients k{0, 0, 0.241f, -31.28f};
    const uint8_t rawBytes[] = {0, 127, 128, 255};
    for (int i = 0; i < 4; ++i) {
        const std::string& line = lines[2 + static_cast<size_t>(i)];
        const size_t end = line.rfind(',');
        const size_t start = line.rfind(',', end - 1) + 1;
        float value = 0;
        std::from_chars(line.data() + start, line.data() + end, value);
        EXPECT_EQ(value, TranslateSample(k, rawBytes[i])) << line;
    }
}

TEST(CliCsv, FilesAndDirectoriesMixedAndTheirFailures) {
    CliRunner cli;
    TempDir dir;
    WriteBytes(dir / "one.dat", BuildBlock(BlockRecipe{}));
    const auto r =
        cli({"csv", (dir / "one.dat").string(), (dir / "missing-dir/").string(), (dir / "one.dat").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, (dir / "missing-dir/").string() + ": No such file or directory\n");
    EXPECT_EQ(Lines(r.out).size(), 1u + 2 * 69);

    std::filesystem::create_directory(dir / "empty");
    const auto empty = cli({"csv", (dir / "empty").string()});
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(empty.out, "file,channel,name,unit,sample,orbit,ma,raw,value,start_date\r\n");
}

TEST(CliCsv, StoredSettingsAreTheDefaultsAndStayUntouched) {
    CliRunner cli;
    TempDir dir;
    const BlockLayout moved{100, 110, 120, 130, 140, 150, 160, 170};
    BlockRecipe recipe;
    recipe.channel = "0141";
    WriteBytes(dir / "moved.dat", BuildBlock(recipe, moved));

    // Without a settings file nothing is created.
    const auto none = cli({"info", (dir / "moved.dat").string()});
    EXPECT_EQ(none.status, 1);
    EXPECT_FALSE(std::filesystem::exists(cli.config.path() / "config"));

    const auto file = cli.config.path() / "config/kelvarox/user.reg";
    std::filesystem::create_directories(file.parent_path());
    const std::string settings =
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Qarn Programs\\Kelvarox\\Startup]\n"
        "\"Start Amday Addr.\"=\"100\"\n\"End  Amday Addr.\"=\"110\"\n\"Start Orbit Addr.\"=\"120\"\n"
        "\"End Orbit Addr.\"=\"130\"\n\"Start MA Addr.\"=\"140\"\n\"End MA Addr.\"=\"150\"\n"
        "\"MA Step Addr.\"=\"160\"\n\"Channel Addr.\"=\"170\"\n\"Orbit Offset\"=\"2\"\n";
    WriteText(file, settings);
    const auto stored = cli({"info", (dir / "moved.dat").string()});
    EXPECT_EQ(stored.status, 0) << stored.err;
    EXPECT_NE(stored.out.find("Name:          Temp - EPU\n"), std::string::npos);
    EXPECT_NE(stored.out.find("Start orbit:   572\n"), std::string::npos);  // 0x3C + 2 * 256
    // The options still override the stored values.
    const auto overridden = cli({"info", "--orbit-hibyte", "0", (dir / "moved.dat").string()});
    EXPECT_NE(overridden.out.find("Start orbit:   60\n"), std::string::npos);
    const auto graph = cli({"graph", (dir / "moved.dat").string(), "-o", (dir / "moved.png").string()});
    EXPECT_EQ(graph.status, 0) << graph.err;
    EXPECT_EQ(ReadText(file), settings);
    size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(file.parent_path())) ++entries;
    EXPECT_EQ(entries, 1u);  // no lock file, no new file
}
