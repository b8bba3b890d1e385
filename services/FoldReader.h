#pragma once
// The samples of one channel in a range of orbits, read from the block archive for the fold
// window in a thread of its own with an archive connection of its own, and handed over in
// batches as they come, each with the MA bins' statistics of everything read so far.
#include <QObject>
#include <QString>
#include <QThread>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "archive/Archive.h"
#include "core/SatelliteDefinition.h"
#include "timeline/FoldPicture.h"

namespace kelvarox {

class FoldReader : public QObject {
    Q_OBJECT
public:
    struct Request {
        std::string location;
        int32_t channel = 0;
        archive::OrbitRange orbits;
        int bins = timeline::FoldStatistics::kDefaultBins;
        std::shared_ptr<const SatelliteDefinition> satellite;  // none: the built-in one
    };

    // Starts reading at once.
    explicit FoldReader(Request request, QObject* parent = nullptr);
    // Stops reading and waits for the thread.
    ~FoldReader() override;

    // A batch holds at most this many samples.
    static constexpr size_t kBatchSamples = 1 << 16;

signals:
    void samplesRead(std::shared_ptr<const kelvarox::timeline::FoldSamples> more,
                     const std::vector<kelvarox::timeline::FoldBin>& bins);
    // Everything has been read (`problem` empty), or the archive cannot be read: the reason.
    void finished(const QString& problem);

private:
    void read();
    template <class Deliver>
    void post(Deliver deliver);

    const Request request_;
    std::atomic<bool> stop_{false};
    QThread* thread_;
};

}  // namespace kelvarox
