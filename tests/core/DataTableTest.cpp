#include <gtest/gtest.h>

#include "TestFiles.h"
#include "core/DataTable.h"
#include "core/WodBlock.h"

using namespace kelvarox;
using kelvarox::testing::kExampleTableText;

TEST(DataTable, ExampleTableByteForByte) {
    WodBlock block;
    block.bytes[64] = 0x00;
    block.bytes[65] = 0x7F;
    block.bytes[66] = 0x80;
    block.bytes[67] = 0xFF;
    BlockHeader h;
    h.startOrbit = 316;
    h.startMA = 248;
    h.maStep = 4;
    h.lastSampleIndex = 3;
    const SampleSeries series = BuildSeries(block, h, Coefficients{0, 0, 1, 0});
    const std::string expected = kExampleTableText;
    EXPECT_EQ(DataTableText("Raw Data", "#180", block, h, series), expected);

    h.lastSampleIndex = -1;
    const std::string heading = DataTableText("Raw Data", "#180", block, h, BuildSeries(block, h, Coefficients{}));
    EXPECT_EQ(heading, expected.substr(0, expected.find("   0 ,")));
}

TEST(DataTable, FieldWidthsAndOverflowingFields) {
    EXPECT_EQ(DataTableRow(7, {316, 64}, 0x0A, 12.375f), "   7 ,   316 , 064 , #0A ,  12.4");
    const std::string wide = DataTableRow(383, {123456, 255}, 0xFF, -1000.0f);
    EXPECT_EQ(wide, " 383 , 123456 , 255 , #FF , -1000.0");
    EXPECT_EQ(DataTableRow(0, {1, 0}, 0, -1000.0f).size(), 34u);
    EXPECT_EQ(DataTableRow(0, {1, -5}, 0, 1.0f), "   0 ,     1 , -005 , #00 ,   1.0");
    EXPECT_EQ(DataTableRow(0, {-3, 4}, 0, std::numeric_limits<float>::infinity()), "   0 ,    -3 , 004 , #00 ,   INF");
}
