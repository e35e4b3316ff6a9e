// What an operator does while the board measures or sends its array: every chart rebuild,
// file, clipboard and analysis command works on the measurement held, and the measurement on
// its way still arrives whole; a new start gives the old transfer up and brings the new
// measurement whole; "USB" ends the measurement with a message and keeps the one held.

#include "analysis/spectrumwindow.h"
#include "chart/chartseries.h"
#include "device/linksupervisor.h"
#include "files/clipboardprint.h"
#include "files/datafilehandlers.h"
#include "files/folderwalk.h"
#include "gui/files/filepartsfixture.h"
#include "mainwindowboard.h"
#include "view/chartview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QToolButton>
#include <functional>

namespace {

using zarvik::test::MainWindowWithBoard;
namespace sim = zarvik::boardsim;

constexpr std::uint8_t kMask = 0x05;      // channels 1 and 3
constexpr std::uint8_t kOtherMask = 0x02; // what a second start measures
constexpr std::uint32_t kDivisor = 7200;  // 2048 Hz
constexpr double kTimeScale = 0.08;       // 0.6 s of the 7.3 s measurement

enum class Phase { Measuring, Transferring };

class OperatorActionsTest;

struct Action {
    const char* name;
    std::function<void(OperatorActionsTest&)> act;
    enum Outcome { Arrives, NewMeasurement, Interrupted } outcome = Arrives;
};

void PrintTo(const Action& a, std::ostream* os) {
    *os << a.name;
}
void PrintTo(Phase p, std::ostream* os) {
    *os << (p == Phase::Measuring ? "measuring" : "transferring");
}

// A main window holding a data file of its own when the board is asked to measure.
class WithHeldFile : public MainWindowWithBoard {
public:
    using MainWindowWithBoard::choose;
    using MainWindowWithBoard::form;
    QString data(const QString& name) const { return dir.path() + "/data/" + name; }
    // Through the open dialog, as the operator opens a file.
    void open(const QString& name) {
        form->dataFiles()->OpenDlg.prompt = [this, name](const zarvik::FileDialog&) {
            return data(name);
        };
        form->btLoadFile->click();
    }
};

class OperatorActionsTest : public WithHeldFile,
                            public ::testing::WithParamInterface<std::tuple<Action, Phase>> {
public:
    std::unique_ptr<zarvik::TForm2> spectrum;
    QString scratch;
};

const Action kActions[] = {
    {"time_unit",
     [](OperatorActionsTest& t) {
         t.form->gbOptions->cbTimeunits->setCurrentIndex(1);
         emit t.form->gbOptions->cbTimeunits->activated(1);
     }},
    {"axis_mode",
     [](OperatorActionsTest& t) {
         t.form->gbChart->cbShowK->setCurrentIndex(1);
         emit t.form->gbChart->cbShowK->activated(1);
     }},
    {"smoothing", [](OperatorActionsTest& t) { t.form->gbChart->cbInt->toggle(); }},
    {"channel_box", [](OperatorActionsTest& t) { t.form->cbCh[2]->toggle(); }},
    {"colour", [](OperatorActionsTest& t) { t.form->chartView()->setChannelColor(1, Qt::red); }},
    {"open_file", [](OperatorActionsTest& t) { t.open("b.d8c"); }},
    {"drop_file",
     [](OperatorActionsTest& t) { t.form->folderWalk()->WMDropFiles({t.data("b.d8c")}); }},
    {"next_file", [](OperatorActionsTest& t) { t.form->btNextFile->click(); }},
    {"comment_browser", [](OperatorActionsTest& t) { t.form->btShowCmnt->click(); }},
    {"save",
     [](OperatorActionsTest& t) {
         t.form->dataFiles()->SaveDlg.prompt = [&t](const zarvik::FileDialog&) {
             return t.scratch + "/saved.d8c";
         };
         t.form->btSave->click();
     }},
    {"export",
     [](OperatorActionsTest& t) {
         t.form->dataFiles()->SaveDlg.prompt = [&t](const zarvik::FileDialog&) {
             return t.scratch + "/table.csv";
         };
         t.form->btSave->click();
     }},
    {"print",
     [](OperatorActionsTest& t) {
         t.form->clipboardPrint()->defaultPrinter = [&t] {
             auto p = std::make_unique<QPrinter>();
             p->setOutputFormat(QPrinter::PdfFormat);
             p->setOutputFileName(t.scratch + "/chart.pdf");
             return p;
         };
         t.form->btPrint->click();
     }},
    {"spectrum", [](OperatorActionsTest& t) { t.form->btSpectrGo->click(); }},
    {"trend", [](OperatorActionsTest& t) { t.form->btTrend->click(); }},
    {"new_start",
     [](OperatorActionsTest& t) {
         t.choose(kOtherMask, 30000, 2048);
         t.form->btStartPlus->click();
     },
     Action::NewMeasurement},
    {"usb", [](OperatorActionsTest& t) { t.form->btUSB->click(); }, Action::Interrupted},
};

TEST_P(OperatorActionsTest, TheMeasurementOnItsWayArrivesWhole) {
    const auto& [action, phase] = GetParam();
    sim::BoardOptions o;
    o.pace = true;
    o.timeScale = kTimeScale;
    plugIn(o);
    openWindow();
    spectrum = std::make_unique<zarvik::TForm2>();
    form->setSpectrumWindow(spectrum.get());
    ASSERT_TRUE(QDir(dir.path()).mkpath("data"));
    scratch = dir.path() + "/data";
    zarvik::test::DataFileRecipe held;
    held.comment = {"Held"};
    zarvik::test::writeDataFile(data("a.d8c"), held);
    zarvik::test::writeDataFile(data("b.d8c"));
    open("a.d8c");
    ASSERT_EQ(form->Measurement.Comment, std::vector<std::string>{"Held"});
    const std::vector<std::uint8_t> heldSamples = form->Measurement.SampleData;

    choose(kMask, 30000, 2048);
    board->clearRecord();
    zarvik::test::messages().log.clear();
    form->btStartPlus->click();
    auto& cycle = *form->cycle();
    if (phase == Phase::Measuring) {
        ASSERT_TRUE(cycle.State.measuring());
    } else {
        // Some packets in, most still to come.
        ASSERT_TRUE(waitFor(
            [&] { return cycle.State.transferring() && cycle.State.PacketsLeft < 100; }, 5000));
    }
    action.act(*this);
    if (action.outcome == Action::NewMeasurement && phase == Phase::Transferring) {
        EXPECT_EQ(form->statusText(1), "Прежняя передача прервана");
    }

    if (action.outcome == Action::Interrupted) {
        EXPECT_TRUE(waitFor([&] { return !log().isEmpty(); }, 1000));
        ASSERT_FALSE(log().isEmpty());
        EXPECT_TRUE(log().front().startsWith(phase == Phase::Measuring
                                                 ? "msg:Связь с платой АЦП прервалась"
                                                 : "msg:Передача массива прервана"))
            << log().front().toStdString();
        EXPECT_FALSE(cycle.busy());
        EXPECT_EQ(form->Measurement.SampleData, heldSamples);
        EXPECT_TRUE(waitFor([&] { return linkUp(); }, 3000));
        return;
    }

    ASSERT_TRUE(measured(8000)) << form->statusText(0).toStdString();
    const std::uint8_t mask = action.outcome == Action::NewMeasurement ? kOtherMask : kMask;
    EXPECT_EQ(form->Measurement.SampleData, boardArray(mask, kDivisor, 1));
    EXPECT_FALSE(form->Measurement.FromFile);
    for (int n = 1; n <= 8; ++n)
        EXPECT_EQ(form->cbCh[n]->isChecked(), (mask >> (n - 1)) & 1) << "channel " << n;
    const int channels = mask == kMask ? 2 : 1;
    EXPECT_EQ(form->chartView()->series(mask == kMask ? 1 : 2)->count(), 30000 / channels - 1);
    EXPECT_TRUE(form->link()->timCheckUSB->isActive()) << "the link check runs again";
    EXPECT_TRUE(form->pnlChart->isHidden());
    for (const QString& line : log())
        EXPECT_TRUE(line.startsWith("info:") && !line.contains("прерван")) << line.toStdString();
    if (action.outcome == Action::NewMeasurement && phase == Phase::Transferring) {
        EXPECT_EQ(board->stats().starts, 2);
        EXPECT_EQ(board->stats().reads, 2);
    }
}

std::string caseName(const ::testing::TestParamInfo<std::tuple<Action, Phase>>& info) {
    return std::string(std::get<0>(info.param).name) +
           (std::get<1>(info.param) == Phase::Measuring ? "_measuring" : "_transferring");
}

INSTANTIATE_TEST_SUITE_P(Actions, OperatorActionsTest,
                         ::testing::Combine(::testing::ValuesIn(kActions),
                                            ::testing::Values(Phase::Measuring,
                                                              Phase::Transferring)),
                         caseName);

using ZeroRunTest = WithHeldFile;

// A rebuild while the zero run measures draws what is held; the levels come from the zero run's
// own measurement when it arrives.
TEST_F(ZeroRunTest, ARebuildWhileTheZeroRunMeasuresLeavesTheStepToItsMeasurement) {
    sim::BoardOptions o;
    o.timeScale = 0.5;
    o.steadyLevel = 1000;
    plugIn(o);
    openWindow();
    ASSERT_TRUE(QDir(dir.path()).mkpath("data"));
    zarvik::test::writeDataFile(data("a.d8c"));
    open("a.d8c");
    form->gbChart->btZeros->click();
    ASSERT_TRUE(form->cycle()->State.measuring());
    form->gbOptions->cbTimeunits->setCurrentIndex(1);
    emit form->gbOptions->cbTimeunits->activated(1);
    EXPECT_TRUE(form->Measurement.ZeroRun);
    ASSERT_TRUE(measured(5000));
    for (int n = 1; n <= 8; ++n)
        EXPECT_EQ(form->gbChart->lbCh[n]->text(), QString("Канал %1=1000").arg(n));
    EXPECT_FALSE(form->Measurement.ZeroRun);
}

} // namespace
