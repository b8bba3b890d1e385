#include <gtest/gtest.h>

#include "core/ChannelCatalogue.h"
#include "core/FixedText.h"
#include "core/SampleSeries.h"

using namespace kelvarox;
namespace cat = kelvarox::ChannelCatalogue;

TEST(ChannelCatalogue, EveryChannelHasNameUnitAndRow) {
    for (int k = 0; k < cat::kChannelCount; ++k) {
        ASSERT_NE(cat::ChannelNames[k], nullptr) << k;
        ASSERT_NE(cat::ChannelUnits[k], nullptr) << k;
        EXPECT_GE(cat::ChannelRowIndex[k], 0);
        EXPECT_LT(cat::ChannelRowIndex[k], cat::kRowCount);
    }
    EXPECT_EQ(cat::NameOf(0x100), "SEU Spin - Analog");
    EXPECT_EQ(cat::NameOf(0x140), "Temp - SEU");
    EXPECT_EQ(cat::NameOf(0x16F), "Temp - Helium Tnk");
    EXPECT_EQ(cat::UnitOf(0x16F), "Deg.C");
    EXPECT_EQ(cat::RowOf(0x16F), 14);
    EXPECT_EQ(cat::NameOf(0x17A), "I-28V - S PA/Mix");
    EXPECT_EQ(cat::RowOf(0x17A), 1);
    EXPECT_EQ(cat::NameOf(0x17F), "[NOT ASSIGNED]");
    EXPECT_EQ(cat::UnitOf(0x17F), "NA");
    EXPECT_EQ(cat::RowOf(0x17F), 15);
    EXPECT_EQ(cat::NameOf(0x180), "Raw Data");
    EXPECT_EQ(cat::UnitOf(0x180), "Count");
    EXPECT_EQ(cat::RowOf(0xFFFF), cat::kIdentityRow);
    // Below the catalogue: shown as raw data as well.
    EXPECT_EQ(cat::NameOf(0x0FF), "Raw Data");
    EXPECT_EQ(cat::RowOf(0), cat::kIdentityRow);

    int temperatureChannels = 0;
    for (int k = 0; k < cat::kChannelCount; ++k)
        if (std::string(cat::ChannelUnits[k]) == "Deg.C") ++temperatureChannels;
    EXPECT_EQ(temperatureChannels, 48);
}

TEST(ChannelCatalogue, ChannelNumberTexts) {
    EXPECT_EQ(cat::ChannelNumberText(0x100), "#100");
    EXPECT_EQ(cat::ChannelNumberText(383), "#17F");
    EXPECT_EQ(cat::ChannelNumberText(0x1234), "#1234");
    EXPECT_EQ(cat::ChannelNumberText(5), "#005");
}

TEST(ChannelCatalogue, TranslationUsesTheCoefficientsAsShown) {
    // Row 11 shows a = 0.00001 instead of 5.81e-6: at X = 200 the cubic term is 80.
    Coefficients shown;
    const auto t = cat::CoefficientTextsOf(11);
    UpdateCoefficients(shown, t.a, t.b, t.c, t.d);
    const double x = 200;
    const float expected = static_cast<float>(0.00001f * x * x * x + static_cast<double>(-0.00245f) * x * x +
                                              static_cast<double>(0.64187f) * x + static_cast<double>(-55.18f));
    EXPECT_EQ(TranslateSample(shown, 200), expected);

    // Row 25: a is shown as 0.00000 without a sign and so drops out.
    const auto r25 = cat::CoefficientTextsOf(25);
    EXPECT_EQ(r25.a, "0.00000");
    Coefficients k25;
    UpdateCoefficients(k25, r25.a, r25.b, r25.c, r25.d);
    EXPECT_EQ(k25.a, 0.0f);
    EXPECT_EQ(k25.b, 0.0047f);

    // Row 17, a falling line: 103.8 at X = 0 and -1.515 at X = 255.
    Coefficients k17;
    const auto r17 = cat::CoefficientTextsOf(17);
    UpdateCoefficients(k17, r17.a, r17.b, r17.c, r17.d);
    EXPECT_EQ(ValueText(TranslateSample(k17, 0)), "103.8");
    EXPECT_EQ(TranslateSample(k17, 255),
              static_cast<float>(static_cast<double>(-0.413f) * 255 + static_cast<double>(103.8f)));
    EXPECT_NEAR(TranslateSample(k17, 255), -1.515f, 1e-4f);

    // Row 10 translates every sample to 0.
    Coefficients k10;
    const auto r10 = cat::CoefficientTextsOf(10);
    UpdateCoefficients(k10, r10.a, r10.b, r10.c, r10.d);
    EXPECT_EQ(TranslateSample(k10, 200), 0.0f);
}
