#pragma once
// Loading and saving ".d8c" data files, and the quick look at a file's comment that the
// comment browser takes for every file of a folder.
//
// Errors are thrown as FileError (D8cLoadError from a load) with the operator's text; see
// fileerror.h. A failed load or save changes nothing: neither the caller's measurement nor an
// existing file on disk.

#include "common/measurement.h"
#include "files/d8cformat.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace zarvik {

struct LoadedD8c {
    D8cContents contents;
    std::string FileName;    // the file read
    double MeasuredAt = 0.0; // its last-write time
};

// Reads a whole data file. Throws FileError CannotOpen ("Cannot open file %s") or
// D8cLoadError (see parseD8c). A file that is not ours is rejected after its first 17 bytes.
LoadedD8c loadD8cFile(const std::string& fileName);

// Puts a loaded file into the measurement: the header fields, LegacyFormat, Scale, Shift, the
// titles, SampleData, Comment, BlockCount, MeasuredAt, FileName, and FromFile set. The
// channel mask also lands in ChannelMask; the window turns it into the channel boxes.
void applyLoadedD8c(TMeasurement& m, LoadedD8c&& loaded) noexcept;

// Writes the measurement to `fileName` (which must end in ".d8c", else FileError
// UnsupportedExtension and nothing is touched) with `comment`, the memo's lines, prepared by
// prepareSavedComment. `integrationPoints` is the value of seInt while cbInt is checked.
// On success the measurement takes the written header fields, SaveFileName and the comment,
// the file's last-write time becomes MeasuredAt, and the comment as written is returned for
// the memo. Errors: see replaceFileContents.
std::vector<std::string> saveD8cFile(TMeasurement& m, const std::string& fileName,
                                     const std::vector<std::string>& comment,
                                     std::optional<int> integrationPoints);

// What the comment browser shows of a file, read without touching its sample block.
struct D8cSummary {
    enum class Status {
        Ok,
        CannotOpen, // passed over
        NotDataFile // shorter than a header, or the marker byte is not 4
    };
    Status status = Status::Ok;
    D8cHeader header;
    std::string XTitle; // UTF-8
    std::string YTitle;
    std::vector<std::string> Comment;
};

// Reads the header, skips the calibration, reads the two titles and seeks over the sample
// block to read the comment. A file that ends early gives empty titles or an empty comment.
D8cSummary scanD8c(std::istream& in);
D8cSummary scanD8cFile(const std::string& fileName);

} // namespace zarvik
