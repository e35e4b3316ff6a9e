#include "chart/chart.h"
#include "chart/chartaxis.h"
#include "chart/chartseries.h"
#include "common/numtext.h"
#include "shell/tform1.h"
#include "ui/systemlocale.h"
#include "view/chartview.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMouseEvent>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>
#include <initializer_list>

namespace {

using zarvik::ChartView;
using zarvik::TForm1;

class ChartViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm1>(dir.path() + "/");
        view = form->chartView();
    }
    // Selects exactly the given channels and fills the stream with their words, instant by
    // instant.
    void setStream(std::initializer_list<int> channels,
                   const std::vector<std::vector<std::uint16_t>>& perChannel) {
        for (int n = 1; n <= 8; ++n)
            form->cbCh[n]->setChecked(false);
        for (int n : channels)
            form->cbCh[n]->setChecked(true);
        auto& data = form->Measurement.SampleData;
        data.clear();
        for (std::size_t j = 0; j < perChannel.front().size(); ++j)
            for (const auto& words : perChannel) {
                data.push_back(static_cast<std::uint8_t>(words[j] & 0xFF));
                data.push_back(static_cast<std::uint8_t>(words[j] >> 8));
            }
    }
    std::vector<double> ys(int channel) const {
        std::vector<double> v;
        for (int i = 0; i < view->series(channel)->count(); ++i)
            v.push_back(view->series(channel)->y(i));
        return v;
    }
    void setMode(int mode) { form->gbChart->cbShowK->setCurrentIndex(mode); }
    void paint() {
        form->show();
        form->Chart1->repaint();
        QApplication::processEvents();
    }

    QTemporaryDir dir;
    std::unique_ptr<TForm1> form;
    ChartView* view = nullptr;
};

TEST_F(ChartViewTest, TheFirstInstantIsNotPlottedAndTheFirstPointIsAtOneStep) {
    setStream({2}, {{10, 20, 30, 40}});
    setMode(1);
    view->ShowChart();
    ASSERT_EQ(view->series(2)->count(), 3);
    EXPECT_DOUBLE_EQ(view->series(2)->x(0), 1.0);
    EXPECT_EQ(ys(2), (std::vector<double>{20, 30, 40}));
    EXPECT_DOUBLE_EQ(view->XStep, 1.0);
    EXPECT_EQ(view->series(1)->count(), 0);
    EXPECT_EQ(form->Measurement.ChannelMask, 0x02u);
}

