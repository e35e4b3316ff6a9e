#include "analysisfixture.h"

#include "chart/chart.h"
#include "files/datafilehandlers.h"
#include "ui/systemlocale.h"
#include "view/chartview.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QToolButton>
#include <cmath>

namespace zarvik::test {
namespace {

const QString kNoChannel = "msg:Должен быть показан хотя бы один график!";
const QString kHeader = "F,Hz\tAmplitude\tFirst Point\tLast Point\tChannel\tFile Name";

// A number as the clipboard writes it, read back.
double number(const QString& text) {
    bool ok = false;
    const double v = QString(text).replace(',', '.').toDouble(&ok);
    EXPECT_TRUE(ok) << text.toStdString();
    return v;
}

constexpr double kPi = 3.14159265358979323846;

// A 10 Hz sine of 1000 codes around mid-scale, sampled at 1 kHz.
std::uint16_t tenHertz(int, int j) {
    return static_cast<std::uint16_t>(32768 +
                                      std::lround(1000 * std::sin(2 * kPi * 10 * j / 1000.0)));
}

// +1 or -1 by the parity of the set bits of n: a smooth run of values with these signs sums to
// almost nothing, whatever its start, and so does every second one of them.
double thueMorseSign(int n) {
    int bits = 0;
    for (unsigned v = static_cast<unsigned>(n); v != 0; v &= v - 1)
        ++bits;
    return bits % 2 ? -1.0 : 1.0;
}

class SpectrumCommandTest : public AnalysisTest {
protected:
    void SetUp() override {
        AnalysisTest::SetUp();
        createWindows();
        form1->Measurement.SamplePeriodUs = 1000.0;
    }
    // The summary line, split into its columns.
    QStringList summary() const { return clipboardLines().value(2).split('\t'); }
};

TEST_F(SpectrumCommandTest, TheLocaleHasADecimalComma) {
    ASSERT_EQ(localeDecimalSeparator(), ',') << "the comma checks below would prove nothing";
}

TEST_F(SpectrumCommandTest, ListsTheBinsUpToFmaxOfTheWholeVisibleStretch) {
    setStream({1}, 3000, tenHertz);
    build(1);
    form2->cbSp2ClipBrd->setChecked(false);
    form1->btSpectrGo->click();

    EXPECT_TRUE(form2->isVisible());
    EXPECT_FALSE(form2->Chart1->isHidden());
    EXPECT_TRUE(form2->Chart2->isHidden());
    // 1 kHz, step 1, 35 Hz: bins 0 to 1146; bin 1147 would lie at 35.0037 Hz.
    const LineSeries* e = form2->Envelope;
    ASSERT_EQ(e->count(), 1147);
    EXPECT_EQ(form2->SpectArrows->count(), 0);
    EXPECT_EQ(e->x(0), 0.0);
    EXPECT_EQ(e->x(1146), 1146.0);
    EXPECT_EQ(e->label(1), "0,030517578125");
    EXPECT_EQ(e->label(1146), "34,97314453125");
    EXPECT_EQ(e->color(1146), QColor(255, 0, 0));

    // The strongest line is the bin nearest 10 Hz, at about the sine's amplitude.
    const QRegularExpression maxText("^F,Гц=10,0098;  Max=(\\d+,\\d{4})$");
    const auto m = maxText.match(form2->lbSpectrumMax->text());
    ASSERT_TRUE(m.hasMatch()) << form2->lbSpectrumMax->text().toStdString();
    EXPECT_NEAR(number(m.captured(1)), 1000.0, 100.0);

    const QStringList lines = clipboardLines();
    ASSERT_EQ(lines.size(), 3) << "without the per-bin lines";
    EXPECT_EQ(lines[0], kHeader);
    EXPECT_EQ(lines[1], "");
    const QStringList s = summary();
    ASSERT_EQ(s.size(), 6);
    EXPECT_EQ(s[0], "10,009765625");
    EXPECT_NEAR(number(s[1]), number(m.captured(1)), 1e-4);
    EXPECT_EQ(s[2], "0");
    EXPECT_EQ(s[3], "2998") << "the last of 2999 points, in ms";
    EXPECT_EQ(s[4], "11");
    EXPECT_EQ(s[5], "");
    EXPECT_EQ(form1->mClipBoard->toPlainText(), QGuiApplication::clipboard()->text());
}

TEST_F(SpectrumCommandTest, TakesOnlyTheZoomedStretchAndEveryStepthPoint) {
    setStream({1}, 3000, tenHertz);
    build(1);
    zoomToPoints(1, 100, 1123);
    form2->seStep->setValue(2);
    form1->btSpectrGo->click();

    const QStringList s = summary();
    ASSERT_EQ(s.size(), 6);
    EXPECT_EQ(s[2], "100");
    EXPECT_EQ(s[3], "1123");
    // Every second point halves the bin width: 35 Hz is reached at bin 2293.
    const LineSeries* e = form2->Envelope;
    ASSERT_EQ(e->count(), 2294);
    EXPECT_EQ(e->label(2293), "34,9884033203125");
}

TEST_F(SpectrumCommandTest, PerBinLinesFollowTheSummaryWhenTheBoxIsTicked) {
    setStream({1}, 3000, tenHertz);
    build(1);
    form2->cbSp2ClipBrd->setChecked(true);
    form1->btSpectrGo->click();

    const QStringList lines = clipboardLines();
    ASSERT_EQ(lines.size(), 3 + 1147);
    EXPECT_EQ(lines[0], kHeader);
    EXPECT_EQ(lines[1], "");
    EXPECT_TRUE(lines[2].startsWith("10,009765625\t"));
    const QStringList bin1 = lines[4].split('\t');
    ASSERT_EQ(bin1.size(), 2);
    EXPECT_EQ(bin1[0], "0,030517578125");
    EXPECT_NEAR(number(bin1[1]), form2->Envelope->y(1), 1e-13 * form2->Envelope->y(1));
    EXPECT_TRUE(lines.last().startsWith("34,97314453125\t"));
}

TEST_F(SpectrumCommandTest, TheRadioGroupChoosesLinesOrEnvelopeAndEachRunEmptiesBoth) {
    setStream({1}, 3000, tenHertz);
    build(1);
    form2->setSpectrumType(1);
    form1->btSpectrGo->click();
    const ArrowSeries* a = form2->SpectArrows;
    ASSERT_EQ(a->count(), 1147);
    EXPECT_EQ(form2->Envelope->count(), 0);
    EXPECT_EQ(a->startX(328), 328.0);
    EXPECT_EQ(a->endX(328), 328.0);
    EXPECT_EQ(a->endY(328), 0.0);
    EXPECT_GT(a->startY(328), 900.0);
    EXPECT_EQ(a->label(328), "10,009765625");
    EXPECT_EQ(a->color(328), QColor(255, 0, 0));

    const double peak = a->startY(328);

    form2->setSpectrumType(0);
    form2->btSpGo->click();
    EXPECT_EQ(form2->SpectArrows->count(), 0);
    ASSERT_EQ(form2->Envelope->count(), 1147);
    EXPECT_EQ(form2->Envelope->y(328), peak);
    EXPECT_EQ(form2->Envelope->x(328), 328.0);
}

TEST_F(SpectrumCommandTest, ChannelColumnNamesTheFirstShownChannelAndItsGroup) {
    setStream({2, 3}, 500, tenHertz);
    build(1);
    form1->btSpectrGo->click();
    EXPECT_EQ(summary().value(4), "21");

    form1->cbCh[2]->setChecked(false);
    paint();
    form1->btSpectrGo->click();
    EXPECT_EQ(summary().value(4), "32");

    form1->dataFiles()->OpenDlg.FileName = "/данные/стенд 2.d8c";
    form1->btSpectrGo->click();
    EXPECT_EQ(summary().value(5), "/данные/стенд 2.d8c");
}

TEST_F(SpectrumCommandTest, AFlatStretchHasItsMaximumZeroAtZeroHertz) {
    setStream({1}, 1000, [](int, int) { return std::uint16_t{2047}; });
    build(1);
    form1->btSpectrGo->click();
    EXPECT_EQ(form2->lbSpectrumMax->text(), "F,Гц=0,0000;  Max=0,0000");
    EXPECT_EQ(summary().value(0), "0");
    EXPECT_EQ(summary().value(1), "0");
}

TEST_F(SpectrumCommandTest, WithoutAShownChannelOnlyTheMessageAppears) {
    setStream({1}, 100, tenHertz);
    build(1);
    for (int n = 1; n <= 8; ++n)
        form1->cbCh[n]->setChecked(false);
    QGuiApplication::clipboard()->setText("kept");

    form1->btSpectrGo->click();
    EXPECT_EQ(messages().log, QStringList{kNoChannel});
    EXPECT_FALSE(form2->isVisible());
    EXPECT_EQ(form2->Envelope->count(), 0);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "kept");

