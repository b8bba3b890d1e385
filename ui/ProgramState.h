#pragma once
// Everything the program remembers between two user actions, once per running program and
// owned by the application: what the start-up found (the telemetry directory, the display
// scale, the stored layout and Orbit HiByte), the layout that Setup changes, the block that
// the last Load left in memory, and the translation and series that Graph and Table share.
// The windows change it only through its actions.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "core/BlockLoader.h"
#include "core/ChannelBoxTexts.h"
#include "core/GraphDrawing.h"
#include "core/SatelliteDefinition.h"

namespace kelvarox {

class Notifier;
class SettingsStore;

// What the program's start-up found.
struct ProgramStart {
    std::string telemetryDirectory;  // empty when none was found or given
    BlockLayout layout;              // stored or default
    int32_t orbitHiByte = 0;         // stored or default
    float displayScale = 1.0f;       // screen dots per inch / 96
};

// The start-up, before any window is built: "." as the decimal separator whatever the
// user's locale, the telemetry directory (a session directory from the command line is used
// as it is: the settings are not asked for one, the dialog is not shown, and it is not
// stored), the display scale of the primary screen, and the stored layout and Orbit HiByte.
// Each step runs even when an earlier one failed, and reports its own error on `notifier`, so
// that the layout and the Orbit HiByte always hold their stored or default values.
ProgramStart StartProgram(const SettingsStore& store, Notifier& notifier,
                          const std::optional<std::string>& sessionDirectory);

class ProgramState {
public:
    explicit ProgramState(ProgramStart start = {}) : start_(std::move(start)), layout_(start_.layout) {}

    const std::string& TelemetryDirectory() const { return start_.telemetryDirectory; }
    float DisplayScale() const { return start_.displayScale; }
    // The Orbit HiByte the settings gave at start-up.
    int32_t StoredOrbitHiByte() const { return start_.orbitHiByte; }

    // Where the header fields lie in a block; Setup's Save changes it.
    const BlockLayout& Layout() const { return layout_; }
    void SetLayout(const BlockLayout& layout) { layout_ = layout; }

    // The satellite in force: its channels' names, equations and limits by date, its elements.
    const SatelliteDefinition& Satellite() const { return *satellite_; }
    std::shared_ptr<const SatelliteDefinition> SharedSatellite() const { return satellite_; }
    void SetSatellite(std::shared_ptr<const SatelliteDefinition> satellite) { satellite_ = std::move(satellite); }

    // The block of the last Load and the file the next one reads.
    const BlockInMemory& Loaded() const { return loaded_; }
    void SelectBlockFile(std::string path) { loaded_.blockFilePath = std::move(path); }
    // The Load of the selected file at the layout in force (LoadBlockFile).
    [[nodiscard]] LoadOutcome Load(const std::string& orbitHiByteText) {
        return LoadBlockFile(loaded_, layout_, orbitHiByteText);
    }
    // The last Load read a WOD block: Graph and Table may run.
    bool LoadSucceeded() const { return loaded_.block.HasSignature() && !loaded_.loadFailed; }

    // What Graph and Table share: the translation in force and the last series.
    const GraphAndTableState& GraphAndTable() const { return graphAndTable_; }
    // Graph: the picture of the block in memory at the display scale (BuildGraphPicture).
    [[nodiscard]] std::optional<GraphPicture> BuildGraph(const ChannelBoxTexts& boxes);
    // Table: the series of the block in memory (PrepareSeries).
    [[nodiscard]] bool PrepareSeries(const ChannelBoxTexts& boxes);

    // For tests that start from a block decoded elsewhere.
    void PutBlock(const WodBlock& block, const BlockHeader& header) {
        loaded_.block = block;
        loaded_.header = header;
    }

private:
    ProgramStart start_;
    BlockLayout layout_;
    BlockInMemory loaded_;
    GraphAndTableState graphAndTable_;
    // The built-in one lives as long as the program: shared without an owner.
    std::shared_ptr<const SatelliteDefinition> satellite_{std::shared_ptr<void>(), &BuiltInSatellite()};
};

}  // namespace kelvarox
