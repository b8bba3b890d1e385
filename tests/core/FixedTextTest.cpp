#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/ChannelCatalogue.h"
#include "core/FixedText.h"

using namespace kelvarox;

TEST(FixedText, ValueTextExamples) {
    EXPECT_EQ(ValueText(16.0f), "16.0");
    EXPECT_EQ(ValueText(12.375f), "12.4");
    EXPECT_EQ(ValueText(12.34f), "12.3");
    EXPECT_EQ(ValueText(0.25f), "0.3");
    EXPECT_EQ(ValueText(-0.25f), "-0.3");
    EXPECT_EQ(ValueText(0.05f), "0.1");
    EXPECT_EQ(ValueText(-0.04f), "0.0");
    EXPECT_EQ(ValueText(0.0f), "0.0");
    EXPECT_EQ(ValueText(-0.0f), "0.0");
    EXPECT_EQ(ValueText(-1000.0f), "-1000.0");
    EXPECT_EQ(ValueText(123.45f), "123.4");
    EXPECT_EQ(ValueText(1234.56f), "1235.0");
    EXPECT_EQ(ValueText(9999.96f), "1E4");
    EXPECT_EQ(ValueText(123456.0f), "1.235E5");
    EXPECT_EQ(ValueText(-20000.0f), "-2E4");
}

TEST(FixedText, RoundingCarriesAndSmallValues) {
    EXPECT_EQ(FixedText(99.96, 4, 1), "100.0");     // carry through every digit
    EXPECT_EQ(FixedText(0.0123, 5, 5), "0.01230");  // zeros after the point
    EXPECT_EQ(FixedText(0.000004, 5, 5), "0.00000");
    EXPECT_EQ(FixedText(-0.000004, 5, 5), "0.00000");  // no sign on a zero
    EXPECT_EQ(FixedText(0.000005, 5, 5), "0.00001");   // half rounds away from zero
    EXPECT_EQ(FixedText(-0.000006, 5, 5), "-0.00001");
    EXPECT_EQ(FixedText(0.0004, 4, 1), "0.0");  // k below zero counts as zero
    EXPECT_EQ(FixedText(12345.0, 5, 2), "12345.00");
    EXPECT_EQ(FixedText(123456.0, 5, 2), "1.2346E5");
    EXPECT_EQ(FixedText(100000.0, 4, 1), "1E5");
    EXPECT_EQ(FixedText(7.0, 4, 0), "7");
}

TEST(FixedText, NonFiniteValues) {
    EXPECT_EQ(ValueText(std::numeric_limits<float>::infinity()), "INF");
    EXPECT_EQ(ValueText(-std::numeric_limits<float>::infinity()), "-INF");
    EXPECT_EQ(ValueText(std::nanf("")), "NAN");
    EXPECT_EQ(ValueText(3.4e38f), "3.4E38");
    EXPECT_EQ(ValueText(std::numeric_limits<float>::max()), "3.403E38");
}

TEST(FixedText, CoefficientBoxesOfEveryRow) {
    // The texts the main window shows for each coefficient row: a; b; c; d.
    const char* expected[ChannelCatalogue::kRowCount] = {
        "0.00000; 0.00000; 0.20350; -2.85",    "0.00000; 0.00000; 0.04292; -0.33",
        "0.00000; 0.00000; 0.10240; -0.65",    "0.00000; 0.00000; 0.15480; -1.48",
        "0.00000; 0.00000; 0.06570; -0.71",    "0.00000; 0.00000; 0.24100; -31.28",
        "0.00000; 0.00000; 0.19700; -0.74",    "0.00000; 0.00000; 0.04120; -0.76",
        "0.00000; 0.00000; 0.15220; -1.06",    "0.00000; 0.00000; 0.13180; -0.92",
        "0.00000; 0.00000; 0.00000; 0.00",     "0.00001; -0.00245; 0.64187; -55.18",
        "0.00000; -0.00154; 0.36820; -31.50",  "0.00000; 0.00000; 0.05030; -0.32",
        "0.00000; 0.00000; 0.65911; -69.72",   "0.00000; 0.00000; 1.00000; 0.00",
        "0.00000; 0.00000; 1.00000; 0.00",     "0.00000; 0.00000; -0.41300; 103.80",
        "0.00000; 0.00000; 0.10300; -0.95",    "0.00000; 0.00000; 0.12900; -7.90",
        "0.00000; 0.00000; 0.15400; -10.60",   "0.00000; 0.00000; 0.25400; -14.80",
        "0.00000; 0.00000; 0.45700; -31.90",   "0.00000; -0.00400; 1.25000; -72.00",
        "0.00000; -0.01100; 3.66000; -284.00", "0.00000; 0.00470; -1.21600; 83.67",
        "0.00000; 0.00000; 0.10140; -0.62",    "0.00000; 0.00000; 0.01250; -0.09",
        "0.00000; 0.00000; 0.12350; -1.24",    "0.00000; 0.00000; 2.34060; -197.10",
        "0.00000; 0.00000; 0.08150; -1.25",    "0.00000; 0.00000; 0.08350; -1.38",
        "0.00000; 0.00000; 1.22100; -263.05",  "0.00000; 0.00000; 1.00000; 0.00",
        "0.00000; 0.00000; 1.00000; 0.00",     "0.00000; 0.00000; 1.00000; 0.00",
    };
    for (int row = 0; row < ChannelCatalogue::kRowCount; ++row) {
        const auto t = ChannelCatalogue::CoefficientTextsOf(row);
        EXPECT_EQ(t.a + "; " + t.b + "; " + t.c + "; " + t.d, expected[row]) << "row " << row;
    }
}
