#include "files/analysisexport.h"

#include "common/rounding.h"
#include "files/atomicfile.h"
#include "files/d8cformat.h"
#include "files/fileerror.h"
#include "files/filetime.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace zarvik {
namespace {

// The files are little-endian whatever the machine.
void putLittleEndian(std::string& out, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

[[noreturn]] void refuse(UiSource reason, const std::string& fileName) {
    throw FileError(FileError::Kind::FormatRefused, UiText{reason, {fileName}});
}

} // namespace

AnalysisData analysisData(const TMeasurement& m, const std::vector<std::string>& comment,
                          const ExportView& view) {
    AnalysisData d;
    d.channels = exportedChannels(view);
    const std::size_t count = d.channels.size();
    auto [first, end] = exportedPoints(view);

    // The codes come from the sample stream the chart was drawn from: point i of a channel is
    // instant i + 1 of the stream, interleaved over the channels of the drawn mask.
    const std::size_t stride = static_cast<std::size_t>(channelsInMask(m.ChannelMask));
    const std::size_t instants = stride == 0 ? 0 : m.wordCount() / stride;
    end = std::max(first, std::min(end, instants > 0 ? instants - 1 : 0));
    std::vector<std::size_t> column;
    for (int n : d.channels) {
        const std::uint32_t bit = 1u << (n - 1);
        if ((m.ChannelMask & bit) == 0)
            end = first; // a channel that was not drawn has no points
        column.push_back(static_cast<std::size_t>(channelsInMask(m.ChannelMask & (bit - 1))));
    }
    d.points = end - first;

    d.codes.resize(d.points * count);
    d.values.resize(d.points * count);
    d.time.resize(d.points);
    for (std::size_t i = 0; i < d.points; ++i) {
        const std::size_t point = first + i;
        for (std::size_t c = 0; c < count; ++c) {
            d.codes[i * count + c] = m.word((point + 1) * stride + column[c]);
            d.values[i * count + c] = view.series[d.channels[c]].y[point];
        }
        // As the chart computes the time of a point, in seconds.
        d.time[i] = static_cast<double>(point + 1) * m.SamplePeriodUs / 1000000.0;
    }

    d.samplePeriodUs = m.SamplePeriodUs;
    for (int n : d.channels) {
        d.scale.push_back(m.Scale[n]);
        d.shift.push_back(m.Shift[n]);
    }
    d.units = view.physical ? "physical" : "adc";
    d.smoothing = view.integrationPoints.value_or(1);
    d.xTitle = view.bottomAxisTitle;
    d.yTitle = view.leftAxisTitle;
    for (std::size_t i = 0; i < comment.size(); ++i)
        d.comment += (i > 0 ? "\n" : "") + comment[i];
    d.measuredAt = isoLocalTime(m.MeasuredAt);
    if (m.FromFile)
        d.source = m.FileName;
    return d;
}

std::string isoLocalTime(double measuredAt) {
    if (measuredAt == 0.0 || !std::isfinite(measuredAt))
        return {};
    const LocalDateTime t = decodeMeasuredAt(measuredAt);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

std::optional<std::uint32_t> wavSampleRate(double samplePeriodUs, std::size_t channels) {
    if (channels == 0 || !(samplePeriodUs > 0.0))
        return std::nullopt;
    const double rate = 1000000.0 / samplePeriodUs;
    // The header also holds the bytes per second: rate x channels x 2.
    const double highest =
        static_cast<double>(std::numeric_limits<std::uint32_t>::max() / (2 * channels));
    if (!(rate < highest))
        return std::nullopt;
    const std::int64_t rounded = roundHalfEven(rate);
    if (rounded < 1)
        return std::nullopt;
    return static_cast<std::uint32_t>(rounded);
}

void writeNpyFile(const AnalysisData& d, const std::string& fileName) {
    std::string header = "{'descr': '<f8', 'fortran_order': False, 'shape': (" +
                         std::to_string(d.points) + ", " + std::to_string(d.channels.size()) +
                         "), }";
    // Magic, version 1.0, the header's length and the header, padded with blanks to a
    // multiple of 64 bytes and ended by a line end, so the numbers start aligned.
    const std::size_t prefix = 10;
    header.append(63 - (prefix + header.size()) % 64, ' ');
    header += '\n';
    std::string out("\x93NUMPY\x01\x00", 8);
    putLittleEndian(out, header.size(), 2);
    out += header;
    out.reserve(out.size() + 8 * d.values.size());
    for (double v : d.values) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &v, sizeof bits);
        putLittleEndian(out, bits, 8);
    }
    replaceFileContents(fileName, out.data(), out.size());
}

void writeWavFile(const AnalysisData& d, const std::string& fileName) {
    const std::size_t channels = d.channels.size();
    if (channels == 0)
        refuse(ZARVIK_TR_NOOP("FileError", "Файл %1 не записан: не показан ни один канал."),
               fileName);
    const std::optional<std::uint32_t> rate = wavSampleRate(d.samplePeriodUs, channels);
    if (!rate)
        refuse(ZARVIK_TR_NOOP("FileError", "Файл %1 не записан: частоту выборки измерения "
                                           "нельзя записать в звуковой файл WAV."),
               fileName);
    // The samples of a measurement (a data file holds at most kD8cMaxDataSize bytes, the board
    // less) always fit the header's 32-bit sizes.
    const std::uint64_t dataBytes = 2 * static_cast<std::uint64_t>(d.codes.size());

    std::string out = "RIFF";
    putLittleEndian(out, 36 + dataBytes, 4);
    out += "WAVEfmt ";
    putLittleEndian(out, 16, 4);
    putLittleEndian(out, 1, 2); // integer PCM
    putLittleEndian(out, channels, 2);
    putLittleEndian(out, *rate, 4);
    putLittleEndian(out, *rate * channels * 2, 4);
    putLittleEndian(out, channels * 2, 2);
    putLittleEndian(out, 16, 2);
    out += "data";
    putLittleEndian(out, dataBytes, 4);
    out.reserve(out.size() + dataBytes);
    for (std::uint16_t code : d.codes) {
        // The 12-bit code centred and scaled to the full 16 bits; a word above 4095 (a damaged
        // file) stays at the loudest sample instead of wrapping round.
        const long sample = std::min((static_cast<long>(code) - 2048) * 16, 32767L);
        putLittleEndian(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(sample)), 2);
    }
    replaceFileContents(fileName, out.data(), out.size());
}

AnalysisWriter coreAnalysisWriter(SaveFormat format) {
    switch (format) {
    case SaveFormat::Npy:
        return writeNpyFile;
    case SaveFormat::Wav:
        return writeWavFile;
    default:
        return nullptr;
    }
}

void writeAnalysisExport(TMeasurement& m, const std::string& fileName,
                         const std::vector<std::string>& comment, const ExportView& view,
                         AnalysisWriter write) {
    write(analysisData(m, comment, view), fileName);
    fillSaveHeader(m);
    m.SaveFileName = fileName;
    setLastWriteTime(fileName, m.MeasuredAt);
}

} // namespace zarvik
