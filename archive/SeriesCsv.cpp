#include "archive/SeriesCsv.h"

#include "core/CsvText.h"

namespace kelvarox::archive {

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
