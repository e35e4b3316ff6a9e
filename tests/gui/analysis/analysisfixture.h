#pragma once
// A main window and its spectrum window in a scratch settings folder, with a measurement
// written straight into the sample stream and drawn, so that the visible point range is set.

#include "analysis/analysisactions.h"
#include "analysis/spectrumwindow.h"
#include "recordingmessages.h"
#include "shell/tform1.h"

#include <QStringList>
#include <QTemporaryDir>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <initializer_list>
#include <memory>
#include <ostream>
#include <vector>

// Readable failure output for texts.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace zarvik::test {

class AnalysisTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString appPath() const { return dir.path() + "/"; }
    QString iniPath() const;
    // Both windows as the program entry makes them.
    void createWindows();

    // Selects exactly `channels` and fills the stream with `instants` sample instants; the
    // word of channel n at instant j is word(n, j). Point i of a channel's series is instant
    // i + 1.
    void setStream(std::initializer_list<int> channels, int instants,
                   const std::function<std::uint16_t(int channel, int instant)>& word);
    // Rebuilds the main chart in axis mode `mode` and paints it.
    void build(int mode);
    // Paints the main chart, which records the visible point range.
    void paint();
    // The main chart shows only its points first..last of channel `channel`.
    void zoomToPoints(int channel, int first, int last);

    QStringList clipboardLines() const;

    QTemporaryDir dir;
    std::unique_ptr<TForm1> form1;
    std::unique_ptr<TForm2> form2;
};

} // namespace zarvik::test
