#include "filepartsfixture.h"

#include "files/d8cformat.h"
#include "files/datafilehandlers.h"

#include <QFile>

namespace zarvik::test {

QString writeDataFile(const QString& fileName, const DataFileRecipe& recipe) {
    TMeasurement m;
    m.ChannelMask = recipe.mask;
    m.SamplePeriodUs = recipe.samplePeriodUs;
    m.Scale = recipe.scale;
    m.Shift = recipe.shift;
    m.LegacyFormat = recipe.formatWord <= 0xFF;
    m.XTitle = "Время, мс";
    m.YTitle = "Ускорение, см/с/c";
    for (std::uint16_t w : recipe.words) {
        m.SampleData.push_back(static_cast<std::uint8_t>(w & 0xFF));
        m.SampleData.push_back(static_cast<std::uint8_t>(w >> 8));
    }
    const std::vector<std::uint8_t> image = encodeD8c(m, recipe.comment);
    writeBytes(fileName, std::string(image.begin(), image.end()));
    return fileName;
}

void writeBytes(const QString& fileName, const std::string& bytes) {
    QFile f(fileName);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << fileName.toStdString();
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::string readBytes(const QString& fileName) {
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll().toStdString();
}

void FilePartsTest::SetUp() {
    previousMessages = setOperatorMessages(std::make_unique<RecordedMessages>(&messages));
    form = std::make_unique<TForm1>(appDir.path() + "/");
    // No dialog may block a test: an unanswered dialog counts as cancelled.
    form->dataFiles()->OpenDlg.prompt = [](const FileDialog&) { return QString(); };
    form->dataFiles()->SaveDlg.prompt = [](const FileDialog&) { return QString(); };
    // What the window said at start-up (the board is not attached) is not under test here.
    messages.clear();
}

void FilePartsTest::TearDown() {
    form.reset();
    setOperatorMessages(std::move(previousMessages));
}

QString FilePartsTest::dataPath(const QString& name) const {
    return dataDir.filePath(name);
}

void FilePartsTest::loadThroughDialog(const QString& name) {
    form->dataFiles()->OpenDlg.prompt = [name](const FileDialog&) { return name; };
    form->dataFiles()->btLoadFileClick();
    form->dataFiles()->OpenDlg.prompt = [](const FileDialog&) { return QString(); };
}

void FilePartsTest::loadDirectly(const QString& name) {
    form->Measurement.FileName = name.toStdString();
    form->dataFiles()->readFileName();
}

} // namespace zarvik::test
