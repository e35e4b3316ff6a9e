#include "history/measurementhistory.h"

#include "ui/operatormessages.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileInfo>

namespace zarvik {
namespace {

// A step of reading the index or checking the files, short enough for a packet to be
// answered at once while it runs.
constexpr int kStepMs = 1;

std::uint64_t megabytes(int mb) {
    return static_cast<std::uint64_t>(mb) * 1024 * 1024;
}

} // namespace

MeasurementHistory::MeasurementHistory(const QString& folder, QObject* parent)
    : QObject(parent), m_folder(folder), m_writer([this](std::function<void()> done) {
          {
              const std::lock_guard<std::mutex> lock(m_doneMutex);
              m_done.push_back(std::move(done));
          }
          // The wake-up carries nothing: what it wakes for is handed over under the lock.
          QCoreApplication::postEvent(this, new QEvent(QEvent::User));
      }),
      m_store(std::filesystem::u8path(folder.toStdString()), m_writer) {
    m_store.writeFailed = [this](const std::string& error) { tellWriteFailed(error); };
    m_commentTimer.setSingleShot(true);
    m_commentTimer.setInterval(kCommentDelayMs);
    connect(&m_commentTimer, &QTimer::timeout, this, &MeasurementHistory::flushComment);
    m_afterArrival.setSingleShot(true);
    m_afterArrival.setInterval(kAfterArrivalMs);
    connect(&m_afterArrival, &QTimer::timeout, this, &MeasurementHistory::keepSpace);
    m_stepper.setInterval(0);
    connect(&m_stepper, &QTimer::timeout, this, &MeasurementHistory::step);
}

MeasurementHistory::~MeasurementHistory() {
    m_writer.finish();
}

void MeasurementHistory::customEvent(QEvent*) {
    std::vector<std::function<void()>> done;
    {
        const std::lock_guard<std::mutex> lock(m_doneMutex);
        done.swap(m_done);
    }
    for (const auto& f : done)
        f();
}

void MeasurementHistory::setLimitMegabytes(int megabytes) {
    m_limitMb = std::max(1, megabytes);
    emit changed();
}

void MeasurementHistory::arrived(HistoryShot shot) {
    // What was typed belongs to the measurement before this one.
    flushComment();
    const std::string name = m_store.add(std::move(shot));
    m_awaitedFile = m_store.lastAdded();
    m_typed.clear();
    setCurrent(name);
    // The list's reading and the space can wait until the measurement is drawn.
    m_afterArrival.start();
    emit changed();
}

void MeasurementHistory::keepSpace() {
    if (m_store.loaded()) {
        prune();
    } else {
        m_pruneAfterLoad = true;
        startReading();
    }
}

void MeasurementHistory::commentEdited() {
    if (m_current.empty() || !savedComment)
        return;
    m_typed = savedComment();
    m_commentDirty = true;
    m_commentTimer.start();
}

void MeasurementHistory::flushComment() {
    m_commentTimer.stop();
    if (!m_commentDirty || m_current.empty())
        return;
    m_commentDirty = false;
    // A measurement of the history opened before its index was read is found in it.
    if (!m_store.loaded())
        m_store.load();
    m_store.setComment(m_current, m_typed);
}

void MeasurementHistory::replacing() {
    flushComment();
    setCurrent({});
}

void MeasurementHistory::replaced(const QString& fileName) {
    const QFileInfo file(fileName);
    const bool ours = file.canonicalPath() == QFileInfo(m_folder).canonicalFilePath();
    setCurrent(ours ? file.fileName().toStdString() : std::string());
    if (ours && !m_store.loaded())
        startReading();
}

void MeasurementHistory::saved(const QString& fileName) {
    if (m_current.empty())
        return;
    m_store.setSavedAs(m_current, QDir::toNativeSeparators(fileName).toStdString());
}

void MeasurementHistory::closing() {
    if (m_afterArrival.isActive()) {
        m_afterArrival.stop();
        m_store.load();
        prune();
    }
    flushComment();
    m_writer.finish();
}

void MeasurementHistory::setCurrent(const std::string& name) {
    m_commentDirty = false;
    m_commentTimer.stop();
    if (name == m_current)
        return;
    m_current = name;
    emit currentChanged();
}

bool MeasurementHistory::open(const std::string& name) {
    if (!openFile)
        return false;
    const bool ok = openFile(QString::fromStdString(m_store.pathOf(name).u8string()));
    // A file that could not be read may be gone: the list is checked against the folder.
    if (!ok)
        startReading();
    return ok;
}

void MeasurementHistory::setPinned(const std::string& name, bool pinned) {
    m_store.setPinned(name, pinned);
}

void MeasurementHistory::remove(const std::string& name) {
    if (name == m_current)
        setCurrent({});
    m_store.remove(name);
    emit changed();
}

void MeasurementHistory::showInFileManager() {
    // An empty history has a folder to show too.
    QDir().mkpath(m_folder);
    if (showFolder)
        showFolder(m_folder);
}

void MeasurementHistory::startReading() {
    m_checkWanted = true;
    if (m_stepper.isActive())
        return;
    m_stepper.start();
    emit readingChanged();
}

void MeasurementHistory::step() {
    QElapsedTimer t;
    t.start();
    do {
        if (!m_store.loaded()) {
            m_store.loadStep(256);
            continue;
        }
        if (m_pruneAfterLoad) {
            m_pruneAfterLoad = false;
            prune();
        }
        if (!m_store.checking()) {
            if (!m_checkWanted) {
                m_stepper.stop();
                emit readingChanged();
                break;
            }
            m_checkWanted = false;
            m_store.startCheck();
        }
        m_store.checkStep(16);
    } while (t.elapsed() < kStepMs);
    emit changed();
}

void MeasurementHistory::prune() {
    const std::vector<std::string> names = m_store.overLimit(megabytes(m_limitMb), m_current);
    if (names.empty())
        return;
    for (const std::string& name : names)
        m_store.remove(name);
    emit changed();
    if (m_pruneTold)
        return;
    m_pruneTold = true;
    // After the handler that brought the measurement: the box must not hold up its drawing.
    QTimer::singleShot(0, this, [this, count = static_cast<int>(names.size())] {
        operatorMessages().information(
            tr("Журнал измерений занял отведённые ему %1 МБ: самые старые незакреплённые "
               "измерения удалены из него (%2). Измерения, которые нужно сохранить, закрепите "
               "в журнале или увеличьте его предел в панели \"Опции\". До следующего запуска "
               "программы это сообщение больше не появится.")
                .arg(m_limitMb)
                .arg(count));
    });
}

void MeasurementHistory::tellWriteFailed(const std::string& error) {
    if (m_failureTold)
        return;
    m_failureTold = true;
    operatorMessages().information(
        tr("Журнал измерений не может писать в папку %1:\n%2\n\nТекущее измерение осталось в "
           "программе: сохраните его кнопкой \"Сохранить данные в файл\". Освободите место на "
           "диске или дайте право записи в эту папку; другую папку журнала задаёт ключ Folder "
           "раздела [History] файла Zarvik.ini. До следующего запуска программы это сообщение "
           "больше не появится.")
            .arg(QDir::toNativeSeparators(m_folder), QString::fromStdString(error)));
}

void MeasurementHistory::guardPaintsOf(QObject* chart) {
    m_chart = chart;
    chart->installEventFilter(this);
}

bool MeasurementHistory::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_chart && event->type() == QEvent::Paint && m_awaitedFile != 0) {
        m_writer.waitForPublished(m_awaitedFile, 1000);
        m_awaitedFile = 0;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace zarvik
