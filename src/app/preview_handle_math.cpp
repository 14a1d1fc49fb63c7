#include "app/preview_handle_math.h"

#include <cstring>

namespace {

bool blank(char c) { return c == ' ' || c == '\t'; }

bool digit(char c) { return c >= '0' && c <= '9'; }

const char* skip_blanks(const char* c) {
    while (blank(*c)) ++c;
    return c;
}

// The plain decimal number that starts at c, past spaces and tabs, ending at a
// blank or the end; 0 for anything else or a number beyond 32 bits.
uint32_t handle_at(const char* c) {
    c = skip_blanks(c);
    if (!digit(*c)) return 0;
    uint64_t value = 0;
    for (; digit(*c); ++c) {
        value = value * 10 + static_cast<uint64_t>(*c - '0');
        if (value > UINT32_MAX) return 0;
    }
    if (*c != '\0' && !blank(*c)) return 0;
    return static_cast<uint32_t>(value);
}

}  // namespace

uint32_t preview_handle(const char* command_line) {
    const char* found = command_line ? std::strstr(command_line, "/p") : nullptr;
    if (!found) return 0;
    const char* c = skip_blanks(found + 2);
    if (*c == ':') ++c;
    return handle_at(c);
}

uint32_t configure_handle(const char* command_line) {
    const char* found = command_line ? std::strstr(command_line, "/c:") : nullptr;
    return found ? handle_at(found + 3) : 0;
}
