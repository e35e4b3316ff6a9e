// Captions as the operator sees them: whole, in the font the program draws with.
#include "analysis/spectrumwindow.h"
#include "analysis/windowfunctions.h"
#include "chart/chart.h"
#include "files/datafilehandlers.h"
#include "interfacelanguage.h"
#include "shell/tform1.h"
#include "ui/qttranslation.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStringList>
#include <QStyle>
#include <QStyleOption>
#include <QTemporaryDir>
#include <QTranslator>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <optional>

namespace {

using zarvik::TForm1;

struct Fit {
    QString text;
    int need = 0;     // the caption's width with the style's padding and indicator
    int room = 0;     // the width its control gives it
    int needDown = 0; // a wrapped caption's lines, and the height they have
    int roomDown = 0;
};

// How much room a caption needs and has, for the controls that show one; nullopt for others.
std::optional<Fit> captionFit(const QWidget* w) {
    const QStyle* st = w->style();
    const QFontMetrics fm(w->font());
    const auto px = [&](QStyle::PixelMetric m) { return st->pixelMetric(m, nullptr, w); };
    if (const auto* b = qobject_cast<const QAbstractButton*>(w)) {
        const QString text = b->text();
        if (text.isEmpty())
            return std::nullopt;
        int padding = px(QStyle::PM_ButtonMargin) + 2 * px(QStyle::PM_DefaultFrameWidth);
        if (qobject_cast<const QCheckBox*>(b))
            padding = px(QStyle::PM_IndicatorWidth) + px(QStyle::PM_CheckBoxLabelSpacing);
        if (qobject_cast<const QRadioButton*>(b))
            padding =
                px(QStyle::PM_ExclusiveIndicatorWidth) + px(QStyle::PM_RadioButtonLabelSpacing);
        return Fit{text, fm.horizontalAdvance(text) + padding, b->width()};
    }
    if (const auto* g = qobject_cast<const QGroupBox*>(w); g && !g->title().isEmpty()) {
        QStyleOptionGroupBox opt;
        opt.initFrom(g);
        opt.text = g->title();
        opt.textAlignment = g->alignment();
        opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        const QRect title =
            st->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, g);
        return Fit{g->title(), title.right() + 1, g->width()};
    }
    if (const auto* l = qobject_cast<const QLabel*>(w)) {
        const QString text = l->text();
        if (text.isEmpty())
            return std::nullopt;
        const QRect room =
            l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
        if (!l->wordWrap())
            return Fit{text, fm.horizontalAdvance(text), room.width()};
        // A wrapped caption needs its longest word across and all its lines down.
        int word = 0;
        for (const QString& part : text.split(' '))
            word = std::max(word, fm.horizontalAdvance(part));
        const QRect lines =
            fm.boundingRect(QRect(0, 0, room.width(), 10000), Qt::TextWordWrap, text);
        return Fit{text, word, room.width(), lines.height(), room.height()};
    }
    return std::nullopt;
}

// Where a control draws in its box: a one-line label only where its letters are (its box is
// often wider and taller than they), any other control over all of it.
QRect inkOf(const QWidget* w) {
    const auto* l = qobject_cast<const QLabel*>(w);
    if (!l || l->wordWrap() || l->text().isEmpty() || !(l->alignment() & Qt::AlignLeft))
        return w->geometry();
    const QFontMetrics fm(l->font());
    const int width = std::min(fm.horizontalAdvance(l->text()), w->width());
    const int height = std::min(fm.height(), w->height());
    return QRect(w->x(), w->y() + (w->height() - height) / 2, width, height);
}

// Every caption shown in `window` fits its control, no other control of its box covers it,
// and the control lies whole inside each panel, bar and box that holds it.
void expectCaptionsFit(QWidget* window) {
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window))
            continue;
        const std::optional<Fit> fit = captionFit(w);
        if (!fit)
            continue;
        const std::string where = (w->objectName() + " \"" + fit->text + "\"").toStdString();
        EXPECT_LE(fit->need, fit->room) << where;
        EXPECT_LE(fit->needDown, fit->roomDown) << where;
        // Boxes have controls over them and the floating panels lie over the chart: of a box
        // only the title's width counts.
        const bool box = qobject_cast<const QGroupBox*>(w) != nullptr;
        const QRect caption = inkOf(w);
        for (QWidget* other :
             w->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (box || other == w || !other->isVisibleTo(window) || other->isWindow())
                continue;
            EXPECT_FALSE(caption.intersects(inkOf(other)))
                << where << " under " << other->objectName().toStdString();
        }
        for (QWidget* holder = w->parentWidget(); holder != window->parentWidget();
             holder = holder->parentWidget()) {
            const QRect r(w->mapTo(holder, QPoint(0, 0)), w->size());
            EXPECT_TRUE(holder->rect().contains(r))
                << where << " leaves " << holder->objectName().toStdString();
        }
    }
}

