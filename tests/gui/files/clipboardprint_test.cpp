#include "chart/chart.h"
#include "common/cp1251.h"
#include "filepartsfixture.h"
#include "files/clipboardprint.h"
#include "files/datafilehandlers.h"
#include "files/filetime.h"
#include "ui/systemlocale.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>

namespace zarvik::test {
namespace {

using ClipboardPrintTest = FilePartsTest;

const QColor kScreenColor(0x80, 0xC0, 0xFF);

struct Ink {
    int width = 0;
    int height = 0;
    int left = -1;
    int right = -1;
    int top = -1;
    int bottom = -1;
};

// Renders the first page of a PDF to grey levels and finds where it is not white.
Ink inkOfPdf(const QString& pdf, const QString& outBase, int dpi = 40) {
    Ink ink;
    QProcess p;
    p.start("pdftoppm", {"-r", QString::number(dpi), "-gray", "-singlefile", pdf, outBase});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        ADD_FAILURE() << "pdftoppm (poppler-utils) could not render the page";
        return ink;
    }
    QFile f(outBase + ".pgm");
    if (!f.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "no rendered page";
        return ink;
    }
    const QImage page = QImage::fromData(f.readAll(), "PGM");
    ink.width = page.width();
    ink.height = page.height();
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 245) {
                ink.left = ink.left < 0 ? x : std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
                ink.top = ink.top < 0 ? y : ink.top;
                ink.bottom = y;
            }
    return ink;
}

TEST_F(ClipboardPrintTest, APrintFillsTheWidthAndTheUpperHalfOfAnA4Page) {
    loadThroughDialog(writeDataFile(dataPath("a.d8c")));
    form->Chart1->setBackgroundColor(kScreenColor);
    const QString pdf = dataPath("chart.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    form->clipboardPrint()->printChart(printer);

    const Ink ink = inkOfPdf(pdf, dataPath("page"));
    ASSERT_GT(ink.width, 0);
    EXPECT_NEAR(ink.width, 331, 2); // 210 mm at 40 dpi
    EXPECT_LE(ink.left, 1);
    EXPECT_GE(ink.right, ink.width - 2);
    EXPECT_LE(ink.top, 1);
    EXPECT_NEAR(ink.bottom, ink.height / 2, 2);
    EXPECT_EQ(form->Chart1->backgroundColor(), kScreenColor);
}

TEST_F(ClipboardPrintTest, AtOnePixelAPointThePrintEndsOnTheLastRowOfTheUpperHalf) {
    loadThroughDialog(writeDataFile(dataPath("a.d8c")));
    form->Chart1->setBackgroundColor(Qt::black);
    const QString pdf = dataPath("chart72.pdf");
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setResolution(72);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    form->clipboardPrint()->printChart(printer);

    const Ink ink = inkOfPdf(pdf, dataPath("page72"), 72);
    EXPECT_EQ(ink.height, printer.height());
    EXPECT_EQ(ink.right, printer.width() - 1);
    EXPECT_EQ(ink.bottom, printer.height() / 2 - 1);
}

TEST_F(ClipboardPrintTest, WithoutAPrinterThePrintReportsItsErrorAndKeepsTheChart) {
    form->Chart1->setBackgroundColor(kScreenColor);
    form->clipboardPrint()->defaultPrinter = [] { return std::unique_ptr<QPrinter>(); };
    form->clipboardPrint()->btPrintClick();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("error:")) << messages[0].toStdString();
    EXPECT_EQ(form->Chart1->backgroundColor(), kScreenColor);

    // A printer that cannot start its job.
    messages.clear();
    form->clipboardPrint()->defaultPrinter = [this] {
        auto p = std::make_unique<QPrinter>();
        p->setOutputFormat(QPrinter::PdfFormat);
        p->setOutputFileName(dataPath("no/such/folder/out.pdf"));
        return p;
    };
    form->clipboardPrint()->btPrintClick();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("error:")) << messages[0].toStdString();
}

