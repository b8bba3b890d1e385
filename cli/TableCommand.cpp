#include "cli/BlockSession.h"
#include "cli/Commands.h"
#include "core/DataTable.h"

namespace kelvarox::cli {

int RunTable(const Options& options, std::ostream& out, std::ostream& err) {
    RequireFiles(options);
    if (options.files.size() != 1) throw UsageError("table takes one file");
    return ForEachBlock(options, WithSeries::Yes, err, [&](const std::string&, const LoadedBlock& b) {
        out << DataTableText(b.boxes.name, b.boxes.number, b.block, b.header, b.graph.series);
    });
}

}  // namespace kelvarox::cli