// Each language's captions, in the windows made after its translation is installed.
class CaptionsTest : public ::testing::TestWithParam<const char*> {
protected:
    zarvik::test::InterfaceLanguage language{GetParam()};
    QTemporaryDir dir;
    QString appPath() const { return dir.path() + "/"; }
};

INSTANTIATE_TEST_SUITE_P(Languages, CaptionsTest,
                         ::testing::Values(zarvik::kLanguageRussian, zarvik::kLanguageEnglish),
                         [](const auto& info) { return std::string(info.param); });

TEST_P(CaptionsTest, MainWindowCaptionsFitAtTheDefaultSizeInEveryState) {
    TForm1 f(appPath());
    f.show();
    QApplication::processEvents();
    expectCaptionsFit(&f);

    // The panels' own captions, and the tool-bar buttons reading "Закрыть"; the cursors table
    // and the rows of three references.
    f.btChooseFClick();
    f.btOptionsClick();
    f.btChartClick();
    f.pnlChart->show();
    f.gbChart->cbCursors->setChecked(true);
    for (QWidget* row : f.gbChart->lbReference)
        row->show();
    for (QWidget* row : f.gbChart->btRemoveReference)
        row->show();
    QApplication::processEvents();
    expectCaptionsFit(&f);

    f.gbOptionsClick(); // "ОПЦИИ" in capitals
    QApplication::processEvents();
    expectCaptionsFit(&f);
}

TEST_P(CaptionsTest, SpectrumWindowCaptionsFit) {
    zarvik::TForm2 w;
    w.show();
    QApplication::processEvents();
    expectCaptionsFit(&w);
}

// The longest window, many segments and decibels: the row's captions, the result in decibels
// and the frequency axis telling what was applied.
TEST_P(CaptionsTest, SpectrumWindowCaptionsFitWithEveryOption) {
    zarvik::TForm2 w;
    w.Request.values.resize(30000);
    for (std::size_t i = 0; i < w.Request.values.size(); ++i)
        w.Request.values[i] = 0.012345 * std::sin(0.0617 * static_cast<double>(i));
    w.Request.visibleFirst = 0;
    w.Request.visibleLast = 29999;
    w.Request.samplePeriodUs = 250.0;
    w.seFmax->setValue(500);
    w.setWindowFunction(zarvik::WindowFunction::Flattop);
    w.seAverage->setValue(64);
    w.cbDecibels->setChecked(true);
    w.show();
    w.btSpectrum->click();
    QApplication::processEvents();
    ASSERT_TRUE(w.lbSpectrumMax->text().contains("Max=-"));
    expectCaptionsFit(&w);
    const QString title = w.Chart1->bottomAxis()->title();
    EXPECT_LE(QFontMetrics(w.Chart1->font()).horizontalAdvance(title), w.Chart1->width() - 100)
        << title.toStdString();
}

TEST_P(CaptionsTest, HeaderCaptionsStandOverTheirToolBars) {
    TForm1 f(appPath());
    f.show();
    const auto expectOver = [&f] {
        QApplication::processEvents();
        const QList<QLabel*> captions =
            f.Header->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
        const std::array<QWidget*, 3> bars = {f.tbFile, f.tbMCctl, f.tbOptions};
        ASSERT_EQ(captions.size(), 3);
        for (int i = 0; i < 3; ++i) {
            const int left = bars[i]->mapTo(&f, QPoint(0, 0)).x();
            EXPECT_EQ(captions[i]->mapTo(&f, QPoint(0, 0)).x(), left) << i;
            EXPECT_EQ(captions[i]->width(), bars[i]->width()) << i;
        }
    };
    expectOver();
    f.btChooseFClick(); // a wider caption widens its bar
    expectOver();
    f.setWindowBounds(600, 1100, 0, 0);
    expectOver();
}

TEST(QtTranslation, QtsOwnDialogsSpeakRussian) {
    QTranslator translator;
    ASSERT_TRUE(zarvik::loadQtTranslation(translator));
    QCoreApplication::installTranslator(&translator);
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), "Перейти к:");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Отмена");
    QCoreApplication::removeTranslator(&translator);
}

} // namespace

// The file types of the save, the analysis formats named in the interface's language.
TEST_P(CaptionsTest, TheSaveDialogOffersEveryFormatInTheLanguage) {
    TForm1 f(appPath());
    const bool english = std::string(GetParam()) == zarvik::kLanguageEnglish;
    EXPECT_EQ(
        f.dataFiles()->SaveDlg.qtFilter().split(";;"),
        (QStringList{"ADC files (*.d8c)", "Save to Text file (*.txt)", "Save to CSV-file (*.csv)",
                     english ? "HDF5 file (*.h5)" : "Файл HDF5 (*.h5)",
                     english ? "MATLAB file (*.mat)" : "Файл MATLAB (*.mat)",
                     english ? "NumPy array (*.npy)" : "Массив NumPy (*.npy)",
                     english ? "WAV sound file (*.wav)" : "Звуковой файл WAV (*.wav)",
                     "All files (*.*)"}));
}
