#pragma once
// Sets TZ for the test process while it lives and puts back what was there
// (set or unset) when it ends. Qt's local time and the C library both read
// TZ again after tzset(), so every conversion in between uses the zone.
// The zones are POSIX rule strings, which need no time-zone database.
#include <QByteArray>
#include <QtGlobal>

#include <ctime>

class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone) : m_had(qEnvironmentVariableIsSet("TZ")), m_old(qgetenv("TZ")) {
        qputenv("TZ", zone);
        ::tzset();
    }
    ~ScopedTimeZone() {
        if (m_had)
            qputenv("TZ", m_old);
        else
            qunsetenv("TZ");
        ::tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    bool m_had;
    QByteArray m_old;
};

// West and east of UTC, with half-hour offsets, with and without summer time.
inline constexpr const char* kTestTimeZones[] = {
    "EST5EDT,M3.2.0,M11.1.0",          // New York
    "NST3:30NDT,M3.2.0,M11.1.0",       // St. John's: half an hour, west
    "UTC0",                            //
    "CET-1CEST,M3.5.0,M10.5.0/3",      // Berlin
    "IST-5:30",                        // India: half an hour, east
    "ACST-9:30ACDT,M10.1.0,M4.1.0/3",  // Adelaide: half an hour, summer time in the southern summer
    "NZST-12NZDT,M9.5.0,M4.1.0/3",     // Auckland
};
