#include "lib/date.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>

namespace {

const char* const month_names[13] = {
    "",        "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",  "September", "October", "November", "December"};

// Julian day number of 30 December 1899, day 0 of the value.
constexpr int64_t julian_day_zero = 2415019;
constexpr int64_t seconds_per_day = 86400;
// The civil-date steps below hold from Julian day 0 on; the upper end keeps years
// well inside a 32-bit long.
constexpr double lowest_value = -static_cast<double>(julian_day_zero);
constexpr double highest_value = 1e11;

int64_t clamp32(int64_t n) {
    return std::clamp<int64_t>(n, INT32_MIN, INT32_MAX);
}

void normalise_month(int64_t& year, int64_t& month) {
    if (month > 12) {
        year += (month - 1) / 12;
        month %= 12;
        if (month == 0) month = 12;
    } else if (month <= 0) {
        year -= -month / 12 + 1;
        month = month % 12 + 12;
    }
}

// Fixed calendar: the civil date of a day count, with truncating divisions.
DateComponents civil_date(int64_t days) {
    const int64_t z = days + julian_day_zero;
    const int64_t a = (4 * z - 7468865) / 146097;
    const int64_t b = z + 1 + a - a / 4 + 1524;
    const int64_t f = (100 * b - 12210) / 36525;
    const int64_t d = 365 * f + f / 4;
    const int64_t e = (b - d) * 10000 / 306001;
    DateComponents c{};
    c.day = static_cast<long>(b - d - 153 * e / 5);
    c.month = static_cast<long>(e > 13 ? e - 13 : e - 1);
    c.year = static_cast<long>(c.month > 2 ? f - 4716 : f - 4715);
    return c;
}

// Hours and minutes truncate, seconds round (0.49999999999 counts as a half).
int64_t seconds_of_day(double fraction) {
    double hours = fraction * 24;
    if (!(hours > 0)) return 0;
    const double hour = std::floor(hours);
    const double minutes = (hours - hour) * 60;
    const double minute = std::floor(minutes);
    const double seconds = (minutes - minute) * 60;
    double second = std::floor(seconds);
    if (seconds - second >= 0.49999999999) second += 1;
    return static_cast<int64_t>(hour) * 3600 + static_cast<int64_t>(minute) * 60 +
           static_cast<int64_t>(second);
}

bool is_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool is_separator(char c) { return c == '-' || c == '/' || c == '.'; }

// A view of text[begin, end), already clipped to the text by the caller.
struct Field {
    const char* text;
    size_t begin, end;
};

// atol on at most 11 characters of the field, saturated to 32 bits.
long read_number(Field field) {
    size_t i = field.begin;
    const size_t end = std::min(field.end, field.begin + 11);
    while (i < end && (field.text[i] == ' ' || (field.text[i] >= '\t' && field.text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < end && (field.text[i] == '+' || field.text[i] == '-')) negative = field.text[i++] == '-';
    int64_t n = 0;
    for (; i < end && field.text[i] >= '0' && field.text[i] <= '9'; ++i)
        n = n * 10 + (field.text[i] - '0');
    return static_cast<long>(clamp32(negative ? -n : n));
}

// The first month whose name begins with the field, ignoring case; 13 when none does.
long read_month_name(Field field) {
    const size_t length = field.end - field.begin;
    for (long month = 1; month <= 12; ++month) {
        const char* name = month_names[month];
        size_t i = 0;
        while (i < length && name[i] && ascii_lower(name[i]) == ascii_lower(field.text[field.begin + i]))
            ++i;
        if (i == length) return month;
    }
    return 13;
}

size_t find_separator(const char* text, size_t from, size_t to) {
    while (from < to && !is_separator(text[from])) ++from;
    return from;
}

// The field of `width` characters at `offset`, cut off at `limit`.
Field fixed_field(const char* text, size_t limit, size_t offset, size_t width) {
    const size_t begin = std::min(offset, limit);
    return Field{text, begin, std::min(begin + width, limit)};
}

}  // namespace

ft_Date::ft_Date(const char* text) : value(0.0) {
    const char* s = text ? text : "";
    size_t length = 0;
    while (s[length]) ++length;
    size_t q = 0;
    while (q < length && s[q] != ' ') ++q;

    // Separators after the space belong to the time, not the date.
    const size_t p = find_separator(s, 0, q);
    long year, month, day;
    if (p < q) {
        const size_t r = find_separator(s, p + 1, q);
        day = read_number(Field{s, 0, p});
        year = read_number(Field{s, std::min(r + 1, q), q});
        const Field month_field{s, p + 1, r};
        month = is_letter(s[p + 1]) ? read_month_name(month_field) : read_number(month_field);
    } else {
        const size_t year_width = q == 6 ? 2 : 4;
        year = read_number(fixed_field(s, q, 0, year_width));
        month = read_number(fixed_field(s, q, year_width, 2));
        day = read_number(fixed_field(s, q, year_width + 2, 2));
    }

    long hour = 0, minute = 0, second = 0;
    if (q < length) {
        hour = read_number(fixed_field(s, length, q + 1, 2));
        minute = read_number(fixed_field(s, length, q + 4, 2));
        second = read_number(fixed_field(s, length, q + 7, 2));
    }
    value = day_number(year, month, day, hour, minute, second);
}

ft_Date ft_Date::now() {
    const std::time_t clock = std::time(nullptr);
    const std::tm* local = clock == static_cast<std::time_t>(-1) ? nullptr : std::localtime(&clock);
    if (!local) return ft_Date(0.0);
    return ft_Date(day_number(local->tm_year + 1900L, local->tm_mon + 1L, local->tm_mday,
                              local->tm_hour, local->tm_min, local->tm_sec));
}

double ft_Date::day_number(long year, long month, long day, long hour, long minute, long second) {
    int64_t y = clamp32(year);
    int64_t m = clamp32(month);
    if (y < 70)
        y += 2000;
    else if (y < 1900)
        y += 1900;
    normalise_month(y, m);

    const int64_t big_y = m > 2 ? y : y - 1;
    const int64_t big_m = m > 2 ? m + 1 : m + 13;
    const int64_t k = big_y / 100;
    const int64_t days = 1461 * big_y / 4 + 153 * big_m / 5 + clamp32(day) + 1720997 - k + k / 4 -
                         julian_day_zero;
    const int64_t seconds = clamp32(hour) * 3600 + clamp32(minute) * 60 + clamp32(second);
    return static_cast<double>(days) + static_cast<double>(seconds) / seconds_per_day;
}

DateComponents ft_Date::components() const {
    const double v = std::isnan(value) ? 0.0 : std::clamp(value, lowest_value, highest_value);
    int64_t days = static_cast<int64_t>(v);
    int64_t seconds = seconds_of_day(v - static_cast<double>(days));
    // 23:59:59.6 rounds to the next day, not to 23:59:60.
    if (seconds >= seconds_per_day) {
        ++days;
        seconds -= seconds_per_day;
    }
    DateComponents c = civil_date(days);
    c.hour = static_cast<long>(seconds / 3600);
    c.minute = static_cast<long>(seconds / 60 % 60);
    c.second = static_cast<long>(seconds % 60);
    return c;
}

std::string ft_Date::text() const {
    const DateComponents c = components();
    char buffer[64];
    const char* name = month_names[c.month];
    if (c.hour + c.minute + c.second != 0)
        std::snprintf(buffer, sizeof buffer, "%02ld-%.3s-%04ld %02ld:%02ld:%02ld", c.day, name,
                      c.year, c.hour, c.minute, c.second);
    else
        std::snprintf(buffer, sizeof buffer, "%02ld-%.3s-%04ld", c.day, name, c.year);
    return buffer;
}

void ft_Date::print(std::ostream& out) const { out << text(); }
