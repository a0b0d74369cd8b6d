// gasecu-sim: the virtual controller on a pseudo-terminal, in real time.
//
// Prints the device path of the terminal's slave side on stdout (one line), then
// serves the controller until SIGTERM/SIGINT or until stdin closes. Point the tool
// at the printed path (gasecu --port PATH) and it finds the controller on COM1.
//
// A pseudo-terminal ignores the baud rate, so replies are held back for the time
// they would take on a 38400 baud line (about 0.26 ms a byte, 3.4 ms for a 13-byte
// reply, 5.2 ms for a 20-byte block) plus the adapter latency.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "virtual_ecu.h"

namespace {

using gasecu::Bytes;
using gasecu::sim::ReplyFault;
using gasecu::sim::VirtualEcu;

struct Options {
    std::uint32_t seed = 1;
    double rpm = 850;
    double latencyMs = 1.0;
    bool silent = false;
    bool smallNozzle = false;
    std::optional<double> pressureBar, reducerC, gasC, mismatchMs;
    bool watchStdin = true;
    bool showReceived = false;
    std::map<ReplyFault, double> faultRates;
    double splitPauseLowMs = 3, splitPauseHighMs = 3;
    std::map<int, int> settings;  // address -> byte, stored before the first frame
    std::vector<int> refused;     // addresses whose writes are ignored
    std::vector<int> droppedBlockWrites;
};

const char* kUsage =
    "Usage: gasecu-sim [--seed N] [--rpm RPM] [--latency MS] [--silent] [--small-nozzle]\n"
    "                  [--pressure BAR] [--reducer-temp C] [--gas-temp C] [--mismatch MS]\n"
    "                  [--fault KIND=RATE]... [--split-pause MS[-MS]] [--drop-block-write BLOCK]...\n"
    "                  [--set ADDRESS=BYTE]... [--refuse ADDRESS]... [--no-stdin]\n"
    "                  [--show-received]\n"
    "\n"
    "Serves a virtual gas-injection controller on a pseudo-terminal and prints its path.\n"
    "\n"
    "Options:\n"
    "  --seed          the seed of the line faults and the engine's mixture (0..4294967295)\n"
    "  --rpm           the engine speed the fitter holds, 0..10000 (a calibration needs\n"
    "                  2000 or more)\n"
    "  --latency       the adapter's delay before each reply in ms, 0..60000 (default 1)\n"
    "  --pressure      gas pressure in bar (default 1.0; a calibration needs 0.5 or more)\n"
    "  --reducer-temp  reducer temperature held at C degrees (default: warms up from 15;\n"
    "                  a calibration needs 30 or more)\n"
    "  --gas-temp      gas temperature held at C degrees (default: warms up from 15)\n"
    "  --mismatch      gas mixture error at the start, in ms of petrol time (default: seeded)\n"
    "  --silent        never answer (an unplugged adapter)\n"
    "  --small-nozzle  injector nozzles too small: a calibration never converges\n"
    "  --fault         drop, cut, split, merge, garbage, late, duplicate or stray,\n"
    "                  with a probability 0..1\n"
    "  --split-pause   the pause in a split reply, MS or LOW-HIGH ms, 0..60000 (default 3)\n"
    "  --set           store a byte at a setting address first (fault records: 66..86)\n"
    "  --refuse        ignore every write to this address (the ECU keeps its value)\n"
    "  --drop-block-write  lose the first write of curve block 10..16 on the way in\n"
    "  --no-stdin      do not stop when stdin closes (stop with SIGTERM)\n"
    "  --show-received  print every piece the tool sent, in hex, one line each, after\n"
    "                  the path\n";

// What --seed, --rpm and --latency take: 0 up to the highest.
struct Range {
    double highest;
    const char* highestText;
    bool whole;
};
constexpr Range kSeedRange{4294967295.0, "4294967295", true};  // the generator's 32-bit seed
constexpr Range kRpmRange{10000.0, "10000", false};            // past any engine on a gas conversion
constexpr Range kLatencyRange{60000.0, "60000", false};        // a minute: far past every watch of the tool

std::optional<double> Number(const std::string& text) {
    char* end = nullptr;
    double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::optional<ReplyFault> FaultKind(const std::string& name) {
    static const std::map<std::string, ReplyFault> kinds{
        {"drop", ReplyFault::Drop},   {"cut", ReplyFault::Cut},         {"split", ReplyFault::Split},
        {"merge", ReplyFault::Merge}, {"garbage", ReplyFault::Garbage}, {"late", ReplyFault::Late},
        {"duplicate", ReplyFault::Duplicate}, {"stray", ReplyFault::Stray}};
    auto it = kinds.find(name);
    if (it == kinds.end()) return std::nullopt;
    return it->second;
}

// Returns false (after a message) on anything it does not understand.
bool ParseOptions(int argc, char** argv, Options& o) {
    std::vector<std::string> args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size()) return std::nullopt;
            return args[++i];
        };
        if (a == "--silent") {
            o.silent = true;
        } else if (a == "--small-nozzle") {
            o.smallNozzle = true;
        } else if (a == "--no-stdin") {
            o.watchStdin = false;
        } else if (a == "--show-received") {
            o.showReceived = true;
        } else if (a == "--seed" || a == "--rpm" || a == "--latency") {
            // Each is converted to a whole number somewhere (the seed at once, the
            // speed to its band, the latency to the poll's wait): a value past the
            // target's range would be undefined there, so it is refused here.
            const Range range = a == "--seed" ? kSeedRange : a == "--rpm" ? kRpmRange : kLatencyRange;
            auto text = value();
            auto n = text ? Number(*text) : std::nullopt;
            if (!n || *n < 0 || *n > range.highest || (range.whole && *n != std::floor(*n))) {
                std::fprintf(stderr, "gasecu-sim: %s needs %s 0..%s\n", a.c_str(),
                             range.whole ? "a whole number" : "a number", range.highestText);
                return false;
            }
            if (a == "--seed") o.seed = static_cast<std::uint32_t>(*n);
            if (a == "--rpm") o.rpm = *n;
            if (a == "--latency") o.latencyMs = *n;
        } else if (a == "--pressure" || a == "--reducer-temp" || a == "--gas-temp" || a == "--mismatch") {
            auto text = value();
            auto n = text ? Number(*text) : std::nullopt;
            if (!n || (a == "--pressure" && *n < 0)) {
                std::fprintf(stderr, "gasecu-sim: %s needs a number%s\n", a.c_str(),
                             a == "--pressure" ? " of 0 or more" : "");
                return false;
            }
            if (a == "--pressure") o.pressureBar = *n;
            if (a == "--reducer-temp") o.reducerC = *n;
            if (a == "--gas-temp") o.gasC = *n;
            if (a == "--mismatch") o.mismatchMs = *n;
        } else if (a == "--split-pause") {
            auto text = value();
            auto dash = text ? text->find('-', 1) : std::string::npos;
            auto low = text ? Number(text->substr(0, dash)) : std::nullopt;
            auto high = dash != std::string::npos ? Number(text->substr(dash + 1)) : low;
            if (!low || !high || *low < 0 || *high < *low || *high > kLatencyRange.highest) {
                std::fprintf(stderr, "gasecu-sim: --split-pause needs MS or LOW-HIGH, 0..60000\n");
                return false;
            }
            o.splitPauseLowMs = *low;
            o.splitPauseHighMs = *high;
        } else if (a == "--drop-block-write") {
            auto text = value();
            auto n = text ? Number(*text) : std::nullopt;
            if (!n || *n < 10 || *n > 16 || *n != std::floor(*n)) {
                std::fprintf(stderr, "gasecu-sim: --drop-block-write needs a curve block 10..16\n");
                return false;
            }
            o.droppedBlockWrites.push_back(static_cast<int>(*n));
        } else if (a == "--fault") {
            auto text = value();
            auto eq = text ? text->find('=') : std::string::npos;
            auto kind = eq != std::string::npos ? FaultKind(text->substr(0, eq)) : std::nullopt;
            auto rate = kind ? Number(text->substr(eq + 1)) : std::nullopt;
            if (!rate || *rate < 0 || *rate > 1) {
                std::fprintf(stderr, "gasecu-sim: --fault needs KIND=RATE, e.g. drop=0.1\n");
                return false;
            }
            o.faultRates[*kind] = *rate;
        } else if (a == "--set" || a == "--refuse") {
            auto text = value();
            auto eq = text && a == "--set" ? text->find('=') : std::string::npos;
            auto address = !text ? std::nullopt : Number(a == "--set" ? text->substr(0, eq) : *text);
            auto byte = eq != std::string::npos ? Number(text->substr(eq + 1)) : std::optional<double>(0);
            bool fits = address && byte && *address >= 0 && *address <= 255 && *byte >= 0 && *byte <= 255 &&
                        *address == std::floor(*address) && *byte == std::floor(*byte) &&
                        (a == "--refuse" || eq != std::string::npos);
            if (!fits) {
                std::fprintf(stderr, "gasecu-sim: %s needs %s\n", a.c_str(),
                             a == "--set" ? "ADDRESS=BYTE, both 0..255" : "an ADDRESS 0..255");
                return false;
            }
            if (a == "--set") o.settings[static_cast<int>(*address)] = static_cast<int>(*byte);
            else o.refused.push_back(static_cast<int>(*address));
        } else if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        } else {
            std::fprintf(stderr, "gasecu-sim: unknown option %s\n%s", a.c_str(), kUsage);
            return false;
        }
    }
    return true;
}

