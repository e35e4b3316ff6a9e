#include "files/saveformat.h"

namespace zarvik {

std::string fileExtension(const std::string& fileName) {
    // Both separators count: the names come from the dialogs of either platform.
    const std::size_t pos = fileName.find_last_of("./\\");
    if (pos == std::string::npos || fileName[pos] != '.')
        return {};
    return fileName.substr(pos);
}

std::optional<SaveFormat> saveFormatFor(const std::string& fileName) {
    const std::string ext = fileExtension(fileName);
    if (ext == ".d8c")
        return SaveFormat::DataFile;
    if (ext == ".txt")
        return SaveFormat::Text;
    if (ext == ".csv")
        return SaveFormat::Csv;
    return std::nullopt;
}

UiText unsupportedExtensionMessage(const std::string& fileName) {
    return {ZARVIK_TR_NOOP("FileError",
                           "Файл %1 не записан: имя файла должно оканчиваться на .d8c, .txt или "
                           ".csv (строчными буквами)."),
            {fileName}};
}

} // namespace zarvik
