// Fuzzes the texts that come from outside: the stored password form (decode)
// and date texts, and the string and date code under them. Built and run by
// scripts/fuzz.sh.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_input.h"
#include "lib/date.h"
#include "lib/refstring.h"

namespace {

const char key[] = "tulip.moved";

bool all_printable(const std::string& text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 127) return false;
    return true;
}

// Every date reads as a real one; between 1900 and 9999 its text reads back
// as the same date, and so do its parts.
void check_date(const ft_Date& date) {
    const DateComponents c = date.components();
    FUZZ_CHECK(c.month >= 1 && c.month <= 12 && c.day >= 1 && c.day <= 31);
    FUZZ_CHECK(c.hour >= 0 && c.hour < 24 && c.minute >= 0 && c.minute < 60 && c.second >= 0 && c.second < 60);
    const std::string shown = date.text();
    FUZZ_CHECK(!shown.empty());
    if (c.year < 1900 || c.year > 9999) return;
    FUZZ_CHECK(ft_Date(shown.c_str()).text() == shown);
    FUZZ_CHECK(ft_Date(ft_Date::day_number(c.year, c.month, c.day, c.hour, c.minute, c.second)).text() == shown);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const char* c_text = text.c_str();   // stops at the first NUL, as a stored value would

    String stored(c_text);
    const std::string before = stored.text();
    if (!stored.decode(key)) FUZZ_CHECK(before == stored.text());

    check_date(ft_Date(c_text));
    FuzzInput in(data, size);
    double value;
    const uint64_t bits = in.number<uint64_t>();
    std::memcpy(&value, &bits, sizeof value);
    check_date(ft_Date(value));

    // encode then decode restores exactly the non-empty printable texts.
    String plain(c_text);
    const std::string original = plain.text();
    plain.encode(key);
    FUZZ_CHECK(plain.length() == 3 * original.size() + 2);
    const bool restored = plain.decode(key);
    FUZZ_CHECK(restored == (!original.empty() && all_printable(original)));
    if (restored) FUZZ_CHECK(original == plain.text());

    // Copies share their text until one is made anew; joining makes a new one.
    String copy = stored;
    String joined = copy + stored;
    FUZZ_CHECK(joined.length() == 2 * stored.length() && joined == (std::string(stored.text()) + stored.text()).c_str());
    copy.to_lower();
    FUZZ_CHECK(copy == stored && !std::strpbrk(stored.text(), "ABCDEFGHIJKLMNOPQRSTUVWXYZ"));
    joined += copy;
    FUZZ_CHECK(joined.length() == 3 * stored.length());
    return 0;
}
