#pragma once
// A channel's time line as CSV (RFC 4180, CR LF line ends): orbit,ma,value,raw,file.
#include <string>
#include <string_view>

#include "archive/SeriesRows.h"

namespace kelvarox::archive {

inline constexpr const char* kSeriesCsvHeader = "orbit,ma,value,raw,file\r\n";

// Appends the line of one sample; `fileField` is the block's file as CsvField writes it.
void AppendSeriesCsvRow(std::string& out, const SeriesSample& sample, std::string_view fileField);

}  // namespace kelvarox::archive
