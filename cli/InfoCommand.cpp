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
        << "Equation:      Value = " << b.boxes.a << "*X^3 + " << b.boxes.b << "*X^2 + " << b.boxes.c
        << "*X + " << b.boxes.d << '\n'
        << "Start AmDay:   " << h.StartAmDay << "  " << h.StartDateText << '\n'
        << "End AmDay:     " << h.EndAmDay << "  " << h.EndDateText << '\n'
        << "Start orbit:   " << h.StartOrbit << '\n'
        << "End orbit:     " << h.EndOrbit << '\n'
        << "Start MA:      " << h.StartMA << '\n'
        << "End MA:        " << h.EndMA << '\n'
        << "MA step:       " << h.MAStep << '\n'
        << "Samples:       " << h.SampleCount();
    if (h.SampleCount() != h.LastSampleIndex + 1 && h.LastSampleIndex >= 0)
        out << " (the header announces " << static_cast<int64_t>(h.LastSampleIndex) + 1 << ")";
    out << '\n' << "First MA:      " << h.FirstMA << "\n\n";
}

}  // namespace

int RunInfo(const Options& options, std::ostream& out, std::ostream& err) {
    RequireFiles(options);
    return ForEachBlock(options, WithSeries::No, err,
                        [&](const std::string& path, const LoadedBlock& b) { WriteInfo(out, path, b); });
}

}  // namespace kelvarox::cli
