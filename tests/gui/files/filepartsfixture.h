#pragma once
// A main window in a scratch folder with its messages recorded instead of shown, and small
// data files written byte for byte by the plain format layer.

#include "common/measurement.h"
#include "shell/tform1.h"
#include "ui/operatormessages.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

// Readable failure output for texts and lists of texts.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace zarvik::test {

struct RecordedMessages : OperatorMessages {
    QStringList* log;
    explicit RecordedMessages(QStringList* l) : log(l) {}
    void information(const QString& t) override { log->append("info:" + t); }
    void message(const QString& t) override { log->append("msg:" + t); }
    void error(const QString& t) override { log->append("error:" + t); }
};

struct DataFileRecipe {
    std::uint8_t mask = 0x05;
    std::vector<std::uint16_t> words = {100, 200, 110, 210, 120, 220, 130, 230};
    std::vector<std::string> comment = {"Стенд 2"};
    double samplePeriodUs = 10.0;
    std::uint16_t formatWord = kFormatCurrent;
    ChannelValues scale = TMeasurement().Scale;
    ChannelValues shift = TMeasurement().Shift;
};

// Writes a data file; returns its full name.
QString writeDataFile(const QString& fileName, const DataFileRecipe& recipe = {});
// Writes raw bytes.
void writeBytes(const QString& fileName, const std::string& bytes);
std::string readBytes(const QString& fileName);

class FilePartsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A data folder beside the settings folder.
    QString dataPath(const QString& name) const;
    // Answers the open dialog once with `name` and runs the open button.
    void loadThroughDialog(const QString& name);
    // Reads `name` as the folder walk and the browser do.
    void loadDirectly(const QString& name);

    QTemporaryDir appDir;
    QTemporaryDir dataDir;
    QStringList messages;
    std::unique_ptr<OperatorMessages> previousMessages;
    std::unique_ptr<TForm1> form;
};

} // namespace zarvik::test
