#include "services/FoldReader.h"

#include "archive/DatedSamples.h"
#include "core/DatedTranslation.h"
#include "core/Errors.h"
#include "render/TextCodec.h"

namespace kelvarox {

namespace {

// Thrown out of the archive's loop over the samples when the window is closed meanwhile.
struct Stopped {};

}  // namespace

FoldReader::FoldReader(Request request, QObject* parent)
    : QObject(parent), request_(std::move(request)), thread_(QThread::create([this] { read(); })) {
    thread_->start();
}

FoldReader::~FoldReader() {
    stop_ = true;
    thread_->wait();
    delete thread_;
}

// Runs `deliver` in the window's thread, unless the reader is gone by then.
template <class Deliver>
void FoldReader::post(Deliver deliver) {
    QMetaObject::invokeMethod(this, std::move(deliver), Qt::QueuedConnection);
}

void FoldReader::read() {
    const SatelliteDefinition& satellite = request_.satellite ? *request_.satellite : BuiltInSatellite();
    timeline::FoldStatistics statistics(request_.bins);
    auto batch = std::make_shared<timeline::FoldSamples>();
    const auto deliver = [&] {
        post([this, more = std::shared_ptr<const timeline::FoldSamples>(std::move(batch)), bins = statistics.Bins()] {
            emit samplesRead(more, bins);
        });
        batch = std::make_shared<timeline::FoldSamples>();
    };
    try {
        archive::WaitHooks hooks;
        hooks.abandon = &stop_;
        archive::Archive archive(request_.location, archive::Archive::Access::Read, hooks);
        DatedTranslation translation(satellite, request_.channel);
        int64_t blockId = -1;
        archive::ForEachDatedSample(archive, request_.channel, request_.orbits, translation,
                                    [&](const archive::SeriesSample& s, const archive::ArchivedBlock& b) {
                                        if (b.id != blockId) {
                                            if (stop_) throw Stopped();
                                            if (batch->SampleCount() >= kBatchSamples) deliver();
                                            batch->AddBlock(b.file);
                                            blockId = b.id;
                                        }
                                        batch->Add(s.orbit, s.ma, s.value);
                                        statistics.Add(s.ma, s.value);
                                    });
        deliver();
        post([this] { emit finished(QString()); });
    } catch (const Stopped&) {
    } catch (const KelvaroxError& e) {
        if (!stop_) post([this, text = ToQt(e.what())] { emit finished(text); });
    }
}

}  // namespace kelvarox
