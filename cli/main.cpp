// kelvarox-cli: the command-line companion of Kelvarox, for scripts and many blocks at once.
#include <iostream>

#include "KelvaroxVersion.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/TerminalText.h"
#include "settings/SatelliteChoice.h"
#include "settings/SettingsStore.h"
#include "settings/StartupSettings.h"

using namespace kelvarox::cli;

namespace {

// The stored layout and Orbit Offset, read without writing anything; a settings file that
// cannot be used, or a missing home, is reported once.
Defaults StoredDefaults() {
    const auto store = kelvarox::SettingsStore::UserStore(kelvarox::SettingsStore::Access::ReadOnly);
    if (const std::string warning = store.Warning(); !warning.empty()) Report(std::cerr, warning);
    const auto stored = kelvarox::ReadStoredStartupSettings(store);
    if (!stored.error.empty()) Report(std::cerr, "settings: " + stored.error);
    return Defaults{stored.layout, std::to_string(stored.orbitHiByte),
                    kelvarox::FindSatelliteInForce(std::nullopt, &store)};
}

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    try {
        const Options options = ParseCommandLine(argc, argv, StoredDefaults());
        if (options.help) {
            std::cout << Usage();
            return 0;
        }
        if (options.version) {
            std::cout << "kelvarox-cli " << kelvarox::kVersion << '\n';
            return 0;
        }
        return RunCommand(options, std::cout, std::cerr);
    } catch (const UsageError& e) {
        return ReportUsageError(std::cerr, e);
    }
}
