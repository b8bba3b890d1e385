#pragma once
// The graph command's renderer. It lives in a module of its own beside kelvarox-cli, loaded
// only by the graph command, so that the other commands start without any GUI library.
#include <string>

#include "cli/BlockSession.h"

namespace kelvarox::cli {

inline constexpr const char* kGraphRenderModule = "kelvarox-graph-render.so";
inline constexpr const char* kGraphRenderEntry = "kelvarox_render_graph";

// Why a rendering failed: the file concerned (the block or the image) and the message.
struct GraphRenderFailure {
    std::string path;
    std::string message;
};

// The module's entry point: runs the Graph action on the loaded block in the graph window,
// off screen when there is no display, and writes the window's client area to `outputPath`
// as a PNG image. False with `failure` filled when a box does not convert or the image
// cannot be written.
using RenderGraphFunction = bool (*)(LoadedBlock& block, const std::string& blockPath,
                                     const std::string& outputPath, GraphRenderFailure& failure);

}  // namespace kelvarox::cli