// The pseudo-terminal: master for us, slave for the tool. We keep a slave
// descriptor open ourselves so the master stays usable while no tool has it open.
struct Pty {
    int master = -1;
    int slaveKeeper = -1;
    std::string path;
};

std::optional<Pty> OpenPty() {
    Pty p;
    p.master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (p.master < 0 || grantpt(p.master) != 0 || unlockpt(p.master) != 0) return std::nullopt;
    const char* name = ptsname(p.master);
    if (!name) return std::nullopt;
    p.path = name;
    p.slaveKeeper = ::open(name, O_RDWR | O_NOCTTY);
    if (p.slaveKeeper < 0) return std::nullopt;
    // Raw 38400 8N1: no echo, no line editing, no translation of 10 or 13.
    termios t{};
    if (tcgetattr(p.slaveKeeper, &t) != 0) return std::nullopt;
    cfmakeraw(&t);
    cfsetispeed(&t, B38400);
    cfsetospeed(&t, B38400);
    t.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    t.c_cflag |= CS8 | CLOCAL | CREAD;
    if (tcsetattr(p.slaveKeeper, TCSANOW, &t) != 0) return std::nullopt;
    return p;
}

// What reached the controller, as it came off the line: lets a test see that the
// last frame a command traced really arrived.
void ShowReceived(const std::uint8_t* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) std::printf(i ? " %02X" : "%02X", bytes[i]);
    std::printf("\n");
    std::fflush(stdout);
}

