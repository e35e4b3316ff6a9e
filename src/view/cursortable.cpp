#include "view/cursortable.h"

#include "analysis/statistics.h"
#include "chart/chart.h"
#include "chart/chartseries.h"
#include "common/numtext.h"
#include "ui/systemlocale.h"
#include "view/chartview.h"
#include "view/references.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <optional>

namespace zarvik {

namespace {

QString number(double v) {
    return QString::fromStdString(formatGeneral(v, localeDecimalSeparator()));
}

// The statistics columns of points first..last of `y`, as `d8c stats` writes them.
QStringList figures(const double* y, int first, int last) {
    const std::size_t count = first < 0 ? 0 : static_cast<std::size_t>(last - first + 1);
    const StretchStatistics s = stretchStatistics(first < 0 ? nullptr : y + first, count);
    QStringList columns;
    for (const std::string& c : statisticsColumns(s, localeDecimalSeparator()))
        columns << QString::fromStdString(c);
    return columns;
}

} // namespace

CursorTable::CursorTable(Chart& chart, ChartView& view, References& references,
                         const TMeasurement& measurement, QWidget* parent)
    : QFrame(parent), m_chart(chart), m_view(view), m_references(references), m_m(measurement) {
    setObjectName("pnlCursors");
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lbCursorTimes = new QLabel(this);
    lbCursorTimes->setObjectName("lbCursorTimes");
    lbCursorTimes->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cbWithReference = new QCheckBox(tr("с опорным"), this);
    cbWithReference->setObjectName("cbWithReference");
    cbWithReference->setToolTip(tr("Строки наложенных файлов под строками каналов"));
    btCopyCursors = new QPushButton(tr("Копировать"), this);
    btCopyCursors->setObjectName("btCopyCursors");
    btCopyCursors->setToolTip(tr("Копировать таблицу в буфер обмена"));
    // Rows of the table, not the buttons, should have the room under the chart.
    btCopyCursors->setFixedHeight(btCopyCursors->fontMetrics().height() + 6);
    tblCursors = new QTableWidget(this);
    tblCursors->setObjectName("tblCursors");
    tblCursors->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblCursors->setSelectionMode(QAbstractItemView::NoSelection);
    tblCursors->setFocusPolicy(Qt::NoFocus);
    tblCursors->verticalHeader()->hide();
    tblCursors->verticalHeader()->setMinimumSectionSize(tblCursors->fontMetrics().height() + 2);
    tblCursors->verticalHeader()->setDefaultSectionSize(tblCursors->fontMetrics().height() + 2);
    const QStringList columns = {tr("Канал"),   "Y(t1)",   "Y(t2)",    "ΔY",
                                 tr("точек"),   tr("мин"), tr("макс"), tr("размах"),
                                 tr("среднее"), tr("СКЗ"), tr("СКО")};
    tblCursors->setColumnCount(static_cast<int>(columns.size()));
    tblCursors->setHorizontalHeaderLabels(columns);
    // Every figure whole: a narrow window scrolls the table rather than cut its numbers. The
    // columns are fitted once a filling (setRows), not at every cell.

    auto* top = new QHBoxLayout;
    top->addWidget(lbCursorTimes, 1);
    top->addWidget(cbWithReference);
    top->addWidget(btCopyCursors);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addLayout(top);
    layout->addWidget(tblCursors, 1);
    hide();

    connect(btCopyCursors, &QPushButton::clicked, this, &CursorTable::btCopyCursorsClick);
    connect(cbWithReference, &QCheckBox::toggled, this, &CursorTable::refresh);
    connect(&m_chart, &Chart::cursorsMoved, this, &CursorTable::refresh);
    // A line shown or hidden through the legend or a channel box tells only by a new drawing.
    connect(&m_chart, &Chart::afterDraw, this, &CursorTable::refresh);
    connect(&m_view, &ChartView::built, this, [this] {
        ++m_builds;
        chooseCursorSeries();
        refresh();
    });
    connect(&m_references, &References::changed, this, [this] {
        ++m_referenceChanges;
        refresh();
    });
    chooseCursorSeries();
}

void CursorTable::chooseCursorSeries() {
    // The channels of one build share their points' places; the first that has points serves.
    const LineSeries* series = nullptr;
    for (int n = 1; n <= kChannels && !series; ++n)
        if (m_view.series(n)->count() > 0)
            series = m_view.series(n);
    m_chart.setCursorSeries(series);
}

void CursorTable::setCursorsOn(bool on) {
    m_on = on;
    m_chart.setCursorsShown(on);
    setVisible(on);
    if (on)
        m_chart.setFocus();
    refresh();
    emit layoutChanged();
}

std::vector<long long> CursorTable::state() const {
    // Hidden, the table is empty whatever is drawn: a chart build must not lay it out again.
    if (!m_on)
        return {0};
    std::vector<long long> s = {m_on,
                                m_builds,
                                m_referenceChanges,
                                cbWithReference->isChecked(),
                                m_chart.cursorPoint(0),
                                m_chart.cursorPoint(1),
                                m_chart.cursorSeries() ? m_chart.cursorSeries()->count() : -1};
    for (int n = 1; n <= kChannels; ++n) {
        s.push_back(m_view.series(n)->isShown());
        for (int k = 0; k < m_references.count(); ++k)
            s.push_back(m_references.line(k, n) && m_references.line(k, n)->isShown());
    }
    return s;
}

void CursorTable::refresh() {
    std::vector<long long> now = state();
    if (now == m_shown)
        return;
    m_shown = std::move(now);

    m_timesHeader.clear();
    m_times.clear();
    const LineSeries* at = m_chart.cursorSeries();
    const int i1 = m_chart.cursorPoint(0);
    const int i2 = m_chart.cursorPoint(1);
    if (!m_on || !at || i1 < 0 || i2 < 0 || std::max(i1, i2) >= at->count()) {
        lbCursorTimes->clear();
        setRows({});
        return;
    }

    const ChartBuildInput& in = m_view.buildInput();
    const bool time = axisModeHasTime(in.mode);
    const double period = m_m.SamplePeriodUs;
    // Δt as the points' own places are worked out, rather than a difference of two of them.
    const double dt = time ? EvenX{0, period, in.timeUnitDivisor}(i2 - i1) : double(i2 - i1);
    QString unit;
    if (time) {
        const QString units[] = {tr("мкс"), tr("мс"), tr("с")};
        unit = units[in.timeUnitDivisor >= 1e6 ? 2 : in.timeUnitDivisor >= 1e3 ? 1 : 0];
    }
    const QString hz = tr("Гц");
    const QString frequency =
        i1 != i2 && period > 0 ? number(1e6 / ((i2 - i1) * period)) : QString();
    const QString withUnit = unit.isEmpty() ? QString() : ", " + unit;
    m_timesHeader = QStringList{"t1" + withUnit, "t2" + withUnit, "Δt" + withUnit, "1/Δt, " + hz};
    m_times = QStringList{number(at->x(i1)), number(at->x(i2)), number(dt), frequency};
    const QString gap = unit.isEmpty() ? QString() : " " + unit;
    const int first = std::min(i1, i2);
    const int last = std::max(i1, i2);
    lbCursorTimes->setText(QString("t1 = %1%5    t2 = %2%5    Δt = %3%5    1/Δt = %4 %6    ")
                               .arg(m_times[0], m_times[1], m_times[2],
                                    frequency.isEmpty() ? "—" : frequency, gap, hz) +
                           tr("точек: %1").arg(last - first + 1));

    std::vector<QStringList> rows;
    const double x1 = at->x(i1);
    const double x2 = at->x(i2);
    for (int n = 1; n <= kChannels; ++n) {
        const LineSeries* s = m_view.series(n);
        if (!s->isShown() || last >= s->count())
            continue;
        QStringList row = {QString::number(n), number(s->y(i1)), number(s->y(i2)),
                           number(s->y(i2) - s->y(i1))};
        rows.push_back(row + figures(s->yValues(), first, last));
        if (!cbWithReference->isChecked())
            continue;
        for (int k = 0; k < m_references.count(); ++k) {
            const LineSeries* r = m_references.line(k, n);
            if (!r || !r->isShown() || r->count() == 0)
                continue;
            // A reference of another sampling period has its own points: those at the cursors'
            // places (within half its step) and between them.
            const double halfStep =
                r->count() > 1 ? std::abs(r->x(1) - r->x(0)) / 2 * (1 + 1e-9) : 0.0;
            const auto valueAt = [&](double x) -> std::optional<double> {
                const int j = r->nearestPoint(x);
                if (std::abs(r->x(j) - x) > halfStep)
                    return std::nullopt;
                return r->y(j);
            };
            const auto y1 = valueAt(x1);
            const auto y2 = valueAt(x2);
            const auto [from, to] = r->pointsBetween(std::min(x1, x2), std::max(x1, x2));
            QStringList refRow = {QString("%1 (%2)").arg(n).arg(m_references.name(k)),
                                  y1 ? number(*y1) : QString(), y2 ? number(*y2) : QString(),
                                  y1 && y2 ? number(*y2 - *y1) : QString()};
            rows.push_back(refRow + figures(r->yValues(), from, to));
        }
    }
    setRows(rows);
}

void CursorTable::setRows(const std::vector<QStringList>& rows) {
    const int before = tblCursors->rowCount();
    tblCursors->setUpdatesEnabled(false);
    tblCursors->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < tblCursors->rowCount(); ++r) {
        for (int c = 0; c < tblCursors->columnCount(); ++c) {
            QTableWidgetItem* item = tblCursors->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                item->setTextAlignment(c == 0 ? Qt::AlignLeft | Qt::AlignVCenter
                                              : Qt::AlignRight | Qt::AlignVCenter);
                tblCursors->setItem(r, c, item);
            }
            item->setText(rows[static_cast<std::size_t>(r)].value(c));
        }
    }
    // While the cursors move, a column only widens: the figures do not jump sideways.
    const QAbstractItemView* view = tblCursors;
    for (int c = 0; c < tblCursors->columnCount(); ++c) {
        const int needed = std::max(tblCursors->horizontalHeader()->sectionSizeHint(c),
                                    view->sizeHintForColumn(c));
        if (tblCursors->rowCount() != before || needed > tblCursors->columnWidth(c))
            tblCursors->setColumnWidth(c, needed);
    }
    tblCursors->setUpdatesEnabled(true);
    if (tblCursors->rowCount() != before)
        emit layoutChanged();
}

int CursorTable::heightFor(int available) const {
    const int rows = std::max(tblCursors->rowCount(), 1);
    const int wanted =
        2 * frameWidth() + 6 +
        std::max(lbCursorTimes->sizeHint().height(), btCopyCursors->sizeHint().height()) +
        tblCursors->horizontalHeader()->sizeHint().height() +
        rows * tblCursors->verticalHeader()->defaultSectionSize() + 2 * tblCursors->frameWidth();
    return std::min(wanted, available);
}

QString CursorTable::text() const {
    QStringList lines;
    if (!m_times.isEmpty())
        lines << m_timesHeader.join('\t') << m_times.join('\t') << QString();
    QStringList header;
    for (int c = 0; c < tblCursors->columnCount(); ++c)
        header << tblCursors->horizontalHeaderItem(c)->text();
    lines << header.join('\t');
    for (int r = 0; r < tblCursors->rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < tblCursors->columnCount(); ++c)
            row << tblCursors->item(r, c)->text();
        lines << row.join('\t');
    }
    return lines.join('\n');
}

void CursorTable::btCopyCursorsClick() {
    if (copyText)
        copyText(text());
}

} // namespace zarvik
