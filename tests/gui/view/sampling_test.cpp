#include "recordingmessages.h"
#include "shell/tform1.h"
#include "ui/systemlocale.h"
#include "view/samplingpanel.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

using zarvik::TForm1;

// The true-value labels with the system locale's decimal separator.
QString withSeparator(QString text) {
    return text.replace('.', QChar(zarvik::localeDecimalSeparator()));
}

class SamplingPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm1>(dir.path() + "/");
        form->show();
        form->activateWindow();
        QApplication::processEvents();
        panel = form->samplingPanel();
    }
    QSpinBox* seF() const { return form->gbFT->seF; }
    QSpinBox* seTime() const { return form->gbFT->seTime; }
    QSpinBox* seSamples() const { return form->gbFT->seSamples; }
    QLabel* lbErrIn() const { return form->gbFT->lbErrIn; }
    QString error() const { return lbErrIn()->isVisibleTo(form->gbFT) ? lbErrIn()->text() : ""; }
    void focus(QWidget* w) {
        w->setFocus();
        QApplication::processEvents();
        ASSERT_TRUE(w->hasFocus());
    }
    // A value as the operator types it into the focused edit.
    void type(QSpinBox* edit, int value) {
        focus(edit);
        edit->setValue(value);
    }
    // A number pasted over the whole text of the focused edit.
    void paste(QSpinBox* edit, const QString& text) {
        focus(edit);
        QApplication::clipboard()->setText(text);
        auto* line = edit->findChild<QLineEdit*>();
        line->selectAll();
        line->paste();
    }
    void key(QWidget* w, int k, const QString& text = QString()) {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier, text);
        QApplication::sendEvent(w, &press);
    }
    void checkOnly(int channels) {
        for (int n = 1; n <= 8; ++n)
            form->cbCh[n]->setChecked(n <= channels);
    }
    void expectTrueValues(const char* f, const char* t, const char* minutes) {
        EXPECT_EQ(form->gbFT->lbF->text(), withSeparator(QString::fromUtf8(f)));
        EXPECT_EQ(form->gbFT->lbT->text(), withSeparator(QString::fromUtf8(t)));
        EXPECT_EQ(form->gbFT->lbMinutes->text(), withSeparator(QString::fromUtf8(minutes)));
    }

    QTemporaryDir dir;
    std::unique_ptr<TForm1> form;
    zarvik::SamplingPanel* panel = nullptr;
};

TEST_F(SamplingPanelTest, EightChannelsFullMemoryAt2048HzTake14648Ms) {
    // The start-up state without settings, and again after opening the group.
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(seF()->value(), 2048);
        EXPECT_EQ(seSamples()->value(), 240000);
        EXPECT_EQ(seTime()->value(), 14648);
        // At start T comes from the whole memory's time (117187.5 to the even neighbour); the
        // check of F on opening the group counts the channels in.
        EXPECT_EQ(form->Measurement.Time4allSRAM, pass == 0 ? 117188 : 14648);
        // Latin T and c where the labels have always had them.
        expectTrueValues("Fвыборки,Гц=2048.000", "Tизмерения,мc=14648.438",
                         "или  0 мин 14 c 648.438 мс");
        if (pass == 0) {
            form->btChooseF->click();
            EXPECT_TRUE(form->gbFT->isVisible());
            EXPECT_EQ(form->btChooseF->text(), "Закрыть");
            EXPECT_EQ(form->btChooseF->palette().color(QPalette::ButtonText), QColor(Qt::red));
            EXPECT_TRUE(seF()->hasFocus());
        }
    }
    form->btChooseF->click();
    EXPECT_FALSE(form->gbFT->isVisible());
    EXPECT_EQ(form->btChooseF->text(), "Выбор F/T");
    EXPECT_EQ(form->btChooseF->palette().color(QPalette::ButtonText), QColor(Qt::black));
}

TEST_F(SamplingPanelTest, OneChannelAt1000HzShowsTheDivisorsTrueValues) {
    checkOnly(1);
    EXPECT_EQ(form->Measurement.ChannelCount, 1);
    EXPECT_EQ(seF()->maximum(), 185185);
    type(seF(), 1000);
    EXPECT_EQ(seTime()->value(), 240000);
    EXPECT_EQ(form->Measurement.Time4allSRAM, 240000);
    expectTrueValues("Fвыборки,Гц=999.973", "Tизмерения,мc=240006.510", "или  4 мин  0 c 6.510 мс");
    EXPECT_EQ(error(), "");
}

