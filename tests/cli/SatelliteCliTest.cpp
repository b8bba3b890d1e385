#include <gtest/gtest.h>

#include "CliRunner.h"
#include "core/OrbitalElements.h"

using namespace kelvarox;
using namespace kelvarox::testing;

namespace {

// An element line with its checksum put right.
std::string WithChecksum(std::string line) {
    line[68] = static_cast<char>('0' + ElementChecksum(line));
    return line;
}

// Elements of epoch 2002-01-01 00:00 UTC (AmDay 8766) at revolution 60, mean anomaly 0 and 16
// revolutions a day: orbit 60 MA 0 is the epoch, and an MA is 1/4096 of a day.
std::string SatelliteWithElements() {
    return "format = 1\nsatellite = \"Example-1\"\n[[elements]]\nline1 = \"" +
           WithChecksum("1 24278U 96046B   02001.00000000  .00000023  00000-0  10000-4 0  9990") + "\"\nline2 = \"" +
           WithChecksum("2 24278  98.5000 123.4567 0011000  90.0000   0.0000 16.00000000   600") + "\"\n";
}

}  // namespace

TEST(SatelliteCli, ExportCheckAndTheSamplesTimes) {
    CliRunner cli;
    TempDir dir;
    const std::string db = (dir / "a.sqlite").string();
    BlockRecipe first = RecipeOf("0140", "3C", "10", "3C", "18", "04", {1, 2, 3});
    BlockRecipe later = RecipeOf("0140", "74", "10", "74", "18", "04", {1, 2, 3});
    later.startAmDay = later.endAmDay = "8770";
    WriteBytes(dir / "a.dat", BuildBlock(first));
    WriteBytes(dir / "b.dat", BuildBlock(later));
    ASSERT_EQ(cli({"archive", "add", "--database", db, "--orbit-hibyte", "0", dir.path().string()}).status, 0);
    const std::string exported = (dir / "built-in.toml").string(), timed = (dir / "timed.toml").string(),
                      typo = (dir / "typo.toml").string();
    const auto exportRun = cli({"satellite", "export"});
    WriteText(dir / "built-in.toml", exportRun.out);
    WriteText(dir / "timed.toml", SatelliteWithElements());
    WriteText(dir / "typo.toml", "format = 1\n[[channel]]\nhex = \"#140\"\nlimts = {}\n");

    const struct {
        std::vector<std::string> args;
        int status;
        std::string out, err;
    } cases[] = {
        {{"satellite", "check", exported}, 0, exported + ": 128 channels, 0 entries with limits, 0 element sets\n", ""},
        {{"satellite", "check", typo}, 1, "", typo + ":4:1: unknown key \"limts\"\n"},
        {{"satellite", "check", timed, "--archive", "--database", db},
         0,
         timed + ": satellite Example-1: 0 channels, 0 entries with limits, 1 element set\n"
                 "archive: 1 block dated otherwise by the elements\n",
         (dir / "b.dat").string() +
             ": warning: the elements place its first sample on 2002-01-04, its header on 2002-01-05 (is "
             "orbit_offset right?)\n"},
        {{"series", "#140", "--database", db, "--utc", "--satellite", timed, "--to", "60"},
         0,
         "orbit,ma,value,raw,file,utc\r\n"
         "60,16,-69.06089,1," +
             (dir / "a.dat").string() +
             ",2002-01-01T00:05:37.500Z\r\n"
             "60,20,-68.40178,2," +
             (dir / "a.dat").string() +
             ",2002-01-01T00:07:01.875Z\r\n"
             "60,24,-67.74267,3," +
             (dir / "a.dat").string() + ",2002-01-01T00:08:26.250Z\r\n",
         ""},
        {{"series", "#140", "--database", db, "--satellite", typo}, 1, "", typo + ":4:1: unknown key \"limts\"\n"},
    };
    for (const auto& c : cases) {
        const auto r = cli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args[1] << r.err;
        EXPECT_EQ(r.out, c.out) << c.args[1];
        EXPECT_EQ(r.err, c.err) << c.args[1];
    }
    // Without elements --utc is refused.
    EXPECT_EQ(cli({"series", "#140", "--database", db, "--utc", "--satellite", exported}).status, 2);
}

