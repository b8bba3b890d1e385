#include "ui/SatelliteDialog.h"

#include <QFileInfo>

#include "render/TextCodec.h"
#include "satellite/SatelliteFile.h"
#include "settings/SatelliteChoice.h"
#include "ui/Notifier.h"
#include "ui_SatelliteDialog.h"

namespace kelvarox {

namespace {

// The errors of a file, one a line, as the command line writes them.
std::string ErrorLines(const SatelliteFileResult& read) {
    std::string lines;
    for (const SatelliteFileMessage& error : read.errors) lines += "\n" + error.ToString();
    return lines;
}

}  // namespace

std::shared_ptr<const SatelliteDefinition> LoadSatelliteInForce(const std::optional<std::string>& commandLineFile,
                                                                const SettingsStore& store, Notifier& notifier) {
    const SatelliteInForce inForce = FindSatelliteInForce(commandLineFile, &store);
    if (!inForce.path.empty()) {
        SatelliteFileResult read = ReadSatelliteFile(inForce.path);
        if (read.satellite) return std::make_shared<const SatelliteDefinition>(std::move(*read.satellite));
        notifier.ShowError("The satellite file " + inForce.path + " has errors; the built-in channels are in force." +
                           ErrorLines(read));
    }
    return {std::shared_ptr<void>(), &BuiltInSatellite()};
}

SatelliteDialog::SatelliteDialog(const SettingsStore& store, Notifier& notifier,
                                 std::optional<std::string> commandLineFile, QWidget* parent)
    : QDialog(parent), store_(store), notifier_(notifier), commandLineFile_(std::move(commandLineFile)),
      ui_(std::make_unique<Ui::SatelliteDialog>()) {
    ui_->setupUi(this);
    connect(ui_->chooseButton, &QPushButton::clicked, this, &SatelliteDialog::chooseFile);
    connect(ui_->builtInButton, &QPushButton::clicked, this, &SatelliteDialog::chooseBuiltIn);
    connect(ui_->closeButton, &QPushButton::clicked, this, &QDialog::accept);
}

SatelliteDialog::~SatelliteDialog() = default;

void SatelliteDialog::showEvent(QShowEvent* event) {
    showInForce();
    QDialog::showEvent(event);
}

void SatelliteDialog::showInForce() {
    using Source = SatelliteInForce::Source;
    const SatelliteInForce inForce = FindSatelliteInForce(commandLineFile_, &store_);
    std::string text = "In force: the built-in channels";
    if (!inForce.path.empty()) {
        const SatelliteFileResult read = ReadSatelliteFile(inForce.path);
        text = read.satellite ? "In force: " + inForce.path + "\n" + SatelliteSummary(*read.satellite)
                              : text + ", as " + inForce.path + " has errors:" + ErrorLines(read);
    }
    ui_->inForceLabel->setText(PathToQt(text));
    std::string source;
    if (inForce.source == Source::Option)
        source =
            "The command line names this file (--satellite); a choice made here applies from the next "
            "start without it.";
    else if (inForce.source == Source::Environment)
        source = "$KELVAROX_SATELLITE names this file; a choice made here applies when it is not set.";
    ui_->sourceLabel->setText(ToQt(source));
    ui_->sourceLabel->setVisible(!source.empty());
}

void SatelliteDialog::chooseFile() {
    const std::string chosen = ReadSatelliteChoice(store_);
    const auto path =
        notifier_.AskForOpenFile("Satellite File", chosen.empty() ? std::string("satellite.toml") : chosen,
                                 "Satellite file (*.toml);;All files (*)");
    if (!path) return;
    const SatelliteFileResult read = ReadSatelliteFile(*path);
    if (!read.satellite) {
        notifier_.ShowError("The satellite file was not taken; the previous choice stays." + ErrorLines(read));
        return;
    }
    keep(*path);
}

void SatelliteDialog::chooseBuiltIn() { keep({}); }

void SatelliteDialog::keep(const std::string& path) {
    try {
        SaveSatelliteChoice(store_, path);
    } catch (const std::exception& e) {
        notifier_.ShowError(e.what());
        return;
    }
    showInForce();
    emit satelliteChosen();
}

}  // namespace kelvarox
