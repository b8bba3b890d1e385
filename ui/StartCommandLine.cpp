#include "ui/StartCommandLine.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include "KelvaroxVersion.h"
#include "core/BlockFiles.h"
#include "render/TextCodec.h"

namespace kelvarox {

StartCommandLine ParseStartCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral("Graph and tabulate the WOD telemetry blocks of a satellite."));
    // The parser's own help option would add --help-all, which needs the window system to
    // list its options: this one is answered without it.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays help on commandline options."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption satellite(QStringLiteral("satellite"),
                                       QStringLiteral("The satellite file whose channel names, equations, limits "
                                                      "and elements are in force for this session."),
                                       QStringLiteral("FILE"));
    parser.addOption(satellite);
    parser.addPositionalArgument(
        QStringLiteral("paths"),
        QStringLiteral("A block file to load and graph (of several, the first), or a directory "
                       "whose block files the file list shows for this session."),
        QStringLiteral("[FILE | DIRECTORY]..."));
    StartCommandLine line;
    if (!parser.parse(arguments)) line.error = parser.errorText();
    line.help = parser.isSet(help);
    line.version = parser.isSet(version);
    line.helpText = parser.helpText();
    line.paths = parser.positionalArguments();
    if (parser.isSet(satellite)) line.satellite = PathFromQt(parser.value(satellite));
    return line;
}

QString VersionText() { return QStringLiteral("Kelvarox ") + QString::fromLatin1(kVersion); }

StartPaths ChooseStartPaths(const QStringList& paths) {
    StartPaths start;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        const bool isDirectory = info.isDir() || (!info.exists() && !IsBlockFileName(PathFromQt(info.fileName())));
        if (isDirectory) {
            if (!start.directory) start.directory = PathFromQt(info.absoluteFilePath());
        } else if (!start.blockFile) {
            start.blockFile = info.absoluteFilePath();
        }
    }
    if (!start.directory && start.blockFile) {
        const QFileInfo folder(QFileInfo(*start.blockFile).absolutePath());
        if (folder.isDir()) start.directory = PathFromQt(folder.absoluteFilePath());
    }
    return start;
}

}  // namespace kelvarox
