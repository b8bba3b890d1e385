#include <charconv>
#include <cstring>
#include <limits>
#include <vector>

#include "cli/BlockSession.h"
#include "cli/Commands.h"
#include "cli/SatelliteSession.h"
#include "cli/TerminalText.h"
#include "core/BlockFileWalk.h"
#include "core/CsvText.h"

namespace kelvarox::cli {

namespace {

constexpr const char* kCsvHeader = "file,channel,name,unit,sample,orbit,ma,raw,value,start_date\r\n";

// The CSV on its way out: rows are written straight into one large buffer, which goes to the
// stream in large pieces.
class CsvOutput {
public:
    // Room left after every reservation, for the copies in whole chunks below.
    static constexpr size_t kSlack = 64;

    explicit CsvOutput(std::ostream& out) : out_(out), buffer_(kCapacity) {}
    ~CsvOutput() { Flush(); }

    // The write position, with room for `bytes` more; Commit ends what was written there.
    char* Reserve(size_t bytes) {
        if (used_ + bytes + kSlack > buffer_.size()) {
            Flush();
            if (bytes + kSlack > buffer_.size()) buffer_.resize(bytes + kSlack);
        }
        return buffer_.data() + used_;
    }
    void Commit(const char* end) { used_ = static_cast<size_t>(end - buffer_.data()); }

    void Append(std::string_view text) {
        char* at = Reserve(text.size());
        std::memcpy(at, text.data(), text.size());
        Commit(at + text.size());
    }
    void Flush() {
        out_.write(buffer_.data(), static_cast<std::streamsize>(used_));
        used_ = 0;
    }

private:
    static constexpr size_t kCapacity = 1 << 18;
    std::ostream& out_;
    std::vector<char> buffer_;
    size_t used_ = 0;
};

// A column text that every row of a block repeats, kept with zeros up to a whole number of
// chunks so that each row copies it in chunks of a fixed size, which the compiler inlines.
class RepeatedText {
public:
    static constexpr size_t kChunk = 32;
    static_assert(kChunk <= CsvOutput::kSlack);

    explicit RepeatedText(std::string text) : length_(text.size()), padded_(std::move(text)) {
        padded_.resize((length_ / kChunk + 1) * kChunk, '\0');
    }
    size_t size() const { return length_; }
    char* CopyTo(char* at) const {
        for (size_t k = 0; k < length_; k += kChunk) std::memcpy(at + k, padded_.data() + k, kChunk);
        return at + length_;
    }

private:
    size_t length_;
    std::string padded_;
};

char* PutNumber(char* at, int64_t value) { return std::to_chars(at, at + 24, value).ptr; }

// The shortest text that reads back as the same float.
char* PutValue(char* at, float value) {
    auto put = [&](std::string_view text) {
        std::memcpy(at, text.data(), text.size());
        return at + text.size();
    };
    if (value != value) return put("NAN");
    if (value == std::numeric_limits<float>::infinity()) return put("INF");
    if (value == -std::numeric_limits<float>::infinity()) return put("-INF");
    return std::to_chars(at, at + 32, value).ptr;
}

// The longest text of the five numbers of a row with their commas.
constexpr size_t kRowNumbersMax = 4 + 12 + 12 + 4 + 32;

void WriteBlock(CsvOutput& csv, const std::string& path, const LoadedBlock& b) {
    // The columns of the block, built once: those before the sample number and those after the value.
    const RepeatedText head(CsvField(path) + "," + CsvField(b.boxes.number) + "," + CsvField(b.boxes.name) + "," +
                            CsvField(b.boxes.unit) + ",");
    const RepeatedText tail(std::string(",").append(CsvField(b.header.startDateText)).append("\r\n"));
    RowPosition rows(b.header);
    for (int i = 0; i < b.graph.series.count; ++i) {
        const OrbitMA at = rows.Next();
        char* p = head.CopyTo(csv.Reserve(head.size() + kRowNumbersMax + tail.size()));
        p = PutNumber(p, i);
        *p++ = ',';
        p = PutNumber(p, at.orbit);
        *p++ = ',';
        p = PutNumber(p, at.ma);
        *p++ = ',';
        p = PutNumber(p, b.block.RawSample(i));
        *p++ = ',';
        p = PutValue(p, b.graph.series.sampleValue[static_cast<size_t>(i)]);
        csv.Commit(tail.CopyTo(p));
    }
}

}  // namespace

int RunCsv(const Options& options, std::ostream& out, std::ostream& err) {
    RequireFiles(options);
    const std::optional<SatelliteDefinition> satellite = SatelliteOf(options, err);
    if (!satellite) return 1;
    int status = 0;
    CsvOutput csv(out);
    csv.Append(kCsvHeader);
    auto convert = [&](const std::string& path) {
        const LoadedBlock b = LoadBlockWithSeries(path, options, *satellite);
        if (!b.ok()) {
            csv.Flush();  // the rows so far come before the report of the failure
            ReportFailure(err, path, b.error);
            status = 1;
            return;
        }
        WriteBlock(csv, path, b);
    };
    BlockFileWalk files(options.files);
    while (const auto step = files.Next()) {
        if (!step->error) {
            convert(step->path);
            continue;
        }
        csv.Flush();
        ReportFailure(err, step->path, std::strerror(step->error));
        status = 1;
    }
    return status;
}

}  // namespace kelvarox::cli
