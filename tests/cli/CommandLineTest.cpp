#include <gtest/gtest.h>

#include "CliRunner.h"
#include "KelvaroxVersion.h"

using namespace kelvarox;
using namespace kelvarox::testing;

TEST(Cli, TableIsTheWindowTextByteForByte) {
    CliRunner cli;
    const auto r = cli({"table", "--orbit-hibyte", "1", SamplePath("raw-identity.tlm")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, kExampleTableText);

    // Coefficients typed over the loaded ones; an empty one keeps its value (0 at first).
    const auto doubled = cli({"table", "--coefficients", ",,2,-1", SamplePath("raw-identity.tlm")});
    EXPECT_EQ(doubled.status, 0);
    EXPECT_NE(doubled.out.find("   3 ,    61 , 004 , #FF , 509.0\r\n"), std::string::npos) << doubled.out;
}

TEST(Cli, InfoReportsEveryBlockAndGoesOnAfterFailures) {
    CliRunner cli;
    const auto r = cli({"info", SamplePath("short-100-bytes.dat"), SamplePath("temperature-one-orbit.dat"),
                        SamplePath("bad-signature.dat")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, SamplePath("short-100-bytes.dat") + ": File is improper length, must be 512 bytes!!\n" +
                         SamplePath("bad-signature.dat") + ": Improper format for WOD data block!\n");
    EXPECT_EQ(r.out, "File:          " + SamplePath("temperature-one-orbit.dat") +
                         "\n"
                         "Channel:       #140\n"
                         "Name:          Temp - SEU\n"
                         "Unit:          Deg.C\n"
                         "Equation:      Value = 0.00000*X^3 + 0.00000*X^2 + 0.65911*X + -69.72\n"
                         "Start AmDay:   8766  2002  Jan  01 [Tue]\n"
                         "End AmDay:     8766  2002  Jan  01 [Tue]\n"
                         "Start orbit:   60\n"
                         "End orbit:     60\n"
                         "Start MA:      0\n"
                         "End MA:        252\n"
                         "MA step:       4\n"
                         "Samples:       64\n"
                         "First MA:      0\n\n");

    const auto ok = cli({"info", SamplePath("SPIN.TLM"), SamplePath("BATTERY.DAT")});
    EXPECT_EQ(ok.status, 0);
    EXPECT_NE(ok.out.find("Name:          SEU Spin - Analog\n"), std::string::npos);
    EXPECT_NE(ok.out.find("Name:          Volts - Main Battery\n"), std::string::npos);
}

TEST(Cli, LayoutOptionAndFieldErrors) {
    CliRunner cli;
    TempDir dir;
    BlockLayout layout{100, 110, 120, 130, 140, 150, 160, 170};
    BlockRecipe recipe;
    recipe.channel = "0141";
    WriteBytes(dir / "moved.dat", BuildBlock(recipe, layout));
    const auto moved = cli({"info", "--layout", "100,110,120,130,140,150,160,170", (dir / "moved.dat").string()});
    EXPECT_EQ(moved.status, 0) << moved.err;
    EXPECT_NE(moved.out.find("Name:          Temp - EPU\n"), std::string::npos);
    // At the default addresses the same block has blanks where the fields should be.
    const auto unmoved = cli({"info", (dir / "moved.dat").string()});
    EXPECT_EQ(unmoved.status, 1);
    EXPECT_EQ(unmoved.err, (dir / "moved.dat").string() + ": '' is not a valid integer value\n");

    recipe.maStep = "00";
    WriteBytes(dir / "zero.dat", BuildBlock(recipe));
    const auto zero = cli({"table", (dir / "zero.dat").string()});
    EXPECT_EQ(zero.status, 1);
    EXPECT_EQ(zero.err, (dir / "zero.dat").string() + ": Division by zero\n");
    EXPECT_EQ(zero.out, "");
}

TEST(Cli, VersionIsTheProjectVersionWhateverElseIsGiven) {
    CliRunner cli;
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--version"}, {"table", "--version", "no-such-file.dat"}}) {
        const auto r = cli(args);
        EXPECT_EQ(r.status, 0) << ::testing::PrintToString(args);
        EXPECT_EQ(r.out, std::string("kelvarox-cli ") + kVersion + "\n");
        EXPECT_EQ(r.err, "");
    }
}

TEST(Cli, UsageErrors) {
    CliRunner cli;
    const auto help = cli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: kelvarox-cli", 0), 0u);
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{},
                                               {"info"},
                                               {"frobnicate", "x.dat"},
                                               {"info", "--orbit-hibyte", "1A", "x.dat"},
                                               {"info", "--layout", "1,2,3", "x.dat"},
                                               {"info", "--layout", "1,2,3,4,5,6,7,512", "x.dat"},
                                               {"info", "--coefficients", "1,2,3,x", "x.dat"},
                                               {"info", "--coefficients", "1,2,3", "x.dat"},
                                               {"info", "--bogus", "x.dat"},
                                               {"table", "a.dat", "b.dat"},
                                               {"info", "--orbit-hibyte"}}) {
        const auto r = cli(args);
        EXPECT_EQ(r.status, 2) << ::testing::PrintToString(args);
        EXPECT_NE(r.err.find("Usage: kelvarox-cli"), std::string::npos);
        EXPECT_EQ(r.out, "");
    }
    const auto coefficient = cli({"info", "--coefficients", "1,2,3,x", "x.dat"});
    EXPECT_EQ(coefficient.err.substr(0, coefficient.err.find('\n')),
              "kelvarox-cli: --coefficients: 'x' is not a valid floating point value");
    // An unknown command is named as such, with files or without.
    const auto unknown = cli({"frobnicate"});
    EXPECT_EQ(unknown.err.substr(0, unknown.err.find('\n')), "kelvarox-cli: unknown command frobnicate");
}

