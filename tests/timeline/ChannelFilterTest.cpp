// The channel list's filter: names, units and hex numbers as the user types them.
#include <gtest/gtest.h>

#include "timeline/ChannelFilter.h"

using kelvarox::timeline::ChannelMatches;

TEST(ChannelFilter, NamesUnitsAndNumbersAsTyped) {
    struct Case {
        int32_t channel;
        const char* filter;
        bool matches;
    };
    // #08C "Bus Volts" in "Volts", #8C1 "Panel Temp" in "degC", #106 "I-Bat" in "Amps".
    const Case cases[] = {
        {0x08C, "", true},      {0x08C, "  ", true},     {0x08C, "bus", true},  {0x08C, " VOLTS ", true},
        {0x106, "amps", true},  {0x106, "volts", false}, {0x08C, "#8C", true},  {0x08C, "#08c", true},
        {0x08C, "0x8C", true},  {0x08C, "0X08C", true},  {0x08C, "8c", true},   {0x8C1, "#8C", true},
        {0x08C, "#8C1", false}, {0x106, "#8C", false},   {0x106, "#", false},   {0x106, "0x", false},
        {0x8C1, "#C1", false},  {0x8C1, "c1", false},    {0x8C1, "temp", true}, {0x8C1, "#deg", false},
        {0x106, "#1", true},    {0x106, "#10", true},    {0x106, "#01", false}, {0x106, "#0106", false},
    };
    for (const Case& c : cases) {
        const char* name = c.channel == 0x08C ? "Bus Volts" : c.channel == 0x8C1 ? "Panel Temp" : "I-Bat";
        const char* unit = c.channel == 0x08C ? "Volts" : c.channel == 0x8C1 ? "degC" : "Amps";
        EXPECT_EQ(ChannelMatches(c.channel, name, unit, c.filter), c.matches)
            << std::hex << c.channel << " '" << c.filter << "'";
    }
}
