// The number texts: every conversion of a box or field text against the C library's reading
// of the same text, and FixedText read back. FixedText(v, p, n) of a finite v is a text that
// reads back as a number w with FixedText(w, p, n) giving the same text again: the digits
// shown are the digits of the number the text stands for. That holds for a double read back
// by the C library when p is at most 15 (beyond that a decimal of p digits may lie closer to
// a rounding midpoint than the doubles around it can tell), and for a float read back by the
// program's own FloatOrThrow when p is at most 6, so a coefficient box that the loader
// filled reads back as the value it shows.
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "FuzzInput.h"
#include "core/AmDayCalendar.h"
#include "core/ChannelCatalogue.h"
#include "core/Conversions.h"
#include "core/Errors.h"
#include "core/FixedText.h"
#include "core/Text.h"

using namespace kelvarox;
using namespace kelvarox::fuzz;

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A sign and decimal digits, nothing else.
bool DecimalShape(const std::string& s) {
    const size_t first = (!s.empty() && (s[0] == '+' || s[0] == '-')) ? 1 : 0;
    if (first == s.size()) return false;
    for (size_t i = first; i < s.size(); ++i)
        if (!IsDigit(s[i])) return false;
    return true;
}

// What the C library makes of a decimal text, when it fits in 32 bits.
std::optional<int32_t> LibraryDecimal(const std::string& s) {
    errno = 0;
    const long long v = std::strtoll(s.c_str(), nullptr, 10);
    if (errno == ERANGE || v < INT32_MIN || v > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(v);
}

bool SameFloat(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void Conversions(const std::string& s) {
    const auto decimal = ParseDecimal(s);
    FUZZ_CHECK(decimal == (DecimalShape(s) ? LibraryDecimal(s) : std::nullopt));

    const auto hex = ParseHex(s);
    if (hex) {
        FUZZ_CHECK(s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X'));
        FUZZ_CHECK(static_cast<uint32_t>(*hex) == std::strtoull(s.c_str() + 2, nullptr, 16));
    }
    // Every decimal text the fields take, the settings rule takes too, with the same value.
    if (decimal) FUZZ_CHECK(ParseSettingInteger(s) == decimal);
    FUZZ_CHECK(SettingIntegerOr(s, 12345) == ParseSettingInteger(s).value_or(12345));

    const std::string_view trimmed = TrimBlanksAndControls(s);
    FUZZ_CHECK(TrimBlanksAndControls(trimmed) == trimmed);

    try {
        const float f = FloatOrThrow(s);
        FUZZ_CHECK(std::isfinite(f));
        const std::string spaceless(TrimBlanksAndControls(s));
        FUZZ_CHECK(SameFloat(f, std::strtof(spaceless.c_str(), nullptr)));
    } catch (const KelvaroxError& error) {
        if (std::string(error.what()) == msg::kFloatOverflow) {
            errno = 0;
            const float f = std::strtof(std::string(TrimBlanksAndControls(s)).c_str(), nullptr);
            FUZZ_CHECK(std::isinf(f) && errno == ERANGE);
        } else {
            FUZZ_CHECK(std::strcmp(error.what(), msg::NotAFloat(s).c_str()) == 0);
        }
    }
    try {
        const int32_t channel = ChannelFromBoxText(s);
        FUZZ_CHECK(channel >= 0 && channel <= 0xFFF);
    } catch (const KelvaroxError&) {}
}

// FixedText read back and written again, as a double through the C library and as a float
// through the program's own reading.
void FixedTextReadBack(double value, float single, int precision, int decimals) {
    if (std::isfinite(value) && precision <= 15) {
        const std::string text = FixedText(value, precision, decimals);
        const double back = std::strtod(text.c_str(), nullptr);
        FUZZ_CHECK(!(back == 0.0 && text[0] == '-'));  // no signed zero
        if (std::isfinite(back)) FUZZ_CHECK(FixedText(back, precision, decimals) == text);
    }
    if (std::isfinite(single) && precision <= 6) {
        const std::string text = FixedText(single, precision, decimals);
        try {
            FUZZ_CHECK(FixedText(FloatOrThrow(text), precision, decimals) == text);
        } catch (const KelvaroxError& error) {
            // Only a text rounded up past the largest float overflows.
            FUZZ_CHECK(error.what() == std::string(msg::kFloatOverflow));
            FUZZ_CHECK(std::fabs(std::strtod(text.c_str(), nullptr)) > FLT_MAX);
        }
    }
    // A negative value is written as its magnitude with a sign, unless it is shown as zero.
    if (!std::isnan(value)) {
        const std::string positive = FixedText(std::fabs(value), precision, decimals);
        const std::string negative = FixedText(-std::fabs(value), precision, decimals);
        FUZZ_CHECK(negative == positive || negative == "-" + positive);
        FUZZ_CHECK(positive[0] != '-');
    }
}

}  // namespace

// The input: the whole of it is one text; its first bytes are also a double, a float, a
// precision (1 to 20), a number of decimals (0 to 18) and a day count.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Conversions(text);

    ByteReader in(data, size);
    const uint64_t low = in.Bits32();
    const uint64_t high = in.Bits32();
    const uint64_t bits = low | (high << 32);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    const float single = in.Float();
    const int precision = 1 + in.Byte() % 20;
    const int decimals = in.Byte() % 19;
    FixedTextReadBack(value, single, precision, decimals);

    const int32_t day = in.Int32();
    const std::string date = DayCountToDateText(day);
    FUZZ_CHECK(!date.empty() && date.back() == ']');
    (void)ChannelCatalogue::ChannelNumberText(day);
    return 0;
}
