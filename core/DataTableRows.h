#pragma once
// The rows of one data table as the window appends them, one at a time. The rows are taken
// from a copy of the block, its header and its series as they stood when the Table action
// started, so a block loaded or a series built while the table grows never gets into it.
#include <string>

#include "core/SampleSeries.h"
#include "core/WodBlock.h"

namespace kelvarox {

class DataTableRows {
public:
    DataTableRows(const WodBlock& block, const BlockHeader& header, const SampleSeries& series);

    // Rows 0 to Count() - 1, one per sample of the series.
    int Count() const { return series_.count; }
    bool AtEnd() const { return next_ >= series_.count; }
    // The number of the row that Next() gives.
    int NextIndex() const { return next_; }
    // The next row with its CR LF. Only while !AtEnd().
    std::string Next();

private:
    WodBlock block_;
    SampleSeries series_;
    RowPosition position_;
    int next_ = 0;
};

// The window lets pending events run after the rows 0, 10, 20, ...
constexpr bool PausesAfterRow(int index) { return index % 10 == 0; }

}  // namespace kelvarox
