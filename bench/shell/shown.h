#pragma once
// The moment both start-up programs count as done: the window is exposed and its first paint
// has been handled, as an operator would first see it. The moment goes to standard output as
// the system-wide monotonic clock's count, so that the starting process can time the start
// up to it and not the end of the process.

#include <QApplication>
#include <QWidget>
#include <QWindow>

#include <chrono>
#include <cstdio>

namespace zarvik::bench {

inline int untilShown(QWidget& window) {
    window.show();
    while (window.windowHandle() == nullptr || !window.windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QApplication::processEvents();
    const auto shown = std::chrono::steady_clock::now().time_since_epoch();
    std::printf("%lld\n", static_cast<long long>(
                              std::chrono::duration_cast<std::chrono::nanoseconds>(shown).count()));
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace zarvik::bench
