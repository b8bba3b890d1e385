#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include "cli/BlockSession.h"
#include "cli/Commands.h"
#include "cli/GraphRender.h"
#include "cli/TerminalText.h"

namespace kelvarox::cli {

namespace {

// The directory of the running program, with a trailing "/".
std::string ProgramDirectory() {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return "./";
    const std::string path(buffer, static_cast<size_t>(n));
    return path.substr(0, path.rfind('/') + 1);
}

// The renderer from the module beside the program; nothing, with the reason, when it
// cannot be loaded. The module stays loaded until the program ends.
RenderGraphFunction LoadRenderer(std::string& reason) {
    const std::string path = ProgramDirectory() + kGraphRenderModule;
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        reason = ::dlerror();
        return nullptr;
    }
    void* entry = ::dlsym(module, kGraphRenderEntry);
    if (!entry) {
        reason = ::dlerror();
        return nullptr;
    }
    return reinterpret_cast<RenderGraphFunction>(entry);
}

}  // namespace

int RunGraph(const Options& options, std::ostream& err) {
    const std::string& path = options.files.front();
    LoadedBlock block = LoadBlock(path, options);
    if (!block.ok()) {
        ReportFailure(err, path, block.error);
        return 1;
    }
    std::string reason;
    const RenderGraphFunction render = LoadRenderer(reason);
    if (!render) {
        err << "kelvarox-cli: cannot load the graph renderer: " << TerminalName(reason) << '\n';
        return 1;
    }
    GraphRenderFailure failure;
    if (!render(block, path, options.output, failure)) {
        ReportFailure(err, failure.path, failure.message);
        return 1;
    }
    return 0;
}

}  // namespace kelvarox::cli
