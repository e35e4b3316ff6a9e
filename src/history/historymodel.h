#pragma once
// The history's list as the panel shows it: one row a measurement, newest first, read from the
// store as the view asks for rows (a view of thousands of rows asks for a screenful), and the
// filter over the comments.

#include "history/historystore.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QSortFilterProxyModel>

namespace zarvik {

class MeasurementHistory;

class HistoryModel : public QAbstractTableModel, private HistoryObserver {
    Q_OBJECT
public:
    enum Column { Pinned, When, Channels, Frequency, Samples, Duration, Comment, SavedAs, Columns };

    explicit HistoryModel(MeasurementHistory& history, QObject* parent = nullptr);
    ~HistoryModel() override;

    // Follows the list while the panel is shown; hidden, it holds no rows, and the list changes
    // at no cost beyond its own (a new measurement comes just before its chart is drawn).
    void setLive(bool live);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // The pin box pins and unpins.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    const HistoryEntry& entry(int row) const;
    // The comment in capitals, as the filter compares it.
    const QString& searchText(int row) const;
    // The texts of a row's cells, for the widths of the columns.
    static QString cellText(const HistoryEntry& e, int column);

private:
    void aboutToInsert(std::size_t row, std::size_t count) override;
    void inserted() override;
    void aboutToRemove(std::size_t row) override;
    void removed() override;
    void changed(std::size_t row) override;
    void currentChanged();

    MeasurementHistory& m_history;
    HistoryStore& m_store;
    mutable QHash<const HistoryEntry*, QString> m_search;
    std::string m_current;
    bool m_live = false;
};

// The rows whose comment holds the filter's text, in either letter case (the system's rules,
// Cyrillic included), as the comment browser searches.
class HistoryFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit HistoryFilter(HistoryModel& model, QObject* parent = nullptr);
    void setText(const QString& text);

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override;

private:
    HistoryModel& m_model;
    QString m_text; // in capitals
};

} // namespace zarvik
