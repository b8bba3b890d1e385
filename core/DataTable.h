#pragma once
// The data table text: a heading with the channel's name and number, then one row per sample
// with its number, orbit, mean anomaly, raw byte and translated value. Lines end in CR LF.
#include <cstdint>
#include <string>

#include "core/SampleSeries.h"

namespace kelvarox {

struct WodBlock;
struct BlockHeader;

inline constexpr const char* kLineEnd = "\r\n";

// Lines 1 to 7: title, name, number, column headings and rule, each with its CR LF.
std::string DataTableHeading(const std::string& channelName, const std::string& channelNumberText);

// One row without its line end, for example "   2 ,   317 , 000 , #80 , 128.0".
std::string DataTableRow(int index, const OrbitMA& position, uint8_t raw, float value);

// The whole table: the heading and every row of the series, each with its CR LF.
std::string DataTableText(const std::string& channelName, const std::string& channelNumberText, const WodBlock& block,
                          const BlockHeader& header, const SampleSeries& series);

}  // namespace kelvarox