TEST_F(ClipboardPrintTest, TheCopiedChartIsOnWhiteWhileTheScreenKeepsItsColour) {
    loadThroughDialog(writeDataFile(dataPath("a.d8c")));
    form->show();
    form->Chart1->setBackgroundColor(kScreenColor);
    QApplication::clipboard()->clear();
    // The pop-up menu's only item copies the chart.
    ASSERT_EQ(form->clipboardPrint()->pmChart->actions().size(), 1);
    EXPECT_EQ(form->clipboardPrint()->N1->text(), "Копировать");
    form->clipboardPrint()->N1->trigger();

    const QMimeData* mime = QApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    ASSERT_TRUE(mime->hasFormat("image/svg+xml"));
    EXPECT_TRUE(mime->data("image/svg+xml").contains("<svg"));
    const QImage picture = qvariant_cast<QImage>(mime->imageData());
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), form->Chart1->size());
    EXPECT_EQ(QColor(picture.pixel(2, 2)), QColor(Qt::white));
    EXPECT_EQ(QColor(picture.pixel(picture.width() - 3, picture.height() / 2)), QColor(Qt::white));
    EXPECT_EQ(form->Chart1->backgroundColor(), kScreenColor);
    const QImage screen = form->Chart1->grab().toImage();
    EXPECT_EQ(QColor(screen.pixel(2, 2)), kScreenColor);
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
}

TEST_F(ClipboardPrintTest, TheCopiedCommentEndsWithTheFileNameAndItsDate) {
    DataFileRecipe recipe;
    recipe.comment = {"Стенд 2", "нагрузка 12 кН"};
    const QString file = writeDataFile(dataPath("a.d8c"), recipe);
    ASSERT_TRUE(setLastWriteTime(file.toStdString(), encodeMeasuredAt({2024, 3, 5, 14, 7, 8, 0})));
    loadThroughDialog(file);
    form->clipboardPrint()->btCopyClick();
    const QString date = localeDateTimeText(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 8)));
    const QString expected = "Стенд 2\nнагрузка 12 кН\n" + file + "  " + date;
    EXPECT_EQ(QApplication::clipboard()->text(), expected);
    EXPECT_EQ(form->mClipBoard->toPlainText(), expected);

    // Once the file is gone there is no date to give: the comment goes alone.
    QFile::remove(file);
    form->mComment->setPlainText("только текст");
    form->clipboardPrint()->btCopyClick();
    EXPECT_EQ(QApplication::clipboard()->text(), "только текст");
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
}

// Run by ctest under a Russian and an English locale, each in a zone with a name: the copied
// comment and the table's source line give the short date and the long time without the zone,
// and a break that ends the comment starts no empty line before the file's line.
TEST_F(ClipboardPrintTest, TheCopiedCommentAndTheTableNameTheFileTimeWithoutItsZone) {
    const QString locale = QLocale::system().name();
    if (locale != "ru_RU" && locale != "en_US")
        GTEST_SKIP() << "for LC_ALL=ru_RU.UTF-8 or en_US.UTF-8, not " << locale.toStdString();
    const QString date = locale == "ru_RU" ? "05.03.2024 14:07:08" : "3/5/24 2:07:08 PM";
    DataFileRecipe recipe;
    recipe.comment = {"Стенд 2"};
    const QString file = writeDataFile(dataPath("a.d8c"), recipe);
    ASSERT_TRUE(setLastWriteTime(file.toStdString(), encodeMeasuredAt({2024, 3, 5, 14, 7, 8, 0})));
    loadThroughDialog(file);

    form->mComment->setPlainText("Стенд 2\n");
    form->clipboardPrint()->btCopyClick();
    EXPECT_EQ(QApplication::clipboard()->text(), "Стенд 2\n" + file + "  " + date);
    form->mComment->setPlainText("\n");
    form->clipboardPrint()->btCopyClick();
    EXPECT_EQ(QApplication::clipboard()->text(), "\n" + file + "  " + date)
        << "an empty line of its own stays";

    const QString table = dataPath("a.csv");
    form->dataFiles()->SaveDlg.prompt = [table](const FileDialog&) { return table; };
    form->dataFiles()->btSaveClick();
    const std::string bytes = readBytes(table);
    EXPECT_EQ(bytes.substr(0, bytes.find('\r')),
              utf8ToCp1251(("Данные из файла " + file + "  " + date).toStdString()));
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
}

} // namespace
} // namespace zarvik::test
