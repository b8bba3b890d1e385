// A second copy of the program as far as the settings file goes. Prints its process id, then
// writes values one after another, each as a pair "<prefix> <i>" and "<prefix> <i> too" in one
// write, as a window stores its top and left, and reports each completed write on its own line.
// A write refused because the other copy held the lock past the short wait (on a busy machine)
// is tried again, as the user would close the window again; any other failure ends it.
//   settings_writer <store file> <name prefix> <count>   (a count of 0 writes until killed)
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/Errors.h"
#include "settings/SettingsKey.h"
#include "settings/SettingsMessages.h"

constexpr int kAttempts = 100;

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    const kelvarox::SettingsStore store(argv[1]);
    const std::string prefix = argv[2];
    const long count = std::strtol(argv[3], nullptr, 10);
    std::printf("%ld\n", static_cast<long>(::getpid()));
    std::fflush(stdout);
    try {
        for (long i = 0; count == 0 || i < count; ++i) {
            const std::string name = prefix + " " + std::to_string(i);
            for (int attempt = 1;; ++attempt) {
                try {
                    kelvarox::SettingsKey key(store);
                    (void)key.OpenSettingsKey("Software\\Qarn Programs\\Kelvarox\\Writers");
                    key.WriteSettingTexts({{name, std::to_string(i)}, {name + " too", std::to_string(i)}});
                    break;
                } catch (const kelvarox::KelvaroxError& error) {
                    if (attempt == kAttempts || std::string(error.what()) != kelvarox::msg::SettingsFileHeld(name))
                        throw;
                }
            }
            std::printf("%ld\n", i);
            std::fflush(stdout);
        }
    } catch (const kelvarox::KelvaroxError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
