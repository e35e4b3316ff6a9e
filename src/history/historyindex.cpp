#include "history/historyindex.h"

#include "files/filetime.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace zarvik {
namespace {

const std::string kZeroRunMark = "_zero";
const std::string kExtension = ".d8c";

std::string escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string unescaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
    return out;
}

template <class T> std::string number(T value) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

template <class T> T parsed(const std::string& text) {
    T value{};
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    if (text.empty())
        return lines;
    std::size_t from = 0;
    for (std::size_t to; (to = text.find('\n', from)) != std::string::npos; from = to + 1)
        lines.push_back(text.substr(from, to - from));
    lines.push_back(text.substr(from));
    return lines;
}

// "3/10": number 3 of a series of 10 (0: until stopped).
void parseSeries(const std::string& value, HistoryEntry& e) {
    const std::size_t slash = value.find('/');
    e.seriesNumber = parsed<int>(value.substr(0, slash));
    e.seriesCount = slash == std::string::npos ? 0 : parsed<int>(value.substr(slash + 1));
}

std::string seriesField(const HistoryEntry& e) {
    return number(e.seriesNumber) + "/" + number(e.seriesCount);
}

// "packets,repeats,bad checksums,fragments,stalls,transfer ms,line ms".
TransferFigures parseLink(const std::string& value) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t to; (to = value.find(',', from)) != std::string::npos; from = to + 1)
        parts.push_back(value.substr(from, to - from));
    parts.push_back(value.substr(from));
    parts.resize(7);
    TransferFigures f;
    f.packets = parsed<int>(parts[0]);
    f.repeats = parsed<int>(parts[1]);
    f.badChecksums = parsed<int>(parts[2]);
    f.fragments = parsed<int>(parts[3]);
    f.stalls = parsed<int>(parts[4]);
    f.transferMs = parsed<double>(parts[5]);
    f.lineMs = parsed<double>(parts[6]);
    return f;
}

std::string linkField(const TransferFigures& f) {
    return number(f.packets) + "," + number(f.repeats) + "," + number(f.badChecksums) + "," +
           number(f.fragments) + "," + number(f.stalls) + "," + number(f.transferMs) + "," +
           number(f.lineMs);
}

HistoryEntry entryOf(const std::string& name, std::vector<HistoryField>&& fields) {
    HistoryEntry e;
    e.name = name;
    for (auto& [key, value] : fields) {
        if (key == "time")
            e.measuredAt = parsed<double>(value);
        else if (key == "mask")
            e.channelMask = static_cast<std::uint8_t>(parsed<unsigned>(value));
        else if (key == "period")
            e.samplePeriodUs = parsed<double>(value);
        else if (key == "data")
            e.dataSize = parsed<std::uint32_t>(value);
        else if (key == "zero")
            e.zeroRun = value == "1";
        else if (key == "pinned")
            e.pinned = value == "1";
        else if (key == "saved")
            e.savedAs = std::move(value);
        else if (key == "comment")
            e.comment = linesOf(value);
        else if (key == "bytes")
            e.fileBytes = parsed<std::uint64_t>(value);
        else if (key == "mtime")
            e.fileTime = parsed<std::int64_t>(value);
        else if (key == "series")
            parseSeries(value, e);
        else if (key == "link")
            e.link = parseLink(value);
        else if (key != "deleted")
            e.otherFields.emplace_back(key, std::move(value));
    }
    return e;
}

} // namespace

double HistoryEntry::durationSeconds() const {
    const int n = channels();
    return n == 0 ? 0.0
                  : static_cast<double>(samples() / static_cast<std::uint32_t>(n)) *
                        samplePeriodUs / 1e6;
}

std::string historyFlag(bool on) {
    return on ? "1" : "0";
}

std::string historyText(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i)
        text += (i > 0 ? "\n" : "") + lines[i];
    return text;
}

std::string historyRecord(const std::string& name, const std::vector<HistoryField>& fields) {
    std::string line = escaped(name);
    for (const auto& [key, value] : fields)
        line += '\t' + key + '=' + escaped(value);
    return line + '\n';
}

