#pragma once
// The history of measurements at the window: every measurement the board delivers is written
// into the history folder the moment it becomes the current one, and the comment the operator
// writes for it follows it there; the history keeps within its space, reads its index in
// steps, and tells the operator once of what he must know (a folder that cannot be written,
// measurements removed for space).

#include "history/historystore.h"
#include "history/historywriter.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace zarvik {

class MeasurementHistory : public QObject {
    Q_OBJECT
public:
    explicit MeasurementHistory(const QString& folder, QObject* parent = nullptr);
    // Every file given to the writer is written first.
    ~MeasurementHistory() override;

    HistoryStore& store() { return m_store; }
    QString folder() const { return m_folder; }

    // The space the measurements may take; the oldest that are not pinned are removed when a
    // new measurement passes it.
    void setLimitMegabytes(int megabytes);
    int limitMegabytes() const { return m_limitMb; }
    static constexpr int kDefaultLimitMb = 2048;

    // The comment memo's lines as a save would write them for the current measurement.
    std::function<std::vector<std::string>()> savedComment;
    // Reads a data file into the window as the current measurement; false when it could not.
    std::function<bool(const QString& fileName)> openFile;
    // Shows a folder in the system's file manager.
    std::function<void(const QString& folder)> showFolder;

    // A transfer's measurement has just become the current one: its file is written now,
    // before it is drawn, and the history keeps within its space.
    void arrived(HistoryShot shot);
    // The operator changed the comment: it reaches the current measurement's file shortly.
    void commentEdited();
    // A file is about to replace the current measurement: what was typed is written first.
    void replacing();
    // The file has replaced it: a file of the history is followed as its measurement.
    void replaced(const QString& fileName);
    // The current measurement was saved as a data file under this name.
    void saved(const QString& fileName);
    // The program closes: what was typed is written, and every file reaches the disk.
    void closing();

    // The history's measurement the window shows; empty when it shows none of them.
    const std::string& current() const { return m_current; }
    bool open(const std::string& name);
    void setPinned(const std::string& name, bool pinned);
    void remove(const std::string& name);
    void showInFileManager();

    // Reads the index and checks it against the files, in steps that leave the window free.
    void startReading();
    bool reading() const { return m_stepper.isActive(); }

    // The first paint of the chart after a new measurement waits until its file is under its
    // name (a matter of a millisecond): a program killed once the chart shows has lost nothing.
    void guardPaintsOf(QObject* chart);

    // How long typing may pause before the comment is written.
    static constexpr int kCommentDelayMs = 1000;
    // How long after a measurement comes the history keeps within its space: once it is drawn.
    static constexpr int kAfterArrivalMs = 250;

signals:
    void currentChanged();
    void readingChanged();
    void changed(); // the list or the space it takes

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The writer's results, run on the window's thread.
    void customEvent(QEvent* event) override;

private:
    void flushComment();
    void step();
    void keepSpace();
    void prune();
    void tellWriteFailed(const std::string& error);
    void setCurrent(const std::string& name);

    QString m_folder;
    // What the writer's thread hands back, taken in order by the window's thread.
    std::mutex m_doneMutex;
    std::vector<std::function<void()>> m_done;
    HistoryWriter m_writer;
    HistoryStore m_store;
    int m_limitMb = kDefaultLimitMb;
    std::string m_current;
    std::vector<std::string> m_typed; // the comment typed and not yet written
    bool m_commentDirty = false;
    QTimer m_commentTimer;
    QTimer m_stepper;
    QTimer m_afterArrival;
    bool m_pruneAfterLoad = false;
    bool m_checkWanted = false;
    std::uint64_t m_awaitedFile = 0; // the writer's job the next paint waits for
    QObject* m_chart = nullptr;
    bool m_failureTold = false;
    bool m_pruneTold = false;
};

} // namespace zarvik
