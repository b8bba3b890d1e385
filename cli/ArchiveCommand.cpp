// archive add, list, stats, check and set-orbit: the block archive on the command line.
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "archive/Archive.h"
#include "archive/ArchiveMessages.h"
#include "archive/Import.h"
#include "cli/ArchiveSession.h"
#include "cli/BlockSession.h"
#include "cli/Commands.h"
#include "cli/SatelliteSession.h"
#include "cli/TerminalText.h"
#include "core/AmDayCalendar.h"
#include "core/BlockFileWalk.h"
#include "core/BlockFiles.h"
#include "core/ChannelCatalogue.h"
#include "core/Conversions.h"
#include "core/CsvText.h"
#include "core/Errors.h"
#include "core/OrbitStatistics.h"
#include "core/Text.h"

namespace kelvarox::cli {

namespace {

using archive::Archive;

std::string DateText(int32_t amDay) { return DayCountToDateText(WrapAdd(amDay, kAmDayOffset)); }

// "N of M files" on a terminal's standard error, a few times a second.
class Progress {
public:
    explicit Progress(const std::vector<std::string>& arguments)
        : shown_(::isatty(STDERR_FILENO) == 1), total_(shown_ ? BlockFileWalk::CountFiles(arguments) : 0) {}
    void Step(size_t done) {
        if (!shown_) return;
        const auto now = std::chrono::steady_clock::now();
        if (now - last_ < std::chrono::milliseconds(250) && done != total_) return;
        last_ = now;
        std::fprintf(stderr, "\rarchive add: %zu of %zu files", done, total_);
        std::fflush(stderr);
    }
    void End() {
        if (shown_) std::fprintf(stderr, "\r\033[K");
    }

private:
    bool shown_;
    size_t total_;
    std::chrono::steady_clock::time_point last_{};
};

int Add(const Options& o, const std::vector<std::string>& paths, std::ostream& out, std::ostream& err) {
    if (paths.empty()) throw UsageError("archive add needs files or directories");
    const int64_t orbitHiByte = std::stoll(o.orbitHiByte);
    if (orbitHiByte < 0)
        throw UsageError("the stored Orbit Offset " + o.orbitHiByte + " is below 0: give --orbit-hibyte N");
    int64_t failed = 0;
    // Directories that cannot be listed are reported first; the others are listed one at a
    // time as the import reaches them.
    std::vector<std::string> walked;
    for (const auto& path : paths) {
        if (const int error = IsDirectory(path) ? DirectoryOpenError(path) : 0) {
            ReportFailure(err, path, std::strerror(error));
            ++failed;
        } else {
            if (IsDirectory(path) && !HasBlockFiles(path))
                ReportFailure(err, path, "no block files (*.dat, *.tlm) here; the folders in it are not searched");
            walked.push_back(path);
        }
    }
    const std::optional<SatelliteDefinition> satellite = SatelliteOf(o, err);
    if (!satellite) return 1;
    return WithArchive(o, Archive::Access::Write, err, [&](Archive& archive) {
        Progress progress(walked);
        archive::ImportEvents events;
        events.failed = [&](const std::string& file, const std::string& error) {
            progress.End();
            ReportFailure(err, file, OpenError(file).value_or(error));
        };
        events.refused = [&](const archive::RefusedBlock& r) {
            progress.End();
            ReportFailure(err, r.file, archive::msg::Refused(r.reason));
        };
        events.progress = [&](size_t done, const archive::ImportCounts&) { progress.Step(done); };
        archive::ImportResult result;
        // What was committed, also when the archive fails midway (a full disk, a server gone).
        auto summary = [&] {
            const auto& counts = result.committed;
            out << "added " << counts.added << ", already stored " << counts.alreadyStored << ", failed "
                << failed + result.failed + counts.refused << std::endl;
        };
        try {
            archive::ImportRequest request{walked, o.layout, orbitHiByte, o.orbitHiByteGiven};
            request.satellite = &*satellite;
            archive::ImportFiles(archive, request, events, result);
        } catch (const KelvaroxError&) {
            progress.End();
            summary();
            throw;
        }
        progress.End();
        for (const auto& u : result.unsure)
            ReportFailure(err, u.file,
                          u.outlier ? archive::msg::Outlier(u.orbit) : archive::msg::NotSure(u.orbit, u.gapDays));
        if (result.outliers > archive::Importer::kListedOutliers)
            Report(err, archive::msg::ManyOutliers(result.outliers));
        summary();
        return failed + result.failed + result.committed.refused > 0 ? 1 : 0;
    });
}

int List(const Options& o, const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (!args.empty()) throw UsageError("archive list takes no files");
    return WithArchive(o, Archive::Access::Read, err, [&](Archive& archive) {
        archive.ForEachBlock(o.channel, {}, false, [&](const archive::ArchivedBlock& b, std::span<const uint8_t>) {
            const char mark = b.pinnedOrbit ? '=' : b.orbitSure ? ' ' : '~';
            char line[128];
            std::snprintf(line, sizeof line, "%c%7" PRId64 "/%03d - %7" PRId64 "/%03d  ", mark, b.startOrbit,
                          b.facts.startMA, b.endOrbit, b.facts.endMA);
            char count[32];
            std::snprintf(count, sizeof count, "  %-6s %3d  ",
                          ChannelCatalogue::ChannelNumberText(b.facts.channel).c_str(), b.facts.sampleCount);
            out << line << DateText(b.facts.startAmDay) << " - " << DateText(b.facts.endAmDay) << count
                << TerminalName(b.file) << '\n';
        });
        return 0;
    });
}

std::string ValueOrNone(bool any, float value) {
    if (!any) return "none";
    std::string text;
    AppendShortestFloat(text, value);
    return text;
}

int Stats(const Options& o, const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::optional<int32_t> only;
    if (args.size() > 1) throw UsageError("archive stats takes at most one channel");
    if (args.size() == 1) only = ChannelArgument(args[0]);
    const std::optional<SatelliteDefinition> satellite = SatelliteOf(o, err);
    if (!satellite) return 1;
    return WithArchive(o, Archive::Access::Read, err, [&](Archive& archive) {
        bool shown = false;
        for (const auto& c : archive.Channels()) {
            if (only && c.channel != *only) continue;
            // The finite values, from the statistics the archive keeps per orbit; from the
            // samples when coefficients are typed.
            OrbitStatistics all;
            if (o.coefficients) {
                const Coefficients k = archive::ChannelTranslation(BuiltInDefinition(c.channel), o.coefficients);
                archive.ForEachSample(c.channel, {}, k,
                                      [&](const archive::SeriesSample& s, const archive::ArchivedBlock&) {
                                          if (std::isfinite(s.value)) all.Add(s.value);
                                      });
            } else {
                archive.ForEachOrbitStatistics(c.channel, {}, *satellite, [&](const OrbitStatistics& orbit) {
                    all.samples += orbit.samples;
                    all.min = std::fmin(all.min, orbit.min);
                    all.max = std::fmax(all.max, orbit.max);
                    all.sum += orbit.sum;
                });
            }
            const bool any = all.samples > 0;
            out << (shown ? "\n" : "") << "Channel:       " << ChannelCatalogue::ChannelNumberText(c.channel) << '\n'
                << "Name:          " << c.name << '\n'
                << "Unit:          " << c.unit << '\n'
                << "Blocks:        " << c.blocks << '\n'
                << "Samples:       " << c.samples << '\n'
                << "First orbit:   " << c.firstOrbit << "  " << DateText(c.firstAmDay) << '\n'
                << "Last orbit:    " << c.lastOrbit << "  " << DateText(c.lastAmDay) << '\n'
                << "Minimum:       " << ValueOrNone(any, all.min) << '\n'
                << "Maximum:       " << ValueOrNone(any, all.max) << '\n'
                << "Mean:          " << ValueOrNone(any, RoundToFloat(any ? all.Mean() : 0)) << '\n';
            shown = true;
        }
        if (!shown && only) return NoBlockOfChannel(err, *only);
        return 0;
    });
}

int Check(const Options& o, const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (!args.empty()) throw UsageError("archive check takes no files");
    const std::optional<SatelliteDefinition> satellite = SatelliteOf(o, err);
    if (!satellite) return 1;
    return WithArchive(o, Archive::Access::Read, err, [&](Archive& archive) {
        int64_t damaged = 0;
        const int64_t checked = archive.CheckBlocks([&](const archive::ArchivedBlock& b) {
            ReportFailure(err, b.file, archive::msg::Damaged(b.sha256));
            ++damaged;
        });
        out << "checked " << checked << ", damaged " << damaged << '\n';
        int64_t differing = 0;
        const auto compared = archive.CheckStatistics(*satellite, [&](int32_t channel, int64_t orbit) {
            Report(err, archive::msg::StatisticsDiffer(ChannelCatalogue::ChannelNumberText(channel), orbit));
            ++differing;
        });
        out << "orbit statistics checked " << compared.rows << ", differing " << differing << ", stale "
            << compared.stale << '\n';
        return damaged + differing > 0 ? 1 : 0;
    });
}

int SetOrbit(const Options& o, const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
    if (args.size() != 2) throw UsageError("archive set-orbit takes FILE_OR_SHA and ORBIT");
    const std::optional<int64_t> orbit = ParseOrbitNumber(args[1]);
    if (!orbit) throw UsageError("'" + args[1] + "' is not an orbit number");
    const std::optional<SatelliteDefinition> satellite = SatelliteOf(o, err);
    if (!satellite) return 1;
    return WithArchive(o, Archive::Access::Write, err, [&](Archive& archive) {
        archive.UseSatellite(*satellite);
        archive.SetOrbit(args[0], *orbit);
        return 0;
    });
}

// The archive's subcommands, in the order of the usage.
struct Subcommand {
    std::string_view name;
    int (*run)(const Options& o, const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
};
constexpr std::array<Subcommand, 5> kSubcommands = {
    {{"add", Add}, {"list", List}, {"stats", Stats}, {"check", Check}, {"set-orbit", SetOrbit}}};

}  // namespace

int RunArchive(const Options& options, std::ostream& out, std::ostream& err) {
    if (options.files.empty()) {
        std::vector<std::string_view> names;
        for (const Subcommand& sub : kSubcommands) names.push_back(sub.name);
        throw UsageError("archive needs " + AlternativesText(names));
    }
    const std::string& name = options.files[0];
    const std::vector<std::string> args(options.files.begin() + 1, options.files.end());
    for (const Subcommand& sub : kSubcommands)
        if (sub.name == name) return sub.run(options, args, out, err);
    throw UsageError("unknown archive command " + name);
}

}  // namespace kelvarox::cli
