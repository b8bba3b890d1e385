#include "ui/ProgramState.h"

#include <QGuiApplication>
#include <QLocale>
#include <QScreen>
#include <clocale>

#include "core/Errors.h"
#include "core/GraphPicture.h"
#include "settings/StartupSettings.h"
#include "settings/TelemetryDirectory.h"
#include "ui/DisplayScale.h"
#include "ui/ErrorReport.h"
#include "ui/Notifier.h"

namespace kelvarox {

ProgramStart StartProgram(const SettingsStore& store, Notifier& notifier,
                          const std::optional<std::string>& sessionDirectory) {
    ProgramStart start;
    RunHandler(notifier, [] {
        // "." is the decimal separator whatever the user's locale.
        QLocale::setDefault(QLocale::c());
        std::setlocale(LC_NUMERIC, "C");
    });
    RunHandler(notifier, [&] {
        if (sessionDirectory)
            start.telemetryDirectory = *sessionDirectory;
        else
            start.telemetryDirectory = FindTelemetryDirectory(
                store, [&notifier](const std::string& caption, const std::string& prompt, const std::string& offered) {
                    return notifier.AskForText(caption, prompt, offered);
                });
    });
    RunHandler(notifier, [&] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        start.displayScale = screen ? DisplayScaleFor(screen->logicalDotsPerInch()) : 1.0f;
    });
    RunHandler(notifier, [&] {
        const StoredStartupSettings stored = LoadStartupSettings(store);
        start.layout = stored.layout;
        start.orbitHiByte = stored.orbitHiByte;
        // The values were all taken, each stored or default; the first unreadable one is reported.
        if (!stored.error.empty()) throw KelvaroxError(stored.error);
    });
    return start;
}

std::optional<GraphPicture> ProgramState::BuildGraph(const ChannelBoxTexts& boxes) {
    return BuildGraphPicture(loaded_.block, loaded_.header, graphAndTable_, boxes, start_.displayScale);
}

bool ProgramState::PrepareSeries(const ChannelBoxTexts& boxes) {
    return kelvarox::PrepareSeries(loaded_.block, loaded_.header, graphAndTable_, boxes);
}

}  // namespace kelvarox
