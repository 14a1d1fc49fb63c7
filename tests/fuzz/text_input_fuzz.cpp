// Fuzzes the texts that come from outside: the stored password form (decode) and
// date texts. Build with clang and run:
//   CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DQUORIX_SANITIZE=ON -DQUORIX_FUZZ=ON
//   cmake --build build/fuzz --target fuzz_text_input
//   build/fuzz/fuzz_text_input -max_total_time=60
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "lib/date.h"
#include "lib/refstring.h"

namespace {

const char key[] = "tulip.moved";

bool all_printable(const std::string& text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 127) return false;
    return true;
}

void check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const char* c_text = text.c_str();   // stops at the first NUL, as a stored value would

    String stored(c_text);
    const std::string before = stored.text();
    if (!stored.decode(key)) check(before == stored.text());

    const ft_Date date(c_text);
    const std::string shown = date.text();
    check(!shown.empty());

    // encode then decode restores exactly the non-empty printable texts.
    String plain(c_text);
    const std::string original = plain.text();
    plain.encode(key);
    check(plain.length() == 3 * original.size() + 2);
    const bool restored = plain.decode(key);
    check(restored == (!original.empty() && all_printable(original)));
    if (restored) check(original == plain.text());
    return 0;
}
