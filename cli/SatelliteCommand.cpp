// satellite export and satellite check: the satellite file on the command line.
#include <set>

#include "cli/ArchiveSession.h"
#include "cli/Commands.h"
#include "cli/TerminalText.h"
#include "core/CivilDate.h"
#include "satellite/SatelliteFile.h"

namespace kelvarox::cli {

namespace {

std::string DateText(int64_t amDay) {
    const CivilDate d = DateOfAmDay(amDay);
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", d.year, d.month, d.day);
    return text;
}

std::string Counted(size_t n, const std::string& one, const std::string& many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// "FILE: satellite NAME: 3 channels, 2 entries with limits, 1 element set".
std::string Summary(const std::string& file, const SatelliteDefinition& satellite) {
    std::set<int32_t> channels;
    size_t withLimits = 0;
    for (const ChannelEntry& entry : satellite.Entries()) {
        channels.insert(entry.channel);
        if (entry.limits) ++withLimits;
    }
    std::string line = file + ": ";
    if (!satellite.Name().empty()) line += "satellite " + satellite.Name() + ": ";
    return line + Counted(channels.size(), "channel", "channels") + ", " +
           Counted(withLimits, "entry with limits", "entries with limits") + ", " +
           Counted(satellite.Elements().size(), "element set", "element sets");
}

// Names each stored block whose first sample the elements place on another day than its
// header's start date; the number of them.
int64_t CheckArchiveDates(const Options& options, const SatelliteDefinition& satellite, std::ostream& out,
                          std::ostream& err, int& status) {
    int64_t misplaced = 0;
    status = WithArchive(options, archive::Archive::Access::Read, err, [&](archive::Archive& archive) {
        archive.ForEachBlock(std::nullopt, {}, false, [&](const archive::ArchivedBlock& b, std::span<const uint8_t>) {
            const auto day = satellite.MisplacedStartDay(b.facts.startAmDay, b.startOrbit, b.facts.startMA);
            if (!day) return;
            ++misplaced;
            ReportFailure(err, b.file,
                          "warning: the elements place its first sample on " + DateText(*day) +
                              ", its header on " + DateText(b.facts.startAmDay) + " (is orbit_offset right?)");
        });
        return 0;
    });
    if (status == 0)
        out << "archive: " << Counted(static_cast<size_t>(misplaced), "block", "blocks")
            << " dated otherwise by the elements\n";
    return misplaced;
}

int Check(const Options& options, std::ostream& out, std::ostream& err) {
    if (options.files.size() != 2) throw UsageError("satellite check takes one file");
    const std::string& file = options.files[1];
    const SatelliteFileResult read = ReadSatelliteFile(file);
    for (const SatelliteFileMessage& warning : read.warnings) err << TerminalName(warning.ToString(true)) << '\n';
    for (const SatelliteFileMessage& error : read.errors) err << TerminalName(error.ToString()) << '\n';
    if (!read.satellite) return 1;
    out << TerminalName(Summary(file, *read.satellite)) << '\n';
    if (!options.wholeArchive) return 0;
    if (read.satellite->Elements().empty()) {
        Report(err, "satellite check --archive: " + file + " has no orbital elements to date the blocks by");
        return 1;
    }
    int status = 0;
    CheckArchiveDates(options, *read.satellite, out, err, status);
    return status;
}

}  // namespace

int RunSatellite(const Options& options, std::ostream& out, std::ostream& err) {
    const std::string sub = options.files.empty() ? std::string() : options.files[0];
    if (sub == "export") {
        if (options.files.size() != 1) throw UsageError("satellite export takes no file");
        out << BuiltInSatelliteFile();
        return 0;
    }
    if (sub == "check") return Check(options, out, err);
    if (sub.empty()) throw UsageError("satellite needs export or check");
    throw UsageError("unknown satellite command " + sub);
}

}  // namespace kelvarox::cli
