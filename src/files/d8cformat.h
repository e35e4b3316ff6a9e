#pragma once
// The ".d8c" data file as bytes: a 17-byte header, the eight scales and eight shifts, two
// zero-terminated titles, the sample block of DataSize bytes and the comment up to the end of
// the file. Little-endian, packed; texts in Windows-1251 (UTF-8 in memory).

#include "common/measurement.h"
#include "files/fileerror.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zarvik {

constexpr std::size_t kD8cHeaderSize = 17;
constexpr std::size_t kD8cFixedSize = 145; // header, Scale[1..8], Shift[1..8]
constexpr std::uint8_t kD8cMarker = 4;     // low byte of FormatWord
// The board never writes more than 480000 bytes of samples. A file may hold seventy times as
// many, 32 MiB or 16.7 million samples, whose lines (eight bytes a point) still fit in memory
// and draw; a larger sample block is refused before it is read.
constexpr std::uint32_t kD8cMaxDataSize = 32u * 1024 * 1024;

inline const UiSource kNotDataFileMessage =
    ZARVIK_TR_NOOP("FileError", "Приложение открывает файлы *.d8c, записанные АЦП.");
inline const std::string kStreamReadError = "Stream read error";
inline const std::string kTooLargeError = "Sample block too large";

struct D8cHeader {
    std::uint16_t FormatWord = kFormatCurrent;
    std::uint8_t FormatByteA = 16;
    std::uint8_t FormatByteB = 1;
    std::uint8_t ChannelMask = 0;
    std::uint32_t DataSize = 0;
    double SamplePeriodUs = 0.0;

    bool hasMarker() const { return (FormatWord & 0xFF) == kD8cMarker; }
};

// A load that got as far as the 17 header bytes carries them, so that the window can show
// the sampling frequency of a rejected file as well.
class D8cLoadError : public FileError {
public:
    D8cLoadError(Kind kind, const std::string& text, std::optional<D8cHeader> header)
        : FileError(kind, text), m_header(header) {}
    D8cLoadError(Kind kind, const UiText& text, std::optional<D8cHeader> header)
        : FileError(kind, text), m_header(header) {}

    const std::optional<D8cHeader>& header() const { return m_header; }

private:
    std::optional<D8cHeader> m_header;
};

// Everything a data file holds.
struct D8cContents {
    D8cHeader header;
    ChannelValues Scale{};
    ChannelValues Shift{};
    std::string XTitle; // UTF-8
    std::string YTitle;
    std::vector<std::uint8_t> SampleData;
    std::vector<std::string> Comment; // UTF-8 lines
};

// `bytes` holds at least kD8cHeaderSize bytes.
D8cHeader decodeD8cHeader(const std::uint8_t* bytes);

// Where a data file is read from: an open file, or bytes in memory.
class D8cSource {
public:
    virtual ~D8cSource() = default;
    // Reads up to `size` bytes; fewer only at the end.
    virtual std::size_t read(void* to, std::size_t size) = 0;
    // The bytes up to the next 0 byte, which is consumed; or up to the end.
    virtual std::string readToZero() = 0;
    virtual std::uint64_t remaining() const = 0;
};

// Reads a whole data file. All or nothing: throws D8cLoadError with kNotDataFileMessage
// (kind NotDataFile) when the marker byte is not 4 or the file ends inside the fixed part,
// with kStreamReadError (kind StreamRead) when DataSize is more than the file holds after the
// titles, and with kTooLargeError (kind TooLarge) when it is more than kD8cMaxDataSize. A
// title without its 0 byte runs to the end of the file.
D8cContents readD8c(D8cSource& in);
// The same on a file image in memory.
D8cContents parseD8c(const std::uint8_t* data, std::size_t size);

// Where the comment of a whole file image begins (the comment runs to its end); nothing when
// the image is not a data file or ends before its sample block does.
std::optional<std::size_t> d8cCommentOffset(const std::uint8_t* data, std::size_t size);

// The header a save writes: FormatWord 4, or 0x8004 unless the data are in the older format;
// the low byte of ChannelMask; DataSize from SampleData.
D8cHeader headerForSave(const TMeasurement& m);

// Every save, whatever its format, leaves these header fields in the measurement.
void fillSaveHeader(TMeasurement& m);

// The file image of the measurement with the given comment lines (UTF-8).
std::vector<std::uint8_t> encodeD8c(const TMeasurement& m, const std::vector<std::string>& comment);

// The comment as a save writes it (and as the memo shows it afterwards). For a fresh
// measurement every line beginning with "Каналы" is replaced by one `ChannelsLine`, with the
// note on the smoothing of the view when `integrationPoints` is given; a measurement read
// from a file keeps its own lines. Empty lines are dropped.
std::vector<std::string> prepareSavedComment(const std::vector<std::string>& lines,
                                             const TMeasurement& m,
                                             std::optional<int> integrationPoints);

} // namespace zarvik
