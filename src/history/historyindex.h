#pragma once
// The history of measurements is a folder of ".d8c" files, one a measurement, and an index
// beside them, so that the history can be listed without opening a file. The index is a
// journal of UTF-8 lines: the first names the format, every other one is a record of a
// measurement, its file name followed by keyed fields separated by TAB,
//
//   2024-05-14_09-31-02.d8c  time=45426.396550925925  mask=255  period=488.28125  ...
//   2024-05-14_09-31-02.d8c  pinned=1
//   2024-05-13_17-02-40.d8c  deleted=1
//
// A record with "time" describes the measurement whole (it is written when the measurement
// comes, and again whenever the journal is rewritten short); any other record changes the
// fields it names. The newest value of a field wins. A reader keeps fields it does not know
// and writes them back when it rewrites the journal, so that later versions can add fields.

#include "common/measurement.h"
#include "device/linkfigures.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace zarvik {

inline constexpr char kHistoryIndexName[] = "history-index.txt";
inline constexpr char kHistoryIndexHeader[] = "Zarvik measurement history\t1";

struct HistoryEntry {
    std::string name; // the file's name in the history folder
    double measuredAt = 0.0;
    std::uint8_t channelMask = 0;
    double samplePeriodUs = 0.0;
    std::uint32_t dataSize = 0;
    bool zeroRun = false; // a zero-level run's measurement
    bool pinned = false;  // never pruned
    std::string savedAs;  // where the operator last saved it, with its folder
    std::vector<std::string> comment;
    // Its number in a series of measurements, 0 for none; the series' count, 0 until stopped.
    int seriesNumber = 0;
    int seriesCount = 0;
    // What its transfer cost on the line, for a measurement that came from the board.
    std::optional<TransferFigures> link;
    // The file as last written or read, to tell a file changed since.
    std::uint64_t fileBytes = 0;
    std::int64_t fileTime = 0; // its last-write time in the file system's own ticks
    std::vector<std::pair<std::string, std::string>> otherFields; // of later versions

    int channels() const { return channelsInMask(channelMask); }
    // Sample words of all channels, as the operator's sample count counts them.
    std::uint32_t samples() const { return dataSize / 2; }
    double frequencyHz() const { return samplePeriodUs > 0 ? 1e6 / samplePeriodUs : 0.0; }
    double durationSeconds() const;
};

// One field of a record and its text.
using HistoryField = std::pair<std::string, std::string>;

// The record that describes the entry whole.
std::string historyRecord(const HistoryEntry& e);
// A record that changes the given fields of the named entry.
std::string historyRecord(const std::string& name, const std::vector<HistoryField>& fields);
// The field texts of values.
std::string historyFlag(bool on);
std::string historyText(const std::vector<std::string>& lines);

// Reads a journal from its newest record back, so that the newest measurements are known
// first and a window can show them before the rest is read.
class HistoryIndexReader {
public:
    // `text` is the whole index file.
    explicit HistoryIndexReader(std::string text);

    // False when the text does not begin with the index's first line.
    bool isIndex() const { return m_isIndex; }
    // Reads up to `records` more lines; `found` receives each measurement whose describing
    // record has been reached, newest first, with every newer change applied. True when the
    // whole journal is read. `skip` names measurements known already.
    bool read(std::size_t records, const std::function<void(HistoryEntry&&)>& found,
              const std::unordered_set<std::string>& skip = {});
    std::size_t recordsRead() const { return m_records; }

private:
    std::string m_text;
    std::size_t m_end = 0;   // the unread lines end here
    std::size_t m_begin = 0; // and begin here, after the first line
    bool m_isIndex = false;
    std::size_t m_records = 0;
    // Fields met so far of measurements whose describing record is still to come.
    std::unordered_map<std::string, std::vector<HistoryField>> m_newer;
    std::unordered_set<std::string> m_done;
};

// The name of a measurement's file: its date and time (local, as its file time), so that the
// names sort as the measurements were taken, and the file is valid on every file system;
// `sequence` above 1 tells apart measurements of the same second, and a zero-level run's
// measurement is marked.
std::string historyFileName(double measuredAt, bool zeroRun, int sequence);
// Whether a name carries the zero-level run's mark.
bool isZeroRunName(std::string_view name);

} // namespace zarvik
