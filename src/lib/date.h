#pragma once
#include <ostream>
#include <string>

struct DateComponents {
    long year, month, day, hour, minute, second;
};

// Days since 30 December 1899, with the time of day as the fraction.
class ft_Date {
public:
    explicit ft_Date(double value = 0.0) : value(value) {}
    // Parses 25-Dec-1995, 25/12/1995, 25.12.95, 951225, 19951225, each with an
    // optional " hh:mm:ss" after it.
    explicit ft_Date(const char* text);
    virtual ~ft_Date() = default;

    // The local clock, to the second.
    static ft_Date now();
    static double day_number(long year, long month, long day,
                             long hour = 0, long minute = 0, long second = 0);

    DateComponents components() const;
    // 07-Dec-2026, or 07-Dec-2026 10:15:28 when the time is not midnight.
    std::string text() const;
    virtual void print(std::ostream& out) const;

    double value;
};
