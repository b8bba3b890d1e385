#include "core/ChannelCatalogue.h"

#include "core/FixedText.h"
#include "core/Text.h"

namespace kelvarox::ChannelCatalogue {

// The tables keep their rows of sixteen channels as the catalogue lists them.
// clang-format off
const std::array<const char*, kChannelCount> ChannelNames = {
    // 0x100 - 0x13F
    "SEU Spin - Analog", "EPU Tank Pressure", "EPU Motor Pressure", "EPU - Motor Amps",
    "EPU - Motor Voltage", "EPU - Flow", "I-Bat, Tot Bat Amps", "I-28-U1, EPU amps",
    "I-28-U2, Main Bus", "I-28-U3, 28v-S amps", "I-28-BCR, BCR amps", "Volts - Main Battery",
    "Volts - Aux. Battery", "Volts - 28V Bus", "Volts In - BCR-1", "Volts In - BCR-3",
    "10V-C2 - BCR-3", "Volts In - BCR-2", "10V -C1 - BCR-2", "Motor Valve Position",
    "400N Hi. Press.", "400N Low Press.", "AGC - L2 Rx", "Power Out - X Tx",
    "ComStates - X Tx", "Milliamps Helix X Tx", "Power K Tx", "AGC S2 / C Rx",
    "AGC HF Rx", "AGC S1 Rx", "AGC V - Rx", "AGC U - Rx",
    "AGC L1 - Rx", "[NOT ASSIGNED]", "Power S-PA & Mix", "Power V - Tx",
    "AGC V - Tx ??", "Power U - Amp Tx", "ALE U - Amp ???", "[NOT ASSIGNED]",
    "[NOT ASSIGNED]", "Ant R1 position", "[NOT ASSIGNED]", "Temp - X Tx",
    "Temp TWTA X Tx", "U/D Z SunSens", "SunSens Z - 25", "SunSens Y - 25",
    "SunSens Up - X", "SunSens Up - Y", "SunSens Dwn - X", "SunSens Dwn - Y",
    "SunSens Z - 45", "SunSens Y - 45", "SunSens 25 - valid", "SunSens 45 - valid",
    "Pwr S-band 2", "AGC S-band 2", "Pyro Bridge A", "Pyro Bridge B",
    "[NOT ASSIGNED]", "[NOT ASSIGNED]", "[NOT ASSIGNED]", "[NOT ASSIGNED]",
    // 0x140 - 0x16F: temperatures
    "Temp - SEU", "Temp - EPU", "Temp - BCR #1", "Temp - BCR #3",
    "Temp - BCR #2", "Temp - MMH - Bay 3", "Temp - Aux Bat Bay 5", "Temp - Aux Bat Bay 1",
    "Temp - NH3 Bay 2", "Temp - Main bat Bay 2", "Temp - Main bat Bay 4", "Temp - Main bat Bay 6",
    "Temp - SolPanl - 1", "Temp - SolPanl - 2", "Temp - SolPanl - 3", "Temp - SolPanl - 4",
    "Temp - SolPanl - 5", "Temp - SolPanl - 6", "Temp - L2 Rx", "Temp - HP 2 +X -Y",
    "Temp - HP 2 -X", "Temp - K Tx", "Temp - S2-C Rx", "Temp - S1-HF Rx",
    "Temp - U Tx Excit.", "Temp - U & V Rx", "Temp - L1 Rx", "Temp - S1 Tx",
    "Temp - S2 Tx", "Temp - 1 10m Dig.", "Temp - V Tx", "Temp - U Amp",
    "Temp - RF monitor", "Temp - IHU", "Temp - Top", "Temp - Bottom",
    "Temp - Back", "Temp - Side 4 panl", "Temp - HP 4 +X +Y", "Temp - HP 3 -X",
    "Temp - HP 2 +X +Y", "Temp - HP 1 +X -Y", "Temp - HP 3 +X", "Temp N2O4 -X -Y",
    "Temp N2O4 +X +Y", "Temp - Side 2 panl", "Temp - S ant.", "Temp - Helium Tnk",
    // 0x170 - 0x17F
    "I - 28v - S SEU", "I-SA-1 - BCR - 1", "I-SA-6 - BCR - 1", "I-SA-3 - BCR - 3",
    "I-SA-2 - BCR - 3", "I-10V - C2 - BCR 3", "I-SA-5 - BCR - 2", "I-SA-4 - BCR - 2",
    "I-10V - C1 - BCR 2", "I - K - Tx", "I-28V - S PA/Mix", "I-10V - S PA/Mix",
    "[NOT ASSIGNED]", "[NOT ASSIGNED]", "[NOT ASSIGNED]", "[NOT ASSIGNED]",
};

#define DEG "Deg.C"
const std::array<const char*, kChannelCount> ChannelUnits = {
    // 0x100 - 0x13F
    "RPM", "NA", "NA", "Amps", "Volts", "NA", "Amps", "Amps",
    "Amps", "Amps", "Amps", "Volts", "Volts", "Volts", "Volts", "Volts",
    "Volts", "Volts", "Volts", "Position", "Press.", "Press.", "AGC", "Power Out",
    "ComStates", "Milliamps", "Power", "AGC", "AGC", "AGC", "AGC", "AGC",
    "AGC", "NA", "Power", "Power", "AGC", "Power", "ALE", "NA",
    "NA", "Position", "NA", "Temp", "Temp", "U/D", "SunSens", "SunSens",
    "SunSens", "SunSens", "SunSens", "SunSens", "SunSens", "SunSens", "SunSens", "SunSens",
    "Pwr", "AGC", "Pyro", "Pyro", "NA", "NA", "NA", "NA",
    // 0x140 - 0x16F
    DEG, DEG, DEG, DEG, DEG, DEG, DEG, DEG, DEG, DEG, DEG, DEG, DEG, DEG, DEG, DEG,
    DEG, DEG, DEG, DEG, DEG, DEG, DEG, DEG, DEG, DEG, DEG, DEG, DEG, DEG, DEG, DEG,
    DEG, DEG, DEG, DEG, DEG, DEG, DEG, DEG, DEG, DEG, DEG, DEG, DEG, DEG, DEG, DEG,
    // 0x170 - 0x17F
    "Amps", "Amps", "Amps", "Amps", "Amps", "Amps", "Amps", "Amps",
    "Amps", "Amps", "Amps", "Amps", "NA", "NA", "NA", "NA",
};
#undef DEG

const std::array<int32_t, kChannelCount> ChannelRowIndex = {
    // 0x100 - 0x13F
    25, 30, 31, 13, 32, 15, 5, 0,
    6, 7, 2, 3, 3, 3, 8, 9,
    4, 9, 4, 15, 29, 28, 20, 30,
    15, 18, 15, 24, 15, 23, 21, 22,
    19, 16, 15, 15, 15, 15, 15, 33,
    34, 15, 35, 17, 17, 15, 12, 12,
    10, 10, 10, 10, 11, 11, 15, 15,
    15, 15, 15, 15, 15, 15, 15, 15,
    // 0x140 - 0x16F
    14, 14, 14, 14, 14, 14, 14, 14, 14, 14, 14, 14, 14, 14, 14, 14,
    14, 14, 14, 14, 14, 14, 14, 14, 14, 14, 14, 14, 14, 14, 14, 14,
    14, 14, 14, 14, 14, 14, 14, 14, 14, 14, 14, 14, 14, 14, 14, 14,
    // 0x170 - 0x17F
    15, 26, 26, 26, 26, 27, 26, 26,
    27, 15, 1, 15, 15, 15, 15, 15,
};

const std::array<Coefficients, kRowCount> CoefficientTable = {{
    {0.0f, 0.0f, 0.2035f, -2.85f},               // 0
    {0.0f, 0.0f, 0.042922f, -0.33333f},          // 1
    {0.0f, 0.0f, 0.1024f, -0.653f},              // 2
    {0.0f, 0.0f, 0.1548f, -1.484f},              // 3
    {0.0f, 0.0f, 0.0657f, -0.712f},              // 4
    {0.0f, 0.0f, 0.241f, -31.28f},               // 5
    {0.0f, 0.0f, 0.197f, -0.739f},               // 6
    {0.0f, 0.0f, 0.0412f, -0.76f},               // 7
    {0.0f, 0.0f, 0.1522f, -1.06f},               // 8
    {0.0f, 0.0f, 0.1318f, -0.923f},              // 9
    {0.0f, 0.0f, 0.0f, 0.0f},                    // 10
    {5.81e-6f, -0.0024468f, 0.64187f, -55.179f}, // 11
    {3.61e-6f, -0.0015379f, 0.3682f, -31.5011f}, // 12
    {0.0f, 0.0f, 0.0503f, -0.3154f},             // 13
    {0.0f, 0.0f, 0.65911f, -69.72f},             // 14
    {0.0f, 0.0f, 1.0f, 0.0f},                    // 15, kIdentityRow
    {0.0f, 0.0f, 1.0f, 0.0f},                    // 16
    {0.0f, 0.0f, -0.413f, 103.8f},               // 17
    {0.0f, 0.0f, 0.103f, -0.95f},                // 18
    {0.0f, 0.0f, 0.129f, -7.9f},                 // 19
    {0.0f, 0.0f, 0.154f, -10.6f},                // 20
    {0.0f, 0.0f, 0.254f, -14.8f},                // 21
    {0.0f, 0.0f, 0.457f, -31.9f},                // 22
    {0.0f, -0.004f, 1.25f, -72.0f},              // 23
    {0.0f, -0.011f, 3.66f, -284.0f},             // 24
    {-1.3867e-6f, 0.004702f, -1.216f, 83.67f},   // 25
    {0.0f, 0.0f, 0.1014f, -0.6212f},             // 26
    {0.0f, 0.0f, 0.0125f, -0.0875f},             // 27
    {0.0f, 0.0f, 0.1235f, -1.235f},              // 28
    {0.0f, 0.0f, 2.3406f, -197.1f},              // 29
    {0.0f, 0.0f, 0.0815f, -1.253f},              // 30
    {0.0f, 0.0f, 0.0835f, -1.381f},              // 31
    {0.0f, 0.0f, 1.2209544f, -263.0537f},        // 32
    {0.0f, 0.0f, 1.0f, 0.0f},                    // 33
    {0.0f, 0.0f, 1.0f, 0.0f},                    // 34
    {0.0f, 0.0f, 1.0f, 0.0f},                    // 35
}};
// clang-format on

namespace {
bool InCatalogue(int32_t channel) { return channel >= kFirstChannel && channel <= kLastChannel; }
}  // namespace

int32_t RowOf(int32_t channel) {
    return InCatalogue(channel) ? ChannelRowIndex[static_cast<size_t>(channel - kFirstChannel)] : kIdentityRow;
}

std::string NameOf(int32_t channel) {
    return InCatalogue(channel) ? ChannelNames[static_cast<size_t>(channel - kFirstChannel)] : "Raw Data";
}

std::string UnitOf(int32_t channel) {
    return InCatalogue(channel) ? ChannelUnits[static_cast<size_t>(channel - kFirstChannel)] : "Count";
}

CoefficientTexts CoefficientTextsOf(int32_t row) {
    return CoefficientTextsOf(CoefficientTable[static_cast<size_t>(row)]);
}

CoefficientTexts CoefficientTextsOf(const Coefficients& k) {
    return {FixedText(k.a, 5, 5), FixedText(k.b, 5, 5), FixedText(k.c, 5, 5), FixedText(k.d, 5, 2)};
}

std::string ChannelNumberText(int32_t channel) { return "#" + UpperHex(static_cast<uint32_t>(channel), 3); }

}  // namespace kelvarox::ChannelCatalogue
