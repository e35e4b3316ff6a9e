#include "files/clipboardprint.h"

#include "chart/chart.h"
#include "chart/chartpicture.h"
#include "files/datetimetext.h"
#include "files/filetime.h"
#include "files/memotext.h"
#include "ui/operatormessages.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <stdexcept>

namespace zarvik {
namespace {

std::runtime_error printError(const QPrinter& printer) {
    return std::runtime_error(
        QObject::tr("Ошибка печати на принтере %1").arg(printer.printerName()).toStdString());
}

} // namespace

ClipboardPrint::ClipboardPrint(const Controls& controls, const TMeasurement& measurement,
                               QObject* parent)
    : QObject(parent), m_c(controls), m_m(measurement) {
    defaultPrinter = []() -> std::unique_ptr<QPrinter> {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull())
            return nullptr;
        return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    };

    m_c.btSaveChart->setToolTip(tr("Копировать график в формате Windows MetaFile в буфер обмена"));
    pmChart = new QMenu(m_c.chart);
    pmChart->setObjectName("pmChart");
    N1 = pmChart->addAction(tr("Копировать"));
    N1->setObjectName("N1");

    connect(m_c.btPrint, &QAbstractButton::clicked, this, &ClipboardPrint::btPrintClick);
    connect(m_c.btSaveChart, &QAbstractButton::clicked, this, &ClipboardPrint::btSaveChartClick);
    connect(m_c.btCopy, &QAbstractButton::clicked, this, &ClipboardPrint::btCopyClick);
    connect(N1, &QAction::triggered, this, &ClipboardPrint::N1Click);
    connect(m_c.chart, &Chart::rightClicked, this, &ClipboardPrint::Chart1RightClick);
}

void ClipboardPrint::btPrintClick() {
    guarded([this] {
        const std::unique_ptr<QPrinter> printer = defaultPrinter ? defaultPrinter() : nullptr;
        if (!printer)
            throw std::runtime_error(tr("Принтер по умолчанию не установлен").toStdString());
        printChart(*printer);
    });
}

void ClipboardPrint::printChart(QPrinter& printer) {
    if (!m_c.chart->objectName().isEmpty())
        printer.setDocName(m_c.chart->objectName());
    QPainter painter;
    if (!painter.begin(&printer))
        throw printError(printer);
    // Printer pixels of the printable page: its whole width and the upper half, the lower
    // half left blank to the last row.
    const QRect target(0, 0, printer.width(), printer.height() / 2);
    try {
        m_c.chart->draw(painter, target);
    } catch (...) {
        printer.abort();
        painter.end();
        throw;
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        throw printError(printer);
}

void ClipboardPrint::btSaveChartClick() {
    guarded([this] {
        QGuiApplication::clipboard()->setMimeData(
            chartPictureOnWhite(*m_c.chart, m_c.chart->objectName()));
    });
}

void ClipboardPrint::N1Click() {
    btSaveChartClick();
}

void ClipboardPrint::Chart1RightClick(const QPoint& position) {
    pmChart->popup(m_c.chart->mapToGlobal(position));
}

void ClipboardPrint::btCopyClick() {
    QStringList lines = memoLines(*m_c.mComment);
    QString text = lines.join('\n');
    // Without a readable file the comment goes alone: there is no date to name.
    if (!m_m.FileName.empty()) {
        if (const std::optional<double> written = lastWriteTime(m_m.FileName)) {
            // The comment's lines, then the one line: a break that ends the comment starts no
            // line of its own, and an empty memo has none.
            if (lines.size() > 1 && lines.back().isEmpty())
                lines.removeLast();
            else if (lines == QStringList{QString()})
                lines.clear();
            lines << QString::fromStdString(m_m.FileName) + "  " + measuredAtText(*written);
            text = lines.join('\n');
        }
    }
    m_c.mClipBoard->setPlainText(text);
    copyMemoToClipboard(*m_c.mClipBoard);
}

} // namespace zarvik
