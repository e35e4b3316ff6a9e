#pragma once
// The main window's share of "Zarvik.ini": plain values, read and written in the order the
// file has always had them, so that a file written by the program keeps its layout.

#include "analysis/spectrumsettings.h"
#include "common/inifile.h"
#include "device/seriesplan.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace zarvik {

// A colour as the settings file stores it: red in the low byte, then green, then blue.
using WinColor = std::uint32_t;

struct MainSettings {
    int height = 515;
    int width = 794;
    int left = 0;
    int top = 0;
    int timeUnits = 0;
    int xyMode = 0;
    int integratePoints = 8;
    std::array<WinColor, 9> seriesColor{}; // [1..8]; default 64 x channel number
    std::array<bool, 9> seriesSelect{};    // [1..8]; default all selected
    int startType = 0;                     // 16 = external start
    int adcRange = 1;
    int sramBlocks = 8;
    int time4allSRAM = 117187;
    int f = 2048;
    int loadHelpOnStart = 0;
    bool restoreParamsAfterZero = true;
    // "ru", "en" or empty for the system's language; a file without the key keeps without it.
    std::optional<std::string> language;
    // The series of measurements; a file without its keys keeps without them until the
    // operator changes the series.
    std::optional<SeriesPlan> series;
    // The history's folder, only read; and its space, which a file without the key is given
    // only when the operator sets another.
    std::string historyFolder;
    std::optional<int> historyLimitMb;
    // Keys of section "Spectrum" that the main window writes for the spectrum window.
    int spectrumStep = 1;
    int spectrumFmax = 35;
    int spectrumType = 0;

    MainSettings();
};

// Values exactly as stored (missing keys and non-integers give the defaults); the start-up
// corrections belong to whoever applies them to the controls.
MainSettings readMainSettings(const IniFile& ini);

// Writes every key of the main window; false when the file could not be written.
bool writeMainSettings(IniFile& ini, const MainSettings& s);

// Whether a file can be replaced the way the INI engine replaces it: by a new file written
// beside it (a folder may be read-only for the user while the file itself is not).
bool canReplaceFile(const std::filesystem::path& file);

// Where the files that live beside the program ("Zarvik.ini", "scales.scl") are read and
// written. A program installed for all users cannot write its own folder, and its settings
// would be lost at every close: then the files are kept in the user's configuration folder,
// and the copy beside the program is read until the user has one of their own.
class FilePlaces {
public:
    using WritableCheck = std::function<bool(const std::filesystem::path& file)>;

    FilePlaces() = default;
    // An empty user folder (none known) keeps everything beside the program.
    FilePlaces(std::filesystem::path programFolder, std::filesystem::path userFolder,
               WritableCheck canWrite = canReplaceFile);
    // An installed program keeps nothing beside itself, writable or not: its folder holds the
    // system's programs and is shared by every user (for root it is writable, and root's
    // settings would land there). Everything is the user's own from the first run.
    static FilePlaces inUserFolder(const std::filesystem::path& userFolder);

    std::filesystem::path forReading(const std::string& name) const;
    // The first time a file goes to the user's folder it starts as a copy of the one beside
    // the program, so that what the writer does not touch (the other window's keys, the
    // scales beside the shifts) is kept.
    std::filesystem::path forWriting(const std::string& name) const;

private:
    bool besideProgram(const std::string& name) const;

    std::filesystem::path m_program;
    std::filesystem::path m_user;
    WritableCheck m_canWrite = canReplaceFile;
};

// Whether the program runs from an installation: its executable in <prefix>/bin beside the
// desktop entry installed with it, <prefix>/share/applications/zarvik.desktop. A build tree or
// a copy in a folder of its own is portable and keeps its files beside itself.
bool isInstalledProgram(const std::filesystem::path& programFolder);

// Values exactly as stored; clamping and the step rule belong to the window's controls.
SpectrumSettings readSpectrumSettings(const IniFile& ini);

// Writes the window's own keys (bounds, "SpectrumSave" and those of the options that are
// set); false when the file could not be written.
bool writeSpectrumSettings(IniFile& ini, const SpectrumSettings& s);

} // namespace zarvik
