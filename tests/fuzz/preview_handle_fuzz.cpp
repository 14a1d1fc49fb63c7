// The handles of "/p HANDLE" and "/c:HANDLE". A request built from parts
// gives exactly its number when that is a plain one of 32 bits, and 0
// otherwise; any text gives a handle that it spells, and that more arguments
// after it or text before the switch do not change.
#include <cstring>
#include <string>

#include "app/preview_handle_math.h"
#include "fuzz_input.h"

namespace {

using Parser = uint32_t (*)(const char*);

std::string without_slashes(std::string text) {
    for (char& c : text)
        if (c == '/' || c == '\0') c = '_';
    return text;
}

std::string blanks(FuzzInput& in) {
    const uint8_t choice = in.byte();
    return std::string(choice & 3, ' ') + std::string((choice >> 2) & 1, '\t');
}

// The handle found in a text is its own digits after the switch, and stays
// when blanks and anything else follow, or text without a slash comes first.
void check_any_text(Parser parse, const char* switch_text, const std::string& text, FuzzInput& in) {
    const uint32_t handle = parse(text.c_str());
    if (handle == 0) return;
    const size_t at = text.find(switch_text);
    FUZZ_CHECK(at != std::string::npos);
    FUZZ_CHECK(text.find(std::to_string(handle), at) != std::string::npos);
    FUZZ_CHECK(parse((text + blanks(in) + " " + in.text(8)).c_str()) == handle);
    FUZZ_CHECK(parse((without_slashes(in.text(8)) + text).c_str()) == handle);
}

// prefix, switch, blanks, [colon, blanks,] zeros, number, end of the number, rest.
void check_request(Parser parse, bool preview, FuzzInput& in) {
    std::string request = without_slashes(in.text(6)) + (preview ? "/p" : "/c:") + blanks(in);
    if (preview && (in.byte() & 1)) request += ":" + blanks(in);
    const uint64_t number = in.number<uint64_t>() >> (in.byte() % 64);
    request += std::string(in.byte() % 4, '0') + std::to_string(number);
    // The number ends the text, or blanks and more arguments follow, or a
    // character that makes it no plain number.
    const uint8_t end = in.byte();
    const bool plain = end % 3 != 2;
    if (end % 3 == 1) request += blanks(in) + " " + in.text(8);
    if (!plain) request += std::strchr("0123456789 \t", end) || end == 0 ? 'x' : static_cast<char>(end);
    const uint32_t expected = plain && number <= UINT32_MAX ? static_cast<uint32_t>(number) : 0;
    FUZZ_CHECK(parse(request.c_str()) == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    const std::string text = in.text(48).c_str();
    FUZZ_CHECK(preview_handle(nullptr) == 0 && configure_handle(nullptr) == 0);
    check_any_text(preview_handle, "/p", text, in);
    check_any_text(configure_handle, "/c:", text, in);
    check_request(preview_handle, true, in);
    check_request(configure_handle, false, in);
    return 0;
}
