#pragma once
// Runs a program of the build and collects what it wrote.
#include <map>
#include <string>
#include <vector>

namespace kelvarox::testing {

struct ProcessResult {
    int status = -1;  // exit status, or 128 + signal
    std::string out;
    std::string err;
};

// Runs `program` with `args`; `env` entries are set (an empty value unsets the variable).
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::map<std::string, std::string>& env = {});

}  // namespace kelvarox::testing
