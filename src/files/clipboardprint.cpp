#include "files/clipboardprint.h"

#include "chart/chart.h"
#include "files/datetimetext.h"
#include "files/filetime.h"
#include "shell/operatormessages.h"

#include <QAbstractButton>
#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSvgGenerator>
#include <stdexcept>

namespace zarvik {
namespace {

// Gives the chart another background for one drawing; the old colour comes back even when
// the drawing fails.
class BackgroundOverride {
public:
    BackgroundOverride(Chart& chart, const QColor& color)
        : m_chart(chart), m_saved(chart.backgroundColor()) {
        m_chart.setBackgroundColor(color);
    }
    ~BackgroundOverride() { m_chart.setBackgroundColor(m_saved); }
    BackgroundOverride(const BackgroundOverride&) = delete;
    BackgroundOverride& operator=(const BackgroundOverride&) = delete;

private:
    Chart& m_chart;
    QColor m_saved;
};

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
    // Printer pixels of the printable page: its whole width and the upper half.
    const QRect target(QPoint(0, 0), QPoint(printer.width() - 1, printer.height() / 2));
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
        const QSize size = m_c.chart->rect().size().expandedTo(QSize(1, 1));
        const QRect whole(QPoint(0, 0), size);
        QBuffer svg;
        QImage png(size, QImage::Format_RGB32);
        {
            BackgroundOverride white(*m_c.chart, Qt::white);
            svg.open(QIODevice::WriteOnly);
            QSvgGenerator generator;
            generator.setOutputDevice(&svg);
            generator.setSize(size);
            generator.setViewBox(whole);
            generator.setTitle(m_c.chart->objectName());
            QPainter toSvg(&generator);
            m_c.chart->draw(toSvg, whole);
            toSvg.end();

            png.fill(Qt::white);
            QPainter toPng(&png);
            m_c.chart->draw(toPng, whole);
        }
        auto* mime = new QMimeData;
        mime->setData("image/svg+xml", svg.data());
        mime->setImageData(png);
        QGuiApplication::clipboard()->setMimeData(mime);
    });
}

void ClipboardPrint::N1Click() {
    btSaveChartClick();
}

void ClipboardPrint::Chart1RightClick(const QPoint& position) {
    pmChart->popup(m_c.chart->mapToGlobal(position));
}

void ClipboardPrint::btCopyClick() {
    QString text = m_c.mComment->toPlainText();
    // Without a readable file the comment goes alone: there is no date to name.
    if (!m_m.FileName.empty()) {
        if (const std::optional<double> written = lastWriteTime(m_m.FileName)) {
            if (!text.isEmpty())
                text += '\n';
            text += QString::fromStdString(m_m.FileName) + "  " + measuredAtText(*written);
        }
    }
    m_c.mClipBoard->setPlainText(text);
    m_c.mClipBoard->selectAll();
    QGuiApplication::clipboard()->setText(m_c.mClipBoard->toPlainText());
}

} // namespace zarvik
