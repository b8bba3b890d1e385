#include "ui/ErrorReport.h"

#include <exception>

#include "core/Errors.h"

namespace kelvarox {

std::string ErrorReportText(const std::string& errorText) {
    if (!errorText.empty() && static_cast<unsigned char>(errorText.back()) > static_cast<unsigned char>('.'))
        return errorText + ".";
    return errorText;
}

bool RunHandler(Notifier& notifier, const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (const KelvaroxError& e) {
        notifier.ShowError(ErrorReportText(e.what()));
    } catch (const std::bad_alloc&) {
        notifier.ShowError(ErrorReportText("Out of memory"));
    } catch (const std::exception& e) {
        notifier.ShowError(ErrorReportText(e.what()));
    }
    return false;
}

}  // namespace kelvarox