    messages().log.clear();
    form1->btTrend->click();
    EXPECT_EQ(messages().log, QStringList{kNoChannel});
    EXPECT_FALSE(form2->isVisible());
    // The window is left as the command's first step set it.
    EXPECT_FALSE(form2->Chart2->isHidden());
    EXPECT_FALSE(form2->seFmax->isEnabled());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "kept");
}

TEST_F(SpectrumCommandTest, NothingIsReadBeforeTheMainChartWasEverDrawn) {
    setStream({1}, 100, tenHertz);
    form1->chartView()->ShowChart();
    ASSERT_EQ(form1->chartView()->VisibleFirst, -1);
    QGuiApplication::clipboard()->setText("kept");

    form1->btSpectrGo->click();
    EXPECT_EQ(form2->Envelope->count(), 0);
    EXPECT_EQ(form2->lbSpectrumMax->text(), "");
    form1->btTrend->click();
    EXPECT_EQ(form2->seriLn->count(), 0);
    EXPECT_EQ(form2->seriTrend->count(), 0);
    EXPECT_EQ(form2->lbSpectrumMax->text(), "");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "kept");
    EXPECT_TRUE(messages().log.isEmpty());
}

// Trend: a deviation of 5 * e^(-0.002 t) from the mean, t in ms, in physical units of channel
// `channel`. The signs follow the Thue-Morse sequence over the point number, which keeps the
// mean at mid-scale for every step and every start of the stretch.
class TrendCommandTest : public AnalysisTest {
protected:
    void SetUp() override {
        AnalysisTest::SetUp();
        createWindows();
    }
    void buildDecay(int channel) {
        TMeasurement& m = form1->Measurement;
        m.SamplePeriodUs = 1000.0;
        m.FromFile = true;
        m.Scale[channel] = 5.0 / 20000.0;
        m.Shift[channel] = 32768.0;
        setStream({channel}, 1201, [](int, int j) {
            const int c = j - 1; // point c is instant c + 1
            return static_cast<std::uint16_t>(std::lround(
                32768.0 + thueMorseSign(std::max(c, 0)) * 20000.0 * std::exp(-0.002 * c)));
        });
        form1->gbOptions->cbTimeunits->setCurrentIndex(1);
        build(0);
        zoomToPoints(channel, 100, 1099);
    }
    QStringList line() const {
        const QStringList lines = clipboardLines();
        EXPECT_EQ(lines.size(), 1);
        return lines.value(0).split('\t');
    }
};