TEST(SatelliteCli, BreachesByTheLimitsInForceAtEachBlock) {
    CliRunner cli;
    TempDir dir;
    const std::string db = (dir / "a.sqlite").string(), limits = (dir / "limits.toml").string();
    BlockRecipe later = RecipeOf("0140", "74", "10", "74", "18", "04", {35, 45, 5});
    later.startAmDay = later.endAmDay = "8770";  // 2002-01-05
    WriteBytes(dir / "a.dat", BuildBlock(RecipeOf("0140", "3C", "10", "3C", "18", "04", {5, 15, 25})));
    WriteBytes(dir / "b.dat", BuildBlock(later));
    ASSERT_EQ(cli({"archive", "add", "--database", db, "--orbit-hibyte", "0", dir.path().string()}).status, 0);
    // From 2002-01-05 the limits rise and a red excursion needs two samples.
    WriteText(dir / "limits.toml",
              "format = 1\n[[channel]]\nhex = \"#140\"\nequation = { x1 = 1.0 }\n"
              "limits = { yellow_high = 15.0, red_high = 25.0 }\n"
              "[[channel]]\nhex = \"#140\"\nequation = { x1 = 1.0 }\nfrom = 2002-01-05\n"
              "limits = { yellow_high = 30.0, red_high = 40.0, persistence = 2 }\n");
    const std::string a = (dir / "a.dat").string(), b = (dir / "b.dat").string();
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out;
    } cases[] = {
        {{},
         0,
         "channel,level,side,first_orbit,first_ma,last_orbit,last_ma,samples,peak,file\r\n"
         "#140,yellow,high,60,20,60,24,2,25," +
             a + "\r\n#140,red,high,60,24,60,24,1,25," + a + "\r\n#140,yellow,high,116,16,116,20,2,45," + b + "\r\n"},
        {{"#140", "--level", "red"},
         0,
         "channel,level,side,first_orbit,first_ma,last_orbit,last_ma,samples,peak,file\r\n"
         "#140,red,high,60,24,60,24,1,25," +
             a + "\r\n"},
        {{"--summary"}, 0, "channel,level,excursions,samples,orbits\r\n#140,yellow,2,4,0.03125\r\n#140,red,1,1,0\r\n"},
        {{"#141"}, 2, ""},
        {{"--level", "orange"}, 2, ""},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"breaches", "--database", db, "--satellite", limits};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto r = cli(args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(r.out, c.out);
    }
}

TEST(SatelliteCli, OrbitsAndFoldOfAnOrbitFromTwoBlocks) {
    CliRunner cli;
    TempDir dir;
    const std::string db = (dir / "a.sqlite").string(), identity = (dir / "identity.toml").string();
    WriteBytes(dir / "a.dat", BuildBlock(RecipeOf("0140", "3C", "F8", "3D", "04", "04", {10, 20, 30, 40})));
    WriteBytes(dir / "b.dat", BuildBlock(RecipeOf("0140", "3D", "08", "3D", "10", "04", {50, 60, 70})));
    WriteText(dir / "identity.toml", "format = 1\n[[channel]]\nhex = \"#140\"\nequation = { x1 = 1.0 }\n");
    ASSERT_EQ(cli({"archive", "add", "--database", db, "--orbit-hibyte", "0", dir.path().string()}).status, 0);
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out;
    } cases[] = {
        {{"orbits", "#140"}, 0, "orbit,samples,min,max,mean\r\n60,2,10,20,15\r\n61,5,30,70,50\r\n"},
        {{"orbits", "#140", "--from", "61"}, 0, "orbit,samples,min,max,mean\r\n61,5,30,70,50\r\n"},
        {{"fold", "#140", "--bins", "2"},
         0,
         "ma,samples,min,p05,median,p95,max\r\n0,5,30,30,50,70,70\r\n128,2,10,10,10,20,20\r\n"},
        {{"fold", "#140", "--bins", "0"}, 2, ""},
        {{"orbits", "#141"}, 1, ""},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--database", db, "--satellite", identity});
        const auto r = cli(args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(r.out, c.out);
    }
}

TEST(SatelliteCli, TheExportedCatalogueChangesNoOutputAndEntriesApplyByDate) {
    CliRunner cli;
    TempDir dir;
    const std::string exported = (dir / "built-in.toml").string(), dated = (dir / "dated.toml").string();
    WriteText(dir / "built-in.toml", cli({"satellite", "export"}).out);
    const std::string samples = std::string(KELVAROX_SOURCE_DIR) + "/samples/telemetry";
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"info", samples + "/SPIN.TLM", samples + "/BATTERY.DAT"},
          {"csv", samples},
          {"table", samples + "/SPIN.TLM"}}) {
        std::vector<std::string> withFile = args;
        withFile.insert(withFile.begin() + 1, {"--satellite", exported});
        const auto plain = cli(args), file = cli(withFile);
        EXPECT_EQ(file.status, plain.status) << args[0];
        EXPECT_EQ(file.out, plain.out) << args[0];
        EXPECT_EQ(file.err, plain.err) << args[0];
    }
    // A recalibration from 2002-01-05: a block of 2002-01-01 keeps the catalogue's entry.
    WriteText(dir / "dated.toml",
              "format = 1\n[[channel]]\nhex = \"#140\"\nfrom = 2002-01-05\nname = \"Temp - SEU B\"\n"
              "equation = { x1 = 2.0, x0 = -1.0 }\n");
    BlockRecipe later = RecipeOf("0140", "74", "10", "74", "18", "04", {1, 2, 3});
    later.startAmDay = later.endAmDay = "8770";
    WriteBytes(dir / "a.dat", BuildBlock(RecipeOf("0140", "3C", "10", "3C", "18", "04", {1, 2, 3})));
    WriteBytes(dir / "b.dat", BuildBlock(later));
    const auto csv = cli({"csv", "--satellite", dated, (dir / "a.dat").string(), (dir / "b.dat").string()});
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_NE(csv.out.find(",#140,Temp - SEU,Deg.C,0,60,16,1,-69.06089,"), std::string::npos) << csv.out;
    EXPECT_NE(csv.out.find(",#140,Temp - SEU B,Deg.C,0,116,16,1,1,"), std::string::npos) << csv.out;
}