TEST(Cli, ControlBytesOfBlocksAndFileNamesReachTheTerminalEscaped) {
    CliRunner cli;
    TempDir dir;
    BlockRecipe recipe;
    recipe.channel =
        "\x1b"
        "c\x9b\xe9";  // ESC c resets a terminal, 9B is CSI in 8 bits, E9 is é
    const std::string name =
        "clear\x1b[2J\r\n\xc2\x9b"
        "caf\xe9.dat";
    WriteBytes(dir / name, BuildBlock(recipe));
    const auto r = cli({"info", (dir / name).string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(
        r.err,
        dir.path().string() +
            "/clear\\x1B[2J\\x0D\\x0A\\xC2\\x9Bcaf\\xE9.dat: '0x\\x1Bc\\x9B\xc3\xa9' is not a valid integer value\n");

    const auto usage = cli({"info", "--layout",
                            "1,2,3,4,5,6,7,\x1b"
                            "c",
                            "x.dat"});
    EXPECT_EQ(usage.err.substr(0, usage.err.find('\n')),
              "kelvarox-cli: --layout: '\\x1Bc' is not an address from 0 to 511");
}

TEST(Cli, SettingsThatCannotBeUsedAreReportedOnceAndTheDefaultsUsed) {
    CliRunner cli;
    const auto file = cli.config.path() / "config/kelvarox/user.reg";
    std::filesystem::create_directories(file.parent_path());
    WriteText(file, std::string("\xff\xfe"
                                "R\0E\0",
                                6));  // UTF-16 without a header
    const auto r = cli({"info", SamplePath("SPIN.TLM"), SamplePath("BATTERY.DAT")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "kelvarox-cli: The settings file '" + file.string() +
                         "' is not used: line 1 is not \"REGEDIT4\" or \"Windows Registry Editor Version 5.00\". "
                         "Kelvarox leaves it as it is and runs with its defaults.\n");

    const auto homeless =
        RunProcess(KELVAROX_CLI, {"info", SamplePath("SPIN.TLM")}, {{"HOME", ""}, {"XDG_CONFIG_HOME", ""}});
    EXPECT_EQ(homeless.status, 0);
    EXPECT_EQ(homeless.err,
              "kelvarox-cli: There is no home folder for the settings (HOME is not set). Kelvarox runs with its "
              "defaults and saves nothing.\n");
}

TEST(Cli, AnEmptyCoefficientIsZero) {
    CliRunner cli;
    const auto r = cli({"info", "--coefficients", "1,,,", SamplePath("temperature-one-orbit.dat")});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Equation:      Value = 1*X^3 + 0*X^2 + 0*X + 0\n"), std::string::npos) << r.out;
}
