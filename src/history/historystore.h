#pragma once
// The history of measurements in memory and on disk: every measurement the board delivered,
// as the ".d8c" file a save would have written for it, in a folder of its own with an index
// beside the files (historyindex.h). The list is held in memory, newest first; every change is
// made there at once and handed to the writer's thread for the disk, in order. The index is
// read, and checked against the files, in steps, so that a window stays responsive over
// thousands of measurements. Touched on the user-interface thread only.

#include "common/measurement.h"
#include "history/historyindex.h"
#include "history/historywriter.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace zarvik {

// Hears of every change of the list, before rows come or go and after, as item models must.
class HistoryObserver {
public:
    virtual ~HistoryObserver() = default;
    virtual void aboutToInsert(std::size_t row, std::size_t count) = 0;
    virtual void inserted() = 0;
    virtual void aboutToRemove(std::size_t row) = 0;
    virtual void removed() = 0;
    virtual void changed(std::size_t row) = 0;
};

// A measurement ready for the history: the measurement as a save would write it, its comment
// as the save prepares it (in `entry`), and what the index tells of it. Handed to the writer's
// thread whole, which makes the file's bytes.
struct HistoryShot {
    TMeasurement measurement;
    HistoryEntry entry; // without a name: the store gives it one
};

// The shot of a measurement whose transfer has just ended, as the chart build that shows it
// leaves it: split by the channel boxes (`checkedMask`), calibrated from the scales file, its
// time axis titled in the chosen unit; with the comment memo's lines as a save prepares them.
HistoryShot historyShot(const TMeasurement& m, std::uint8_t checkedMask, int timeUnit,
                        const std::vector<std::string>& memoLines,
                        std::optional<int> integrationPoints);

class HistoryStore {
public:
    HistoryStore(std::filesystem::path folder, HistoryWriter& writer);

    const std::filesystem::path& folder() const { return m_folder; }
    std::filesystem::path pathOf(const std::string& name) const;
    void setObserver(HistoryObserver* observer) { m_observer = observer; }
    // A write that failed, with the operator's text of why.
    std::function<void(const std::string& error)> writeFailed;

    // Reads up to `records` more lines of the index; true once it is read (a missing index
    // is read at once). Measurements added before then keep their place at the top.
    bool loadStep(std::size_t records);
    bool loaded() const { return m_loaded; }
    void load();

    // Compares the index, once read, with the files of the folder, `files` files a step: a
    // file the index lacks is added from its header and comment (never its samples), one
    // changed since is read again, and a measurement whose file is gone is dropped. Then a
    // journal that has grown long is written anew. True when done.
    void startCheck();
    bool checkStep(std::size_t files);
    bool checking() const { return m_checking; }

    std::size_t size() const { return m_rows.size(); }
    const HistoryEntry& at(std::size_t row) const { return *m_rows[row]; }
    std::optional<std::size_t> rowOf(const std::string& name) const;
    const HistoryEntry* find(const std::string& name) const;
    // What the measurements' files take on the disk.
    std::uint64_t totalBytes() const;

    // Adds the measurement at the top and writes its file; returns its name. A file that
    // cannot be written takes the measurement out of the list again (writeFailed).
    std::string add(HistoryShot shot);
    // The writer's job that writes the file of the measurement added last: the window may
    // wait for it to be under its name (HistoryWriter::waitForPublished).
    std::uint64_t lastAdded() const { return m_lastAdded; }
    void setComment(const std::string& name, const std::vector<std::string>& comment);
    void setPinned(const std::string& name, bool pinned);
    void setSavedAs(const std::string& name, const std::string& savedAs);
    // Takes the measurement out of the list and deletes its file.
    void remove(const std::string& name);
    // The oldest measurements that are not pinned and are not `keep`, whose removal brings the
    // history within `limitBytes`, oldest first.
    std::vector<std::string> overLimit(std::uint64_t limitBytes, const std::string& keep) const;

private:
    HistoryEntry* findEntry(const std::string& name);
    void insert(std::size_t row, std::unique_ptr<HistoryEntry> entry);
    void erase(const std::string& name);
    void changed(const std::string& name);
    // Appends a record to the index on the writer's thread.
    void record(std::string line);
    // Runs a job for the named measurement; its result comes back here. A measurement whose
    // file could not be written leaves the list when `dropOnFailure`.
    std::uint64_t write(const std::string& name, HistoryWriter::Job job, bool dropOnFailure);
    bool checkFile(const std::filesystem::directory_entry& file);
    void finishCheck();

    std::filesystem::path m_folder;
    HistoryWriter& m_writer;
    HistoryObserver* m_observer = nullptr;
    std::vector<std::unique_ptr<HistoryEntry>> m_rows; // newest first
    std::unordered_map<std::string, HistoryEntry*> m_byName;
    std::unordered_map<std::string, int> m_pending; // jobs given and not yet done, by name
    std::uint64_t m_lastAdded = 0;

    bool m_loaded = false;
    std::unique_ptr<HistoryIndexReader> m_reader;
    std::unordered_set<std::string> m_addedBeforeLoad;
    std::size_t m_records = 0;   // lines of the journal, read and written
    bool m_rewriteIndex = false; // the journal is no index of ours

    bool m_checking = false;
    std::filesystem::directory_iterator m_listing;
    std::unordered_set<std::string> m_listed;
    std::unordered_set<std::string> m_touched; // changed in this run since the check began
};

} // namespace zarvik
