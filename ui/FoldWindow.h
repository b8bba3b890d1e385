#pragma once
// The fold window: one channel's orbits in a range laid over one MA axis, with the median and
// the 5th to 95th percentile band of each MA bin, over a heat map of orbit against MA. The
// samples are read in the background and shown as they come; hovering names the sample under
// the mouse, a click chooses its orbit; the picture and the bins' statistics are saved to
// files. A top-level window of its own.
#include <QTimer>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "services/FoldReader.h"
#include "timeline/FoldPicture.h"
#include "ui/SaveFolder.h"

namespace Ui {
class FoldWindow;
}

namespace kelvarox {

class Notifier;

class FoldWindow : public QWidget {
    Q_OBJECT
public:
    // Reads the samples that `request` names; `title` names the channel.
    FoldWindow(FoldReader::Request request, std::string title, Notifier& notifier, QWidget* parent = nullptr);
    ~FoldWindow() override;

    const archive::OrbitRange& orbits() const { return request_.orbits; }
    // All the samples have been read, or could not be.
    bool isRead() const { return reader_ == nullptr; }
    // The picture at the canvas's size.
    timeline::FoldPicture picture() const;
    // The bins' statistics as CSV.
    std::string csv() const;

signals:
    // A click on an orbit's line or row: the time line is to show that orbit.
    void orbitChosen(qint64 orbit);

public slots:
    void saveImage();
    void saveCsv();

private:
    void take(const std::shared_ptr<const timeline::FoldSamples>& more, const std::vector<timeline::FoldBin>& bins);
    void finish(const QString& problem);
    void compose();
    // The name a saved file of the fold is offered with.
    std::string fileName(const char* suffix) const;

    const FoldReader::Request request_;
    const std::string title_;
    Notifier& notifier_;
    std::unique_ptr<Ui::FoldWindow> ui_;
    FoldReader* reader_ = nullptr;  // a child of the window; none once everything is read
    std::shared_ptr<timeline::FoldSamples> samples_;
    std::vector<timeline::FoldBin> bins_;
    QTimer composeTimer_;  // gathers the batches that come close together into one picture
    SaveFolder saveFolder_;
};

}  // namespace kelvarox
