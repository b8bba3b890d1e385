#include <limits.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "cli/Commands.h"
#include "cli/GraphRender.h"
#include "cli/TerminalText.h"

extern char** environ;

namespace kelvarox::cli {

namespace {

// The folder of the running program, with a trailing "/".
std::string ProgramFolder() {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return "./";
    const std::string path(buffer, static_cast<size_t>(n));
    return path.substr(0, path.rfind('/') + 1);
}

// The renderer beside the program (the build tree) or in its libexec folder (installed);
// empty when neither is there.
std::string FindGraphRenderer() {
    const std::string folder = ProgramFolder();
    for (const std::string& candidate :
         {folder + kGraphRenderProgram, folder + kInstalledGraphRenderFolder + "/" + kGraphRenderProgram}) {
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return std::string();
}

std::string LayoutText(const BlockLayout& layout) {
    std::string text;
    for (int i = 0; i < BlockLayout::kFieldCount; ++i) text += (i ? "," : "") + std::to_string(layout.Field(i));
    return text;
}

}  // namespace

int RunGraph(const Options& options, std::ostream&, std::ostream& err) {
    RequireFiles(options);
    if (options.files.size() != 1 || options.output.empty()) throw UsageError("graph takes one file and -o OUT.png");
    OutputFormatOf(options, "graph");
    std::vector<std::string> args = {"--layout", LayoutText(options.layout), "--orbit-hibyte", options.orbitHiByte};
    if (options.coefficients) args.insert(args.end(), {"--coefficients", JoinedCoefficients(*options.coefficients)});
    AppendSatelliteArgument(args, options);
    args.insert(args.end(), {"-o", options.output, "--", options.files.front()});
    return RunGraphRenderer(args, err);
}

void AppendSatelliteArgument(std::vector<std::string>& args, const Options& options) {
    if (!options.satellite.path.empty()) args.insert(args.end(), {"--satellite", options.satellite.path});
}

std::string JoinedCoefficients(const std::array<std::string, 4>& texts) {
    return texts[0] + "," + texts[1] + "," + texts[2] + "," + texts[3];
}

int RunGraphRenderer(const std::vector<std::string>& rendererArgs, std::ostream& err,
                     const std::vector<std::pair<std::string, std::string>>& environment) {
    const std::string renderer = FindGraphRenderer();
    if (renderer.empty()) {
        Report(err, std::string("the graph renderer is not installed: no ") + kGraphRenderProgram +
                        " beside kelvarox-cli or in " + kInstalledGraphRenderFolder +
                        " (it comes with the Kelvarox desktop program)");
        return 1;
    }
    std::vector<std::string> args = {renderer};
    args.insert(args.end(), rendererArgs.begin(), rendererArgs.end());
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);

    std::vector<std::string> variables;
    for (const auto& [name, value] : environment) variables.push_back(name + "=" + value);
    for (char** entry = environ; *entry; ++entry) {
        const std::string_view variable(*entry);
        const bool replaced = std::any_of(environment.begin(), environment.end(),
                                          [&](const auto& e) { return variable.starts_with(e.first + "="); });
        if (!replaced) variables.emplace_back(variable);
    }
    std::vector<char*> envp;
    for (std::string& variable : variables) envp.push_back(variable.data());
    envp.push_back(nullptr);

    // The renderer writes its reports to the same standard error; whatever is buffered goes first.
    err.flush();
    pid_t pid = 0;
    const int error = ::posix_spawn(&pid, renderer.c_str(), nullptr, nullptr, argv.data(), envp.data());
    if (error != 0) {
        Report(err, "cannot run " + renderer + ": " + std::strerror(error));
        return 1;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            Report(err, std::string("lost the graph renderer: ") + std::strerror(errno));
            return 1;
        }
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    Report(err, "the graph renderer ended with signal " + std::to_string(WTERMSIG(status)));
    return 1;
}

}  // namespace kelvarox::cli
