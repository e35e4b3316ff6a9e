#pragma once
// Sections and keys of "Zarvik.ini". Each name is written into the file as its Windows-1251
// bytes, so the Cyrillic ones must stay exactly as they are.

#include <string>

namespace zarvik::ini {

inline constexpr char kFileName[] = "Zarvik.ini";

inline constexpr char kSecMainWindow[] = "График сигнала";
inline constexpr char kSecSpectrumWindow[] = "Спектр сигнала";
inline constexpr char kKeyHeight[] = "высота";
inline constexpr char kKeyWidth[] = "ширина";
inline constexpr char kKeyLeft[] = "слева";
inline constexpr char kKeyTop[] = "сверху";

inline constexpr char kSecOptions[] = "Options";
inline constexpr char kKeyTimeUnits[] = "TimeUnits";
inline constexpr char kKeyXYmode[] = "XYmode";
inline constexpr char kKeyIntegrate[] = "Integrate on Samples Num";
inline constexpr char kKeyLoadHelp[] = "Load Help on Start";
inline constexpr char kKeyRestoreParams[] = "Restore Parameters after Zero";
inline constexpr char kKeyLanguage[] = "Language";

inline constexpr char kSecSeriesColor[] = "Series Color";
inline constexpr char kSecSeriesSelect[] = "Series select";
inline std::string channelKey(int channel) {
    return "Channel " + std::to_string(channel);
}

inline constexpr char kSecStart[] = "Запуск";
inline constexpr char kKeyStartType[] = "Тип";
inline constexpr char kSecAdc[] = "АЦП";
inline constexpr char kKeyRange[] = "Диапазон";

inline constexpr char kSecFT[] = "Окно F/T";
inline constexpr char kKeySRAMblocks[] = "SRAMblocks";
inline constexpr char kKeyTime4allSRAM[] = "Time4allSRAM";
inline constexpr char kKeyF[] = "F";

inline constexpr char kSecSeries[] = "Серия";
inline constexpr char kKeySeriesCount[] = "Число";
inline constexpr char kKeySeriesPause[] = "Пауза";
inline constexpr char kKeySeriesFolder[] = "Папка";
inline constexpr char kKeySeriesName[] = "Имя";
// The history of measurements: its folder (empty or absent: the user's data folder; a relative
// folder is taken from the program's), and the space it may take in megabytes.
inline constexpr char kSecHistory[] = "History";
inline constexpr char kKeyHistoryFolder[] = "Folder";
inline constexpr char kKeyHistoryLimit[] = "Limit MB";

inline constexpr char kSecSpectrum[] = "Spectrum";
inline constexpr char kKeyStep[] = "Step";
inline constexpr char kKeyFmax[] = "Fmax";
inline constexpr char kKeySpectrumType[] = "SpectrumType";
inline constexpr char kKeySpectrumSave[] = "SpectrumSave";
inline constexpr char kKeyWindow[] = "Window"; // the window function's name
inline constexpr char kKeyAverage[] = "Average";
inline constexpr char kKeyDecibels[] = "Decibels";

} // namespace zarvik::ini
