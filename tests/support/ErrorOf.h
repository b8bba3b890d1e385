#pragma once
// The error a piece of work raises, as the user would read it.
#include <functional>
#include <string>

#include "core/Errors.h"

namespace kelvarox::testing {

// The text of the KelvaroxError that `work` raises; empty when it raises none.
inline std::string ErrorOf(const std::function<void()>& work) {
    try {
        work();
    } catch (const KelvaroxError& error) {
        return error.what();
    }
    return std::string();
}

}  // namespace kelvarox::testing
