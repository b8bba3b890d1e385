#pragma once
// The load of one block: read the file, test the signature, decode the header at the layout's
// addresses and fill the main window's channel boxes.
#include <string>

#include "core/ProgramState.h"

namespace kelvarox {

// The main window's boxes that the loader fills: the channel's name, unit and number ("Hex#")
// and the four coefficients of its translation equation.
enum class ChannelBox { Name, Unit, Number, A, B, C, D };

// What the loader needs of the main window; a window, the command line or a test stands behind it.
class LoaderView {
public:
    virtual ~LoaderView() = default;
    virtual std::string OrbitHiByteText() const = 0;
    virtual void SetBoxText(ChannelBox box, const std::string& text) = 0;
    virtual void DisableGraphAndTable() = 0;
    virtual void ShowInformation(const std::string& message) = 0;
};

// Reads the file of state.BlockFilePath into the block buffer; on failure sets LoadFailed,
// disables Graph and Table and shows "File is improper length, must be 512 bytes!!".
void ReadBlockFile(ProgramState& state, LoaderView& view);

// The whole load. Raises KelvaroxError for an Orbit HiByte text or a header field that is no
// number and for a step of 0; values of the steps before the failing one stay changed.
void LoadInfo(ProgramState& state, LoaderView& view);

// Mean anomaly given to sample 0 on the graph axis.
int32_t FirstMAOf(int32_t startMA, int32_t maStep);

}  // namespace kelvarox
