#pragma once
#include <ostream>
#include <string>
#include "lib/printable.h"

struct DateComponents {
    long year, month, day, hour, minute, second;
};

// Days since 30 December 1899, with the time of day as the fraction.
class ft_Date : public Printable {
public:
    explicit ft_Date(double value = 0.0) : value(value) {}
    // Parses 25-Dec-1995, 25/12/1995, 25.12.95, 951225, 19951225, each with an
    // optional " hh:mm:ss" after it. Any text is safe: missing fields read as 0,
    // fields are read from at most 11 characters, and a null text reads as "".
    explicit ft_Date(const char* text);

    // The local clock, to the second.
    static ft_Date now();
    // Arguments are clamped to the 32-bit range, so no input overflows.
    static double day_number(long year, long month, long day,
                             long hour = 0, long minute = 0, long second = 0);

    // Values beyond a few hundred million years are clamped; NaN reads as 0.
    DateComponents components() const;
    // 07-Dec-2026, or 07-Dec-2026 10:15:28 when the time is not midnight.
    std::string text() const;
    void print(std::ostream& out) const override;

    double value;
};
