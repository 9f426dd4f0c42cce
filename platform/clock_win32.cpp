// The Windows clock: local time, texts in the user's locale formats.
#include <windows.h>

#include "platform/clock.h"

namespace hs {

namespace {

SYSTEMTIME AsSystemTime(const LocalTime& time) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(time.year);
    st.wMonth = static_cast<WORD>(time.month);
    st.wDay = static_cast<WORD>(time.day);
    st.wHour = static_cast<WORD>(time.hour);
    st.wMinute = static_cast<WORD>(time.minute);
    st.wSecond = static_cast<WORD>(time.second);
    return st;
}

class Win32Clock final : public Clock {
public:
    LocalTime Now() override {
        SYSTEMTIME st{};
        GetLocalTime(&st);
        return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
    }
    std::string TimeOfDayText(const LocalTime& time) override {
        const SYSTEMTIME st = AsSystemTime(time);
        char text[128];
        const int length = GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, text, sizeof text);
        return length > 0 ? std::string(text, static_cast<std::size_t>(length - 1)) : std::string();
    }
    std::string ShortDateText(const LocalTime& time) override {
        const SYSTEMTIME st = AsSystemTime(time);
        char text[128];
        const int length = GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, text, sizeof text);
        return length > 0 ? std::string(text, static_cast<std::size_t>(length - 1)) : std::string();
    }
};

} // namespace

Clock& SystemClock() {
    static Win32Clock clock;
    return clock;
}

} // namespace hs
