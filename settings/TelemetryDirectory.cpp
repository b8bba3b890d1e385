#include "settings/TelemetryDirectory.h"

#include <QDir>
#include <QFile>

#include "settings/SettingsKey.h"
#include "settings/SettingsNames.h"

namespace kelvarox {

namespace {

// The directory one capture-program key names; nothing when its value is empty or missing.
std::optional<std::string> DirectoryOfKey(const SettingsStore& store, std::string_view keyPath) {
    SettingsKey key(store);
    // A key that cannot be added has no value: the next key is tried, then the dialog asks.
    if (!key.OpenSettingsKey(std::string(keyPath))) return std::nullopt;
    const std::string named = key.ReadSettingText(std::string(kDefaultDirectoryValue));
    if (named.empty()) return std::nullopt;
    return named + std::string(kTelemetrySuffix);
}

}  // namespace

std::string DefaultTelemetryDirectory() {
    return QFile::encodeName(QDir::homePath() + QStringLiteral("/Trelm/telemetry")).toStdString();
}

std::string FindTelemetryDirectory(const SettingsStore& store, const AskForDirectory& ask) {
    if (auto directory = DirectoryOfKey(store, kTrelmCStartupKey)) return *directory;
    if (auto directory = DirectoryOfKey(store, kTrelmStartupKey)) return *directory;
    const std::string offered = DefaultTelemetryDirectory();
    const auto typed = ask(std::string(kDirectoryDialogCaption), std::string(kDirectoryDialogPrompt), offered);
    return typed ? *typed : offered;
}

}  // namespace kelvarox