std::string historyRecord(const HistoryEntry& e) {
    std::vector<HistoryField> fields = {{"time", number(e.measuredAt)},
                                        {"mask", number(unsigned{e.channelMask})},
                                        {"period", number(e.samplePeriodUs)},
                                        {"data", number(e.dataSize)},
                                        {"zero", historyFlag(e.zeroRun)},
                                        {"pinned", historyFlag(e.pinned)},
                                        {"saved", e.savedAs},
                                        {"comment", historyText(e.comment)},
                                        {"bytes", number(e.fileBytes)},
                                        {"mtime", number(e.fileTime)}};
    if (e.seriesNumber > 0)
        fields.emplace_back("series", seriesField(e));
    if (e.link)
        fields.emplace_back("link", linkField(*e.link));
    fields.insert(fields.end(), e.otherFields.begin(), e.otherFields.end());
    return historyRecord(e.name, fields);
}

HistoryIndexReader::HistoryIndexReader(std::string text) : m_text(std::move(text)) {
    const std::size_t first = m_text.find('\n');
    std::string_view header(m_text.data(), std::min(first, m_text.size()));
    if (!header.empty() && header.back() == '\r')
        header.remove_suffix(1);
    m_isIndex = first != std::string::npos && header == kHistoryIndexHeader;
    if (!m_isIndex)
        return;
    m_begin = first + 1;
    // A line without its end is one a writer did not finish.
    m_end = m_text.rfind('\n') + 1;
}

bool HistoryIndexReader::read(std::size_t records, const std::function<void(HistoryEntry&&)>& found,
                              const std::unordered_set<std::string>& skip) {
    for (; records > 0 && m_end > m_begin; --records) {
        const std::size_t lineEnd = m_end - 1;
        const std::size_t before = lineEnd > m_begin ? m_text.rfind('\n', lineEnd - 1) : 0;
        const std::size_t lineBegin =
            before == std::string::npos || before < m_begin ? m_begin : before + 1;
        std::string_view line(m_text.data() + lineBegin, lineEnd - lineBegin);
        m_end = lineBegin;
        ++m_records;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);

        const std::size_t tab = std::min(line.find('\t'), line.size());
        const std::string name = unescaped(line.substr(0, tab));
        if (name.empty() || m_done.count(name) > 0 || skip.count(name) > 0)
            continue;
        std::vector<HistoryField>& fields = m_newer[name];
        bool describes = false;
        for (std::size_t at = tab; at < line.size();) {
            const std::size_t next = std::min(line.find('\t', at + 1), line.size());
            const std::string_view cell = line.substr(at + 1, next - at - 1);
            at = next;
            const std::size_t eq = cell.find('=');
            if (eq == std::string_view::npos)
                continue;
            std::string key(cell.substr(0, eq));
            describes = describes || key == "time";
            const bool known = std::any_of(fields.begin(), fields.end(),
                                           [&](const HistoryField& f) { return f.first == key; });
            if (!known)
                fields.emplace_back(std::move(key), unescaped(cell.substr(eq + 1)));
        }
        if (!describes)
            continue;
        const bool deleted = std::any_of(fields.begin(), fields.end(), [](const HistoryField& f) {
            return f.first == "deleted" && f.second == "1";
        });
        HistoryEntry entry = entryOf(name, std::move(fields));
        m_newer.erase(name);
        m_done.insert(name);
        if (!deleted)
            found(std::move(entry));
    }
    return m_end <= m_begin;
}

std::string historyFileName(double measuredAt, bool zeroRun, int sequence) {
    const LocalDateTime t = decodeMeasuredAt(measuredAt);
    char stamp[40];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d_%02d-%02d-%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    std::string name = stamp;
    if (sequence > 1)
        name += "_" + std::to_string(sequence);
    if (zeroRun)
        name += kZeroRunMark;
    return name + kExtension;
}

bool isZeroRunName(std::string_view name) {
    const std::string tail = kZeroRunMark + kExtension;
    return name.size() >= tail.size() && name.substr(name.size() - tail.size()) == tail;
}

} // namespace zarvik
