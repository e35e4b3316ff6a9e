#include "files/d8cformat.h"

#include "common/cp1251.h"
#include "files/textlines.h"

#include <algorithm>
#include <cstring>

namespace zarvik {
namespace {

const std::string kChannelsPrefix = "Каналы";

std::uint16_t get16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t get32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

double getDouble(const std::uint8_t* p) {
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = bits << 8 | p[i];
    double d = 0.0;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

void put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void putDouble(std::vector<std::uint8_t>& out, double d) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &d, sizeof d);
    for (int i = 0; i < 8; ++i)
        out.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
}

// A title ends at its 0 byte, so one cannot hold a 0 byte of its own: it is cut there rather
// than shifting every field after it.
void putTitle(std::vector<std::uint8_t>& out, const std::string& utf8) {
    const std::string bytes = utf8ToCp1251(utf8);
    const std::size_t len = std::min(bytes.find('\0'), bytes.size());
    out.insert(out.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(len));
    out.push_back(0);
}

class MemorySource : public D8cSource {
public:
    MemorySource(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    std::size_t read(void* to, std::size_t size) override {
        const std::size_t n = std::min(size, m_size - m_pos);
        if (n > 0)
            std::memcpy(to, m_data + m_pos, n);
        m_pos += n;
        return n;
    }
    std::string readToZero() override {
        const std::uint8_t* begin = m_data + m_pos;
        const void* zero = std::memchr(begin, 0, m_size - m_pos);
        const std::size_t len =
            zero ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - begin)
                 : m_size - m_pos;
        m_pos += zero ? len + 1 : len;
        return std::string(reinterpret_cast<const char*>(begin), len);
    }
    std::uint64_t remaining() const override { return m_size - m_pos; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

} // namespace

D8cHeader decodeD8cHeader(const std::uint8_t* bytes) {
    D8cHeader h;
    h.FormatWord = get16(bytes);
    h.FormatByteA = bytes[2];
    h.FormatByteB = bytes[3];
    h.ChannelMask = bytes[4];
    h.DataSize = get32(bytes + 5);
    h.SamplePeriodUs = getDouble(bytes + 9);
    return h;
}

D8cContents readD8c(D8cSource& in) {
    std::uint8_t fixed[kD8cFixedSize];
    const std::size_t got = in.read(fixed, kD8cFixedSize);
    if (got < kD8cHeaderSize)
        throw D8cLoadError(FileError::Kind::NotDataFile, UiText{kNotDataFileMessage}, std::nullopt);
    D8cContents c;
    c.header = decodeD8cHeader(fixed);
    if (!c.header.hasMarker() || got < kD8cFixedSize)
        throw D8cLoadError(FileError::Kind::NotDataFile, UiText{kNotDataFileMessage}, c.header);

    for (int n = 1; n <= kChannels; ++n) {
        c.Scale[n] = getDouble(fixed + kD8cHeaderSize + 8 * (n - 1));
        c.Shift[n] = getDouble(fixed + kD8cHeaderSize + 64 + 8 * (n - 1));
    }
    c.XTitle = cp1251ToUtf8(in.readToZero());
    c.YTitle = cp1251ToUtf8(in.readToZero());

    // Checked before anything is sized from it: DataSize comes from outside.
    if (c.header.DataSize > in.remaining())
        throw D8cLoadError(FileError::Kind::StreamRead, kStreamReadError, c.header);
    if (c.header.DataSize > kD8cMaxDataSize)
        throw D8cLoadError(FileError::Kind::TooLarge, kTooLargeError, c.header);
    c.SampleData.resize(c.header.DataSize);
    if (in.read(c.SampleData.data(), c.SampleData.size()) < c.SampleData.size())
        throw D8cLoadError(FileError::Kind::StreamRead, kStreamReadError, c.header);

    std::string comment(static_cast<std::size_t>(in.remaining()), '\0');
    comment.resize(in.read(comment.data(), comment.size()));
    c.Comment = splitLines(cp1251ToUtf8(comment));
    return c;
}

D8cContents parseD8c(const std::uint8_t* data, std::size_t size) {
    MemorySource in(data, size);
    return readD8c(in);
}

std::optional<std::size_t> d8cCommentOffset(const std::uint8_t* data, std::size_t size) {
    if (size < kD8cFixedSize || !decodeD8cHeader(data).hasMarker())
        return std::nullopt;
    MemorySource in(data + kD8cFixedSize, size - kD8cFixedSize);
    in.readToZero();
    in.readToZero();
    const std::uint32_t samples = decodeD8cHeader(data).DataSize;
    if (samples > in.remaining())
        return std::nullopt;
    return size - static_cast<std::size_t>(in.remaining()) + samples;
}

D8cHeader headerForSave(const TMeasurement& m) {
    D8cHeader h;
    h.FormatWord = m.LegacyFormat ? kFormatLegacy : kFormatCurrent;
    h.FormatByteA = 16;
    h.FormatByteB = 1;
    h.ChannelMask = static_cast<std::uint8_t>(m.ChannelMask & 0xFF);
    h.DataSize = static_cast<std::uint32_t>(m.SampleData.size());
    h.SamplePeriodUs = m.SamplePeriodUs;
    return h;
}

void fillSaveHeader(TMeasurement& m) {
    const D8cHeader h = headerForSave(m);
    m.FormatWord = h.FormatWord;
    m.FormatByteA = h.FormatByteA;
    m.FormatByteB = h.FormatByteB;
    m.DataSize = h.DataSize;
}

std::vector<std::uint8_t> encodeD8c(const TMeasurement& m,
                                    const std::vector<std::string>& comment) {
    const D8cHeader h = headerForSave(m);
    const std::string text = utf8ToCp1251(joinLines(comment));
    std::vector<std::uint8_t> out;
    out.reserve(kD8cFixedSize + m.XTitle.size() + m.YTitle.size() + 2 + m.SampleData.size() +
                text.size());
    put16(out, h.FormatWord);
    out.push_back(h.FormatByteA);
    out.push_back(h.FormatByteB);
    out.push_back(h.ChannelMask);
    put32(out, h.DataSize);
    putDouble(out, h.SamplePeriodUs);
    for (int n = 1; n <= kChannels; ++n)
        putDouble(out, m.Scale[n]);
    for (int n = 1; n <= kChannels; ++n)
        putDouble(out, m.Shift[n]);
    putTitle(out, m.XTitle);
    putTitle(out, m.YTitle);
    out.insert(out.end(), m.SampleData.begin(), m.SampleData.end());
    out.insert(out.end(), text.begin(), text.end());
    return out;
}

std::vector<std::string> prepareSavedComment(const std::vector<std::string>& lines,
                                             const TMeasurement& m,
                                             std::optional<int> integrationPoints) {
    std::vector<std::string> out;
    out.reserve(lines.size() + 1);
    for (const std::string& line : lines) {
        if (line.empty())
            continue;
        // The channel line describes the measurement that was just taken; an old one would
        // pile up with every save.
        if (!m.FromFile && line.compare(0, kChannelsPrefix.size(), kChannelsPrefix) == 0)
            continue;
        out.push_back(line);
    }
    // A file's comment already holds the channel line of its own measurement; the line of a
    // measurement taken earlier in the run would describe other data.
    if (!m.FromFile) {
        std::string channels = m.ChannelsLine;
        if (integrationPoints)
            channels += " просмотр графика выполнялся с интегрированием по " +
                        std::to_string(*integrationPoints) + " точкам";
        if (!channels.empty())
            out.push_back(channels);
    }
    return out;
}

} // namespace zarvik
