#include "cli/BlockSession.h"
#include "cli/Commands.h"
#include "cli/TerminalText.h"

namespace kelvarox::cli {

namespace {

void WriteInfo(std::ostream& out, const std::string& path, const LoadedBlock& b) {
    const BlockHeader& h = b.header;
    out << "File:          " << TerminalName(path) << '\n'
        << "Channel:       " << b.boxes.number << '\n'
        << "Name:          " << b.boxes.name << '\n'
        << "Unit:          " << b.boxes.unit << '\n'
        << "Equation:      Value = " << b.boxes.a << "*X^3 + " << b.boxes.b << "*X^2 + " << b.boxes.c << "*X + "
        << b.boxes.d << '\n'
        << "Start AmDay:   " << h.startAmDay << "  " << h.startDateText << '\n'
        << "End AmDay:     " << h.endAmDay << "  " << h.endDateText << '\n'
        << "Start orbit:   " << h.startOrbit << '\n'
        << "End orbit:     " << h.endOrbit << '\n'
        << "Start MA:      " << h.startMA << '\n'
        << "End MA:        " << h.endMA << '\n'
        << "MA step:       " << h.maStep << '\n'
        << "Samples:       " << h.SampleCount();
    if (h.SampleCount() != h.lastSampleIndex + 1 && h.lastSampleIndex >= 0)
        out << " (the header announces " << static_cast<int64_t>(h.lastSampleIndex) + 1 << ")";
    out << '\n' << "First MA:      " << h.firstMA << "\n\n";
}

}  // namespace

int RunInfo(const Options& options, std::ostream& out, std::ostream& err) {
    RequireFiles(options);
    return ForEachBlock(options, WithSeries::No, err,
                        [&](const std::string& path, const LoadedBlock& b) { WriteInfo(out, path, b); });
}

}  // namespace kelvarox::cli
