#include "history/historystore.h"

#include "common/cp1251.h"
#include "files/atomicfile.h"
#include "files/d8cfile.h"
#include "files/d8cformat.h"
#include "files/filetime.h"
#include "files/textlines.h"
#include "view/chartbuild.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace zarvik {
namespace fs = std::filesystem;
namespace {

// The file as the writer left it, for the index.
HistoryWriteResult statOf(const fs::path& file) {
    HistoryWriteResult r;
    std::error_code ec;
    r.fileBytes = fs::file_size(file, ec);
    r.fileTime =
        static_cast<std::int64_t>(fs::last_write_time(file, ec).time_since_epoch().count());
    return r;
}

void appendToIndex(const fs::path& folder, const std::string& line) {
    const fs::path index = folder / kHistoryIndexName;
    std::error_code ec;
    const bool fresh = !fs::exists(index, ec) || fs::file_size(index, ec) == 0;
    std::ofstream out(index, std::ios::binary | std::ios::app);
    if (fresh)
        out << kHistoryIndexHeader << '\n';
    out << line;
    out.close();
    if (!out)
        throw FileError(FileError::Kind::WriteFailed, "Unable to write to " + index.u8string());
}

std::vector<std::uint8_t> readWhole(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw FileError(FileError::Kind::CannotOpen, "Cannot open file " + file.u8string());
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>());
}

bool isDataFileName(const fs::path& file) {
    std::string extension = file.extension().u8string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".d8c";
}

} // namespace

HistoryShot historyShot(const TMeasurement& m, std::uint8_t checkedMask, int timeUnit,
                        const std::vector<std::string>& memoLines,
                        std::optional<int> integrationPoints) {
    // What the build sets in the measurement besides its lines.
    TMeasurement built = m;
    built.ChannelMask = checkedMask;
    if (!built.FromFile) {
        built.Scale = built.ScaleK;
        built.Shift = built.ShiftScl;
    }
    built.XTitle =
        kTimeTitles[static_cast<std::size_t>(std::clamp(timeUnit, 0, kTimeUnitCount - 1))].text;

    HistoryShot shot;
    shot.entry.measuredAt = m.MeasuredAt;
    shot.entry.channelMask = checkedMask;
    shot.entry.samplePeriodUs = m.SamplePeriodUs;
    shot.entry.dataSize = static_cast<std::uint32_t>(m.SampleData.size());
    shot.entry.zeroRun = m.ZeroRun;
    shot.entry.comment = prepareSavedComment(memoLines, built, integrationPoints);
    // What the file will take, near enough to count the space until it is written.
    shot.entry.fileBytes = kD8cFixedSize + built.XTitle.size() + built.YTitle.size() + 2 +
                           m.SampleData.size() + historyText(shot.entry.comment).size();
    shot.measurement = std::move(built);
    return shot;
}

HistoryStore::HistoryStore(fs::path folder, HistoryWriter& writer)
    : m_folder(std::move(folder)), m_writer(writer) {}

fs::path HistoryStore::pathOf(const std::string& name) const {
    return m_folder / fs::u8path(name);
}

std::optional<std::size_t> HistoryStore::rowOf(const std::string& name) const {
    const HistoryEntry* e = find(name);
    for (std::size_t row = 0; e && row < m_rows.size(); ++row)
        if (m_rows[row].get() == e)
            return row;
    return std::nullopt;
}

const HistoryEntry* HistoryStore::find(const std::string& name) const {
    const auto it = m_byName.find(name);
    return it == m_byName.end() ? nullptr : it->second;
}

HistoryEntry* HistoryStore::findEntry(const std::string& name) {
    const auto it = m_byName.find(name);
    return it == m_byName.end() ? nullptr : it->second;
}

std::uint64_t HistoryStore::totalBytes() const {
    std::uint64_t total = 0;
    for (const auto& e : m_rows)
        total += e->fileBytes;
    return total;
}

void HistoryStore::insert(std::size_t row, std::unique_ptr<HistoryEntry> entry) {
    if (m_observer)
        m_observer->aboutToInsert(row, 1);
    m_byName[entry->name] = entry.get();
    m_rows.insert(m_rows.begin() + static_cast<std::ptrdiff_t>(row), std::move(entry));
    if (m_observer)
        m_observer->inserted();
}

void HistoryStore::erase(const std::string& name) {
    const std::optional<std::size_t> row = rowOf(name);
    if (!row)
        return;
    if (m_observer)
        m_observer->aboutToRemove(*row);
    m_byName.erase(name);
    m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(*row));
    if (m_observer)
        m_observer->removed();
}

void HistoryStore::changed(const std::string& name) {
    if (m_checking)
        m_touched.insert(name);
    if (const std::optional<std::size_t> row = rowOf(name); row && m_observer)
        m_observer->changed(*row);
}

void HistoryStore::record(std::string line) {
    ++m_records;
    m_writer.run([folder = m_folder, line = std::move(line)] {
        appendToIndex(folder, line);
        return HistoryWriteResult{};
    });
}

