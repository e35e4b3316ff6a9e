#include "history/historymodel.h"

#include "files/datetimetext.h"
#include "files/folderlisting.h"
#include "history/measurementhistory.h"
#include "ui/language.h"
#include "ui/systemlocale.h"

#include <QFont>
#include <QLocale>

namespace zarvik {
namespace {

QString channelDigits(std::uint8_t mask) {
    QString digits;
    for (int n = 1; n <= kChannels; ++n)
        if (mask & (1u << (n - 1)))
            digits += QString::number(n);
    return digits;
}

} // namespace

HistoryModel::HistoryModel(MeasurementHistory& history, QObject* parent)
    : QAbstractTableModel(parent), m_history(history), m_store(history.store()),
      m_current(history.current()) {
    connect(&history, &MeasurementHistory::currentChanged, this, &HistoryModel::currentChanged);
}

HistoryModel::~HistoryModel() {
    m_store.setObserver(nullptr);
}

void HistoryModel::setLive(bool live) {
    if (live == m_live)
        return;
    beginResetModel();
    m_live = live;
    m_search.clear();
    m_current = m_history.current();
    m_store.setObserver(live ? this : nullptr);
    endResetModel();
}

int HistoryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_live ? 0 : static_cast<int>(m_store.size());
}

int HistoryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Columns;
}

const HistoryEntry& HistoryModel::entry(int row) const {
    return m_store.at(static_cast<std::size_t>(row));
}

QString HistoryModel::cellText(const HistoryEntry& e, int column) {
    QLocale locale = QLocale::system();
    switch (column) {
    case When:
        return measuredAtText(e.measuredAt);
    case Channels:
        return channelDigits(e.channelMask);
    case Frequency:
        // "2048", as the frequency is typed: a group separator would read as a decimal one.
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
        return locale.toString(e.frequencyHz(), 'g', 6);
    case Samples:
        return locale.toString(static_cast<qulonglong>(e.samples()));
    case Duration:
        return locale.toString(e.durationSeconds(), 'f', 3);
    case Comment: {
        const QString first =
            e.comment.empty() ? QString() : QString::fromStdString(e.comment.front());
        if (e.zeroRun)
            return tr("(нулевые уровни) ") + first;
        if (e.seriesNumber > 0)
            return (e.seriesCount > 0
                        ? tr("(серия %1 из %2) ").arg(e.seriesNumber).arg(e.seriesCount)
                        : tr("(серия %1) ").arg(e.seriesNumber)) +
                   first;
        return first;
    }
    case SavedAs:
        return nameOf(QString::fromStdString(e.savedAs));
    default:
        return {};
    }
}

QVariant HistoryModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const HistoryEntry& e = entry(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return cellText(e, index.column());
    case Qt::CheckStateRole:
        if (index.column() == Pinned)
            return e.pinned ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::ToolTipRole:
        if (index.column() == Comment)
            return QString::fromStdString(historyText(e.comment));
        if (index.column() == SavedAs)
            return QString::fromStdString(e.savedAs);
        // What the measurement's transfer cost on the line.
        if (e.link)
            return translated(transferFiguresText(*e.link, localeDecimalSeparator()));
        return {};
    case Qt::TextAlignmentRole:
        if (index.column() == Frequency || index.column() == Samples || index.column() == Duration)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    case Qt::FontRole:
        // The measurement the window shows.
        if (e.name == m_current) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    default:
        return {};
    }
}

QVariant HistoryModel::headerData(int section, Qt::Orientation orientation, int role) const {
    // The pin boxes' column is as narrow as a box; its header tells what they are on hover.
    if (orientation == Qt::Horizontal && section == Pinned && role == Qt::ToolTipRole)
        return tr("Закреплённое измерение не удаляется, когда журнал занимает всё отведённое "
                  "ему место");
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Pinned:
        return QString();
    case When:
        return tr("Дата и время");
    case Channels:
        return tr("Каналы");
    case Frequency:
        return tr("F, Гц");
    case Samples:
        return tr("Выборок");
    case Duration:
        return tr("Длительность, с");
    case Comment:
        return tr("Комментарий");
    case SavedAs:
        return tr("Сохранено как");
    default:
        return {};
    }
}

Qt::ItemFlags HistoryModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.column() == Pinned)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

bool HistoryModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.column() != Pinned || role != Qt::CheckStateRole)
        return false;
    m_history.setPinned(entry(index.row()).name, value.value<Qt::CheckState>() == Qt::Checked);
    return true;
}

const QString& HistoryModel::searchText(int row) const {
    const HistoryEntry* e = &entry(row);
    auto it = m_search.find(e);
    if (it == m_search.end())
        it = m_search.insert(
            e, QLocale::system().toUpper(QString::fromStdString(historyText(e->comment))));
    return *it;
}

void HistoryModel::aboutToInsert(std::size_t row, std::size_t count) {
    beginInsertRows({}, static_cast<int>(row), static_cast<int>(row + count - 1));
}

void HistoryModel::inserted() {
    endInsertRows();
}

void HistoryModel::aboutToRemove(std::size_t row) {
    m_search.remove(&entry(static_cast<int>(row)));
    beginRemoveRows({}, static_cast<int>(row), static_cast<int>(row));
}

void HistoryModel::removed() {
    endRemoveRows();
}

void HistoryModel::changed(std::size_t row) {
    const int r = static_cast<int>(row);
    m_search.remove(&entry(r));
    emit dataChanged(index(r, 0), index(r, Columns - 1));
}

void HistoryModel::currentChanged() {
    if (!m_live)
        return;
    const std::string previous = m_current;
    m_current = m_history.current();
    for (const std::string& name : {previous, m_current})
        if (const auto row = m_store.rowOf(name))
            changed(*row);
}

HistoryFilter::HistoryFilter(HistoryModel& model, QObject* parent)
    : QSortFilterProxyModel(parent), m_model(model) {
    setSourceModel(&model);
}

void HistoryFilter::setText(const QString& text) {
    m_text = QLocale::system().toUpper(text);
    invalidateFilter();
}

bool HistoryFilter::filterAcceptsRow(int row, const QModelIndex&) const {
    return m_text.isEmpty() || m_model.searchText(row).contains(m_text);
}

} // namespace zarvik
