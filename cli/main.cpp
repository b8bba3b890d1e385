// kelvarox-cli: the command-line companion of Kelvarox, for scripts and many blocks at once.
#include <iostream>
#include <stdexcept>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/GraphRender.h"
#include "KelvaroxVersion.h"
#include "settings/SettingsStore.h"
#include "settings/StartupSettings.h"

using namespace kelvarox::cli;

namespace {

// The stored layout and Orbit Offset, read without writing anything.
Defaults StoredDefaults() {
    const auto stored = kelvarox::ReadStoredStartupSettings(
        kelvarox::SettingsStore::UserStore(kelvarox::SettingsStore::Access::ReadOnly));
    if (!stored.Error.empty()) std::cerr << "kelvarox-cli: settings: " << stored.Error << '\n';
    return Defaults{stored.Layout, std::to_string(stored.OrbitHiByte)};
}

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    Options options;
    try {
        options = ParseCommandLine(argc, argv, StoredDefaults());
    } catch (const std::invalid_argument& e) {
        std::cerr << "kelvarox-cli: " << e.what() << "\n\n" << kUsage;
        return 2;
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
    if (options.files.empty()) {
        std::cerr << "kelvarox-cli: no file given\n\n" << kUsage;
        return 2;
    }
    if (options.command == "info") return RunInfo(options, std::cout, std::cerr);
    if (options.command == "table") {
        if (options.files.size() != 1) {
            std::cerr << "kelvarox-cli: table takes one file\n\n" << kUsage;
            return 2;
        }
        return RunTable(options, std::cout, std::cerr);
    }
    if (options.command == "csv") return RunCsv(options, std::cout, std::cerr);
    if (options.command == "graph") {
        if (options.files.size() != 1 || options.output.empty()) {
            std::cerr << "kelvarox-cli: graph takes one file and -o OUT.png\n\n" << kUsage;
            return 2;
        }
        if (!ImageFormatOf(options.output)) {
            std::cerr << "kelvarox-cli: graph writes " << kImageSuffixes << " images, not '" << options.output
                      << "'\n\n" << kUsage;
            return 2;
        }
        return RunGraph(options, std::cerr);
    }
    std::cerr << "kelvarox-cli: unknown command " << options.command << "\n\n" << kUsage;
    return 2;
}