std::uint64_t HistoryStore::write(const std::string& name, HistoryWriter::Job job,
                                  bool dropOnFailure) {
    ++m_pending[name];
    ++m_records;
    return m_writer.run(std::move(job), [this, name, dropOnFailure](const HistoryWriteResult& r) {
        if (--m_pending[name] == 0)
            m_pending.erase(name);
        if (!r.ok) {
            if (dropOnFailure)
                erase(name);
            if (writeFailed)
                writeFailed(r.error);
            return;
        }
        if (HistoryEntry* e = findEntry(name)) {
            e->fileBytes = r.fileBytes;
            e->fileTime = r.fileTime;
        }
    });
}

bool HistoryStore::loadStep(std::size_t records) {
    if (m_loaded)
        return true;
    if (!m_reader) {
        std::ifstream in(m_folder / kHistoryIndexName, std::ios::binary);
        std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        m_reader = std::make_unique<HistoryIndexReader>(std::move(text));
        // Not ours, or none: the check rebuilds the list from the files and writes it anew.
        m_rewriteIndex = !m_reader->isIndex();
    }
    std::vector<std::unique_ptr<HistoryEntry>> found;
    const bool done = !m_reader->isIndex() ||
                      m_reader->read(
                          records,
                          [&](HistoryEntry&& e) {
                              found.push_back(std::make_unique<HistoryEntry>(std::move(e)));
                          },
                          m_addedBeforeLoad);
    if (!found.empty()) {
        if (m_observer)
            m_observer->aboutToInsert(m_rows.size(), found.size());
        for (auto& e : found) {
            m_byName[e->name] = e.get();
            m_rows.push_back(std::move(e));
        }
        if (m_observer)
            m_observer->inserted();
    }
    if (done) {
        m_records += m_reader->recordsRead();
        m_reader.reset();
        m_addedBeforeLoad.clear();
        m_loaded = true;
    }
    return done;
}

void HistoryStore::load() {
    while (!loadStep(4096)) {
    }
}

std::string HistoryStore::add(HistoryShot shot) {
    auto entry = std::make_unique<HistoryEntry>(std::move(shot.entry));
    for (int sequence = 1;; ++sequence) {
        entry->name = historyFileName(entry->measuredAt, entry->zeroRun, sequence);
        std::error_code ec;
        if (!m_byName.count(entry->name) && !m_pending.count(entry->name) &&
            !fs::exists(pathOf(entry->name), ec))
            break;
    }
    const std::string name = entry->name;
    if (!m_loaded)
        m_addedBeforeLoad.insert(name);
    if (m_checking)
        m_touched.insert(name);
    HistoryEntry described = *entry;
    insert(0, std::move(entry));

    // The file is under its name before it is flushed: a program killed from then on has
    // lost nothing, and the drawing need not wait for the disk.
    m_lastAdded = write(
        name,
        [folder = m_folder, file = pathOf(name), measurement = std::move(shot.measurement),
         described = std::move(described), writer = &m_writer]() mutable {
            const std::vector<std::uint8_t> image = encodeD8c(measurement, described.comment);
            std::error_code ec;
            fs::create_directories(folder, ec);
            publishFileContents(
                file.u8string(), image.data(), image.size(),
                [&](const std::string& temporary) {
                    setLastWriteTime(temporary, described.measuredAt);
                },
                [writer] { writer->published(); });
            const HistoryWriteResult r = statOf(file);
            described.fileBytes = r.fileBytes;
            described.fileTime = r.fileTime;
            appendToIndex(folder, historyRecord(described));
            return r;
        },
        true);
    return name;
}

void HistoryStore::setComment(const std::string& name, const std::vector<std::string>& comment) {
    HistoryEntry* e = findEntry(name);
    if (!e)
        return;
    e->comment = comment;
    changed(name);
    // Only the comment at the end of the file changes; the samples and the header stay as
    // they were written, whatever the window shows by now.
    write(
        name,
        [folder = m_folder, file = pathOf(name), name, measuredAt = e->measuredAt,
         text = utf8ToCp1251(joinLines(comment)), lines = historyText(comment)] {
            std::vector<std::uint8_t> bytes = readWhole(file);
            const std::optional<std::size_t> at = d8cCommentOffset(bytes.data(), bytes.size());
            if (!at)
                throw FileError(FileError::Kind::WriteFailed,
                                "Unable to write to " + file.u8string());
            bytes.resize(*at);
            bytes.insert(bytes.end(), text.begin(), text.end());
            replaceFileContents(
                file.u8string(), bytes.data(), bytes.size(),
                [&](const std::string& temporary) { setLastWriteTime(temporary, measuredAt); });
            const HistoryWriteResult r = statOf(file);
            appendToIndex(folder, historyRecord(name, {{"comment", lines},
                                                       {"bytes", std::to_string(r.fileBytes)},
                                                       {"mtime", std::to_string(r.fileTime)}}));
            return r;
        },
        false);
}

void HistoryStore::setPinned(const std::string& name, bool pinned) {
    HistoryEntry* e = findEntry(name);
    if (!e || e->pinned == pinned)
        return;
    e->pinned = pinned;
    changed(name);
    record(historyRecord(name, {{"pinned", historyFlag(pinned)}}));
}