struct Pending {
    double dueMs;
    Bytes bytes;
};

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) return 2;

    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGHUP);
    sigprocmask(SIG_BLOCK, &stopSignals, nullptr);
    int signalFd = signalfd(-1, &stopSignals, SFD_NONBLOCK | SFD_CLOEXEC);
    signal(SIGPIPE, SIG_IGN);  // NOLINT(cert-err33-c): fails only for a signal number that does not exist

    std::optional<Pty> pty = OpenPty();
    if (!pty || signalFd < 0) {
        std::fprintf(stderr, "gasecu-sim: cannot open a pseudo-terminal: %s\n", std::strerror(errno));
        return 1;
    }

    VirtualEcu ecu(options.seed);
    ecu.setEngineSpeed(options.rpm);
    ecu.setAdapterLatency(options.latencyMs);
    ecu.setSilent(options.silent);
    ecu.setSmallNozzle(options.smallNozzle);
    if (options.pressureBar) ecu.setGasPressure(*options.pressureBar);
    if (options.reducerC) ecu.setReducerTemperature(options.reducerC);
    if (options.gasC) ecu.setGasTemperature(options.gasC);
    if (options.mismatchMs) ecu.engine().setMismatch(*options.mismatchMs);
    for (auto [kind, rate] : options.faultRates) ecu.setFaultRate(kind, rate);
    ecu.faults().setSplitPause(options.splitPauseLowMs, options.splitPauseHighMs);
    for (auto [address, byte] : options.settings) ecu.setSetting(address, byte);
    for (int address : options.refused) ecu.refuseAddress(address);
    for (int block : options.droppedBlockWrites) ecu.dropNextBlockWrite(block);

    std::printf("%s\n", pty->path.c_str());
    std::fflush(stdout);

    const auto start = std::chrono::steady_clock::now();
    auto nowMs = [&] { return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count(); };

    std::vector<Pending> pending;  // reply pieces on their way, in due order
    bool running = true;
    while (running) {
        double now = nowMs();
        // Hand over every piece that has arrived by now.
        while (!pending.empty() && pending.front().dueMs <= now) {
            Bytes& b = pending.front().bytes;
            ssize_t n = ::write(pty->master, b.data(), b.size());
            if (n < 0 && errno == EAGAIN) break;  // the tool's side is full: try again shortly
            if (n > 0 && static_cast<std::size_t>(n) < b.size()) {
                b.erase(b.begin(), b.begin() + n);
                break;
            }
            pending.erase(pending.begin());
        }

        timespec timeout{1, 0};
        timespec* wait = &timeout;
        if (!pending.empty()) {
            double ms = std::max(0.0, pending.front().dueMs - nowMs());
            timeout.tv_sec = static_cast<time_t>(ms / 1000);
            timeout.tv_nsec = static_cast<long>(std::fmod(ms, 1000.0) * 1e6);
        } else {
            wait = nullptr;
        }
        pollfd fds[3] = {{pty->master, POLLIN, 0}, {signalFd, POLLIN, 0}, {0, POLLIN, 0}};
        nfds_t count = options.watchStdin ? 3 : 2;
        int ready = ppoll(fds, count, wait, nullptr);
        if (ready < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (fds[1].revents & POLLIN) running = false;
        if (options.watchStdin && (fds[2].revents & (POLLIN | POLLHUP | POLLERR))) {
            char sink[256];
            ssize_t n = ::read(0, sink, sizeof sink);
            if (n <= 0) running = false;  // stdin closed: whoever started us is gone
        }
        if (fds[0].revents & POLLIN) {
            std::uint8_t buffer[512];
            ssize_t n;
            while ((n = ::read(pty->master, buffer, sizeof buffer)) > 0) {
                double at = nowMs();
                if (options.showReceived) ShowReceived(buffer, static_cast<std::size_t>(n));
                for (auto& chunk : ecu.onBytes(Bytes(buffer, buffer + n), at))
                    pending.push_back({at + chunk.delayMs, std::move(chunk.bytes)});
            }
            std::stable_sort(pending.begin(), pending.end(),
                             [](const Pending& a, const Pending& b) { return a.dueMs < b.dueMs; });
        }
    }

    ::close(pty->master);
    ::close(pty->slaveKeeper);
    ::close(signalFd);
    return 0;
}
