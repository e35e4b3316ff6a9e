#include "device/linkfigures.h"

#include "common/numtext.h"

#include <string>

namespace zarvik {

void TransferFigures::add(const TransferFigures& o) {
    packets += o.packets;
    repeats += o.repeats;
    badChecksums += o.badChecksums;
    fragments += o.fragments;
    stalls += o.stalls;
    transferMs += o.transferMs;
    lineMs += o.lineMs;
}

double lineTimeMs(int packets) {
    constexpr double kBitsPerPacket = 503.0 * 11.0;
    constexpr double kBaud = 921600.0;
    return packets * kBitsPerPacket / kBaud * 1000.0;
}

bool linkDegraded(const TransferFigures& f) {
    return f.repeats * 20 > f.packets;
}

UiText transferFiguresText(const TransferFigures& f, char decimalSeparator) {
    const auto seconds = [&](double ms) { return formatFixed(ms / 1000.0, 2, decimalSeparator); };
    return {ZARVIK_TR_NOOP("Link", "Пакетов %1, повторено %2 (ошибок суммы %3, обрывков %4, "
                                   "остановок %5); передача %6 с, по линии %7 с"),
            {std::to_string(f.packets), std::to_string(f.repeats), std::to_string(f.badChecksums),
             std::to_string(f.fragments), std::to_string(f.stalls), seconds(f.transferMs),
             seconds(f.lineMs)}};
}

UiText degradedLinkText(const TransferFigures& f) {
    return {ZARVIK_TR_NOOP("Link", "Плохая связь: повторено %1 из %2 пакетов"),
            {std::to_string(f.repeats), std::to_string(f.packets)}};
}

} // namespace zarvik
