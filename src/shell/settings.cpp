#include "shell/settings.h"

#include "shell/settingskeys.h"

#include <cstdio>
#include <system_error>

namespace zarvik {

MainSettings::MainSettings() {
    for (int n = 1; n <= 8; ++n) {
        seriesColor[n] = static_cast<WinColor>(64 * n);
        seriesSelect[n] = true;
    }
}

MainSettings readMainSettings(const IniFile& ini) {
    using namespace ini;
    MainSettings s;
    s.height = ini.readInteger(kSecMainWindow, kKeyHeight, s.height);
    s.width = ini.readInteger(kSecMainWindow, kKeyWidth, s.width);
    s.left = ini.readInteger(kSecMainWindow, kKeyLeft, s.left);
    s.top = ini.readInteger(kSecMainWindow, kKeyTop, s.top);
    s.timeUnits = ini.readInteger(kSecOptions, kKeyTimeUnits, s.timeUnits);
    s.xyMode = ini.readInteger(kSecOptions, kKeyXYmode, s.xyMode);
    s.integratePoints = ini.readInteger(kSecOptions, kKeyIntegrate, s.integratePoints);
    for (int n = 1; n <= 8; ++n) {
        s.seriesColor[n] = static_cast<WinColor>(
            ini.readInteger(kSecSeriesColor, channelKey(n), static_cast<int>(s.seriesColor[n])));
        s.seriesSelect[n] = ini.readBool(kSecSeriesSelect, channelKey(n), s.seriesSelect[n]);
    }
    s.startType = ini.readInteger(kSecStart, kKeyStartType, s.startType);
    s.adcRange = ini.readInteger(kSecAdc, kKeyRange, s.adcRange);
    s.sramBlocks = ini.readInteger(kSecFT, kKeySRAMblocks, s.sramBlocks);
    s.time4allSRAM = ini.readInteger(kSecFT, kKeyTime4allSRAM, s.time4allSRAM);
    s.f = ini.readInteger(kSecFT, kKeyF, s.f);
    s.loadHelpOnStart = ini.readInteger(kSecOptions, kKeyLoadHelp, s.loadHelpOnStart);
    s.restoreParamsAfterZero =
        ini.readBool(kSecOptions, kKeyRestoreParams, s.restoreParamsAfterZero);
    if (ini.hasKey(kSecOptions, kKeyLanguage))
        s.language = ini.readString(kSecOptions, kKeyLanguage, {});
    if (ini.hasKey(kSecSeries, kKeySeriesCount) || ini.hasKey(kSecSeries, kKeySeriesPause) ||
        ini.hasKey(kSecSeries, kKeySeriesFolder) || ini.hasKey(kSecSeries, kKeySeriesName)) {
        SeriesPlan p;
        p.count = ini.readInteger(kSecSeries, kKeySeriesCount, p.count);
        p.pauseSec = ini.readInteger(kSecSeries, kKeySeriesPause, p.pauseSec);
        p.folder = ini.readString(kSecSeries, kKeySeriesFolder, p.folder);
        p.name = ini.readString(kSecSeries, kKeySeriesName, p.name);
        s.series = p;
    }
    s.historyFolder = ini.readString(kSecHistory, kKeyHistoryFolder, {});
    if (ini.hasKey(kSecHistory, kKeyHistoryLimit))
        s.historyLimitMb = ini.readInteger(kSecHistory, kKeyHistoryLimit, 0);
    s.spectrumStep = ini.readInteger(kSecSpectrum, kKeyStep, s.spectrumStep);
    s.spectrumFmax = ini.readInteger(kSecSpectrum, kKeyFmax, s.spectrumFmax);
    s.spectrumType = ini.readInteger(kSecSpectrum, kKeySpectrumType, s.spectrumType);
    return s;
}

bool writeMainSettings(IniFile& ini, const MainSettings& s) {
    using namespace ini;
    bool ok = true;
    ok &= ini.writeInteger(kSecMainWindow, kKeyHeight, s.height);
    ok &= ini.writeInteger(kSecMainWindow, kKeyWidth, s.width);
    ok &= ini.writeInteger(kSecMainWindow, kKeyLeft, s.left);
    ok &= ini.writeInteger(kSecMainWindow, kKeyTop, s.top);
    ok &= ini.writeInteger(kSecFT, kKeyF, s.f);
    ok &= ini.writeInteger(kSecFT, kKeyTime4allSRAM, s.time4allSRAM);
    ok &= ini.writeInteger(kSecFT, kKeySRAMblocks, s.sramBlocks);
    ok &= ini.writeInteger(kSecStart, kKeyStartType, s.startType);
    ok &= ini.writeInteger(kSecAdc, kKeyRange, s.adcRange);
    ok &= ini.writeInteger(kSecOptions, kKeyTimeUnits, s.timeUnits);
    ok &= ini.writeInteger(kSecOptions, kKeyXYmode, s.xyMode);
    ok &= ini.writeInteger(kSecOptions, kKeyIntegrate, s.integratePoints);
    ok &= ini.writeInteger(kSecOptions, kKeyLoadHelp, s.loadHelpOnStart);
    for (int n = 1; n <= 8; ++n) {
        ok &= ini.writeInteger(kSecSeriesColor, channelKey(n), static_cast<int>(s.seriesColor[n]));
        ok &= ini.writeBool(kSecSeriesSelect, channelKey(n), s.seriesSelect[n]);
    }
    ok &= ini.writeInteger(kSecSpectrum, kKeyStep, s.spectrumStep);
    ok &= ini.writeInteger(kSecSpectrum, kKeyFmax, s.spectrumFmax);
    ok &= ini.writeInteger(kSecSpectrum, kKeySpectrumType, s.spectrumType);
    ok &= ini.writeBool(kSecOptions, kKeyRestoreParams, s.restoreParamsAfterZero);
    if (s.language)
        ok &= ini.writeString(kSecOptions, kKeyLanguage, *s.language);
    if (s.series) {
        ok &= ini.writeInteger(kSecSeries, kKeySeriesCount, s.series->count);
        ok &= ini.writeInteger(kSecSeries, kKeySeriesPause, s.series->pauseSec);
        ok &= ini.writeString(kSecSeries, kKeySeriesFolder, s.series->folder);
        ok &= ini.writeString(kSecSeries, kKeySeriesName, s.series->name);
    }
    if (s.historyLimitMb)
        ok &= ini.writeInteger(kSecHistory, kKeyHistoryLimit, *s.historyLimitMb);
    return ok;
}

SpectrumSettings readSpectrumSettings(const IniFile& ini) {
    using namespace ini;
    SpectrumSettings s;
    s.height = ini.readInteger(kSecSpectrumWindow, kKeyHeight, s.height);
    s.width = ini.readInteger(kSecSpectrumWindow, kKeyWidth, s.width);
    s.left = ini.readInteger(kSecSpectrumWindow, kKeyLeft, s.left);
    s.top = ini.readInteger(kSecSpectrumWindow, kKeyTop, s.top);
    s.step = ini.readInteger(kSecSpectrum, kKeyStep, s.step);
    s.fmax = ini.readInteger(kSecSpectrum, kKeyFmax, s.fmax);
    s.spectrumType = ini.readInteger(kSecSpectrum, kKeySpectrumType, s.spectrumType);
    s.spectrumSave = ini.readBool(kSecSpectrum, kKeySpectrumSave, s.spectrumSave);
    if (ini.hasKey(kSecSpectrum, kKeyWindow))
        s.window = ini.readString(kSecSpectrum, kKeyWindow, {});
    if (ini.hasKey(kSecSpectrum, kKeyAverage))
        s.average = ini.readInteger(kSecSpectrum, kKeyAverage, 1);
    if (ini.hasKey(kSecSpectrum, kKeyDecibels))
        s.decibels = ini.readBool(kSecSpectrum, kKeyDecibels, false);
    return s;
}

bool writeSpectrumSettings(IniFile& ini, const SpectrumSettings& s) {
    using namespace ini;
    bool ok = true;
    ok &= ini.writeInteger(kSecSpectrumWindow, kKeyHeight, s.height);
    ok &= ini.writeInteger(kSecSpectrumWindow, kKeyWidth, s.width);
    ok &= ini.writeInteger(kSecSpectrumWindow, kKeyLeft, s.left);
    ok &= ini.writeInteger(kSecSpectrumWindow, kKeyTop, s.top);
    ok &= ini.writeBool(kSecSpectrum, kKeySpectrumSave, s.spectrumSave);
    if (s.window)
        ok &= ini.writeString(kSecSpectrum, kKeyWindow, *s.window);
    if (s.average)
        ok &= ini.writeInteger(kSecSpectrum, kKeyAverage, *s.average);
    if (s.decibels)
        ok &= ini.writeBool(kSecSpectrum, kKeyDecibels, *s.decibels);
    return ok;
}

bool canReplaceFile(const std::filesystem::path& file) {
    // The same temporary name the INI engine writes before it renames.
    std::filesystem::path probe = file;
    probe += ".~new";
    std::FILE* f = createBinaryFile(probe);
    if (!f)
        return false;
    std::fclose(f);
    std::error_code ec;
    std::filesystem::remove(probe, ec);
    return true;
}

FilePlaces::FilePlaces(std::filesystem::path programFolder, std::filesystem::path userFolder,
                       WritableCheck canWrite)
    : m_program(std::move(programFolder)), m_user(std::move(userFolder)),
      m_canWrite(std::move(canWrite)) {}

FilePlaces FilePlaces::inUserFolder(const std::filesystem::path& userFolder) {
    // With the user's folder in the program's place and nothing writable "beside the program",
    // reading and writing both go to the user's folder.
    return FilePlaces(userFolder, userFolder, [](const std::filesystem::path&) { return false; });
}

bool isInstalledProgram(const std::filesystem::path& programFolder) {
    std::filesystem::path folder = programFolder;
    if (!folder.has_filename()) // "/usr/bin/"
        folder = folder.parent_path();
    std::error_code ec;
    return folder.filename() == "bin" &&
           std::filesystem::is_regular_file(
               folder.parent_path() / "share" / "applications" / "zarvik.desktop", ec);
}

bool FilePlaces::besideProgram(const std::string& name) const {
    return m_user.empty() || m_canWrite(m_program / name);
}

std::filesystem::path FilePlaces::forReading(const std::string& name) const {
    if (besideProgram(name))
        return m_program / name;
    std::error_code ec;
    return std::filesystem::exists(m_user / name, ec) ? m_user / name : m_program / name;
}

std::filesystem::path FilePlaces::forWriting(const std::string& name) const {
    if (besideProgram(name))
        return m_program / name;
    std::error_code ec;
    std::filesystem::create_directories(m_user, ec);
    if (!std::filesystem::exists(m_user / name, ec) &&
        std::filesystem::exists(m_program / name, ec))
        std::filesystem::copy_file(m_program / name, m_user / name, ec);
    return m_user / name;
}

} // namespace zarvik
