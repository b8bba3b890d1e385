#include "core/DataTable.h"

#include "core/FixedText.h"
#include "core/Text.h"
#include "core/WodBlock.h"

namespace kelvarox {

namespace {

std::string PadLeft(std::string text, size_t width, char fill) {
    if (text.size() < width) text.insert(0, width - text.size(), fill);
    return text;
}

}  // namespace

std::string DataTableHeading(const std::string& channelName, const std::string& channelNumberText) {
    std::string text;
    for (const std::string& line :
         {std::string(" WOD Data Channel Table"), std::string(), " Name: " + channelName,
          " Number: " + channelNumberText, std::string(), std::string("   No.  Orbit   MA   Raw   Trans "),
          std::string(" -------------------------------")}) {
        text += line;
        text += kLineEnd;
    }
    return text;
}

std::string DataTableRow(int index, const OrbitMA& position, uint8_t raw, float value) {
    std::string row;
    row += PadLeft(std::to_string(index), 4, ' ');
    row += " , ";
    row += PadLeft(std::to_string(position.orbit), 5, ' ');
    row += " , ";
    // Zeros go after a sign, as in -005.
    row += position.ma < 0 ? "-" + PadLeft(std::to_string(-static_cast<int64_t>(position.ma)), 3, '0')
                           : PadLeft(std::to_string(position.ma), 3, '0');
    row += " , #";
    row += UpperHex(raw, 2);
    row += " , ";
    row += PadLeft(ValueText(value), 5, ' ');
    return row;
}

std::string DataTableText(const std::string& channelName, const std::string& channelNumberText, const WodBlock& block,
                          const BlockHeader& header, const SampleSeries& series) {
    std::string text = DataTableHeading(channelName, channelNumberText);
    RowPosition rows(header);
    for (int i = 0; i < series.count; ++i) {
        text += DataTableRow(i, rows.Next(), block.RawSample(i), series.sampleValue[static_cast<size_t>(i)]);
        text += kLineEnd;
    }
    return text;
}

}  // namespace kelvarox
