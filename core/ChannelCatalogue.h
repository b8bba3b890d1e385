#pragma once
// The built-in knowledge of the spacecraft's telemetry channels 0x100 to 0x17F: name, unit
// and the row of the coefficient table that holds the channel's translation equation
// Value = a*X^3 + b*X^2 + c*X + d.
#include <array>
#include <cstdint>
#include <string>

namespace kelvarox {

struct Coefficients {
    float a = 0.0f;  // of X^3
    float b = 0.0f;  // of X^2
    float c = 0.0f;  // of X
    float d = 0.0f;  // constant
};

namespace ChannelCatalogue {

inline constexpr int32_t kFirstChannel = 0x100;
inline constexpr int32_t kLastChannel = 0x17F;
inline constexpr int kChannelCount = 128;
inline constexpr int kRowCount = 36;
inline constexpr int32_t kIdentityRow = 15;

extern const std::array<const char*, kChannelCount> ChannelNames;
extern const std::array<const char*, kChannelCount> ChannelUnits;
extern const std::array<int32_t, kChannelCount> ChannelRowIndex;
extern const std::array<Coefficients, kRowCount> CoefficientTable;

// Row of a channel: its catalogue row, or kIdentityRow for channels outside the catalogue.
int32_t RowOf(int32_t channel);
// Name and unit: the catalogue's, or "Raw Data" and "Count" outside it.
std::string NameOf(int32_t channel);
std::string UnitOf(int32_t channel);

// The four texts the main window's coefficient boxes show for a row: a, b and c with
// 5 significant digits and 5 decimals, d with 5 significant digits and 2 decimals.
struct CoefficientTexts {
    std::string a, b, c, d;
};
CoefficientTexts CoefficientTextsOf(int32_t row);
// The same texts of any four coefficients.
CoefficientTexts CoefficientTextsOf(const Coefficients& k);

// "#" and the channel in upper-case hexadecimal, at least three digits.
std::string ChannelNumberText(int32_t channel);

}  // namespace ChannelCatalogue

}  // namespace kelvarox
