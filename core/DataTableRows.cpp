#include "core/DataTableRows.h"

#include "core/DataTable.h"

namespace kelvarox {

DataTableRows::DataTableRows(const WodBlock& block, const BlockHeader& header, const SampleSeries& series)
    : block_(block), series_(series), position_(header) {}

std::string DataTableRows::Next() {
    const int i = next_++;
    std::string row =
        DataTableRow(i, position_.Next(), block_.RawSample(i), series_.sampleValue[static_cast<size_t>(i)]);
    row += kLineEnd;
    return row;
}

}  // namespace kelvarox
