#include "files/textexport.h"

#include "common/cp1251.h"
#include "common/numtext.h"
#include "files/atomicfile.h"
#include "files/d8cformat.h"
#include "files/fileerror.h"
#include "files/filetime.h"
#include "files/saveformat.h"
#include "files/textlines.h"

#include <algorithm>

namespace zarvik {

std::string exportSourceLine(const TMeasurement& m, double now, const DateTimeFormatter& format) {
    if (!m.FromFile)
        return "Результат измерения " + format(now);
    const double fileTime = lastWriteTime(m.FileName).value_or(m.MeasuredAt);
    return "Данные из файла " + m.FileName + "  " + format(fileTime);
}

std::vector<int> exportedChannels(const ExportView& view) {
    std::vector<int> channels;
    for (int n = 1; n <= kChannels; ++n)
        if (view.checked[n])
            channels.push_back(n);
    return channels;
}

std::pair<std::size_t, std::size_t> exportedPoints(const ExportView& view) {
    const std::vector<int> channels = exportedChannels(view);
    if (channels.empty() || view.VisibleFirst < 0 || view.VisibleLast < 0)
        return {0, 0};
    // The recorded range may be older than the points (a rebuild since the last paint).
    std::size_t points = view.series[channels.front()].count;
    for (int n : channels)
        points = std::min(points, view.series[n].count);
    const std::size_t first = static_cast<std::size_t>(view.VisibleFirst);
    const std::size_t end = std::min(static_cast<std::size_t>(view.VisibleLast) + 1, points);
    return first < end ? std::pair(first, end) : std::pair<std::size_t, std::size_t>(0, 0);
}

std::string buildTextExport(const TMeasurement& m, const std::vector<std::string>& comment,
                            const ExportView& view, const std::string& sourceLine, char separator,
                            char decimalSeparator) {
    const char s = separator;
    auto number = [decimalSeparator](double v) { return formatGeneral(v, decimalSeparator); };

    std::string head = sourceLine + '\r';
    head += std::string("Channel:") + s + "Shift:" + s + "Scale:" + s + s +
            "OUTPUT=(ADCunits - Shift) * Scale\r";
    for (int n = 1; n <= kChannels; ++n)
        head += std::to_string(n) + s + number(m.Shift[n]) + s + number(m.Scale[n]) + '\r';
    head += view.leftAxisTitle + s + "<-name of Y axis\r";
    head += view.bottomAxisTitle + s + "<-name of X axis\r";
    if (view.integrationPoints)
        head += "Выполнено интегрирование по " + std::to_string(*view.integrationPoints) + '\r';
    head += joinLines(comment);
    head += "\r\r";

    const std::vector<int> channels = exportedChannels(view);
    const bool withX = view.storeX && !channels.empty();
    if (withX)
        head += view.bottomAxisTitle + s;
    for (int n : channels)
        head += std::to_string(n) + s;
    head += '\r';

    std::string out = utf8ToCp1251(head);
    const auto [first, end] = exportedPoints(view);
    if (first >= end)
        return out;
    const SeriesView& xs = view.series[channels.front()];
    for (std::size_t i = first; i < end; ++i) {
        if (withX) {
            out += number(xs.x[i]);
            out += s;
        }
        for (int n : channels) {
            out += number(view.series[n].y[i]);
            out += s;
        }
        out += '\r';
    }
    return out;
}

void saveTextExport(TMeasurement& m, const std::string& fileName,
                    const std::vector<std::string>& comment, const ExportView& view,
                    char decimalSeparator, double now, const DateTimeFormatter& format) {
    const std::optional<SaveFormat> kind = saveFormatFor(fileName);
    if (kind != SaveFormat::Text && kind != SaveFormat::Csv)
        throw FileError(FileError::Kind::UnsupportedExtension,
                        unsupportedExtensionMessage(fileName));
    writeTextExport(m, fileName, kind == SaveFormat::Text ? '\t' : ';', comment, view,
                    decimalSeparator, now, format);
}

void writeTextExport(TMeasurement& m, const std::string& fileName, char separator,
                     const std::vector<std::string>& comment, const ExportView& view,
                     char decimalSeparator, double now, const DateTimeFormatter& format) {
    const std::string text = buildTextExport(m, comment, view, exportSourceLine(m, now, format),
                                             separator, decimalSeparator);
    replaceFileContents(fileName, text.data(), text.size());

    fillSaveHeader(m);
    m.SaveFileName = fileName;
    setLastWriteTime(fileName, m.MeasuredAt);
}

} // namespace zarvik