TEST_F(TrendCommandTest, DecayRateAndLogAmplitudeAreTheSameForEveryStep) {
    buildDecay(1);
    for (int step : {1, 2}) {
        SCOPED_TRACE(step);
        form2->seStep->setValue(step);
        form1->btTrend->click();

        EXPECT_TRUE(form2->isVisible());
        EXPECT_FALSE(form2->Chart2->isHidden());
        EXPECT_TRUE(form2->Chart1->isHidden());
        const QStringList l = line();
        ASSERT_EQ(l.size(), 5);
        EXPECT_NEAR(number(l[0]), -0.002, 2e-7);
        EXPECT_NEAR(number(l[1]), std::log(5.0), 2e-5);
        EXPECT_EQ(l[2], "100");
        EXPECT_EQ(l[3], "1099");

        // One logarithm point per used sample, labelled with its time in whole ms.
        const LineSeries* ln = form2->seriLn;
        ASSERT_EQ(ln->count(), 1000 / step);
        EXPECT_EQ(ln->x(0), 100.0);
        EXPECT_EQ(ln->x(1), 100.0 + step);
        EXPECT_EQ(ln->label(1), QString::number(100 + step));
        EXPECT_NEAR(ln->y(0), std::log(5.0) - 0.2, 1e-3);
        // The line runs over the same sample numbers and lies on the points.
        const LineSeries* tr = form2->seriTrend;
        ASSERT_EQ(tr->count(), 2);
        EXPECT_EQ(tr->x(0), 100.0);
        EXPECT_EQ(tr->x(1), 1099.0);
        EXPECT_NEAR(tr->y(0), std::log(5.0) - 0.002 * 100, 1e-4);
        EXPECT_NEAR(tr->y(1), std::log(5.0) - 0.002 * 1099, 1e-4);
    }
}

