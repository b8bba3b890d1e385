// kelvarox-cli: the command-line companion of Kelvarox, for scripts and many blocks at once.
#include <iostream>
#include <stdexcept>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/GraphRender.h"
#include "cli/TerminalText.h"
#include "KelvaroxVersion.h"
#include "settings/SettingsStore.h"
#include "settings/StartupSettings.h"

using namespace kelvarox::cli;

namespace {

// One line on standard error, whatever bytes the message carries.
void Report(std::string_view message) { std::cerr << "kelvarox-cli: " << TerminalName(message) << '\n'; }

// The stored layout and Orbit Offset, read without writing anything; a settings file that
// cannot be used, or a missing home, is reported once.
Defaults StoredDefaults() {
    const auto store = kelvarox::SettingsStore::UserStore(kelvarox::SettingsStore::Access::ReadOnly);
    if (const std::string warning = store.Warning(); !warning.empty()) Report(warning);
    const auto stored = kelvarox::ReadStoredStartupSettings(store);
    if (!stored.Error.empty()) Report("settings: " + stored.Error);
    return Defaults{stored.Layout, std::to_string(stored.OrbitHiByte)};
}

// A usage error: its reason, then the usage; exit status 2.
int UsageError(std::string_view reason) {
    std::cerr << "kelvarox-cli: " << TerminalName(reason) << "\n\n" << kUsage;
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    Options options;
    try {
        options = ParseCommandLine(argc, argv, StoredDefaults());
    } catch (const std::invalid_argument& e) {
        return UsageError(e.what());
    }
    if (options.help) {
        std::cout << kUsage;
        return 0;
    }
    if (options.version) {
        std::cout << "kelvarox-cli " << kelvarox::kVersion << '\n';
        return 0;
    }
    if (options.command == "archive") return RunArchive(options, std::cout, std::cerr);
    if (options.command == "series") return RunSeries(options, std::cout, std::cerr);
    if (options.files.empty()) return UsageError("no file given");
    if (options.command == "info") return RunInfo(options, std::cout, std::cerr);
    if (options.command == "table") {
        if (options.files.size() != 1) return UsageError("table takes one file");
        return RunTable(options, std::cout, std::cerr);
    }
    if (options.command == "csv") return RunCsv(options, std::cout, std::cerr);
    if (options.command == "graph") {
        if (options.files.size() != 1 || options.output.empty()) return UsageError("graph takes one file and -o OUT.png");
        if (!ImageFormatOf(options.output)) {
            return UsageError(std::string("graph writes ") + kImageSuffixes + " images, not '" + options.output + "'");
        }
        return RunGraph(options, std::cerr);
    }
    return UsageError("unknown command " + options.command);
}