void HistoryStore::setSavedAs(const std::string& name, const std::string& savedAs) {
    HistoryEntry* e = findEntry(name);
    if (!e || e->savedAs == savedAs)
        return;
    e->savedAs = savedAs;
    changed(name);
    record(historyRecord(name, {{"saved", savedAs}}));
}

void HistoryStore::remove(const std::string& name) {
    if (!findEntry(name))
        return;
    erase(name);
    write(
        name,
        [folder = m_folder, file = pathOf(name), name] {
            std::error_code ec;
            if (!fs::remove(file, ec) && ec)
                throw FileError(FileError::Kind::WriteFailed,
                                "Unable to write to " + file.u8string());
            appendToIndex(folder, historyRecord(name, {{"deleted", "1"}}));
            return HistoryWriteResult{};
        },
        false);
}

std::vector<std::string> HistoryStore::overLimit(std::uint64_t limitBytes,
                                                 const std::string& keep) const {
    std::uint64_t total = totalBytes();
    std::vector<std::string> names;
    for (auto it = m_rows.rbegin(); it != m_rows.rend() && total > limitBytes; ++it) {
        const HistoryEntry& e = **it;
        if (e.pinned || e.name == keep)
            continue;
        names.push_back(e.name);
        total -= std::min(total, e.fileBytes);
    }
    return names;
}

void HistoryStore::startCheck() {
    load();
    std::error_code ec;
    m_listing = fs::directory_iterator(m_folder, fs::directory_options::skip_permission_denied, ec);
    if (ec)
        m_listing = fs::directory_iterator();
    m_listed.clear();
    m_touched.clear();
    m_checking = true;
}

bool HistoryStore::checkStep(std::size_t files) {
    if (!m_checking)
        return true;
    std::error_code ec;
    for (; files > 0 && m_listing != fs::directory_iterator(); --files) {
        const fs::directory_entry file = *m_listing;
        m_listing.increment(ec);
        if (ec)
            m_listing = fs::directory_iterator();
        checkFile(file);
    }
    if (m_listing != fs::directory_iterator())
        return false;
    finishCheck();
    return true;
}

bool HistoryStore::checkFile(const fs::directory_entry& file) {
    std::error_code ec;
    if (!file.is_regular_file(ec) || !isDataFileName(file.path()))
        return false;
    const std::string name = file.path().filename().u8string();
    m_listed.insert(name);
    if (m_pending.count(name))
        return false;
    HistoryEntry* known = findEntry(name);
    const std::uint64_t bytes = file.file_size(ec);
    const auto time =
        static_cast<std::int64_t>(file.last_write_time(ec).time_since_epoch().count());
    if (known && known->fileBytes == bytes && known->fileTime == time)
        return false;

    const D8cSummary summary = scanD8cFile(file.path().u8string());
    if (summary.status != D8cSummary::Status::Ok)
        return false;
    auto fresh = std::make_unique<HistoryEntry>();
    HistoryEntry& e = known ? *known : *fresh;
    e.name = name;
    e.measuredAt = lastWriteTime(file.path().u8string()).value_or(0.0);
    e.channelMask = summary.header.ChannelMask;
    e.samplePeriodUs = summary.header.SamplePeriodUs;
    e.dataSize = summary.header.DataSize;
    e.zeroRun = isZeroRunName(name);
    e.comment = summary.Comment;
    e.fileBytes = bytes;
    e.fileTime = time;
    record(historyRecord(e));
    if (known) {
        changed(name);
        return true;
    }
    // In its place by time: the list is newest first.
    std::size_t row = 0;
    while (row < m_rows.size() && m_rows[row]->measuredAt >= e.measuredAt)
        ++row;
    m_touched.insert(name);
    insert(row, std::move(fresh));
    return true;
}

void HistoryStore::finishCheck() {
    m_checking = false;
    std::vector<std::string> gone;
    for (const auto& e : m_rows)
        if (!m_listed.count(e->name) && !m_pending.count(e->name) && !m_touched.count(e->name))
            gone.push_back(e->name);
    for (const std::string& name : gone) {
        erase(name);
        record(historyRecord(name, {{"deleted", "1"}}));
    }
    m_listed.clear();
    m_touched.clear();
    // A journal of many superseded lines is written anew, short: one line a measurement.
    const bool worth = m_rewriteIndex || m_records > 2 * m_rows.size() + 64;
    if (!worth || !m_pending.empty())
        return;
    std::string text = std::string(kHistoryIndexHeader) + '\n';
    for (auto it = m_rows.rbegin(); it != m_rows.rend(); ++it)
        text += historyRecord(**it);
    m_records = m_rows.size();
    m_rewriteIndex = false;
    m_writer.run([folder = m_folder, text = std::move(text)] {
        std::error_code ec;
        fs::create_directories(folder, ec);
        replaceFileContents((folder / kHistoryIndexName).u8string(), text.data(), text.size());
        return HistoryWriteResult{};
    });
}

} // namespace zarvik
