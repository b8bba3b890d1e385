#pragma once
// The one place where an error raised inside a handler ends: the handler stops where it was,
// the error report shows the text, and the program goes on.
#include <functional>
#include <string>

#include "ui/Notifier.h"

namespace kelvarox {

// The text of the error report: the error's text with "." appended when its last character
// sorts after ".".
std::string ErrorReportText(const std::string& errorText);

// Runs `handler`; an error escaping it is shown by the error report. True when none escaped.
bool RunHandler(Notifier& notifier, const std::function<void()>& handler);

}  // namespace kelvarox
