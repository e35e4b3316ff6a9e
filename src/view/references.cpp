#include "view/references.h"

#include "chart/chart.h"
#include "chart/chartseries.h"
#include "files/d8cfile.h"
#include "files/datafilehandlers.h"
#include "ui/operatormessages.h"
#include "view/chartview.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>

namespace zarvik {

namespace {

// A reference is drawn in the channel's colour brought nearer to white.
QColor lighterShade(const QColor& color) {
    const QColor c = color.toRgb();
    const auto toWhite = [](int v) { return v + (255 - v) * 45 / 100; };
    return QColor(toWhite(c.red()), toWhite(c.green()), toWhite(c.blue()));
}

// The colour of a reference's legend entry: it stands for lines of every channel's colour.
const QColor kEntryColor(0x50, 0x50, 0x50);

} // namespace

struct References::Reference {
    QString fileName;
    std::uint8_t mask = 0;
    TMeasurement m;
    ChartBuildOutput points;
    LineSeries* entry = nullptr;
    std::array<LineSeries*, kChannels + 1> lines{}; // [1..8]; nullptr for channels not held
};

References::References(const Controls& controls, ChartView& view, QObject* parent)
    : QObject(parent),
      OverlayDlg(FileDialog::Mode::Open, "ADC files|*.d8c|All files|*.*", "DataVib", "dtw"),
      m_c(controls), m_view(view) {
    connect(m_c.btOverlay, &QAbstractButton::clicked, this, &References::btOverlayClick);
    for (int k = 0; k < kMaxReferences; ++k)
        connect(m_c.btRemoveReference[k], &QAbstractButton::clicked, this,
                [this, k] { remove(k); });
    connect(&m_view, &ChartView::built, this, &References::rebuild);
    connect(&m_view, &ChartView::channelColorChanged, this, &References::takeColors);
    showList();
}

References::~References() = default;

void References::btOverlayClick() {
    if (count() < kMaxReferences && OverlayDlg.Execute())
        overlay(OverlayDlg.FileName);
}

bool References::overlay(const QString& fileName) {
    if (count() >= kMaxReferences)
        return false;
    const QString name = QDir::toNativeSeparators(QFileInfo(fileName).absoluteFilePath());
    auto r = std::make_unique<Reference>();
    try {
        LoadedD8c loaded = loadD8cFile(name.toStdString());
        r->mask = loaded.contents.header.ChannelMask;
        applyLoadedD8c(r->m, std::move(loaded));
    } catch (const D8cLoadError& e) {
        DataFileHandlers::showLoadError(e, name);
        return false;
    } catch (...) {
        showException(std::current_exception());
        return false;
    }
    r->fileName = name;
    r->entry = m_c.chart->addLineSeries(QFileInfo(name).fileName(), kEntryColor);
    for (int n = 1; n <= kChannels; ++n) {
        if ((r->mask & (1u << (n - 1))) == 0)
            continue;
        LineSeries* line = m_c.chart->addLineSeries();
        line->setInLegend(false);
        line->setDashed(true);
        // Hidden with its legend entry, and with the measurement's line of the channel.
        line->setFollowed({r->entry, m_view.series(n)});
        r->lines[n] = line;
    }
    build(*r);
    m_references.push_back(std::move(r));
    takeColors();
    showList();
    emit changed();
    return true;
}

void References::remove(int index) {
    if (index < 0 || index >= count())
        return;
    Reference& r = *m_references[static_cast<std::size_t>(index)];
    for (LineSeries* line : r.lines)
        if (line)
            m_c.chart->removeSeries(line);
    m_c.chart->removeSeries(r.entry);
    m_references.erase(m_references.begin() + index);
    showList();
    emit changed();
}

QString References::name(int index) const {
    return QFileInfo(m_references[static_cast<std::size_t>(index)]->fileName).fileName();
}

const LineSeries* References::line(int index, int channel) const {
    return m_references[static_cast<std::size_t>(index)]->lines[static_cast<std::size_t>(channel)];
}

void References::build(Reference& r) {
    ChartBuildInput in = m_view.buildInput();
    for (int n = 1; n <= kChannels; ++n)
        in.checked[n] = r.lines[n] != nullptr;
    buildChannelPoints(r.m, in, r.points);
    for (int n = 1; n <= kChannels; ++n) {
        if (!r.lines[n])
            continue;
        r.lines[n]->assign(EvenX{1, r.points.xFactor, r.points.xDivisor}, r.points.channels[n].y);
        // Only the channels the measurement's build drew.
        r.lines[n]->setActive(m_view.series(n)->count() > 0);
    }
}

void References::rebuild() {
    for (auto& r : m_references)
        build(*r);
}

void References::takeColors() {
    for (auto& r : m_references)
        for (int n = 1; n <= kChannels; ++n)
            if (r->lines[n])
                r->lines[n]->setSeriesColor(lighterShade(m_view.series(n)->seriesColor()));
}

void References::showList() {
    for (int k = 0; k < kMaxReferences; ++k) {
        const bool used = k < count();
        QLabel* label = m_c.lbReference[k];
        label->setText(
            used ? QFontMetrics(label->font()).elidedText(name(k), Qt::ElideMiddle, label->width())
                 : QString());
        m_c.lbReference[k]->setToolTip(used ? m_references[static_cast<std::size_t>(k)]->fileName
                                            : QString());
        m_c.lbReference[k]->setVisible(used);
        m_c.btRemoveReference[k]->setVisible(used);
    }
    m_c.btOverlay->setEnabled(count() < kMaxReferences);
}

} // namespace zarvik
