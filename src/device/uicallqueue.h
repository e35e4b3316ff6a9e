#pragma once
// The hand-over of the serial component's events to the user-interface thread: a call made on
// one of the component's threads runs on the user-interface thread, and the caller waits until
// it has run. The calls and their completion pass through a standard mutex and condition
// rather than a blocking queued connection, so that the thread checker sees the hand-over and
// can check the handlers on its far side; Qt's queue only carries a bare wake-up event.

#include "device/serial/sertypes.h"

#include <QObject>
#include <memory>

namespace zarvik {

class UiCallQueue : public QObject {
public:
    // Made on the user-interface thread.
    UiCallQueue();
    // Lets go of threads still waiting; their calls never run.
    ~UiCallQueue() override;

    // For any thread; on the user-interface thread the call runs at once.
    TSerUiInvoker invoker() const;

protected:
    void customEvent(QEvent* event) override;

private:
    struct State;
    std::shared_ptr<State> m_state;
};

} // namespace zarvik
