// board-sim: plays the converter board on a pseudo-terminal until killed. Prints the device
// path (again after every reopening); SIGUSR1 gives the external start, SIGUSR2 unplugs.

#include "boardsim.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <string>

namespace {

zarvik::boardsim::BoardSim* g_sim = nullptr;

void onSignal(int signal) {
    if (g_sim == nullptr) {
        return;
    }
    if (signal == SIGUSR1) {
        g_sim->triggerExternalStart();
    } else if (signal == SIGUSR2) {
        g_sim->hangUp();
    } else {
        g_sim->requestStop();
    }
}

void usage() {
    std::fputs("usage: board-sim [options]\n"
               "  --link PATH               symlink to the device, renewed at every opening\n"
               "  --pace                    send at the line rate (921600 baud, 11 bits a byte)\n"
               "                            in pieces of up to 64 bytes, each written when its\n"
               "                            last byte has left the line\n"
               "  --time-scale X            factor on the measurement time (0: at once)\n"
               "  --trigger-after MS        external start this long after a waiting start\n"
               "  --bad-checksum-every K    every K-th packet with a wrong checksum\n"
               "  --split-every K           every K-th packet in two writes ...\n"
               "  --split-pause-ms MS       ... with this pause between them (20)\n"
               "  --cut-every K             every K-th packet loses its second half for good\n"
               "  --stray-every K           stray bytes before every K-th packet\n"
               "  --no-echo                 do not answer the link check\n"
               "  --no-reply                no finish byte after a measurement\n"
               "  --steady N                every channel gives the code N (0..4095)\n"
               "  --finish-byte N           the finish byte, 10 or 11 (10)\n"
               "  --packet-type C           packet type byte, p or q (q)\n"
               "  --hang-up-after N         close the line after N packets\n"
               "  --stall-after K           the first transfer on a line stops after K packets:\n"
               "                            q and r get nothing until the next read or start\n"
               "                            command (0: never)\n"
               "  --reopen-after MS         after hanging up, open a new line this much later\n"
               "  --exit-on-peer-hangup     end when the host closes the line\n"
               "  --record FILE             at the end, write to FILE a line \"<us> <hex>\" for\n"
               "                            every byte from the host and \"packet-end <us>\"\n"
               "                            for every packet's last byte; microseconds since\n"
               "                            the first opening, in time order\n"
               "signals: TERM/INT end, USR1 external start, USR2 hang up\n",
               stderr);
}

// One line "<us> <byte in hex>" per byte from the host and "packet-end <us>" per packet sent,
// in time order, in microseconds since the board first opened its line.
bool writeRecord(const zarvik::boardsim::BoardSim& sim, const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) {
        return false;
    }
    const auto origin = sim.openedAt();
    const auto us = [origin](std::chrono::steady_clock::time_point at) {
        return static_cast<long long>(
            std::chrono::duration_cast<std::chrono::microseconds>(at - origin).count());
    };
    const auto ends = sim.packetEnds();
    std::size_t e = 0;
    const auto endsBefore = [&](std::chrono::steady_clock::time_point at) {
        for (; e < ends.size() && ends[e] < at; ++e) {
            std::fprintf(file, "packet-end %lld\n", us(ends[e]));
        }
    };
    for (const auto& b : sim.hostBytes()) {
        endsBefore(b.at);
        std::fprintf(file, "%lld %02x\n", us(b.at), b.byte);
    }
    endsBefore(std::chrono::steady_clock::time_point::max());
    return std::fclose(file) == 0;
}

int number(const char* text) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0') {
        throw std::invalid_argument(std::string("not a number: ") + text);
    }
    return static_cast<int>(value);
}

} // namespace

int main(int argc, char** argv) {
    zarvik::boardsim::BoardOptions options;
    std::string recordPath;
    try {
        for (int i = 1; i < argc; ++i) {
            const std::string arg = argv[i];
            const auto value = [&]() -> const char* {
                if (i + 1 >= argc) {
                    throw std::invalid_argument(arg + " needs a value");
                }
                return argv[++i];
            };
            if (arg == "--link") {
                options.linkPath = value();
            } else if (arg == "--pace") {
                options.pace = true;
            } else if (arg == "--time-scale") {
                options.timeScale = std::strtod(value(), nullptr);
            } else if (arg == "--trigger-after") {
                options.triggerAfterMs = number(value());
            } else if (arg == "--bad-checksum-every") {
                options.badChecksumEvery = number(value());
            } else if (arg == "--split-every") {
                options.splitEvery = number(value());
            } else if (arg == "--split-pause-ms") {
                options.splitPauseMs = number(value());
            } else if (arg == "--cut-every") {
                options.cutEvery = number(value());
            } else if (arg == "--stray-every") {
                options.strayEvery = number(value());
            } else if (arg == "--no-echo") {
                options.noEcho = true;
            } else if (arg == "--no-reply") {
                options.noReply = true;
            } else if (arg == "--steady") {
                options.steadyLevel = number(value());
                if (options.steadyLevel < 0 || options.steadyLevel > 4095) {
                    throw std::invalid_argument("--steady takes a code of 0..4095");
                }
            } else if (arg == "--finish-byte") {
                options.finishByte = static_cast<std::uint8_t>(number(value()));
            } else if (arg == "--packet-type") {
                options.packetType = value()[0];
            } else if (arg == "--hang-up-after") {
                options.hangUpAfterPackets = number(value());
            } else if (arg == "--stall-after") {
                options.stallAfterPackets = number(value());
            } else if (arg == "--reopen-after") {
                options.reopenAfterMs = number(value());
            } else if (arg == "--exit-on-peer-hangup") {
                options.exitOnPeerHangUp = true;
            } else if (arg == "--record") {
                recordPath = value();
            } else {
                usage();
                return arg == "--help" || arg == "-h" ? 0 : 2;
            }
        }
        zarvik::boardsim::BoardSim sim(options);
        sim.onOpened = [](const std::string& path) {
            std::printf("%s\n", path.c_str());
            std::fflush(stdout);
        };
        g_sim = &sim;
        struct sigaction action {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        for (int signal : {SIGTERM, SIGINT, SIGUSR1, SIGUSR2}) {
            sigaction(signal, &action, nullptr);
        }
        sim.open();
        sim.run();
        g_sim = nullptr;
        if (!recordPath.empty() && !writeRecord(sim, recordPath)) {
            std::fprintf(stderr, "board-sim: cannot write %s\n", recordPath.c_str());
            return 1;
        }
    } catch (const std::invalid_argument& e) {
        std::fprintf(stderr, "board-sim: %s\n", e.what());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "board-sim: %s\n", e.what());
        return 1;
    }
    return 0;
}
