#include "history/historywindow.h"

#include "files/filetime.h"
#include "history/historymodel.h"
#include "history/measurementhistory.h"
#include "ui/help.h"
#include "ui/operatormessages.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

namespace zarvik {

HistoryWindow::HistoryWindow(MeasurementHistory& history, QWidget* parent)
    : QWidget(parent, Qt::Tool), m_history(history) {
    setObjectName("HistoryWindow");
    setWindowTitle(tr("Журнал измерений"));
    confirm = [this](const QString& question) {
        return QMessageBox::question(this, windowTitle(), question) == QMessageBox::Yes;
    };

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(tr("Найти в комментариях:"), this));
    eHistFilter = new QLineEdit(this);
    eHistFilter->setObjectName("eHistFilter");
    eHistFilter->setClearButtonEnabled(true);
    top->addWidget(eHistFilter, 1);

    m_model = new HistoryModel(history, this);
    m_filter = new HistoryFilter(*m_model, this);
    tvHistory = new QTableView(this);
    tvHistory->setObjectName("tvHistory");
    tvHistory->setModel(m_filter);
    tvHistory->setSelectionBehavior(QAbstractItemView::SelectRows);
    tvHistory->setSelectionMode(QAbstractItemView::SingleSelection);
    tvHistory->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tvHistory->setAlternatingRowColors(true);
    tvHistory->setWordWrap(false);
    tvHistory->verticalHeader()->hide();
    tvHistory->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tvHistory->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    tvHistory->horizontalHeader()->setSectionResizeMode(HistoryModel::Comment,
                                                        QHeaderView::Stretch);
    tvHistory->installEventFilter(this);

    const auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        return b;
    };
    btHistOpen = button("btHistOpen", tr("Открыть"));
    btHistPin = button("btHistPin", tr("Закрепить"));
    btHistDelete = button("btHistDelete", tr("Удалить"));
    btHistPrev = button("btHistPrev", tr("Предыдущее"));
    btHistNext = button("btHistNext", tr("Следующее"));
    btHistFolder = button("btHistFolder", tr("Папка журнала"));
    btHistClose = button("btHistClose", tr("Закрыть"));
    // Wide enough for either caption of the pin button.
    btHistPin->setMinimumWidth(std::max(btHistPin->sizeHint().width(), [&] {
        QPushButton other(tr("Открепить"));
        other.setFont(btHistPin->font());
        return other.sizeHint().width();
    }()));
    btHistPrev->setToolTip(tr("Открыть измерение, сделанное раньше выбранного"));
    btHistNext->setToolTip(tr("Открыть измерение, сделанное позже выбранного"));
    btHistPin->setToolTip(tr("Закреплённое измерение не удаляется, когда журнал занимает всё "
                             "отведённое ему место"));

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {btHistOpen, btHistPin, btHistDelete, btHistPrev, btHistNext})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(btHistFolder);
    buttons->addWidget(btHistClose);

    lbHistInfo = new QLabel(this);
    lbHistInfo->setObjectName("lbHistInfo");

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(tvHistory, 1);
    layout->addWidget(lbHistInfo);
    layout->addLayout(buttons);

    connect(eHistFilter, &QLineEdit::textChanged, this, &HistoryWindow::eHistFilterChange);
    connect(tvHistory, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { openRow(index.row()); });
    connect(btHistOpen, &QPushButton::clicked, this, &HistoryWindow::btHistOpenClick);
    connect(btHistPin, &QPushButton::clicked, this, &HistoryWindow::btHistPinClick);
    connect(btHistDelete, &QPushButton::clicked, this, &HistoryWindow::btHistDeleteClick);
    connect(btHistPrev, &QPushButton::clicked, this, &HistoryWindow::btHistPrevClick);
    connect(btHistNext, &QPushButton::clicked, this, &HistoryWindow::btHistNextClick);
    connect(btHistFolder, &QPushButton::clicked, &history, &MeasurementHistory::showInFileManager);
    connect(btHistClose, &QPushButton::clicked, this, &QWidget::hide);
    connect(tvHistory->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &HistoryWindow::updateButtons);
    connect(m_filter, &QAbstractItemModel::dataChanged, this, &HistoryWindow::updateButtons);
    connect(m_filter, &QAbstractItemModel::rowsInserted, this, &HistoryWindow::updateButtons);
    connect(m_filter, &QAbstractItemModel::rowsRemoved, this, &HistoryWindow::updateButtons);
    connect(&history, &MeasurementHistory::currentChanged, this, &HistoryWindow::selectCurrent);
    connect(&history, &MeasurementHistory::changed, this, &HistoryWindow::updateInfo);
    connect(&history, &MeasurementHistory::readingChanged, this, &HistoryWindow::updateInfo);

    resize(900, 320);
    updateButtons();
    updateInfo();
}

void HistoryWindow::fitColumns() {
    // From the captions and from texts of the widest kind: the view would otherwise measure
    // every row of the list. The row of the measurement on show is in bold.
    HistoryEntry sample;
    sample.measuredAt = encodeMeasuredAt({2024, 12, 28, 20, 48, 58, 0});
    sample.channelMask = 0xFF;
    sample.samplePeriodUs = 1.4241536458333333;
    sample.dataSize = 480000;
    QHeaderView* header = tvHistory->horizontalHeader();
    QFont bold = tvHistory->font();
    bold.setBold(true);
    const QFontMetrics fm(bold);
    const QFontMetrics hm = header->fontMetrics();
    const int air = 3 * fm.horizontalAdvance(' ');
    for (int column = 0; column < HistoryModel::Columns; ++column) {
        const QString caption =
            m_model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        int width = std::max(hm.horizontalAdvance(caption),
                             fm.horizontalAdvance(HistoryModel::cellText(sample, column))) +
                    2 * air;
        if (column == HistoryModel::Pinned)
            width = style()->pixelMetric(QStyle::PM_IndicatorWidth) + 2 * air;
        header->resizeSection(column, width);
    }
}

