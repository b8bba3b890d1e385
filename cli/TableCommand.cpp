#include "cli/BlockSession.h"
#include "cli/Commands.h"
#include "core/DataTable.h"

namespace kelvarox::cli {

int RunTable(const Options& options, std::ostream& out, std::ostream& err) {
    int status = 0;
    for (const auto& path : options.files) {
        const LoadedBlock b = LoadBlockWithSeries(path, options);
        if (!b.ok()) {
            ReportFailure(err, path, b.error);
            status = 1;
            continue;
        }
        out << DataTableText(b.boxes.name, b.boxes.number, b.state.Block, b.state.Header, b.state.Series);
    }
    return status;
}

}  // namespace kelvarox::cli
