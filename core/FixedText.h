#pragma once
// The program's one rule for writing a number as text.
#include <string>

namespace kelvarox {

// `value` with at most `precision` significant digits and exactly `decimals` decimals,
// rounded half away from zero, "." as separator, no thousands separators; the exponent form
// (1.235E5) once the rounded value has more integer digits than the precision. Zero has no
// sign. Non-finite values are written "INF", "-INF" and "NAN".
std::string FixedText(double value, int precision, int decimals);

// How every translated value and every axis level is shown: FixedText(value, 4, 1).
std::string ValueText(float value);

}  // namespace kelvarox
