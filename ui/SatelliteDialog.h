#pragma once
// The satellite in force for the windows, and the dialog of Menu > Satellite...: the satellite
// file in force, a choice of another one or of the built-in channels, kept in the program's own
// settings. A file with errors is reported in one box and the previous choice stays.
#include <QDialog>
#include <memory>
#include <optional>
#include <string>

#include "core/SatelliteDefinition.h"

namespace Ui {
class SatelliteDialog;
}

namespace kelvarox {

class Notifier;
class SettingsStore;

// The satellite that the command line's --satellite, $KELVAROX_SATELLITE or the program's
// choice names, read; a file with errors is reported in one box and the built-in channels
// are in force instead.
std::shared_ptr<const SatelliteDefinition> LoadSatelliteInForce(const std::optional<std::string>& commandLineFile,
                                                                const SettingsStore& store, Notifier& notifier);

class SatelliteDialog : public QDialog {
    Q_OBJECT
public:
    // `commandLineFile` is the file that the program's --satellite named, which is in force
    // over any choice made here.
    SatelliteDialog(const SettingsStore& store, Notifier& notifier, std::optional<std::string> commandLineFile,
                    QWidget* parent);
    ~SatelliteDialog() override;

public slots:
    // Choose File...: asks for a file, checks it and keeps it as the choice when it has no error.
    void chooseFile();
    // Built-in Channels: the choice goes back to the built-in catalogue.
    void chooseBuiltIn();

signals:
    // The choice was changed: the program reads the satellite in force again.
    void satelliteChosen();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showInForce();
    void keep(const std::string& path);

    const SettingsStore& store_;
    Notifier& notifier_;
    std::optional<std::string> commandLineFile_;
    std::unique_ptr<Ui::SatelliteDialog> ui_;
};

}  // namespace kelvarox