std::string HistoryWindow::selected() const {
    const QModelIndex index = tvHistory->currentIndex();
    if (!index.isValid())
        return {};
    return m_model->entry(m_filter->mapToSource(index).row()).name;
}

void HistoryWindow::selectRow(int row) {
    const QModelIndex index = m_filter->index(row, HistoryModel::Pinned);
    tvHistory->setCurrentIndex(index);
    tvHistory->scrollTo(index);
}

void HistoryWindow::selectCurrent() {
    // A hidden list is brought to the measurement on show when it is shown.
    if (!isVisible())
        return;
    const std::optional<std::size_t> row = m_history.store().rowOf(m_history.current());
    if (!row)
        return;
    const QModelIndex index = m_filter->mapFromSource(m_model->index(static_cast<int>(*row), 0));
    if (index.isValid())
        selectRow(index.row());
}

void HistoryWindow::openRow(int row) {
    if (row < 0 || row >= m_filter->rowCount())
        return;
    selectRow(row);
    m_history.open(m_model->entry(m_filter->mapToSource(m_filter->index(row, 0)).row()).name);
}

void HistoryWindow::btHistOpenClick() {
    openRow(tvHistory->currentIndex().row());
}

void HistoryWindow::btHistPinClick() {
    const std::string name = selected();
    if (const HistoryEntry* e = m_history.store().find(name))
        m_history.setPinned(name, !e->pinned);
}

void HistoryWindow::btHistDeleteClick() {
    const std::string name = selected();
    const HistoryEntry* e = m_history.store().find(name);
    if (!e)
        return;
    const QString question = (e->pinned ? tr("Измерение %1 закреплено. ") : QString()) +
                             tr("Удалить измерение %1 из журнала? Его файл будет удалён с диска.");
    const int row = tvHistory->currentIndex().row();
    if (!confirm || !confirm(question.arg(QString::fromStdString(name))))
        return;
    m_history.remove(name);
    if (m_filter->rowCount() > 0)
        selectRow(std::min(row, m_filter->rowCount() - 1));
}

void HistoryWindow::btHistPrevClick() {
    const QModelIndex index = tvHistory->currentIndex();
    openRow(index.isValid() ? index.row() + 1 : 0);
}

void HistoryWindow::btHistNextClick() {
    const QModelIndex index = tvHistory->currentIndex();
    if (index.isValid())
        openRow(index.row() - 1);
}

void HistoryWindow::eHistFilterChange() {
    const std::string keep = selected();
    m_filter->setText(eHistFilter->text());
    // The selection stays on its measurement while it passes the filter.
    if (const auto row = m_history.store().rowOf(keep)) {
        const QModelIndex index =
            m_filter->mapFromSource(m_model->index(static_cast<int>(*row), 0));
        if (index.isValid())
            selectRow(index.row());
    }
    updateButtons();
}

void HistoryWindow::updateButtons() {
    const QModelIndex index = tvHistory->currentIndex();
    const int rows = m_filter->rowCount();
    const bool any = index.isValid();
    btHistOpen->setEnabled(any);
    btHistDelete->setEnabled(any);
    btHistPin->setEnabled(any);
    const HistoryEntry* e = m_history.store().find(selected());
    btHistPin->setText(e && e->pinned ? tr("Открепить") : tr("Закрепить"));
    btHistPrev->setEnabled(any ? index.row() + 1 < rows : rows > 0);
    btHistNext->setEnabled(any && index.row() > 0);
}

void HistoryWindow::updateInfo() {
    if (!isVisible())
        return;
    const HistoryStore& store = m_history.store();
    QLocale locale = QLocale::system();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    QString text = tr("Измерений: %1. Занято %2 МБ из %3 МБ.")
                       .arg(locale.toString(static_cast<qulonglong>(store.size())))
                       .arg(locale.toString(
                           static_cast<double>(store.totalBytes()) / (1024.0 * 1024.0), 'f', 1))
                       .arg(locale.toString(m_history.limitMegabytes()));
    if (m_history.reading())
        text += ' ' + tr("Журнал читается...");
    lbHistInfo->setText(text);
}

void HistoryWindow::showEvent(QShowEvent* event) {
    m_model->setLive(true);
    QWidget::showEvent(event);
    // In the fonts the style gives the list once it is shown.
    if (!m_fitted) {
        m_fitted = true;
        fitColumns();
    }
    // What changed in the folder since it was last looked at.
    m_history.startReading();
    updateInfo();
    if (!tvHistory->currentIndex().isValid())
        selectCurrent();
    tvHistory->setFocus();
}

void HistoryWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    m_model->setLive(false);
}

bool HistoryWindow::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
        if (showHelp)
            showHelp(helpTopicOf(QApplication::focusWidget(), 7));
        return true;
    }
    return QWidget::event(event);
}

bool HistoryWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tvHistory && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            btHistOpenClick();
            return true;
        }
        if (key == Qt::Key_Delete) {
            btHistDeleteClick();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace zarvik
