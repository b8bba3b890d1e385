#include <gtest/gtest.h>

#include "core/DataTable.h"
#include "core/DataTableRows.h"

using namespace kelvarox;

TEST(DataTableRows, GivesTheTableRowsOfTheBlockAsItWasWhenTaken) {
    WodBlock block;
    BlockHeader h;
    h.startOrbit = 60;
    h.startMA = 200;
    h.maStep = 16;
    h.lastSampleIndex = 24;
    for (int i = 0; i <= h.lastSampleIndex; ++i)
        block.bytes[static_cast<size_t>(64 + i)] = static_cast<uint8_t>(i * 11);
    SampleSeries series = BuildSeries(block, h, Coefficients{0, 0, 2, -5});
    const std::string table = DataTableText("Name", "#100", block, h, series);

    DataTableRows rows(block, h, series);
    // What a later load or series does to the program state stays out of the rows.
    block.bytes[64] = 0xEE;
    h.startOrbit = 99;
    series = BuildSeries(block, h, Coefficients{1, 1, 1, 1});

    std::string text = DataTableHeading("Name", "#100");
    std::vector<int> pauses;
    EXPECT_EQ(rows.Count(), 25);
    while (!rows.AtEnd()) {
        const int index = rows.NextIndex();
        text += rows.Next();
        if (PausesAfterRow(index)) pauses.push_back(index);
    }
    EXPECT_EQ(text, table);
    EXPECT_EQ(pauses, (std::vector<int>{0, 10, 20}));

    h.lastSampleIndex = -1;
    EXPECT_TRUE(DataTableRows(block, h, BuildSeries(block, h, Coefficients{})).AtEnd());
}