TEST_F(TrendCommandTest, ResultLabelHasSixDecimalsWithTheLocaleSeparator) {
    buildDecay(1);
    form1->btTrend->click();
    const QString label = form2->lbSpectrumMax->text();
    EXPECT_TRUE(QRegularExpression("^-0,00[12]\\d{3}\\*x\\+1,6\\d{5}$").match(label).hasMatch())
        << label.toStdString();
}

TEST_F(TrendCommandTest, LineEndsWithChannelGroupCommaAndTheOpenDialogsFile) {
    buildDecay(5);
    form1->btTrend->click();
    ASSERT_EQ(clipboardLines().size(), 1);
    EXPECT_TRUE(clipboardLines()[0].endsWith("\t1099\t52, ")) << clipboardLines()[0].toStdString();

    form1->dataFiles()->OpenDlg.FileName = "/данные/стенд 2.d8c";
    form1->btTrend->click();
    EXPECT_TRUE(clipboardLines()[0].endsWith("\t52, /данные/стенд 2.d8c"));
    EXPECT_EQ(form1->mClipBoard->toPlainText(), QGuiApplication::clipboard()->text());
}

// A rich copy beside the text would let a spreadsheet paste the listing into one column.
TEST_F(TrendCommandTest, TrendAndSpectrumPutPlainTextOnlyOnTheClipboard) {
    buildDecay(5);
    for (QAbstractButton* command : {static_cast<QAbstractButton*>(form1->btTrend),
                                     static_cast<QAbstractButton*>(form1->btSpectrGo)}) {
        QGuiApplication::clipboard()->clear();
        command->click();
        const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
        ASSERT_NE(mime, nullptr);
        EXPECT_EQ(mime->formats(), QStringList{"text/plain"}) << command->text().toStdString();
        EXPECT_EQ(mime->text(), form1->mClipBoard->toPlainText());
    }
}

TEST_F(TrendCommandTest, TheWindowsTrendButtonRunsTheSameCommandAndTheSpectrumUndoesItsState) {
    buildDecay(1);
    form2->btTr->click();
    EXPECT_EQ(form2->Chart2->bottomAxis()->title(), "Время, мс");
    EXPECT_EQ(form2->seriLn->count(), 1000);
    for (QWidget* w :
         {static_cast<QWidget*>(form2->lbFmax), static_cast<QWidget*>(form2->seFmax),
          static_cast<QWidget*>(form2->rgSpEnv), static_cast<QWidget*>(form2->cbSp2ClipBrd)})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();

    form2->btSpGo->click();
    EXPECT_FALSE(form2->Chart1->isHidden());
    EXPECT_TRUE(form2->Chart2->isHidden());
    for (QWidget* w :
         {static_cast<QWidget*>(form2->lbFmax), static_cast<QWidget*>(form2->seFmax),
          static_cast<QWidget*>(form2->rgSpEnv), static_cast<QWidget*>(form2->cbSp2ClipBrd)})
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_TRUE(form2->lbSpectrumMax->text().startsWith("F,Гц="));
}

} // namespace
} // namespace zarvik::test
