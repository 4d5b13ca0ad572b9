#pragma once

// Local date and time as days since 1970-01-01 00:00 local time, the time of
// day as the fraction. Tests replace the clock to walk through an interval.
class ScheduleClock
{
public:
    virtual ~ScheduleClock() = default;
    virtual double now() const = 0;
};

// The computer's own local time.
class SystemClock : public ScheduleClock
{
public:
    double now() const override;
};
