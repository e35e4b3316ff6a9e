// The cursors table and the files laid over the measurement, in the main window: what the table
// reads, where the cursors' places go when the view and the data change, and what the
// references draw and leave alone.

#include "chart/chart.h"
#include "chart/chartseries.h"
#include "files/datafilehandlers.h"
#include "gui/files/filepartsfixture.h"
#include "ui/systemlocale.h"
#include "view/chartview.h"
#include "view/cursortable.h"
#include "view/references.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

namespace zarvik::test {
namespace {

// Channels 1 and 3 at 1 kHz, 11 instants: channel 1 climbs from 2047 by 10 a sample, channel 3
// falls from 3000 by 5.
DataFileRecipe climbAndFall() {
    DataFileRecipe r;
    r.mask = 0x05;
    r.samplePeriodUs = 1000.0;
    r.words.clear();
    for (int k = 0; k <= 10; ++k)
        r.words.insert(r.words.end(), {static_cast<std::uint16_t>(2047 + 10 * k),
                                       static_cast<std::uint16_t>(3000 - 5 * k)});
    return r;
}

class CursorsTest : public FilePartsTest {
protected:
    void SetUp() override {
        FilePartsTest::SetUp();
        form->references()->OverlayDlg.prompt = [](const FileDialog&) { return QString(); };
    }
    void paint() {
        form->show();
        form->Chart1->repaint();
        QApplication::processEvents();
    }
    // The axis mode and time unit as the operator picks them from their lists.
    void showAs(int axisMode, int timeUnit) {
        form->gbChart->cbShowK->setCurrentIndex(axisMode);
        form->gbOptions->cbTimeunits->setCurrentIndex(timeUnit);
        emit form->gbOptions->cbTimeunits->activated(timeUnit);
        paint();
    }
    QString cell(int row, int column) const {
        return form->cursorTable()->tblCursors->item(row, column)->text();
    }
    // A number as the window writes it, from one written with a point.
    static QString local(QString text) {
        return text.replace('.', QChar(localeDecimalSeparator()));
    }
};

TEST_F(CursorsTest, TheTableReadsTheCursorsAndGoesToTheClipboardAsTabbedText) {
    loadThroughDialog(writeDataFile(dataPath("climb.d8c"), climbAndFall()));
    showAs(3, 1); // codes against time in ms: point i at i + 1 ms
    form->gbChart->cbCursors->setChecked(true);
    paint();
    EXPECT_FALSE(form->cursorTable()->isHidden());
    EXPECT_LT(form->Chart1->height() + form->cursorTable()->height(), 600);
    form->Chart1->setCursorPoint(0, 2);
    form->Chart1->setCursorPoint(1, 6);
    EXPECT_EQ(form->cursorTable()->lbCursorTimes->text(),
              "t1 = 3 мс    t2 = 7 мс    Δt = 4 мс    1/Δt = 250 Гц    точек: 5");

    form->cursorTable()->btCopyCursors->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              local("t1, мс\tt2, мс\tΔt, мс\t1/Δt, Гц\n"
                    "3\t7\t4\t250\n"
                    "\n"
                    "Канал\tY(t1)\tY(t2)\tΔY\tточек\tмин\tмакс\tразмах\tсреднее\tСКЗ\tСКО\n"
                    "1\t2077\t2117\t40\t5\t2077\t2117\t40\t2097\t2097.04768662994\t"
                    "14.142135623731\n"
                    "3\t2985\t2965\t-20\t5\t2965\t2985\t20\t2975\t2975.00840334948\t"
                    "7.07106781186548"));

    // The cursors stand on their samples through other units, a zoom and hidden lines;
    // cursors swapped read the same stretch the other way.
    form->Chart1->setCursorPoint(0, 6);
    form->Chart1->setCursorPoint(1, 2);
    showAs(1, 0);
    EXPECT_EQ(form->cursorTable()->lbCursorTimes->text(),
              "t1 = 7    t2 = 3    Δt = -4    1/Δt = -250 Гц    точек: 5");
    showAs(0, 0);
    form->Chart1->bottomAxis()->setRange(4500, 9000);
    form->cbCh[1]->setChecked(false);
    paint();
    EXPECT_EQ(form->Chart1->cursorPoint(0), 6);
    EXPECT_EQ(form->Chart1->cursorPoint(1), 2);
    ASSERT_EQ(form->cursorTable()->tblCursors->rowCount(), 1);
    EXPECT_EQ(cell(0, 0), "3");
    EXPECT_EQ(cell(0, 3), "5000"); // (2965 - 2985) x 250 the other way round
    EXPECT_EQ(cell(0, 8), "232000");

    // A new file clears them: they take new places in its view.
    loadThroughDialog(writeDataFile(dataPath("again.d8c"), climbAndFall()));
    EXPECT_EQ(form->Chart1->cursorPoint(0), -1);
    form->Chart1->undoZoom();
    paint();
    EXPECT_EQ(form->Chart1->cursorPoint(0), 3);
    EXPECT_EQ(form->Chart1->cursorPoint(1), 6);

