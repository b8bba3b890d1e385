#include "archive/SeriesCsv.h"

#include <charconv>

#include "core/CsvText.h"

namespace kelvarox::archive {

namespace {

void AppendNumber(std::string& out, int64_t value) {
    char digits[24];
    const auto r = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, static_cast<size_t>(r.ptr - digits));
}

}  // namespace

void AppendSeriesCsvRow(std::string& out, const SeriesSample& sample, std::string_view fileField) {
    AppendNumber(out, sample.orbit);
    out += ',';
    AppendNumber(out, sample.ma);
    out += ',';
    AppendShortestFloat(out, sample.value);
    out += ',';
    AppendNumber(out, sample.raw);
    out += ',';
    out += fileField;
    out += "\r\n";
}

}  // namespace kelvarox::archive
