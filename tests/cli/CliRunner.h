#pragma once
#include <string>
#include <vector>

#include "Process.h"
#include "TestFiles.h"

namespace kelvarox::testing {

// Runs kelvarox-cli with a settings folder of its own, so no stored value of the machine counts.
class CliRunner {
public:
    ProcessResult operator()(const std::vector<std::string>& args) const { return Run(KELVAROX_CLI, args); }
    // Another program (a copy of kelvarox-cli, a shell) in the same surroundings.
    ProcessResult Run(const std::string& program, const std::vector<std::string>& args) const {
        return RunProcess(program, args,
                          {{"XDG_CONFIG_HOME", (config.path() / "config").string()}, {"HOME", config.path().string()}});
    }
    TempDir config;
};

inline std::string SamplePath(const std::string& name) {
    return std::string(KELVAROX_SOURCE_DIR) + "/samples/telemetry/" + name;
}

}  // namespace kelvarox::testing
