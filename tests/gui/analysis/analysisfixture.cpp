#include "analysisfixture.h"

#include "chart/chart.h"
#include "view/chartview.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>

namespace {

// Numbers in the listings and labels carry the system locale's separator. The tests run under
// a locale with a decimal comma, so that a point written in its place shows; set before the
// test main reads the locale.
[[maybe_unused]] const bool commaLocale = qputenv("LC_ALL", "ru_RU.UTF-8");

} // namespace

namespace zarvik::test {

void AnalysisTest::SetUp() {
    ASSERT_TRUE(dir.isValid());
    messages().log.clear();
}

void AnalysisTest::TearDown() {
    form2.reset();
    form1.reset();
}

QString AnalysisTest::iniPath() const {
    return appPath() + "Zarvik.ini";
}

void AnalysisTest::createWindows() {
    form1 = std::make_unique<TForm1>(appPath());
    form2 = std::make_unique<TForm2>();
    form1->setSpectrumWindow(form2.get());
    // Opening the port at start-up reports that no board is there.
    messages().log.clear();
}

void AnalysisTest::setStream(std::initializer_list<int> channels, int instants,
                             const std::function<std::uint16_t(int, int)>& word) {
    // Channels 5..8 flip their series on every click, so every box goes off first and the
    // chosen ones on again: the chosen series end up shown, the others hidden.
    for (int n = 1; n <= 8; ++n)
        form1->cbCh[n]->setChecked(false);
    for (int n : channels)
        form1->cbCh[n]->setChecked(true);
    auto& data = form1->Measurement.SampleData;
    data.clear();
    for (int j = 0; j < instants; ++j)
        for (int n : channels) {
            const std::uint16_t w = word(n, j);
            data.push_back(static_cast<std::uint8_t>(w & 0xFF));
            data.push_back(static_cast<std::uint8_t>(w >> 8));
        }
}

void AnalysisTest::build(int mode) {
    form1->gbChart->cbShowK->setCurrentIndex(mode);
    form1->chartView()->ShowChart();
    paint();
}

void AnalysisTest::paint() {
    form1->show();
    form1->Chart1->repaint();
    QApplication::processEvents();
}

void AnalysisTest::zoomToPoints(int channel, int first, int last) {
    const LineSeries* s = form1->chartView()->series(channel);
    const double half = (s->x(1) - s->x(0)) / 2;
    form1->Chart1->bottomAxis()->setRange(s->x(first) - half, s->x(last) + half);
    paint();
}

QStringList AnalysisTest::clipboardLines() const {
    return QGuiApplication::clipboard()->text().split('\n');
}

} // namespace zarvik::test
