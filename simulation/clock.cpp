#include "simulation/clock.h"

#include <chrono>
#include <ctime>

namespace mokopera {

float SystemClock::SecondsSinceMidnight()
{
    using namespace std::chrono;
    const auto now = system_clock::now().time_since_epoch();
    const std::int64_t minute = duration_cast<minutes>(now).count();
    if (minute != cachedMinute_) {
        const std::time_t minuteStart = static_cast<std::time_t>(minute * 60);
        std::tm local{};
        localtime_r(&minuteStart, &local);
        secondsAtMinuteStart_ = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec;
        cachedMinute_ = minute;
    }
    const double intoMinute = duration<double>(now - minutes(minute)).count();
    return static_cast<float>(secondsAtMinuteStart_ + intoMinute);
}

}  // namespace mokopera
