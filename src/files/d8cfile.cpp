#include "files/d8cfile.h"

#include "common/cp1251.h"
#include "files/atomicfile.h"
#include "files/filetime.h"
#include "files/saveformat.h"
#include "files/textlines.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

namespace zarvik {
namespace {

std::ifstream openForReading(const std::string& fileName) {
    const std::filesystem::path path = std::filesystem::u8path(fileName);
    std::error_code ec;
    std::ifstream in;
    if (!std::filesystem::is_directory(path, ec))
        in.open(path, std::ios::binary);
    return in;
}

// Reads up to `size` bytes; fewer only at the end of the stream.
std::size_t readUpTo(std::istream& in, std::uint8_t* to, std::size_t size) {
    in.read(reinterpret_cast<char*>(to), static_cast<std::streamsize>(size));
    return static_cast<std::size_t>(in.gcount());
}

std::string readToZero(std::istream& in, std::uint64_t& count) {
    std::string bytes;
    std::streambuf* buf = in.rdbuf();
    for (;;) {
        const auto c = buf->sbumpc();
        if (c == std::char_traits<char>::eof())
            break;
        ++count;
        if (c == 0)
            break;
        bytes.push_back(static_cast<char>(c));
    }
    return bytes;
}

// A file opened for reading, of the size it had when it was opened.
class StreamSource : public D8cSource {
public:
    StreamSource(std::istream& in, std::uint64_t size) : m_in(in), m_size(size) {}

    std::size_t read(void* to, std::size_t size) override {
        const std::size_t n = readUpTo(m_in, static_cast<std::uint8_t*>(to), size);
        m_pos += n;
        return n;
    }
    std::string readToZero() override { return zarvik::readToZero(m_in, m_pos); }
    std::uint64_t remaining() const override { return m_size > m_pos ? m_size - m_pos : 0; }

private:
    std::istream& m_in;
    std::uint64_t m_size;
    std::uint64_t m_pos = 0;
};

} // namespace

LoadedD8c loadD8cFile(const std::string& fileName) {
    std::ifstream in = openForReading(fileName);
    if (!in.is_open())
        throw FileError(FileError::Kind::CannotOpen, "Cannot open file " + fileName);
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (size < 0 || !in)
        throw FileError(FileError::Kind::CannotOpen, "Cannot open file " + fileName);

    StreamSource source(in, static_cast<std::uint64_t>(size));
    LoadedD8c loaded;
    loaded.contents = readD8c(source);
    loaded.FileName = fileName;
    loaded.MeasuredAt = lastWriteTime(fileName).value_or(0.0);
    return loaded;
}

void applyLoadedD8c(TMeasurement& m, LoadedD8c&& loaded) noexcept {
    D8cContents& c = loaded.contents;
    m.FormatWord = c.header.FormatWord;
    m.FormatByteA = c.header.FormatByteA;
    m.FormatByteB = c.header.FormatByteB;
    m.ChannelMask = c.header.ChannelMask;
    m.DataSize = c.header.DataSize;
    m.SamplePeriodUs = c.header.SamplePeriodUs;
    m.LegacyFormat = c.header.FormatWord <= 0x00FF;
    m.Scale = c.Scale;
    m.Shift = c.Shift;
    m.XTitle = std::move(c.XTitle);
    m.YTitle = std::move(c.YTitle);
    // A sample block larger than the board's memory must not wrap the block count around.
    m.BlockCount = static_cast<std::int16_t>(std::min<std::uint32_t>(
        c.header.DataSize / kBytesPerBlock, std::numeric_limits<std::int16_t>::max()));
    m.SampleData = std::move(c.SampleData);
    m.Comment = std::move(c.Comment);
    m.FromFile = true;
    m.MeasuredAt = loaded.MeasuredAt;
    m.FileName = std::move(loaded.FileName);
}

std::vector<std::string> saveD8cFile(TMeasurement& m, const std::string& fileName,
                                     const std::vector<std::string>& comment,
                                     std::optional<int> integrationPoints) {
    if (saveFormatFor(fileName) != SaveFormat::DataFile)
        throw FileError(FileError::Kind::UnsupportedExtension,
                        unsupportedExtensionMessage(fileName));
    std::vector<std::string> written = prepareSavedComment(comment, m, integrationPoints);
    const std::vector<std::uint8_t> image = encodeD8c(m, written);
    replaceFileContents(fileName, image.data(), image.size());

    fillSaveHeader(m);
    m.SaveFileName = fileName;
    m.Comment = written;
    setLastWriteTime(fileName, m.MeasuredAt);
    return written;
}

D8cSummary scanD8c(std::istream& in) {
    D8cSummary s;
    std::uint8_t head[kD8cHeaderSize];
    if (readUpTo(in, head, kD8cHeaderSize) < kD8cHeaderSize) {
        s.status = D8cSummary::Status::NotDataFile;
        return s;
    }
    s.header = decodeD8cHeader(head);
    if (!s.header.hasMarker()) {
        s.status = D8cSummary::Status::NotDataFile;
        return s;
    }
    in.seekg(0, std::ios::end);
    const std::streamoff end = in.tellg();
    if (end < static_cast<std::streamoff>(kD8cFixedSize))
        return s;
    in.seekg(static_cast<std::streamoff>(kD8cFixedSize), std::ios::beg);
    std::uint64_t titles = 0;
    s.XTitle = cp1251ToUtf8(readToZero(in, titles));
    s.YTitle = cp1251ToUtf8(readToZero(in, titles));
    in.clear();
    const std::streamoff samples = in.tellg();
    if (samples < 0 || end - samples <= static_cast<std::streamoff>(s.header.DataSize))
        return s;
    in.seekg(samples + static_cast<std::streamoff>(s.header.DataSize), std::ios::beg);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    s.Comment = splitLines(cp1251ToUtf8(text));
    return s;
}

D8cSummary scanD8cFile(const std::string& fileName) {
    std::ifstream in = openForReading(fileName);
    if (!in.is_open()) {
        D8cSummary s;
        s.status = D8cSummary::Status::CannotOpen;
        return s;
    }
    return scanD8c(in);
}

} // namespace zarvik
