#include "core/DataTable.h"

#include "core/FixedText.h"
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
    text += " WOD Data Channel Table\r\n";
    text += "\r\n";
    text += " Name: " + channelName + "\r\n";
    text += " Number: " + channelNumberText + "\r\n";
    text += "\r\n";
    text += "   No.  Orbit   MA   Raw   Trans \r\n";
    text += " -------------------------------\r\n";
    return text;
}

std::string DataTableRow(int index, const OrbitMA& position, uint8_t raw, float value) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string row;
    row += PadLeft(std::to_string(index), 4, ' ');
    row += " , ";
    row += PadLeft(std::to_string(position.Orbit), 5, ' ');
    row += " , ";
    // Zeros go after a sign, as in -005.
    row += position.MA < 0 ? "-" + PadLeft(std::to_string(-static_cast<int64_t>(position.MA)), 3, '0')
                           : PadLeft(std::to_string(position.MA), 3, '0');
    row += " , #";
    row += kHex[raw >> 4];
    row += kHex[raw & 0xF];
    row += " , ";
    row += PadLeft(ValueText(value), 5, ' ');
    return row;
}

std::string DataTableText(const std::string& channelName, const std::string& channelNumberText,
                          const WodBlock& block, const BlockHeader& header, const SampleSeries& series) {
    std::string text = DataTableHeading(channelName, channelNumberText);
    RowPosition rows(header);
    for (int i = 0; i < series.Count; ++i) {
        text += DataTableRow(i, rows.Next(), block.RawSample(i), series.SampleValue[static_cast<size_t>(i)]);
        text += kLineEnd;
    }
    return text;
}

}  // namespace kelvarox
