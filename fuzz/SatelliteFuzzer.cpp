// The satellite file's text: whatever a file holds, reading it ends with a satellite or with
// errors that each name a place in the file, never both and never neither; a satellite that
// was read keeps its limits in order and answers for every channel at every date.
#include <string>
#include <string_view>

#include "FuzzInput.h"
#include "satellite/SatelliteFile.h"

using namespace kelvarox;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const SatelliteFileResult r = ParseSatelliteText(text, "fuzz.toml");
    FUZZ_CHECK(r.satellite.has_value() == r.errors.empty());
    for (const SatelliteFileMessage& m : r.errors) FUZZ_CHECK(m.line >= 1 && m.column >= 1 && !m.text.empty());
    if (!r.satellite) return 0;
    for (const ChannelEntry& e : r.satellite->Entries()) {
        const ChannelDefinition d = r.satellite->DefinitionOf(e.channel, e.fromAmDay.value_or(0));
        if (!d.limits) continue;
        const ChannelLimits& l = *d.limits;
        FUZZ_CHECK(l.persistence >= 1);
        FUZZ_CHECK(!(l.redLow && l.yellowLow) || *l.redLow <= *l.yellowLow);
        FUZZ_CHECK(!(l.yellowLow && l.yellowHigh) || *l.yellowLow < *l.yellowHigh);
        FUZZ_CHECK(!(l.yellowHigh && l.redHigh) || *l.yellowHigh <= *l.redHigh);
    }
    for (const ElementSet& e : r.satellite->Elements()) FUZZ_CHECK(e.meanMotion > 0);
    return 0;
}
