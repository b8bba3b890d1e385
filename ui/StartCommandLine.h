#pragma once
// The desktop program's command line: --help and --version, answered before any window, and
// the files and directories it starts with.
#include <QString>
#include <QStringList>
#include <optional>
#include <string>

namespace kelvarox {

struct StartCommandLine {
    bool help = false;
    bool version = false;
    QString error;                         // a usage error as the parser words it; empty when there is none
    QString helpText;                      // the usage, as --help prints it
    QStringList paths;                     // the files and directories, in the order given
    std::optional<std::string> satellite;  // --satellite FILE
};

// Parses the arguments (the program's name first). Options are read as long options even
// with a single dash, so the window system's own options (-platform, -reverse) never read
// as -h or -v; the caller parses again once the window system has taken those.
StartCommandLine ParseStartCommandLine(const QStringList& arguments);

// "Kelvarox 1.1": the name and the project's version, as --version prints them.
QString VersionText();

// What the paths of the command line ask the program to start with.
struct StartPaths {
    // The file list's directory for this session; none: the one the settings name (or the
    // start-up dialog asks for).
    std::optional<std::string> directory;
    // Loaded and graphed as a dropped file is, once the main window shows.
    std::optional<QString> blockFile;
    // The satellite file of --satellite, in force over the program's choice for this session.
    std::optional<std::string> satelliteFile;
};

// The first directory given is the file list's; the first other path is the block file, and
// without a directory the list shows the block file's folder when there is one. A path that
// names nothing is a block file when its name is one (*.dat, *.tlm), else a directory: loading
// or listing it then gives the message that a file or a directory that cannot be read gives.
StartPaths ChooseStartPaths(const QStringList& paths);

}  // namespace kelvarox
