#include <charconv>
#include <cstring>
#include <sys/stat.h>

#include "cli/BlockSession.h"
#include "cli/Commands.h"
#include "core/BlockFiles.h"
#include "core/CsvText.h"

namespace kelvarox::cli {

namespace {

constexpr const char* kCsvHeader = "file,channel,name,unit,sample,orbit,ma,raw,value,start_date\r\n";

// Collects the text and hands it to the stream in large pieces.
class CsvWriter {
public:
    explicit CsvWriter(std::ostream& out) : out_(out) { buffer_.reserve(kFlushAt + 4096); }
    ~CsvWriter() { Flush(); }

    void Append(std::string_view text) { buffer_.append(text); }
    void Number(int64_t value) {
        char digits[24];
        const auto r = std::to_chars(digits, digits + sizeof digits, value);
        buffer_.append(digits, static_cast<size_t>(r.ptr - digits));
    }
    void Value(float value) { AppendShortestFloat(buffer_, value); }
    void EndRow() {
        if (buffer_.size() >= kFlushAt) Flush();
    }
    void Flush() {
        out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        buffer_.clear();
    }

private:
    static constexpr size_t kFlushAt = 1 << 16;
    std::ostream& out_;
    std::string buffer_;
};

void WriteBlock(CsvWriter& csv, const std::string& path, const LoadedBlock& b) {
    const ProgramState& s = b.state;
    const std::string prefix = CsvField(path) + "," + CsvField(b.boxes.number) + "," + CsvField(b.boxes.name) +
                               "," + CsvField(b.boxes.unit) + ",";
    const std::string suffix = "," + CsvField(s.Header.StartDateText) + "\r\n";
    RowPosition rows(s.Header);
    for (int i = 0; i < s.Series.Count; ++i) {
        const OrbitMA at = rows.Next();
        csv.Append(prefix);
        csv.Number(i);
        csv.Append(",");
        csv.Number(at.Orbit);
        csv.Append(",");
        csv.Number(at.MA);
        csv.Append(",");
        csv.Number(s.Block.RawSample(i));
        csv.Append(",");
        csv.Value(s.Series.SampleValue[static_cast<size_t>(i)]);
        csv.Append(suffix);
        csv.EndRow();
    }
}

bool IsDirectory(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

int RunCsv(const Options& options, std::ostream& out, std::ostream& err) {
    int status = 0;
    CsvWriter csv(out);
    csv.Append(kCsvHeader);
    auto convert = [&](const std::string& path) {
        const LoadedBlock b = LoadBlockWithSeries(path, options);
        if (!b.ok()) {
            csv.Flush();  // the rows so far come before the report of the failure
            ReportFailure(err, path, b.error);
            status = 1;
            return;
        }
        WriteBlock(csv, path, b);
    };
    for (const auto& argument : options.files) {
        if (!IsDirectory(argument)) {
            convert(argument);
            continue;
        }
        std::vector<std::string> names;
        int error = 0;
        if (!ListBlockFileNames(argument, names, error)) {
            ReportFailure(err, argument, std::strerror(error));
            status = 1;
            continue;
        }
        const std::string directory = argument.back() == '/' ? argument : argument + "/";
        for (const auto& name : names) convert(directory + name);
    }
    return status;
}

}  // namespace kelvarox::cli
