#include <gtest/gtest.h>

#include <cmath>

#include "ErrorOf.h"
#include "core/Conversions.h"
#include "core/Errors.h"

using namespace kelvarox;

using namespace kelvarox::testing;

TEST(Conversions, DecimalAndHexadecimalFields) {
    EXPECT_EQ(ParseDecimal("7"), 7);
    EXPECT_EQ(ParseDecimal("-12"), -12);
    EXPECT_EQ(ParseDecimal("+12"), 12);
    EXPECT_EQ(ParseDecimal("2147483647"), 2147483647);
    EXPECT_EQ(ParseDecimal("-2147483648"), INT32_MIN);
    EXPECT_FALSE(ParseDecimal("2147483648"));
    EXPECT_FALSE(ParseDecimal(""));
    EXPECT_FALSE(ParseDecimal("-"));
    EXPECT_FALSE(ParseDecimal("1A"));
    EXPECT_FALSE(ParseDecimal(" 1"));
    EXPECT_FALSE(ParseDecimal("$10"));

    EXPECT_EQ(ParseHex("0x1A"), 26);
    EXPECT_EQ(ParseHex("0x017F"), 383);
    EXPECT_EQ(ParseHex("0x1a"), 26);
    EXPECT_EQ(ParseHex("0xFFFFFFFF"), -1);
    EXPECT_FALSE(ParseHex("0x"));
    EXPECT_FALSE(ParseHex("0x-1"));
    EXPECT_FALSE(ParseHex("0x1G"));
    EXPECT_FALSE(ParseHex("0x100000000"));

    EXPECT_EQ(ErrorOf([] { DecimalOrThrow("1A"); }), "'1A' is not a valid integer value");
    EXPECT_EQ(ErrorOf([] { HexOrThrow("0x"); }), "'0x' is not a valid integer value");
}

TEST(Conversions, SettingNumbers) {
    EXPECT_EQ(ParseSettingInteger("   12"), 12);
    EXPECT_EQ(ParseSettingInteger("-5"), -5);
    EXPECT_EQ(ParseSettingInteger("$1F"), 31);
    EXPECT_EQ(ParseSettingInteger("0x1f"), 31);
    EXPECT_EQ(ParseSettingInteger("-$10"), -16);
    EXPECT_EQ(ParseSettingInteger("007"), 7);
    EXPECT_FALSE(ParseSettingInteger("12 "));
    EXPECT_FALSE(ParseSettingInteger("abc"));
    EXPECT_FALSE(ParseSettingInteger(""));
    EXPECT_FALSE(ParseSettingInteger("99999999999"));
    EXPECT_EQ(SettingIntegerOr("99999999999", 1), 1);
    EXPECT_EQ(SettingIntegerOr("511", 1), 511);
    EXPECT_EQ(ErrorOf([] { SettingIntegerOrThrow(""); }), "'' is not a valid integer value");
}

TEST(Conversions, FloatTexts) {
    EXPECT_EQ(FloatOrThrow("0.00470"), 0.0047f);
    EXPECT_EQ(FloatOrThrow("-1.24"), -1.24f);
    EXPECT_EQ(FloatOrThrow("1E3"), 1000.0f);
    EXPECT_EQ(FloatOrThrow("+2.5e-1"), 0.25f);
    EXPECT_EQ(FloatOrThrow(".5"), 0.5f);
    EXPECT_EQ(FloatOrThrow("5."), 5.0f);
    EXPECT_EQ(FloatOrThrow(" 3 "), 3.0f);
    EXPECT_EQ(FloatOrThrow("1E-60"), 0.0f);
    EXPECT_EQ(FloatOrThrow("3.4E38"), 3.4e38f);
    // Correct rounding straight to float, not through double.
    EXPECT_EQ(FloatOrThrow("1.00000005960464477539062500001"), std::nextafter(1.0f, 2.0f));
    EXPECT_EQ(ErrorOf([] { FloatOrThrow("1,5"); }), "'1,5' is not a valid floating point value");
    EXPECT_EQ(ErrorOf([] { FloatOrThrow("-"); }), "'-' is not a valid floating point value");
    EXPECT_EQ(ErrorOf([] { FloatOrThrow("."); }), "'.' is not a valid floating point value");
    EXPECT_EQ(ErrorOf([] { FloatOrThrow("1e"); }), "'1e' is not a valid floating point value");
    EXPECT_EQ(ErrorOf([] { FloatOrThrow("inf"); }), "'inf' is not a valid floating point value");
    EXPECT_EQ(ErrorOf([] { FloatOrThrow("1E39"); }), "Floating point overflow");
    EXPECT_EQ(ErrorOf([] { FloatOrThrow("-1E5000"); }), "Floating point overflow");
}

TEST(Conversions, ChannelNumberOfTheHexBox) {
    EXPECT_EQ(ChannelFromBoxText("#17F"), 0x17F);
    EXPECT_EQ(ChannelFromBoxText("  #180\t"), 0x180);
    EXPECT_EQ(ChannelFromBoxText("#1234"), 0x123);  // three digits after "#"
    EXPECT_EQ(ErrorOf([] { ChannelFromBoxText("#"); }), "'0x' is not a valid integer value");
    EXPECT_EQ(ErrorOf([] { ChannelFromBoxText("#1G"); }), "'0x1G' is not a valid integer value");
}
