// satellite export and satellite check: the satellite file on the command line.
#include "cli/ArchiveSession.h"
#include "cli/Commands.h"
#include "cli/TerminalText.h"
#include "satellite/SatelliteFile.h"

namespace kelvarox::cli {

namespace {

// Names each stored block whose first sample the elements place on another day than its
// header's start date, and counts them.
int CheckArchiveDates(const Options& options, const SatelliteDefinition& satellite, std::ostream& out,
                      std::ostream& err) {
    int64_t misplaced = 0;
    const int status = WithArchive(options, archive::Archive::Access::Read, err, [&](archive::Archive& archive) {
        archive.ForEachBlock(std::nullopt, {}, false, [&](const archive::ArchivedBlock& b, std::span<const uint8_t>) {
            const auto day = satellite.MisplacedStartDay(b.facts.startAmDay, b.startOrbit, b.facts.startMA);
            if (!day) return;
            ++misplaced;
            ReportFailure(err, b.file, "warning: " + SatelliteDefinition::MisplacedStartText(*day, b.facts.startAmDay));
        });
        return 0;
    });
    if (status == 0)
        out << "archive: " << misplaced << (misplaced == 1 ? " block" : " blocks")
            << " dated otherwise by the elements\n";
    return status;
}

int Check(const Options& options, std::ostream& out, std::ostream& err) {
    if (options.files.size() != 2) throw UsageError("satellite check takes one file");
    const std::string& file = options.files[1];
    const SatelliteFileResult read = ReadSatelliteFile(file);
    for (const SatelliteFileMessage& warning : read.warnings) err << TerminalName(warning.ToString(true)) << '\n';
    for (const SatelliteFileMessage& error : read.errors) err << TerminalName(error.ToString()) << '\n';
    if (!read.satellite) return 1;
    out << TerminalName(file + ": " + SatelliteSummary(*read.satellite)) << '\n';
    if (!options.wholeArchive) return 0;
    if (read.satellite->Elements().empty()) {
        Report(err, "satellite check --archive: " + file + " has no orbital elements to date the blocks by");
        return 1;
    }
    return CheckArchiveDates(options, *read.satellite, out, err);
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
