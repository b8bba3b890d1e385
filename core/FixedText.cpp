#include "core/FixedText.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kelvarox {

namespace {

constexpr int kSignificantDigits = 18;

std::string ZeroText(int decimals) {
    return decimals > 0 ? "0." + std::string(static_cast<size_t>(decimals), '0') : "0";
}

}  // namespace

std::string FixedText(double value, int precision, int decimals) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0.0) return ZeroText(decimals);

    // |value| as 0.d1d2...d18 x 10^e.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific,
                                      kSignificantDigits - 1);
    const std::string_view sci(buffer, static_cast<size_t>(result.ptr - buffer));
    std::string digits;
    digits += sci[0];
    const size_t ePos = sci.find('e');
    for (size_t i = 2; i < ePos; ++i) digits += sci[i];
    int exponent = 0;
    std::from_chars(sci.data() + ePos + 1 + (sci[ePos + 1] == '+' ? 1 : 0), sci.data() + sci.size(), exponent);
    int e = exponent + 1;

    // Keep whichever of `precision` significant digits and `decimals` decimals keeps fewer.
    const int k = std::min(e + decimals, precision);
    if (k < 0) return ZeroText(decimals);
    const int kept = std::min(k, kSignificantDigits);
    std::string d = digits.substr(0, static_cast<size_t>(kept));
    if (kept < static_cast<int>(digits.size()) && digits[static_cast<size_t>(kept)] >= '5') {
        int i = kept - 1;
        while (i >= 0 && d[static_cast<size_t>(i)] == '9') {
            d[static_cast<size_t>(i)] = '0';
            --i;
        }
        if (i >= 0) {
            ++d[static_cast<size_t>(i)];
        } else {
            d = "1";
            ++e;
        }
    }
    while (!d.empty() && d.back() == '0') d.pop_back();
    if (d.empty()) return ZeroText(decimals);

    std::string out = value < 0 ? "-" : "";
    if (e > precision) {
        out += d[0];
        if (d.size() > 1) out += "." + d.substr(1);
        out += "E" + std::to_string(e - 1);
        return out;
    }
    if (e <= 0) {
        out += "0";
    } else {
        for (int i = 0; i < e; ++i) out += i < static_cast<int>(d.size()) ? d[static_cast<size_t>(i)] : '0';
    }
    if (decimals > 0) {
        out += '.';
        for (int j = 0; j < decimals; ++j) {
            const int pos = e + j;  // digit index of the j-th decimal
            out += (pos >= 0 && pos < static_cast<int>(d.size())) ? d[static_cast<size_t>(pos)] : '0';
        }
    }
    return out;
}

std::string ValueText(float value) { return FixedText(value, 4, 1); }

}  // namespace kelvarox