    // The switch off hides the cursors and the table, and the chart takes the room back.
    const int withTable = form->Chart1->height();
    QTest::keyClick(form.get(), Qt::Key_F8);
    QApplication::processEvents();
    EXPECT_FALSE(form->gbChart->cbCursors->isChecked());
    EXPECT_TRUE(form->cursorTable()->isHidden());
    EXPECT_FALSE(form->Chart1->cursorsShown());
    EXPECT_GT(form->Chart1->height(), withTable);
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
}

TEST_F(CursorsTest, AReferenceIsDrawnAsItsFileOpensAndLeavesTheMeasurementsOutputsAlone) {
    // The reference holds channels 1 and 2, the measurement 1 and 3; the reference brings
    // its own calibration and a sampling period twice as long.
    DataFileRecipe ref;
    ref.mask = 0x03;
    ref.samplePeriodUs = 2000.0;
    ref.scale[1] = 0.5;
    ref.shift[1] = 100;
    ref.words = {1000, 500, 1003, 499, 1012, 498, 1027, 497};
    const QString reference = writeDataFile(dataPath("reference.d8c"), ref);
    const QString measurement = writeDataFile(dataPath("climb.d8c"), climbAndFall());
    loadThroughDialog(measurement);
    form->gbChart->cbInt->setChecked(true); // smoothed as the measurement is
    showAs(0, 1);

    // What the window writes before any reference.
    const auto saved = [&](const QString& name) {
        form->dataFiles()->SaveDlg.prompt = [name](const FileDialog&) { return name; };
        form->dataFiles()->btSaveClick();
        return readBytes(name);
    };
    const std::string table = saved(dataPath("before.csv"));
    const std::string data = saved(dataPath("before.d8c"));
    const auto visible =
        std::make_pair(form->chartView()->VisibleFirst, form->chartView()->VisibleLast);

    References& refs = *form->references();
    form->references()->OverlayDlg.prompt = [reference](const FileDialog&) { return reference; };
    form->gbChart->btOverlay->click();
    ASSERT_EQ(refs.count(), 1);
    EXPECT_EQ(form->gbChart->lbReference[0]->text(), "reference.d8c");
    EXPECT_FALSE(form->gbChart->btRemoveReference[0]->isHidden());
    EXPECT_TRUE(form->gbChart->btRemoveReference[1]->isHidden());
    paint();
    const LineSeries* one = refs.line(0, 1);
    ASSERT_NE(one, nullptr);
    EXPECT_TRUE(one->isShown());
    EXPECT_TRUE(one->isDashed());
    EXPECT_FALSE(one->isInLegend());
    EXPECT_FALSE(refs.line(0, 2)->isShown()) << "the measurement shows no channel 2";
    EXPECT_EQ(refs.line(0, 3), nullptr);
    const QColor own = form->chartView()->series(1)->seriesColor();
    EXPECT_GT(one->seriesColor().lightness(), own.lightness());
    // Hidden with the measurement's channel.
    form->cbCh[1]->setChecked(false);
    EXPECT_FALSE(one->isShown());
    form->cbCh[1]->setChecked(true);

    // The table gives the reference's own points between the cursors on request: its points
    // lie at 2, 4 and 6 ms.
    form->gbChart->cbCursors->setChecked(true);
    form->Chart1->setCursorPoint(0, 3); // 4 ms
    form->Chart1->setCursorPoint(1, 8); // 9 ms: past the reference's last point
    form->cursorTable()->cbWithReference->setChecked(true);
    paint();
    ASSERT_EQ(form->cursorTable()->tblCursors->rowCount(), 3);
    EXPECT_EQ(cell(1, 0), "1 (reference.d8c)");
    EXPECT_EQ(cell(1, 1), local(QString::number(one->y(1))));
    EXPECT_EQ(cell(1, 2), "");
    EXPECT_EQ(cell(1, 4), "2"); // 4 and 6 ms
    EXPECT_EQ(cell(2, 0), "3");

    // Outputs of the measurement are those without the reference.
    EXPECT_EQ(saved(dataPath("after.csv")), table);
    EXPECT_EQ(saved(dataPath("after.d8c")), data);
    EXPECT_EQ(std::make_pair(form->chartView()->VisibleFirst, form->chartView()->VisibleLast),
              visible);

    // Its lines are the lines the window draws for the file opened in the same view.
    const auto points = [](const LineSeries* line) {
        std::vector<std::pair<double, double>> xy;
        for (int i = 0; i < line->count(); ++i)
            xy.emplace_back(line->x(i), line->y(i));
        return xy;
    };
    const auto overlaid = points(one);
    loadThroughDialog(reference);
    EXPECT_EQ(overlaid, points(form->chartView()->series(1)));
    EXPECT_TRUE(refs.line(0, 2)->isShown()) << "the new measurement shows channel 2";

    // A file that is no data file is told as the open button tells it, and changes nothing.
    writeBytes(dataPath("notes.d8c"), std::string(200, 'x'));
    EXPECT_FALSE(refs.overlay(dataPath("notes.d8c")));
    EXPECT_EQ(messages, QStringList{"info:Приложение открывает файлы *.d8c, записанные АЦП."});
    EXPECT_EQ(refs.count(), 1);

    // Three at most; each goes with its button, and its lines and legend entry with it.
    const int series = form->Chart1->seriesCount();
    EXPECT_TRUE(refs.overlay(measurement));
    EXPECT_TRUE(refs.overlay(reference));
    EXPECT_FALSE(form->gbChart->btOverlay->isEnabled());
    EXPECT_FALSE(refs.overlay(reference));
    form->gbChart->btRemoveReference[1]->click();
    EXPECT_EQ(refs.name(1), "reference.d8c");
    EXPECT_TRUE(form->gbChart->btOverlay->isEnabled());
    for (int k = 0; k < 2; ++k)
        form->gbChart->btRemoveReference[0]->click();
    EXPECT_EQ(refs.count(), 0);
    EXPECT_EQ(form->Chart1->seriesCount(), series - 3);
}

} // namespace
} // namespace zarvik::test
