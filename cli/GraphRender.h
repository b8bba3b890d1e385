#pragma once
// The boundary between kelvarox-cli and the graph renderer, a program of its own that draws
// with the graph window's code. kelvarox-cli links no GUI library; its graph command runs
// the renderer, which ships with the desktop program.
//
// The renderer's command line:
//   kelvarox-graph-render --layout N,N,N,N,N,N,N,N --orbit-hibyte N [--coefficients A,B,C,D]
//                         -o OUTPUT -- BLOCK
// It loads BLOCK with these values, as kelvarox-cli loads a block (the coefficient texts as if
// typed into the four boxes after Load), runs the Graph action in the graph window, off screen
// when there is no display, and writes the window's client area to OUTPUT in the image format
// that OUTPUT's suffix names. It reads no settings file. OUTPUT is replaced in one step: the
// image is written to a temporary file in OUTPUT's folder and renamed over it, so a file that
// was there stays whole when the writing fails.
// Exit status: 0 when the image was written; 1 when the block failed or the image could not be
// written, with "path: message" on standard error; 2 for a malformed command line.
#include <optional>
#include <string>

namespace kelvarox::cli {

inline constexpr const char* kGraphRenderProgram = "kelvarox-graph-render";
// Where an installed renderer lies, relative to the folder of kelvarox-cli; in the build tree
// it lies beside kelvarox-cli.
inline constexpr const char* kInstalledGraphRenderFolder = "../libexec/kelvarox";

// The image format that a file name's suffix names, as the image writer spells it ("PNG",
// "JPEG", "BMP"); nothing for any other suffix. The suffix is compared without case.
[[nodiscard]] std::optional<std::string> ImageFormatOf(const std::string& fileName);

// The suffixes that ImageFormatOf knows, for messages: ".png, .jpg, .jpeg or .bmp".
extern const char* const kImageSuffixes;

}  // namespace kelvarox::cli
