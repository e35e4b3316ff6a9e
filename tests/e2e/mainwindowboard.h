#pragma once
// The real main window, offscreen, against the simulated board on a pseudo-terminal under a
// stable name, as the program finds it through ZARVIK_PORT; with the waits and looks at the
// wire that the end-to-end tests share.

#include "boardsim.h"
#include "device/measurementcycle.h"
#include "recordingmessages.h"
#include "shell/tform1.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace zarvik::test {

namespace sim = zarvik::boardsim;

class MainWindowWithBoard : public ::testing::Test {
protected:
    void SetUp() override {
        zarvik::test::messages().log.clear();
        linkPath = (dir.path() + "/board").toStdString();
        qputenv("ZARVIK_PORT", QByteArray::fromStdString(linkPath));
    }
    void TearDown() override {
        form.reset();
        if (board)
            board->stop();
        qunsetenv("ZARVIK_PORT");
    }

    void plugIn(sim::BoardOptions options) {
        if (board)
            board->stop();
        options.linkPath = linkPath;
        board = std::make_unique<sim::BoardSim>(options);
        board->open();
        board->start();
    }
    void openWindow() {
        form = std::make_unique<TForm1>(dir.path() + "/");
        ASSERT_TRUE(waitFor([&] { return linkUp(); }, 3000)) << log().join('\n').toStdString();
    }
    bool linkUp() const {
        return form->statusText(0) == "USB: Связь установлена" && form->gbFT->btStart->isEnabled();
    }
    void choose(std::uint8_t mask, int samples, int F) {
        for (int n = 1; n <= 8; ++n)
            form->cbCh[n]->setChecked(mask & (1u << (n - 1)));
        form->gbFT->seSamples->setValue(samples);
        form->gbFT->seF->setValue(F);
        ASSERT_EQ(form->gbFT->seF->value(), F);
        form->gbOptions->setRefAdcIndex(0); // 0...2,5 V, start by button: mode byte 0
    }
    // A double-click on the free end of the tool-bar strip.
    void quickStart() {
        QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(form->ctlBar->width() - 5, 20),
                          QPointF(), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form->ctlBar, &click);
        EXPECT_EQ(form->statusText(0), "ИЗМЕРЕНИЕ");
    }
    // Waits for the cycle to come back to idle after a start or a repeat read.
    bool measured(int ms) {
        return waitFor(
            [&] {
                return form->cycle()->State.CurrentCommand == ByteString{0x00} &&
                       !form->cycle()->timSendCmd->isActive();
            },
            ms);
    }
    template <class F> bool waitFor(F done, int ms) {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < ms)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        return done();
    }
    QStringList log() const { return zarvik::test::messages().log; }
    std::vector<std::uint8_t> sent() const {
        std::vector<std::uint8_t> bytes;
        for (const sim::HostByte& b : board->hostBytes())
            bytes.push_back(b.byte);
        return bytes;
    }
    static long count(const std::vector<std::uint8_t>& bytes, std::uint8_t b) {
        return std::count(bytes.begin(), bytes.end(), b);
    }
    // The host's bytes since the record was cleared begin so (a greeting may come first).
    static bool startsWith(std::vector<std::uint8_t> bytes, const ByteString& part) {
        if (!bytes.empty() && bytes[0] == ')')
            bytes.erase(bytes.begin());
        return bytes.size() >= part.size() && std::equal(part.begin(), part.end(), bytes.begin());
    }
    static bool contains(const std::vector<std::uint8_t>& bytes, const ByteString& part) {
        return std::search(bytes.begin(), bytes.end(), part.begin(), part.end()) != bytes.end();
    }
    // What the board holds after a measurement of these settings.
    static std::vector<std::uint8_t> boardArray(std::uint8_t mask, std::uint32_t divisor,
                                                int blocks, int steady = -1) {
        return sim::sampleBytes(sim::measure(mask, divisor, blocks, steady), blocks);
    }

    QTemporaryDir dir;
    std::string linkPath;
    std::unique_ptr<sim::BoardSim> board;
    std::unique_ptr<TForm1> form;
};

} // namespace zarvik::test
