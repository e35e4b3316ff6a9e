#include "files/saveformat.h"

#include <utility>

namespace zarvik {

std::string fileExtension(const std::string& fileName) {
    // Both separators count: the names come from the dialogs of either platform.
    const std::size_t pos = fileName.find_last_of("./\\");
    if (pos == std::string::npos || fileName[pos] != '.')
        return {};
    return fileName.substr(pos);
}

std::optional<SaveFormat> saveFormatFor(const std::string& fileName) {
    static const std::pair<const char*, SaveFormat> kExtensions[] = {
        {".d8c", SaveFormat::DataFile}, {".txt", SaveFormat::Text}, {".csv", SaveFormat::Csv},
        {".h5", SaveFormat::Hdf5},      {".mat", SaveFormat::Mat},  {".npy", SaveFormat::Npy},
        {".wav", SaveFormat::Wav}};
    const std::string ext = fileExtension(fileName);
    for (const auto& [name, format] : kExtensions)
        if (ext == name)
            return format;
    return std::nullopt;
}

UiText unsupportedExtensionMessage(const std::string& fileName) {
    return {ZARVIK_TR_NOOP("FileError",
                           "Файл %1 не записан: имя файла должно оканчиваться на .d8c, .txt, "
                           ".csv, .h5, .mat, .npy или .wav (строчными буквами)."),
            {fileName}};
}

} // namespace zarvik
