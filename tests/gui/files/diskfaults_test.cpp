// Every damaged copy of a valid data file, cut short anywhere or with any one bit of its
// header, titles and first samples flipped, is read consistently or refused; a refused one
// leaves the measurement on screen as it was.

#include "filepartsfixture.h"
#include "files/datafilehandlers.h"

namespace zarvik::test {
namespace {

using DiskFaultsTest = FilePartsTest;

TEST_F(DiskFaultsTest, EveryTruncationAndBitFlipIsReadOrRefusedCleanly) {
    const QString good = writeDataFile(dataPath("good.d8c"));
    const std::string bytes = readBytes(good);
    const QString bad = dataPath("bad.d8c");
    loadDirectly(good);
    const std::vector<std::uint8_t> held = form->Measurement.SampleData;
    ASSERT_FALSE(held.empty());

    std::vector<std::string> copies;
    for (std::size_t n = 0; n < bytes.size(); ++n)
        copies.push_back(bytes.substr(0, n));
    // Everything up to the end of the first samples: the fixed part, the titles, 8 words.
    const std::size_t flipped = bytes.size() - 7; // the comment "Стенд 2" stays
    for (std::size_t i = 0; i < flipped; ++i)
        for (int bit = 0; bit < 8; ++bit) {
            std::string copy = bytes;
            copy[i] = static_cast<char>(copy[i] ^ (1 << bit));
            copies.push_back(copy);
        }

    int refused = 0;
    for (const std::string& copy : copies) {
        writeBytes(bad, copy);
        messages.clear();
        form->Measurement.FileName = bad.toStdString();
        const TMeasurement& m = form->Measurement;
        if (form->dataFiles()->readFileName()) {
            // Read: the samples are the header's, whole.
            ASSERT_EQ(m.SampleData.size(), m.DataSize) << copy.size();
            loadDirectly(good);
            continue;
        }
        ++refused;
        ASSERT_FALSE(messages.isEmpty()) << "a refusal says why";
        ASSERT_EQ(m.SampleData, held);
    }
    EXPECT_GE(refused, static_cast<int>(bytes.size()) - 8) << "a file cut short is refused";
}

} // namespace
} // namespace zarvik::test
