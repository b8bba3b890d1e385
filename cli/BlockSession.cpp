#include "cli/BlockSession.h"

#include "core/BoxTextsView.h"
#include "core/Errors.h"

namespace kelvarox::cli {

LoadedBlock LoadBlock(const std::string& path, const Options& options) {
    LoadedBlock b;
    b.state.Layout = options.layout;
    b.state.BlockFilePath = path;
    BoxTextsView view(options.orbitHiByte);
    try {
        LoadInfo(b.state, view);
    } catch (const KelvaroxError& e) {
        b.error = e.what();
    }
    if (b.error.empty()) b.error = view.firstMessage;
    if (b.error.empty() && b.state.LoadFailed) b.error = "the block did not load";
    b.boxes = view.boxes;
    if (b.ok() && options.coefficients) {
        const auto& k = *options.coefficients;
        b.boxes.a = k[0];
        b.boxes.b = k[1];
        b.boxes.c = k[2];
        b.boxes.d = k[3];
    }
    return b;
}

LoadedBlock LoadBlockWithSeries(const std::string& path, const Options& options) {
    LoadedBlock b = LoadBlock(path, options);
    if (!b.ok()) return b;
    try {
        PrepareSeries(b.state, b.boxes);
    } catch (const KelvaroxError& e) {
        b.error = e.what();
    }
    return b;
}

}  // namespace kelvarox::cli
