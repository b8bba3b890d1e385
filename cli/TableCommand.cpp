#include "cli/BlockSession.h"
#include "cli/Commands.h"
#include "core/DataTable.h"
#include "core/Errors.h"

namespace kelvarox::cli {

int RunTable(const Options& options, std::ostream& out, std::ostream& err) {
    int status = 0;
    for (const auto& path : options.files) {
        LoadedBlock b = LoadBlock(path, options);
        if (b.ok()) {
            try {
                PrepareSeries(b.state, b.boxes);
            } catch (const KelvaroxError& e) {
                b.error = e.what();
            }
        }
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
