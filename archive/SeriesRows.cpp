#include "archive/SeriesRows.h"

namespace kelvarox::archive {

Coefficients ChannelTranslation(const ChannelDefinition& definition,
                                const std::optional<std::array<std::string, 4>>& typed) {
    Coefficients k;
    if (typed) {
        UpdateCoefficients(k, (*typed)[0], (*typed)[1], (*typed)[2], (*typed)[3]);
    } else {
        const auto boxes = ChannelCatalogue::CoefficientTextsOf(definition.equation);
        UpdateCoefficients(k, boxes.a, boxes.b, boxes.c, boxes.d);
    }
    return k;
}

}  // namespace kelvarox::archive
