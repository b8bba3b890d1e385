#pragma once
// Boxes that nobody sees: for windows drawn without a screen (the command line's graph, the
// benchmarks). It counts what it was asked to show.
#include "ui/Notifier.h"

namespace kelvarox {

class SilentNotifier : public Notifier {
public:
    void ShowError(const std::string&) override { ++boxes; }
    void ShowInformation(const std::string&) override { ++boxes; }
    std::optional<std::string> AskForText(const std::string&, const std::string&, const std::string&) override {
        ++boxes;
        return std::nullopt;
    }
    int boxes = 0;
};

}  // namespace kelvarox
