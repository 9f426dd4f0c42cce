// The local date and time, and their texts in the system's formats: the scan
// times, the report's date and the backup file names come from here.
#pragma once

#include <string>

namespace hs {

struct LocalTime {
    int year = 2000;   // four digits
    int month = 1;     // 1..12
    int day = 1;       // 1..31
    int hour = 0;      // 0..23
    int minute = 0;
    int second = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime Now() = 0;
    // The time of day in the system's time format ("14:05:09").
    virtual std::string TimeOfDayText(const LocalTime& time) = 0;
    // The date in the system's short date format.
    virtual std::string ShortDateText(const LocalTime& time) = 0;
};

// The machine's clock and formats.
Clock& SystemClock();

} // namespace hs
