// The index of the history of measurements is read from whatever the disk holds: any bytes
// read as a journal, in steps of any size, give measurements that are written back and read
// again unchanged.

#include "history/historyindex.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::vector<zarvik::HistoryEntry> readAll(const std::string& text, std::size_t step) {
    zarvik::HistoryIndexReader reader(text);
    std::vector<zarvik::HistoryEntry> found;
    while (reader.isIndex() &&
           !reader.read(step, [&](zarvik::HistoryEntry&& e) { found.push_back(std::move(e)); })) {
    }
    return found;
}

bool sameNumber(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

bool same(const zarvik::HistoryEntry& a, const zarvik::HistoryEntry& b) {
    return a.name == b.name && sameNumber(a.measuredAt, b.measuredAt) &&
           sameNumber(a.samplePeriodUs, b.samplePeriodUs) && a.channelMask == b.channelMask &&
           a.dataSize == b.dataSize && a.zeroRun == b.zeroRun && a.pinned == b.pinned &&
           a.savedAs == b.savedAs && a.comment == b.comment && a.fileBytes == b.fileBytes &&
           a.fileTime == b.fileTime && a.otherFields == b.otherFields;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::vector<zarvik::HistoryEntry> found = readAll(text, 1 + size % 7);
    std::string again = std::string(zarvik::kHistoryIndexHeader) + "\n";
    for (auto it = found.rbegin(); it != found.rend(); ++it)
        again += zarvik::historyRecord(*it);
    const std::vector<zarvik::HistoryEntry> back = readAll(again, 100);
    if (back.size() != found.size())
        std::abort();
    for (std::size_t i = 0; i < found.size(); ++i)
        if (!same(found[i], back[i]))
            std::abort();
    return 0;
}
