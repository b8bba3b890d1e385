#include "archive/Import.h"

#include "archive/ReadAhead.h"
#include "core/Errors.h"

namespace kelvarox::archive {

void ImportFiles(Archive& archive, const ImportRequest& request, const ImportEvents& events, ImportResult& result) {
    if (request.satellite) archive.UseSatellite(*request.satellite);
    Importer importer(archive, request.orbitHiByte, request.replaceOrbitHiByte);
    int64_t added = 0;
    // Tells what the batches committed since the last call.
    const auto tell = [&] {
        for (const RefusedBlock& r : importer.TakeRefused())
            if (events.refused) events.refused(r);
        result.committed = importer.Counts();
        if (result.committed.added > added && events.committed) events.committed();
        added = result.committed.added;
    };
    try {
        ReadAhead reading(BlockFileWalk(request.paths), request.layout, request.readAhead);
        size_t done = 0;
        for (;;) {
            if (events.cancel && events.cancel->load()) {
                result.cancelled = true;
                return;
            }
            auto next = reading.Next();
            if (!next) break;
            auto& [file, intake] = *next;
            if (intake.block) {
                importer.Add(std::move(*intake.block));
                tell();
            } else {
                ++result.failed;
                if (events.failed) events.failed(file, intake.error);
            }
            if (events.progress) events.progress(++done, result.committed);
        }
        importer.Finish();
        tell();
    } catch (const KelvaroxError&) {
        tell();
        throw;
    }
    result.outliers = importer.Outliers();
    result.unsure = importer.Unsure();
}

}  // namespace kelvarox::archive
