#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <limits>
#include <sstream>
#include <string>

#include "lib/date.h"

namespace {

constexpr double second = 1.0 / 86400;
const double christmas_1995 = 35058;

double parsed(const char* text) { return ft_Date(text).value; }

void expect_components(double value, long year, long month, long day, long hour = 0,
                       long minute = 0, long sec = 0) {
    const DateComponents c = ft_Date(value).components();
    EXPECT_EQ(year, c.year) << value;
    EXPECT_EQ(month, c.month) << value;
    EXPECT_EQ(day, c.day) << value;
    EXPECT_EQ(hour, c.hour) << value;
    EXPECT_EQ(minute, c.minute) << value;
    EXPECT_EQ(sec, c.second) << value;
}

TEST(DateNumber, KnownDays) {
    EXPECT_EQ(2, ft_Date::day_number(1900, 1, 1));
    EXPECT_EQ(25569, ft_Date::day_number(1970, 1, 1));
    EXPECT_EQ(36526, ft_Date::day_number(2000, 1, 1));
    EXPECT_EQ(46363.5, ft_Date::day_number(2026, 12, 7, 12, 0, 0));
    EXPECT_EQ(christmas_1995, ft_Date::day_number(1995, 12, 25));
    EXPECT_DOUBLE_EQ(christmas_1995 + (13 * 3600 + 45 * 60 + 10) * second,
                     ft_Date::day_number(1995, 12, 25, 13, 45, 10));
    // 1900 is no leap year, 2000 is.
    EXPECT_EQ(1, ft_Date::day_number(1900, 3, 1) - ft_Date::day_number(1900, 2, 28));
    EXPECT_EQ(2, ft_Date::day_number(2000, 3, 1) - ft_Date::day_number(2000, 2, 28));
}

TEST(DateNumber, ShortYearsAndOverflowingFields) {
    EXPECT_EQ(ft_Date::day_number(1995, 12, 25), ft_Date::day_number(95, 12, 25));
    EXPECT_EQ(ft_Date::day_number(2005, 6, 1), ft_Date::day_number(5, 6, 1));
    EXPECT_EQ(ft_Date::day_number(2069, 1, 1), ft_Date::day_number(69, 1, 1));
    EXPECT_EQ(ft_Date::day_number(1970, 1, 1), ft_Date::day_number(70, 1, 1));
    EXPECT_EQ(ft_Date::day_number(2000, 3, 4), ft_Date::day_number(0, 3, 4));
    EXPECT_EQ(ft_Date::day_number(3799, 3, 4), ft_Date::day_number(1899, 3, 4));

    EXPECT_EQ(ft_Date::day_number(2001, 1, 1), ft_Date::day_number(2000, 13, 1));
    EXPECT_EQ(ft_Date::day_number(2001, 12, 1), ft_Date::day_number(2000, 24, 1));
    EXPECT_EQ(ft_Date::day_number(2002, 1, 1), ft_Date::day_number(2000, 25, 1));
    EXPECT_EQ(ft_Date::day_number(1999, 12, 1), ft_Date::day_number(2000, 0, 1));
    EXPECT_EQ(ft_Date::day_number(1999, 11, 1), ft_Date::day_number(2000, -1, 1));
    EXPECT_EQ(ft_Date::day_number(1998, 12, 1), ft_Date::day_number(2000, -12, 1));
    EXPECT_EQ(ft_Date::day_number(2000, 2, 1), ft_Date::day_number(2000, 1, 32));
    EXPECT_EQ(ft_Date::day_number(1999, 12, 31), ft_Date::day_number(2000, 1, 0));
    EXPECT_EQ(ft_Date::day_number(2000, 1, 2), ft_Date::day_number(2000, 1, 1, 24, 0, 0));
}

TEST(DateNumber, ExtremeArgumentsStayFinite) {
    const long big = std::numeric_limits<long>::max();
    const long small = std::numeric_limits<long>::min();
    for (long v : {big, small}) {
        EXPECT_TRUE(std::isfinite(ft_Date::day_number(v, v, v, v, v, v)));
        EXPECT_TRUE(std::isfinite(ft_Date::day_number(2000, v, 1)));
        EXPECT_FALSE(ft_Date(ft_Date::day_number(v, v, v, v, v, v)).text().empty());
    }
}

TEST(DateComponents, FromValues) {
    expect_components(0, 1899, 12, 30);
    expect_components(60, 1900, 2, 28);
    expect_components(61, 1900, 3, 1);
    expect_components(36526, 2000, 1, 1);
    expect_components(36526.5, 2000, 1, 1, 12, 0, 0);
    expect_components(46363.5, 2026, 12, 7, 12, 0, 0);
    expect_components(christmas_1995 + (13 * 3600 + 45 * 60 + 10) * second, 1995, 12, 25, 13, 45, 10);
    // Negative fractions carry no time of day.
    expect_components(-0.25, 1899, 12, 30);
}

TEST(DateComponents, EverySecondOfADayComesBack) {
    for (double day : {2.0, 36526.0, 46363.0}) {
        for (long s = 0; s < 86400; ++s) {
            const DateComponents c = ft_Date(day + s * second).components();
            ASSERT_EQ(s / 3600, c.hour) << day << " " << s;
            ASSERT_EQ(s / 60 % 60, c.minute) << day << " " << s;
            ASSERT_EQ(s % 60, c.second) << day << " " << s;
        }
    }
}

TEST(DateComponents, RoundingPastMidnightMovesToTheNextDay) {
    expect_components(36526 + 86399.6 * second, 2000, 1, 2);
    expect_components(36526 + 86399.4 * second, 2000, 1, 1, 23, 59, 59);
}

TEST(DateComponents, DaysRoundTripAcrossTheCalendar) {
    // Strided sweep from 1 January 1 (Gregorian) to beyond year 9999.
    for (double v = -693593; v < 3000000; v += 7) {
        const DateComponents c = ft_Date(v).components();
        ASSERT_GE(c.month, 1);
        ASSERT_LE(c.month, 12);
        ASSERT_GE(c.day, 1);
        ASSERT_LE(c.day, 31);
        if (c.year >= 1900) {
            ASSERT_EQ(v, ft_Date::day_number(c.year, c.month, c.day)) << v;
        }
    }
}

TEST(DateComponents, OutOfRangeValuesGiveARealDate) {
    for (double v : {-1e300, -1e7, 1e13, 1e300, std::numeric_limits<double>::infinity(),
                     -std::numeric_limits<double>::infinity(),
                     std::numeric_limits<double>::quiet_NaN()}) {
        const DateComponents c = ft_Date(v).components();
        EXPECT_GE(c.month, 1) << v;
        EXPECT_LE(c.month, 12) << v;
        EXPECT_GE(c.day, 1) << v;
        EXPECT_LE(c.day, 31) << v;
    }
    expect_components(std::numeric_limits<double>::quiet_NaN(), 1899, 12, 30);
}

TEST(DateText, Forms) {
    EXPECT_EQ("01-Jan-2000", ft_Date(36526).text());
    EXPECT_EQ("01-Jan-2000 12:00:00", ft_Date(36526.5).text());
    EXPECT_EQ("25-Dec-1995 13:45:10",
              ft_Date(ft_Date::day_number(1995, 12, 25, 13, 45, 10)).text());
    EXPECT_EQ("07-Dec-2026 10:15:28", ft_Date(ft_Date::day_number(2026, 12, 7, 10, 15, 28)).text());
    EXPECT_EQ("01-Jan-2000 00:02:00", ft_Date(36526 + 120 * second).text());
    EXPECT_EQ("30-Dec-1899", ft_Date().text());
    const char* abbreviations[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (long month = 1; month <= 12; ++month)
        EXPECT_EQ(std::string("15-") + abbreviations[month - 1] + "-2001",
                  ft_Date(ft_Date::day_number(2001, month, 15)).text());

    std::ostringstream out;
    const Printable& printable = ft_Date(36526.5);
    out << printable;
    EXPECT_EQ("01-Jan-2000 12:00:00", out.str());
}

TEST(DateInput, EveryLayout) {
    EXPECT_EQ(christmas_1995, parsed("25-Dec-1995"));
    EXPECT_EQ(christmas_1995, parsed("25/12/1995"));
    EXPECT_EQ(christmas_1995, parsed("25.12.95"));
    EXPECT_EQ(christmas_1995, parsed("951225"));
    EXPECT_EQ(christmas_1995, parsed("19951225"));
    EXPECT_EQ(christmas_1995, parsed("25-december-95"));
    EXPECT_EQ(christmas_1995, parsed("25/DECEMBER/1995"));
    EXPECT_EQ(christmas_1995, parsed("25.De.1995"));
    EXPECT_EQ(christmas_1995, parsed("25-12.1995"));
    EXPECT_EQ(ft_Date::day_number(1995, 12, 7), parsed("7/december/95"));
    const double time = (13 * 3600 + 45 * 60 + 10) * second;
    EXPECT_DOUBLE_EQ(christmas_1995 + time, parsed("25-dec-95 13:45:10"));
    EXPECT_DOUBLE_EQ(christmas_1995 + time, parsed("25/12/1995 13:45:10"));
    EXPECT_DOUBLE_EQ(christmas_1995 + time, parsed("951225 13:45:10"));
    EXPECT_DOUBLE_EQ(christmas_1995 + time, parsed("19951225 13:45:10"));
}

TEST(DateInput, MonthNames) {
    EXPECT_EQ(ft_Date::day_number(2001, 1, 1), parsed("01-Foo-2000"));
    // The first name the text begins: "Ma" is March, "Ju" June.
    EXPECT_EQ(ft_Date::day_number(2000, 3, 1), parsed("01-Ma-2000"));
    EXPECT_EQ(ft_Date::day_number(2000, 6, 1), parsed("01-ju-2000"));
    EXPECT_EQ(ft_Date::day_number(2000, 7, 1), parsed("01-jul-2000"));
    EXPECT_EQ(ft_Date::day_number(2000, 9, 1), parsed("01-September-2000"));
    EXPECT_EQ(ft_Date::day_number(2001, 1, 1), parsed("01-Septembers-2000"));
}

TEST(DateInput, ShortYearsAndMonthOverflow) {
    EXPECT_EQ(ft_Date::day_number(2069, 3, 1), parsed("01/03/69"));
    EXPECT_EQ(ft_Date::day_number(1970, 3, 1), parsed("01/03/70"));
    EXPECT_EQ(ft_Date::day_number(2069, 3, 1), parsed("690301"));
    EXPECT_EQ(ft_Date::day_number(2001, 1, 5), parsed("05/13/2000"));
    EXPECT_EQ(ft_Date::day_number(1999, 12, 5), parsed("05/00/2000"));
    EXPECT_EQ(ft_Date::day_number(2000, 2, 1), parsed("32.1.2000"));
}

TEST(DateInput, ClockTextsRoundTrip) {
    for (double v : {36526.0, 36526.5, 46363.0 + 36928 * second, 2.0 + 86399 * second}) {
        const ft_Date date(v);
        EXPECT_DOUBLE_EQ(v, ft_Date(date.text().c_str()).value) << date.text();
    }
}

TEST(DateInput, AnyTextIsReadSafely) {
    // Missing fields read as 0: year 0 is 2000, month 0 December before, day 0
    // the last day of the month before.
    const double nothing = ft_Date::day_number(2000, 0, 0);
    EXPECT_EQ(nothing, parsed(""));
    EXPECT_EQ(nothing, parsed(static_cast<const char*>(nullptr)));
    EXPECT_EQ(nothing, parsed("no date here"));
    EXPECT_EQ(nothing, parsed("-"));
    EXPECT_EQ(ft_Date::day_number(1995, 0, 0), parsed("1995"));
    EXPECT_EQ(ft_Date::day_number(2000, 0, 0, 1, 0, 0), parsed(" 01"));
    EXPECT_EQ(ft_Date::day_number(2000, 1, 25), parsed("25-Jan"));
    EXPECT_EQ(ft_Date::day_number(1995, 12, 25, 10, 0, 0), parsed("25.12.1995 10"));
    // Separators after the space are part of the time, not the date.
    EXPECT_EQ(ft_Date::day_number(1995, 12, 25, 10, 0, 0), parsed("19951225 10:00:00.5"));

    // Fields are read from at most 11 characters: the 12th character is never seen.
    EXPECT_EQ(ft_Date::day_number(2000, 1, 1), parsed("0000000000123/01/2000"));
    EXPECT_EQ(ft_Date::day_number(2000, 1, 1), parsed("01/00000000001234/2000"));
    EXPECT_TRUE(std::isfinite(parsed("99999999999/99999999999/99999999999 99:99:99")));
    EXPECT_TRUE(std::isfinite(parsed("-9999999999/-9999999999/-9999999999")));
    EXPECT_FALSE(ft_Date("99999999999.99999999999.99999999999").text().empty());
}

TEST(DateClock, NowIsTheLocalTimeToTheSecond) {
    const std::time_t before = std::time(nullptr);
    const ft_Date now = ft_Date::now();
    const std::time_t after = std::time(nullptr);
    const std::tm* local = std::localtime(&before);
    ASSERT_NE(nullptr, local);
    const double expected = ft_Date::day_number(local->tm_year + 1900L, local->tm_mon + 1L,
                                                local->tm_mday, local->tm_hour, local->tm_min,
                                                local->tm_sec);
    EXPECT_GE(now.value, expected - 1e-9);
    EXPECT_LE(now.value, expected + static_cast<double>(after - before) * second + 1e-9);
    // Whole seconds only.
    const double seconds = (now.value - std::floor(now.value)) * 86400;
    EXPECT_NEAR(std::round(seconds), seconds, 1e-4);
}

}  // namespace