TEST_F(SamplingPanelTest, EveryTypedFrequencyIsCheckedAtOnce) {
    focus(seF());
    seF()->findChild<QLineEdit*>()->selectAll();
    key(seF(), Qt::Key_4, "4");
    EXPECT_EQ(seF()->value(), 225);
    EXPECT_EQ(error(), "Fвыборки, Гц<225");
    EXPECT_EQ(seTime()->value(), 133333);

    // Too high for eight channels, pasted.
    paste(seF(), "40000");
    EXPECT_EQ(seF()->value(), 34246);
    EXPECT_EQ(error(), "Fвыборки, Гц>34246");
    EXPECT_EQ(seTime()->value(), 876); // 875.98
    EXPECT_EQ(form->Measurement.Time4allSRAM, 876);

    // A value inside the limits clears the message; leaving the edit does too.
    seF()->setValue(4096);
    EXPECT_EQ(error(), "");
    seF()->setValue(100);
    EXPECT_EQ(error(), "Fвыборки, Гц<225");
    focus(seTime());
    EXPECT_EQ(error(), "");
    // Set while another edit has the focus, F is taken as it is.
    seF()->setValue(100);
    EXPECT_EQ(seF()->value(), 100);
}

TEST_F(SamplingPanelTest, TimeLimitsOfOneMemoryBlock) {
    seSamples()->setValue(30000);
    EXPECT_EQ(form->Measurement.SRAMblocks, 1);
    EXPECT_EQ(seTime()->minimum(), 13);
    EXPECT_EQ(seTime()->value(), 1831); // 117188 * 1 div 8 div 8

    type(seTime(), 200000);
    EXPECT_EQ(seTime()->value(), 133333);
    EXPECT_EQ(error(), "Tизмерения, мс>133333");
    EXPECT_EQ(form->Measurement.Time4allSRAM, 1066664);
    EXPECT_EQ(seF()->value(), 28); // F(T); the 225 floor is not applied from T

    // Typed below the minimum: the handler corrects it and says so.
    focus(seTime());
    seTime()->findChild<QLineEdit*>()->selectAll();
    key(seTime(), Qt::Key_5, "5");
    EXPECT_EQ(seTime()->value(), 13);
    EXPECT_EQ(error(), "Tизмерения, мс<13");
    EXPECT_EQ(form->Measurement.Time4allSRAM, 104);
    EXPECT_EQ(seF()->value(), 34246); // F(13) = 288462, clamped to the edit's maximum

    // Leaving T sets it anew from F and hides the message.
    focus(seF());
    EXPECT_EQ(error(), "");
    EXPECT_EQ(form->Measurement.Time4allSRAM, 7008); // round(240000000 / 34246)
    EXPECT_EQ(seTime()->value(), 109);               // 7008 * 1 div 8 div 8
}

TEST_F(SamplingPanelTest, StepsCutTypedValuesAndSetTheArrowIncrements) {
    auto* seFstep = form->gbOptions->seFstep;
    auto* seTstep = form->gbOptions->seTstep;
    form->btOptionsClick();
    type(seFstep, 100);
    type(seTstep, 1000);
    type(seF(), 2099); // leaving the step edit made 100 the step of F
    EXPECT_EQ(seF()->singleStep(), 100);
    EXPECT_EQ(seF()->value(), 2000);
    EXPECT_EQ(seTime()->value(), 15000);
    EXPECT_EQ(seTime()->singleStep(), 1000);

    type(seTime(), 20500);
    EXPECT_EQ(seTime()->value(), 20000);
    EXPECT_EQ(seF()->value(), 1500);
    // A value cut below the lowest time is raised to it with the message.
    seSamples()->setValue(30000);
    type(seTime(), 999);
    EXPECT_EQ(seTime()->value(), 13);
    EXPECT_EQ(error(), "Tизмерения, мс<13");
}

TEST_F(SamplingPanelTest, PowersOfTwoFromTheNearestOne) {
    struct Case {
        int from, down, up;
    };
    for (const Case c : {Case{2048, 1024, 4096}, Case{3000, 1024, 4096}, Case{1000, 512, 2048},
                         Case{3, 2, 8}, Case{1, 1, 4}}) {
        seF()->setValue(c.from);
        form->gbFT->seRoot->down->click();
        EXPECT_EQ(seF()->value(), c.down) << c.from;
        seF()->setValue(c.from);
        form->gbFT->seRoot->up->click();
        EXPECT_EQ(seF()->value(), c.up) << c.from;
    }
    // T, Time4allSRAM and the true values follow the new F.
    seF()->setValue(2048);
    form->gbFT->seRoot->down->click();
    EXPECT_EQ(seTime()->value(), 29297); // 29296.875
    EXPECT_EQ(form->Measurement.Time4allSRAM, 29297);
    EXPECT_EQ(form->gbFT->lbF->text(), withSeparator("Fвыборки,Гц=1024.000"));

    // Up is clamped to the channels' highest frequency.
    seF()->setValue(30000);
    form->gbFT->seRoot->up->click();
    EXPECT_EQ(seF()->value(), 34246);

    // The arrows leave the focus in F, whose check then applies: 2 is raised to 225.
    focus(seF());
    seF()->setValue(1024);
    seF()->setValue(3);
    form->gbFT->seRoot->down->click();
    EXPECT_TRUE(seF()->hasFocus());
    EXPECT_EQ(seF()->value(), 225);
    EXPECT_EQ(error(), "Fвыборки, Гц<225");
    EXPECT_EQ(seTime()->value(), 133333);
}

