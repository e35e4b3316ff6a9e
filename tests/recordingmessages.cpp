#include "recordingmessages.h"

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

namespace {
// Installed before any test runs, so that no test ever blocks on a modal box.
const bool installed = (messages(), true);
} // namespace

} // namespace zarvik::test