TEST_F(ChartViewTest, TimeModeInMillisecondsPlacesPointIAtIPlusOneTimesTheStep) {
    setStream({1}, {{1, 2, 3, 4, 5}});
    form->Measurement.SamplePeriodUs = 500;
    setMode(0);
    form->gbOptions->cbTimeunits->setCurrentIndex(1);
    view->ShowChart();
    ASSERT_EQ(view->series(1)->count(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_DOUBLE_EQ(view->series(1)->x(i), (i + 1) * 0.5) << i;
    EXPECT_DOUBLE_EQ(view->XStep, 0.5);
    EXPECT_EQ(form->Measurement.XTitle, "Время, мс");
    EXPECT_EQ(form->Chart1->bottomAxis()->title(), "Время, мс");
}

TEST_F(ChartViewTest, PhysicalValuesUseTheScalesFileUnlessTheDataCameFromAFile) {
    setStream({3}, {{0, 2047, 2057}});
    setMode(2);
    form->Measurement.ScaleK[3] = 0.5;
    form->Measurement.ShiftScl[3] = 2047;
    form->Measurement.YTitle = "Сила, Н";
    view->ShowChart();
    EXPECT_EQ(ys(3), (std::vector<double>{0.0, 5.0}));
    EXPECT_EQ(form->Chart1->leftAxis()->title(), "Сила, Н");
    EXPECT_EQ(form->Chart1->bottomAxis()->title(), "Выборки");

    form->Measurement.FromFile = true;
    form->Measurement.Scale[3] = 2.0;
    form->Measurement.Shift[3] = 2057;
    view->ShowChart();
    EXPECT_EQ(ys(3), (std::vector<double>{-20.0, 0.0}));

    setMode(3);
    view->ShowChart();
    EXPECT_EQ(form->Chart1->leftAxis()->title(), "единицы АЦП");
}

TEST_F(ChartViewTest, SmoothingIsARecursiveAverageRoundedHalfToEven) {
    form->gbChart->seInt->setValue(2);
    setMode(1);
    form->gbChart->cbInt->setChecked(true);

    setStream({1}, {{0, 100, 100}});
    view->ShowChart();
    EXPECT_EQ(ys(1), (std::vector<double>{50, 75}));

    setStream({1, 2}, {{0, 5}, {0, 7}});
    view->ShowChart();
    EXPECT_EQ(ys(1), (std::vector<double>{2})) << "2.5 goes to 2";
    EXPECT_EQ(ys(2), (std::vector<double>{4})) << "3.5 goes to 4";

    // The running value keeps its fraction: 0, 5, 5 gives 2.5 then 3.75.
    setStream({1}, {{0, 5, 5}});
    view->ShowChart();
    EXPECT_EQ(ys(1), (std::vector<double>{2, 4}));
}

TEST_F(ChartViewTest, SmoothedChannelsRunApartAndAreScaledAfterRounding) {
    form->gbChart->seInt->setValue(2);
    form->gbChart->cbInt->setChecked(true);
    form->Measurement.ShiftScl[2] = 1;
    form->Measurement.ScaleK[2] = 2;
    form->Measurement.ShiftScl[7] = 0;
    form->Measurement.ScaleK[7] = 0.5;
    setMode(2);
    setStream({2, 7}, {{1, 101, 101}, {0, 5, 5}});
    view->ShowChart();
    // Channel 2: 51 and 76 before the scale; channel 7: 2.5 -> 2 and 3.75 -> 4.
    EXPECT_EQ(ys(2), (std::vector<double>{100, 150}));
    EXPECT_EQ(ys(7), (std::vector<double>{1, 2}));
}

TEST_F(ChartViewTest, UncheckingABoxSplitsTheSameStreamAnewAtTheNextBuild) {
    setStream({1, 2}, {{1, 2, 3}, {11, 12, 13}});
    setMode(1);
    view->ShowChart();
    EXPECT_EQ(ys(1), (std::vector<double>{2, 3}));
    form->cbCh[2]->setChecked(false);
    EXPECT_EQ(view->series(2)->count(), 2) << "a click does not rebuild";
    form->gbChart->cbShowK->setCurrentIndex(2);
    emit form->gbChart->cbShowK->activated(2);
    setMode(1);
    view->ShowChart();
    EXPECT_EQ(ys(1), (std::vector<double>{11, 2, 12, 3, 13}));
    EXPECT_EQ(view->series(2)->count(), 0);
}

TEST_F(ChartViewTest, EmptyDataOrNoChannelBuildsNothingAndDividesByNothing) {
    view->ShowChart();
    EXPECT_TRUE(form->btSpectrGo->isEnabled());
    EXPECT_TRUE(form->btTrend->isEnabled());
    EXPECT_DOUBLE_EQ(view->XStep, 0.0);

    setStream({1}, {{1, 2, 3}});
    for (int n = 1; n <= 8; ++n)
        form->cbCh[n]->setChecked(false);
    view->ShowChart();
    for (int n = 1; n <= 8; ++n)
        EXPECT_EQ(view->series(n)->count(), 0);
    EXPECT_EQ(form->Measurement.ChannelMask, 0u);
    view->Chart1MouseMove(100, 100);
}

TEST_F(ChartViewTest, ChannelBoxesShowOrInvertTheSeriesAndRecountTheChannels) {
    form->cbCh[2]->setChecked(false);
    EXPECT_FALSE(view->series(2)->isActive());
    form->cbCh[2]->setChecked(true);
    EXPECT_TRUE(view->series(2)->isActive());
    // Channels 5..8 invert: hidden through the legend, the next click shows it again.
    view->series(6)->setActive(false);
    form->cbCh[6]->setChecked(false);
    EXPECT_TRUE(view->series(6)->isActive());
    EXPECT_EQ(form->Measurement.ChannelCount, 7);
}

TEST_F(ChartViewTest, AColourFromTheDialogGoesToPanelSeriesAndBoxAndCancelChangesNothing) {
    view->chooseColor = [](const QColor&) { return std::optional<QColor>(QColor(1, 2, 3)); };
    view->pColorChClick(5);
    EXPECT_EQ(form->pColorCh[5]->color(), QColor(1, 2, 3));
    EXPECT_EQ(view->series(5)->seriesColor(), QColor(1, 2, 3));
    EXPECT_EQ(form->cbCh[5]->palette().color(QPalette::WindowText), QColor(1, 2, 3));
    view->chooseColor = [](const QColor&) { return std::optional<QColor>(); };
    view->pColorChClick(5);
    EXPECT_EQ(form->pColorCh[5]->color(), QColor(1, 2, 3));
}

TEST_F(ChartViewTest, TheSmoothingBoxRebuildsAndWritesItsStatusTexts) {
    setStream({1}, {{0, 100, 100}});
    setMode(1);
    view->ShowChart();
    paint();
    form->gbChart->seInt->setValue(2);
    form->gbChart->cbInt->setChecked(true);
    EXPECT_EQ(ys(1), (std::vector<double>{50, 75}));
    EXPECT_EQ(form->statusText(2), "Сглаживание по 2 точкам");
    // Only a series drawn since its last build counts as shown.
    form->gbChart->cbInt->setChecked(false);
    EXPECT_EQ(ys(1), (std::vector<double>{50, 75}));
    paint();
    form->gbChart->cbInt->setChecked(true);
    form->gbChart->cbInt->setChecked(false);
    EXPECT_EQ(ys(1), (std::vector<double>{50, 75}));
    paint();
    form->gbChart->cbInt->setChecked(true);
    paint();
    form->gbChart->cbInt->setChecked(false);
    EXPECT_EQ(ys(1), (std::vector<double>{100, 100}));
    EXPECT_EQ(form->statusText(2), "");
}

TEST_F(ChartViewTest, TheReadOutShowsTheSampleUnderThePointer) {
    std::vector<std::uint16_t> words(500);
    for (std::size_t i = 0; i < words.size(); ++i)
        words[i] = static_cast<std::uint16_t>(i);
    setStream({1}, {words});
    setMode(1);
    view->ShowChart();
    paint();
    const double px = form->Chart1->bottomAxis()->valueToPixel(123.2);
    view->Chart1MouseMove(static_cast<int>(std::lround(px)), 50);
    const char sep = zarvik::localeDecimalSeparator();
    EXPECT_EQ(form->statusText(2), QString("X=123") + sep + "00");
}

TEST_F(ChartViewTest, HidingChannelOneTakesTheVisibleRangeFromTheNextShownSeries) {
    setStream({1, 2}, {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}});
    setMode(1);
    view->ShowChart();
    paint();
    EXPECT_EQ(view->VisibleFirst, 0);
    EXPECT_EQ(view->VisibleLast, 4);
    view->series(1)->clear(); // Ch1 would give -1 from now on
    view->series(1)->setActive(false);
    paint();
    EXPECT_EQ(view->VisibleFirst, 0);
    EXPECT_EQ(view->VisibleLast, 4);
}

TEST_F(ChartViewTest, AZoomDraggedWithTheMouseNarrowsTheVisibleRangeAndAnUndoRestoresIt) {
    std::vector<std::uint16_t> words(1001);
    for (std::size_t i = 0; i < words.size(); ++i)
        words[i] = static_cast<std::uint16_t>(i % 97);
    setStream({1}, {words});
    setMode(1);
    view->ShowChart();
    paint();
    ASSERT_EQ(view->VisibleFirst, 0);
    ASSERT_EQ(view->VisibleLast, 999);

    auto* axis = form->Chart1->bottomAxis();
    const int x0 = static_cast<int>(axis->valueToPixel(300));
    const int x1 = static_cast<int>(axis->valueToPixel(600));
    const int y0 = form->Chart1->height() / 4;
    const int y1 = form->Chart1->height() / 2;
    auto send = [&](QEvent::Type type, int x, int y, Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(x, y), form->Chart1->mapToGlobal(QPointF(x, y)), Qt::LeftButton,
                      buttons, Qt::NoModifier);
        QApplication::sendEvent(form->Chart1, &e);
    };
    send(QEvent::MouseButtonPress, x0, y0, Qt::LeftButton);
    send(QEvent::MouseMove, x1, y1, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, x1, y1, Qt::NoButton);
    paint();
    EXPECT_NEAR(view->VisibleFirst, 299, 3);
    EXPECT_NEAR(view->VisibleLast, 599, 3);
    EXPECT_GT(view->VisibleFirst, 250);

    send(QEvent::MouseButtonPress, x1, y1, Qt::LeftButton);
    send(QEvent::MouseMove, x0, y0, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, x0, y0, Qt::NoButton);
    paint();
    EXPECT_EQ(view->VisibleFirst, 0);
    EXPECT_EQ(view->VisibleLast, 999);
}

} // namespace
