#include "archive/SeriesRows.h"

#include "core/DatedTranslation.h"

namespace kelvarox::archive {

Coefficients ChannelTranslation(const ChannelDefinition& definition,
                                const std::optional<std::array<std::string, 4>>& typed) {
    if (!typed) return BoxTranslation(definition.equation);
    Coefficients k;
    UpdateCoefficients(k, (*typed)[0], (*typed)[1], (*typed)[2], (*typed)[3]);
    return k;
}

}  // namespace kelvarox::archive
