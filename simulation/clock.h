#pragma once

#include <cstdint>

namespace mokopera {

// The time of day that seeds every shot.
class Clock {
public:
    virtual ~Clock() = default;
    // Seconds since local midnight, with their fraction.
    virtual float SecondsSinceMidnight() = 0;
};

// Reads the system's wall clock in local time. The local offset is looked up once a minute,
// so a call costs little more than reading the clock.
class SystemClock final : public Clock {
public:
    float SecondsSinceMidnight() override;

private:
    std::int64_t cachedMinute_ = -1;
    double secondsAtMinuteStart_ = 0.0;  // local seconds since midnight at cachedMinute_
};

}  // namespace mokopera
