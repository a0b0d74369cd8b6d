#include <ctime>

#include "platform/clock.h"

namespace gasecu {

namespace {

class PcClock final : public Clock {
public:
    double steadyMs() const override {
        using namespace std::chrono;
        return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
    }
    LocalTimeMs localNow() const override {
        using namespace std::chrono;
        const auto now = time_point_cast<milliseconds>(system_clock::now());
        const std::time_t whole = system_clock::to_time_t(now);
        std::tm t{};
#ifdef _WIN32
        localtime_s(&t, &whole);
#else
        localtime_r(&whole, &t);
#endif
        const local_days day{year{t.tm_year + 1900} / month{static_cast<unsigned>(t.tm_mon + 1)} /
                             std::chrono::day{static_cast<unsigned>(t.tm_mday)}};
        const auto ms = now.time_since_epoch() % seconds{1};
        return day + hours{t.tm_hour} + minutes{t.tm_min} + seconds{t.tm_sec} + (ms < milliseconds{0} ? ms + seconds{1} : ms);
    }
};

}  // namespace

Clock& SystemClock() {
    static PcClock clock;
    return clock;
}

}  // namespace gasecu
