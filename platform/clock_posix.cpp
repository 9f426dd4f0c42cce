// The clock of a POSIX host: local time, texts in the C library's formats.
#include "platform/clock.h"

#include <ctime>

namespace hs {

namespace {

std::tm AsTm(const LocalTime& time) {
    std::tm tm{};
    tm.tm_year = time.year - 1900;
    tm.tm_mon = time.month - 1;
    tm.tm_mday = time.day;
    tm.tm_hour = time.hour;
    tm.tm_min = time.minute;
    tm.tm_sec = time.second;
    return tm;
}

std::string Format(const char* format, const LocalTime& time) {
    const std::tm tm = AsTm(time);
    char text[64];
    const std::size_t length = std::strftime(text, sizeof text, format, &tm);
    return std::string(text, length);
}

class PosixClock final : public Clock {
public:
    LocalTime Now() override {
        const std::time_t now = std::time(nullptr);
        std::tm tm{};
        localtime_r(&now, &tm);
        return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
    }
    std::string TimeOfDayText(const LocalTime& time) override { return Format("%X", time); }
    std::string ShortDateText(const LocalTime& time) override { return Format("%x", time); }
};

} // namespace

Clock& SystemClock() {
    static PosixClock clock;
    return clock;
}

} // namespace hs
