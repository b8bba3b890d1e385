#include "satellite/SatelliteFile.h"

#include <gtest/gtest.h>

#include "core/CivilDate.h"

namespace kelvarox {
namespace {

constexpr const char* kLine1 = "1 24278U 96046B   01359.50000000  .00000023  00000-0  10000-4 0  9991";
constexpr const char* kLine2 = "2 24278  98.5000 123.4567 0011000  45.0000  90.0000 14.00000000250007";

std::vector<std::string> Errors(const std::string& text) {
    std::vector<std::string> lines;
    for (const SatelliteFileMessage& m : ParseSatelliteText(text, "sat.toml").errors) lines.push_back(m.ToString());
    return lines;
}

TEST(SatelliteFile, EachFaultNamesItsLineAndColumn) {
    const std::string head = "format = 1\n";
    const struct {
        std::string text;
        std::string error;
    } cases[] = {
        {"format = 1\nsatellite = \"x\n",
         "sat.toml:2:15: Error while parsing string: unescaped control characters other than TAB (U+0009) are "
         "explicitly prohibited"},
        {"satellite = \"x\"\n", "sat.toml:1:1: \"format = 1\" is missing"},
        {"format = 2\n", "sat.toml:1:10: format 2 is not known: this program reads format 1"},
        {head + "satelite = \"x\"\n", "sat.toml:2:1: unknown key \"satelite\""},
        {head + "[[channel]]\nhex = \"#140\"\nequation = { x3 = 1, x4 = 2 }\n", "sat.toml:4:22: unknown key \"x4\""},
        {head + "[[channel]]\nhex = \"#140\"\nname = 5\n", "sat.toml:4:8: \"name\" must be a text, not a whole number"},
        {head + "[[channel]]\nhex = \"140\"\n", "sat.toml:3:7: the channel \"140\" is not in the form #HHH or 0xHHH"},
        {head + "[[channel]]\nhex = \"#10000\"\n",
         "sat.toml:3:7: no block header can name the channel \"#10000\": its four digits end at #FFFF"},
        {head + "[[channel]]\nname = \"x\"\n",
         "sat.toml:2:1: a channel needs \"hex\", the channel as the Hex# box shows it (\"#140\")"},
        {head + "[[channel]]\nhex = \"#140\"\nfrom = 1996-03-01\n[[channel]]\nhex = \"0x140\"\nfrom = 1996-03-01\n",
         "sat.toml:5:1: channel #140 has two entries from the same date (the other at line 2)"},
        {head + "[[channel]]\nhex = \"#140\"\nlimits = { yellow_high = 30.0, red_high = 30.0, yellow_low = 30 }\n",
         "sat.toml:4:10: the limits must satisfy red_low <= yellow_low < yellow_high <= red_high"},
        {head + "[[channel]]\nhex = \"#140\"\nlimits = { red_high = nan }\n",
         "sat.toml:4:23: \"red_high\" must be a finite number"},
        {head + "[[channel]]\nhex = \"#140\"\nlimits = { persistence = 0 }\n",
         "sat.toml:4:26: \"persistence\" must be 1 or more"},
        {head + "[[channel]]\nhex = \"#140\"\nfrom = \"1996-03-01\"\n",
         "sat.toml:4:8: \"from\" must be a date (1996-03-01), not a text"},
        {head + "[[elements]]\nline1 = \"" + std::string(kLine1) + "\"\nline2 = \"" + std::string(kLine2, 68) + "8\"\n",
         "sat.toml:4:78: the checksum of line 2 is wrong: it should be 7"},
        {head + "[[elements]]\nline1 = \"" + std::string(kLine1) + "\"\n",
         "sat.toml:2:1: an element set needs \"line1\" and \"line2\""},
    };
    for (const auto& c : cases) EXPECT_EQ(Errors(c.text), std::vector<std::string>{c.error}) << c.text;
}

TEST(SatelliteFile, TheBuiltInCatalogueReadsBackAsItself) {
    const SatelliteFileResult r = ParseSatelliteText(BuiltInSatelliteFile(), "builtin.toml");
    ASSERT_TRUE(r.errors.empty()) << r.errors.front().ToString();
    EXPECT_TRUE(r.warnings.empty());
    ASSERT_EQ(r.satellite->Entries().size(), 128u);
    for (int32_t channel = 0x100; channel <= 0x17F; ++channel) {
        const ChannelDefinition read = r.satellite->DefinitionOf(channel, 9000);
        const ChannelDefinition builtIn = BuiltInDefinition(channel);
        EXPECT_EQ(read.name, builtIn.name);
        EXPECT_EQ(read.unit, builtIn.unit);
        for (auto member : {&Coefficients::a, &Coefficients::b, &Coefficients::c, &Coefficients::d})
            EXPECT_EQ(std::bit_cast<uint32_t>(read.equation.*member), std::bit_cast<uint32_t>(builtIn.equation.*member))
                << std::hex << channel;
    }
}

TEST(SatelliteFile, EntriesApplyFromTheirDatesAndKeepWhatTheyLeaveOut) {
    const SatelliteFileResult r = ParseSatelliteText(
        "format = 1\nsatellite = \"Example-1\"\n"
        "[[channel]]\nhex = \"#140\"\nunit = \"K\"\nlimits = { yellow_high = 30.0, red_high = 35.0, persistence = 2 }\n"
        "[[channel]]\nhex = \"#140\"\nfrom = 1996-03-01\nequation = { x1 = 2.0, x0 = -1 }\n"
        "[[channel]]\nhex = \"#140\"\nfrom = 1999-01-01\nname = \"Temp - new\"\nlimits = { red_low = -300 }\n"
        "[[elements]]\nline1 = \"" +
            std::string(kLine1) + "\"\nline2 = \"" + std::string(kLine2) + "\"\norbit_offset = 7\n",
        "sat.toml");
    ASSERT_TRUE(r.errors.empty()) << r.errors.front().ToString();
    ASSERT_EQ(r.warnings.size(), 1u);  // red_low -300 lies below every value of the built-in equation
    EXPECT_EQ(r.warnings[0].ToString(true),
              "sat.toml:15:10: warning: the limit red_low of channel #140 is never reached: its equation gives "
              "values from -69.72 to 98.35305 for the raw values 0 to 255");
    const SatelliteDefinition& s = *r.satellite;
    EXPECT_EQ(s.Name(), "Example-1");
    const ChannelDefinition builtIn = BuiltInDefinition(0x140);
    const int64_t march = AmDayOfDate({1996, 3, 1});
    const ChannelDefinition before = s.DefinitionOf(0x140, march - 1), on = s.DefinitionOf(0x140, march),
                            later = s.DefinitionOf(0x140, AmDayOfDate({2001, 1, 1}));
    EXPECT_EQ(before.name, builtIn.name);
    EXPECT_EQ(before.unit, "K");
    EXPECT_EQ(before.equation.c, builtIn.equation.c);
    EXPECT_EQ(before.limits->persistence, 2);
    EXPECT_EQ(on.unit, builtIn.unit);
    EXPECT_EQ(on.equation.c, 2.0f);
    EXPECT_EQ(on.equation.a, 0.0f);
    EXPECT_FALSE(on.limits);
    EXPECT_EQ(later.name, "Temp - new");
    EXPECT_EQ(later.equation.c, builtIn.equation.c);
    EXPECT_EQ(*later.limits->redLow, -300.0);
    EXPECT_EQ(s.DefinitionOf(0x141, march).name, BuiltInDefinition(0x141).name);
    EXPECT_EQ(s.ChannelsWithLimits(), std::vector<int32_t>{0x140});
    ASSERT_NE(s.ElementsNear(march), nullptr);
    EXPECT_EQ(s.ElementsNear(march)->orbitOffset, 7);
}

}  // namespace
}  // namespace kelvarox
