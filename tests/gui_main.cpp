// Test entry for widget tests: one QApplication for the whole run, offscreen by default, and
// operator messages recorded instead of shown.
#include "recordingmessages.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace zarvik::test {

RecordingMessages& messages() {
    static RecordingMessages* recorder = [] {
        auto owned = std::make_unique<RecordingMessages>();
        RecordingMessages* raw = owned.get();
        setOperatorMessages(std::move(owned));
        return raw;
    }();
    return *recorder;
}

} // namespace zarvik::test

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    zarvik::test::messages();
    return RUN_ALL_TESTS();
}
