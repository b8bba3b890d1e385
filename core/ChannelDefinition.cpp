#include "core/ChannelDefinition.h"

namespace kelvarox {

ChannelDefinition BuiltInDefinition(int32_t channel) {
    return {ChannelCatalogue::NameOf(channel), ChannelCatalogue::UnitOf(channel),
            ChannelCatalogue::CoefficientTable[static_cast<size_t>(ChannelCatalogue::RowOf(channel))], std::nullopt};
}

}  // namespace kelvarox
