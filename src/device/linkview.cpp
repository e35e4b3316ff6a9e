#include "device/linkview.h"

#include "common/numtext.h"
#include "ui/systemlocale.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>

namespace zarvik {

LinkView::LinkView(QWidget* parent) : QWidget(parent, Qt::Tool) {
    setObjectName("LinkView");
    setWindowTitle(tr("Связь"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("Последняя передача"), this), 0, 1, Qt::AlignRight);
    grid->addWidget(new QLabel(tr("С начала работы"), this), 0, 2, Qt::AlignRight);
    const QString rows[kRows] = {tr("Передач"),
                                 tr("Пакетов принято"),
                                 tr("Повторено пакетов (r)"),
                                 tr("Ошибок контрольной суммы"),
                                 tr("Обрывков отброшено"),
                                 tr("Остановок"),
                                 tr("Время передачи, с"),
                                 tr("Время по линии, с"),
                                 tr("Переподключений")};
    for (int r = 0; r < kRows; ++r) {
        grid->addWidget(new QLabel(rows[r], this), r + 1, 0);
        for (int c = 0; c < 2; ++c) {
            m_values[r][c] = new QLabel(this);
            m_values[r][c]->setAlignment(Qt::AlignRight);
            grid->addWidget(m_values[r][c], r + 1, c + 1);
        }
    }
    grid->setHorizontalSpacing(16);
    showFigures({}, {}, 0, 0);
}

void LinkView::showFigures(const TransferFigures& last, const TransferFigures& totals,
                           int transfers, int openings) {
    const char separator = localeDecimalSeparator();
    const auto counts = [](const TransferFigures& f) {
        return std::array<int, 5>{f.packets, f.repeats, f.badChecksums, f.fragments, f.stalls};
    };
    const auto seconds = [separator](double ms) {
        return QString::fromStdString(formatFixed(ms / 1000.0, 2, separator));
    };
    const bool any = transfers > 0;
    m_values[0][1]->setText(QString::number(transfers));
    const auto lastCounts = counts(last);
    const auto totalCounts = counts(totals);
    for (int i = 0; i < 5; ++i) {
        m_values[i + 1][0]->setText(QString::number(any ? lastCounts[i] : 0));
        m_values[i + 1][1]->setText(QString::number(totalCounts[i]));
    }
    m_values[6][0]->setText(seconds(any ? last.transferMs : 0.0));
    m_values[6][1]->setText(seconds(totals.transferMs));
    m_values[7][0]->setText(seconds(any ? last.lineMs : 0.0));
    m_values[7][1]->setText(seconds(totals.lineMs));
    m_values[8][1]->setText(QString::number(openings > 1 ? openings - 1 : 0));
}

bool LinkView::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 &&
        showHelp) {
        showHelp(QStringLiteral("Idh_Window#link"));
        return true;
    }
    return QWidget::event(event);
}

QString LinkView::value(int row, int column) const {
    return m_values[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]->text();
}

} // namespace zarvik
