#pragma once
// The boundary between kelvarox-cli and the graph renderer, a program of its own that paints
// with the windows' painting library (render/, QtGui without widgets). kelvarox-cli links no
// GUI library; its graph command and its series command with -o run the renderer, which ships
// with the desktop program.
//
// The renderer's command lines:
//   kelvarox-graph-render --layout N,N,N,N,N,N,N,N --orbit-hibyte N [--coefficients A,B,C,D]
//                         [--satellite FILE] -o OUTPUT -- BLOCK
// loads BLOCK with these values, as kelvarox-cli loads a block (the coefficient texts as if
// typed into the four boxes after Load), runs the Graph action on the graph window's client
// area (render/GraphScene.h), off screen when there is no display, and writes it to OUTPUT.
//   kelvarox-graph-render series [--database DB] [--from ORBIT] [--to ORBIT]
//                         [--coefficients A,B,C,D] [--satellite FILE] -o OUTPUT -- CHANNEL
// reads the channel's samples within the orbits from the archive DB (without --database, the
// archive that kelvarox-cli would take: $KELVAROX_DATABASE, ...), as the series command reads
// them, and draws them as the time line window draws a plot, with its orbit axis: over
// the orbits from --from to the end of --to, an open end at the first or last sample.
// Both write OUTPUT in the format that its suffix names and read no settings file. OUTPUT is
// replaced in one step: the picture is written to a temporary file in OUTPUT's folder and
// renamed over it, so a file that was there stays whole when the writing fails.
// Exit status: 0 when the picture was written; 1 when the block or the archive failed, the
// channel has no samples to show, or the picture could not be written, with the reason on
// standard error; 2 for a malformed command line.
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/CommandLine.h"
#include "core/PictureFormat.h"

namespace kelvarox::cli {

inline constexpr const char* kGraphRenderProgram = "kelvarox-graph-render";
// Where an installed renderer lies, relative to the folder of kelvarox-cli; in the build tree
// it lies beside kelvarox-cli.
inline constexpr const char* kInstalledGraphRenderFolder = "../libexec/kelvarox";

// The format of the picture file options.output by its suffix, one of kCommandLineFormats
// (core/PictureFormat.h); any other suffix is a usage error: "graph writes .png, .jpg, .jpeg,
// .bmp or .svg images, not 'OUT'", with the name of the command that writes it.
PictureFormat OutputFormatOf(const Options& options, std::string_view writer);

// Runs the renderer with `args` (its command line without the program) in this program's
// environment with the variables of `environment` set, and returns its exit status, or 1, with
// the reason on `err`, when it is not installed or cannot be run.
// "--satellite FILE" for the renderer when a satellite file is in force: the renderer reads
// no settings and no environment of its own for it.
void AppendSatelliteArgument(std::vector<std::string>& args, const Options& options);

int RunGraphRenderer(const std::vector<std::string>& args, std::ostream& err,
                     const std::vector<std::pair<std::string, std::string>>& environment = {});

}  // namespace kelvarox::cli