TEST_F(SamplingPanelTest, ChannelBoxesSetTheLimits) {
    checkOnly(4);
    EXPECT_EQ(seF()->maximum(), 64102);
    EXPECT_EQ(seTime()->maximum(), 60000000); // F at its minimum 1
    EXPECT_EQ(seTime()->minimum(), 936);      // F at 64102: 935.9
    EXPECT_EQ(seTime()->value(), 29297);      // T(2048) for 4 channels
    expectTrueValues("Fвыборки,Гц=2048.000", "Tизмерения,мc=29296.875",
                     "или  0 мин 29 c 296.875 мс");

    // Eight channels lower the highest frequency, and F with it.
    type(seF(), 60000);
    focus(form->mComment);
    checkOnly(8);
    EXPECT_EQ(seF()->value(), 34246);
    EXPECT_EQ(seTime()->value(), 876);

    // With every box unchecked nothing is divided by zero: the values stay as they are.
    checkOnly(0);
    EXPECT_EQ(form->Measurement.ChannelCount, 0);
    const QString shownT = form->gbFT->lbT->text();
    const int T = seTime()->value();
    type(seF(), 5000);
    EXPECT_EQ(seTime()->value(), T);
    type(seTime(), 2000);
    focus(seF());
    EXPECT_EQ(form->gbFT->lbT->text(), shownT);
    form->cbCh[3]->setChecked(true);
    EXPECT_EQ(form->Measurement.ChannelCount, 1);
    EXPECT_EQ(seF()->maximum(), 185185);
}

TEST_F(SamplingPanelTest, KeysOfTheEdits) {
    int starts = 0;
    panel->startMeasurement = [&] { ++starts; };
    form->btChooseF->click();
    ASSERT_TRUE(seF()->hasFocus());
    key(seF(), Qt::Key_Return, "\r");
    key(seF(), Qt::Key_Enter, "\r");
    EXPECT_EQ(starts, 2);
    EXPECT_TRUE(form->gbFT->isVisible());

    key(seF(), Qt::Key_Escape);
    EXPECT_FALSE(form->gbFT->isVisible());
    EXPECT_EQ(form->btChooseF->text(), "Закрыть"); // only the button resets its caption
    form->gbFT->show();
    key(seTime(), Qt::Key_Escape);
    EXPECT_FALSE(form->gbFT->isVisible());

    // The sample count takes no typed characters, only its arrows.
    form->gbFT->show();
    focus(seSamples());
    key(seSamples(), Qt::Key_5, "5");
    key(seSamples(), Qt::Key_Backspace, "\b");
    EXPECT_EQ(seSamples()->text(), "240000");
    key(seSamples(), Qt::Key_Down);
    EXPECT_EQ(seSamples()->value(), 210000);
    EXPECT_EQ(form->Measurement.SRAMblocks, 7);
    EXPECT_EQ(seTime()->minimum(), 95); // 7 * 109 div 8
    EXPECT_EQ(seTime()->value(), 12817);
}

TEST_F(SamplingPanelTest, DoubleClickOpensTheOptionsAtTheStep) {
    for (auto [edit, step] : {std::pair{seF(), form->gbOptions->seFstep},
                              std::pair{seTime(), form->gbOptions->seTstep}}) {
        form->btChooseF->click();
        auto* text = edit->findChild<QLineEdit*>();
        QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(5, 5),
                        text->mapToGlobal(QPointF(5, 5)), Qt::LeftButton, Qt::LeftButton,
                        Qt::NoModifier);
        QApplication::sendEvent(text, &dbl);
        EXPECT_TRUE(form->gbOptions->isVisible());
        EXPECT_EQ(form->btOptions->text(), "Закрыть");
        EXPECT_TRUE(step->hasFocus());
        // An open options panel stays open.
        QApplication::sendEvent(text, &dbl);
        EXPECT_TRUE(form->gbOptions->isVisible());
        form->btOptionsClick();
        form->btChooseF->click();
    }
}

TEST_F(SamplingPanelTest, TheLimitMessageBlinks) {
    EXPECT_TRUE(panel->TimErrBlink->isActive());
    EXPECT_EQ(panel->TimErrBlink->interval(), 300);
    const auto colour = [&] { return lbErrIn()->palette().color(QPalette::WindowText); };
    EXPECT_EQ(colour(), QColor(Qt::red));
    panel->TimErrBlinkTimer();
    EXPECT_EQ(colour(), QColor(Qt::yellow));
    panel->TimErrBlinkTimer();
    EXPECT_EQ(colour(), QColor(Qt::red));
}

} // namespace
