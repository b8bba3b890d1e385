// The whole way of a block through the program: the file of any length read from disk, its
// header decoded at any layout with any Orbit HiByte, then the boxes as the user may have
// typed them, the series, the value axis, the orbit-axis marks, the graph's drawing with
// its cursor read-out, and the data table. The sanitizers watch every step; the checks
// below hold for every input.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "BlockCase.h"
#include "core/BlockLoader.h"
#include "core/Conversions.h"
#include "core/DataTable.h"
#include "core/DataTableRows.h"
#include "core/Errors.h"
#include "core/GraphGeometry.h"
#include "core/GraphPicture.h"

using namespace kelvarox;
using namespace kelvarox::fuzz;

namespace {

// The block file: one file in memory, rewritten for every input and read through its path,
// so that the loader opens, checks and reads a real regular file each time.
class BlockFile {
public:
    BlockFile() : fd_(::memfd_create("block.dat", MFD_CLOEXEC)) {
        if (fd_ < 0) std::abort();
        path_ = "/proc/self/fd/" + std::to_string(fd_);
    }
    const std::string& Path() const { return path_; }
    void Write(const std::vector<uint8_t>& bytes) const {
        if (::ftruncate(fd_, 0) != 0) std::abort();
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
            if (n <= 0) std::abort();
            done += static_cast<size_t>(n);
        }
    }

private:
    int fd_;
    std::string path_;
};

bool WithinLimit(GraphPoint p) {
    return std::abs(p.x) <= graph::kCoordinateLimit && std::abs(p.y) <= graph::kCoordinateLimit;
}

size_t CountLines(const std::string& text) {
    size_t lines = 0;
    for (size_t at = text.find(kLineEnd); at != std::string::npos; at = text.find(kLineEnd, at + 2)) ++lines;
    return lines;
}

void GraphAndTable(const BlockInMemory& loaded, GraphAndTableState& state, const ChannelBoxTexts& boxes,
                   const BlockCase& c) {
    const std::optional<GraphPicture> picture =
        BuildGraphPicture(loaded.block, loaded.header, state, boxes, c.displayScale);
    if (!picture) {
        FUZZ_CHECK(!loaded.block.HasSignature());
        return;
    }
    const int count = loaded.header.SampleCount();
    FUZZ_CHECK(state.series.count == count);
    for (const DrawStep& step : picture->steps) {
        FUZZ_CHECK(WithinLimit(step.at) && WithinLimit(step.end));
        FUZZ_CHECK(!DescribeStep(step).empty());
    }
    for (const MATick& tick : SelectMATicks(loaded.header)) FUZZ_CHECK(tick.index >= 0 && tick.index < count);
    const std::vector<GraphPoint> trace = TracePoints(state.series, state.axis);
    FUZZ_CHECK(trace.size() == static_cast<size_t>(count == 0 ? 0 : count == 1 ? 2 : 2 * count - 1));
    for (const GraphPoint& p : trace) FUZZ_CHECK(p.x >= graph::kPlotLeft && p.x <= graph::kPlotRight);

    const CursorReadout readout = ReadCursor(picture->readout, c.cursorX, c.cursorY);
    FUZZ_CHECK(readout.orbitMA.empty() == readout.value.empty());

    // The table, whole and row by row as the window appends it.
    // The heading holds the boxes' texts as typed, line ends included; one line per sample follows.
    const std::string table = DataTableText(boxes.name, boxes.number, loaded.block, loaded.header, state.series);
    const std::string heading = DataTableHeading(boxes.name, boxes.number);
    FUZZ_CHECK(CountLines(table) == CountLines(heading) + static_cast<size_t>(count));
    std::string rows = heading;
    DataTableRows fill(loaded.block, loaded.header, state.series);
    while (!fill.AtEnd()) rows += fill.Next();
    FUZZ_CHECK(rows == table);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const BlockFile file;
    const BlockCase c = BlockCase::Read(data, size);
    file.Write(c.file);

    // On the heap and first in its struct, so that a read before the block meets a red zone.
    auto loaded = std::make_unique<BlockInMemory>();
    loaded->blockFilePath = file.Path();
    ChannelBoxTexts shown;  // the boxes as the main window's Load fills them
    const auto load = [&] {
        const LoadOutcome outcome = LoadBlockFile(*loaded, c.layout, c.orbitHiByte);
        for (const std::string& message : outcome.messages)
            FUZZ_CHECK(message == msg::kImproperLength || message == msg::kImproperFormat);
        const int32_t channel = loaded->header.channel;
        if (outcome.channelDecoded) shown = ChannelBoxTextsOf(channel, BuiltInDefinition(channel));
    };

    load();
    FUZZ_CHECK(loaded->block.bytes[kBlockFileSize] == 0);
    // The file is read exactly when the Orbit HiByte converts and it is 512 bytes long.
    const bool read = ParseDecimal(c.orbitHiByte) && c.file.size() == static_cast<size_t>(kBlockFileSize);
    if (read) {
        FUZZ_CHECK(std::equal(c.file.begin(), c.file.end(), loaded->block.bytes.begin()));
    } else {
        FUZZ_CHECK(loaded->block.bytes == WodBlock{}.bytes);
    }
    FUZZ_CHECK(loaded->header.SampleCount() >= 0 && loaded->header.SampleCount() <= kSeriesCapacity);

    if (c.flags & BlockCase::kLoadAgain) {
        loaded->blockFilePath.clear();
        load();
    }

    ChannelBoxTexts boxes;
    boxes.name = shown.name;
    boxes.unit = shown.unit;
    boxes.number = c.number.value_or(shown.number);
    boxes.a = c.coefficients[0].value_or(shown.a);
    boxes.b = c.coefficients[1].value_or(shown.b);
    boxes.c = c.coefficients[2].value_or(shown.c);
    boxes.d = c.coefficients[3].value_or(shown.d);
    boxes.orbitHiByte = c.orbitHiByte;
    try {
        GraphAndTableState state;
        GraphAndTable(*loaded, state, boxes, c);
    } catch (const KelvaroxError&) {}
    return 0;
}
