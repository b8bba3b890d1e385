#pragma once
// The import's problems beside the time line: the files of the telemetry directory that failed
// to load, and the archive's blocks whose orbit is not sure, each with its file, its orbit and
// the message. A block's orbit is set from here (Set Orbit..., or a double-click), in the
// background; the list and the plots follow.
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "archive/Archive.h"
#include "services/ArchiveFeed.h"

namespace Ui {
class ImportProblemsPanel;
}

namespace kelvarox {

class Notifier;
class UnsureBlocks;

class ImportProblemsPanel : public QWidget {
    Q_OBJECT
public:
    ImportProblemsPanel(const std::string& archiveLocation, Notifier& notifier, QWidget* parent = nullptr);
    ~ImportProblemsPanel() override;

    // The files and the blocks listed.
    int count() const;

signals:
    void countChanged(int count);
    // An orbit was set: the archive changed.
    void orbitSet();

public slots:
    void showFailures(const kelvarox::ArchiveFeed::Failures& failures);
    // The archive changed: its blocks not sure are read anew.
    void readArchiveNow();
    // Asks for the orbit of the selected block and sets it.
    void setOrbit();

private:
    void showList();

    Notifier& notifier_;
    std::unique_ptr<Ui::ImportProblemsPanel> ui_;
    std::unique_ptr<UnsureBlocks> unsure_;
    ArchiveFeed::Failures failures_;
    std::vector<archive::UnsurePlacement> blocks_;
};

}  // namespace kelvarox
