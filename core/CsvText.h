#pragma once
// Pieces of the program's CSV text (RFC 4180).
#include <cstdint>
#include <string>
#include <string_view>

namespace kelvarox {

// A field as RFC 4180 writes it: quoted, with its quotes doubled, when it holds a comma, a
// quote or a line break.
std::string CsvField(std::string_view text);

// Appends the shortest text that reads back as the same 32-bit float; INF, -INF and NAN for
// the values that have no digits.
void AppendShortestFloat(std::string& out, float value);
// Appends a whole number; a double in the shortest text that reads back as the same double.
void AppendNumber(std::string& out, int64_t value);
void AppendShortestDouble(std::string& out, double value);

}  // namespace kelvarox
