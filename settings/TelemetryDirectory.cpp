#include "settings/TelemetryDirectory.h"

#include <QDir>
#include <QFile>

#include "settings/SettingsKey.h"
#include "settings/SettingsNames.h"

namespace kelvarox {

namespace {

// One capture-program key: true when it named a directory and the file list was pointed at it.
bool TryTrelmKey(const SettingsStore& store, std::string_view keyPath, ProgramState& state,
                 TelemetryDirectoryView& view) {
    SettingsKey key(store);
    key.OpenSettingsKey(std::string(keyPath));
    state.TelemetryDirectory = key.ReadSettingText(std::string(kDefaultDirectoryValue)) + std::string(kTelemetrySuffix);
    if (state.TelemetryDirectory == kTelemetrySuffix) return false;
    view.PointFileListAt(state.TelemetryDirectory);
    return true;
}

}  // namespace

std::string DefaultTelemetryDirectory() {
    return QFile::encodeName(QDir::homePath() + QStringLiteral("/Trelm/telemetry")).toStdString();
}

void FindTelemetryDirectory(const SettingsStore& store, ProgramState& state, TelemetryDirectoryView& view) {
    if (TryTrelmKey(store, kTrelmCStartupKey, state, view)) return;
    if (TryTrelmKey(store, kTrelmStartupKey, state, view)) return;

    const std::string offered = DefaultTelemetryDirectory();
    const auto typed = view.AskForText(std::string(kDirectoryDialogCaption), std::string(kDirectoryDialogPrompt), offered);
    state.TelemetryDirectory = typed ? *typed : offered;
    if (!state.TelemetryDirectory.empty()) view.PointFileListAt(state.TelemetryDirectory);
}

}  // namespace kelvarox
