#pragma once
// Which file a save writes is decided by the extension of the chosen name alone, compared
// exactly (letter case included): "x.D8C" is not a data file. A name with any other extension
// is refused before anything touches the disk.

#include "common/uitext.h"

#include <optional>
#include <string>

namespace zarvik {

enum class SaveFormat {
    DataFile, // ".d8c"
    Text,     // ".txt", columns separated by TAB
    Csv,      // ".csv", columns separated by ';'
    Hdf5,     // ".h5"
    Mat,      // ".mat", MATLAB level 5
    Npy,      // ".npy", the values as a NumPy array
    Wav       // ".wav", the codes as 16-bit sound
};

// The extension as the file dialogs see it: from the last '.' of the name part, dot included;
// empty when the name part has no dot.
std::string fileExtension(const std::string& fileName);

std::optional<SaveFormat> saveFormatFor(const std::string& fileName);

// The operator's message for a refused name.
UiText unsupportedExtensionMessage(const std::string& fileName);

} // namespace zarvik
