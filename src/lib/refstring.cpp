#include "lib/refstring.h"

#include <cstring>
#include <sstream>
#include <string>

namespace {

const char hex_digits[] = "0123456789abcdef";

const char* or_empty(const char* text) { return text ? text : ""; }

unsigned char ascii_lower(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// The key's characters one after the other, from the first again after the last.
// An empty key yields zeros, so nothing divides by its length or reads past it.
class KeyCycle {
public:
    explicit KeyCycle(const char* key) : key_(or_empty(key)), length_(std::strlen(key_)) {}
    unsigned char next() {
        if (length_ == 0) return 0;
        unsigned char k = static_cast<unsigned char>(key_[position_]);
        position_ = (position_ + 1) % length_;
        return k;
    }

private:
    const char* key_;
    size_t length_;
    size_t position_ = 0;
};

// The stored form's digit rule: from "a" up (after lower-casing) a digit is its code
// less 87, anything else its code less 48, in 8-bit arithmetic. Bytes of 128 and
// more are below "a" as signed characters, so they take the second branch.
unsigned char digit_value(char digit) {
    unsigned char c = ascii_lower(static_cast<unsigned char>(digit));
    unsigned offset = (c >= 'a' && c < 128) ? 87 : 48;
    return static_cast<unsigned char>(c - offset);
}

unsigned char pair_value(char high, char low) {
    return static_cast<unsigned char>(16 * digit_value(high) + digit_value(low));
}

void append_hex(std::string& out, unsigned char byte) {
    out += hex_digits[byte >> 4];
    out += hex_digits[byte & 15];
}

}  // namespace

StringRep::StringRep(const char* text, size_t length) : text(new char[length + 1]) {
    std::memcpy(this->text, text, length);
    this->text[length] = '\0';
}

StringRep::~StringRep() { delete[] text; }

String::String(StringRep* rep) : rep_(nullptr) { attach(rep); }

String::String(const char* text) : rep_(nullptr) {
    const char* source = or_empty(text);
    attach(new StringRep(source, std::strlen(source)));
}

String::String(int number) : rep_(nullptr) {
    std::ostringstream out;
    out << number;
    const std::string digits = out.str();
    attach(new StringRep(digits.data(), digits.size()));
}

String::String(const String& other) : rep_(nullptr) { attach(other.rep_); }

String& String::operator=(const String& other) {
    if (other.rep_ == rep_) return *this;
    StringRep* incoming = other.rep_;
    release();
    attach(incoming);
    return *this;
}

String::~String() { release(); }

void String::attach(StringRep* rep) {
    rep_ = rep;
    ++rep_->references;
}

void String::release() {
    if (rep_ && --rep_->references == 0) delete rep_;
    rep_ = nullptr;
}

const char* String::text() const { return rep_->text; }

size_t String::length() const { return std::strlen(rep_->text); }

char* String::to_lower() {
    for (char* c = rep_->text; *c; ++c)
        *c = static_cast<char>(ascii_lower(static_cast<unsigned char>(*c)));
    return rep_->text;
}

String& String::operator+=(const String& right) {
    *this = *this + right;
    return *this;
}

void String::encode(const char* key) {
    const size_t length = this->length();
    std::string encoded;
    encoded.reserve(3 * length + 2);
    KeyCycle cycle(key);
    unsigned sum = 0;
    for (size_t i = 0; i < length; ++i) {
        unsigned char x = static_cast<unsigned char>(rep_->text[i]);
        append_hex(encoded, static_cast<unsigned char>(x ^ cycle.next()));
        encoded += ' ';
        sum += x;
    }
    append_hex(encoded, static_cast<unsigned char>(sum & 255));
    *this = String(new StringRep(encoded.data(), encoded.size()));
}

bool String::decode(const char* key) {
    const size_t length = this->length();
    if (length <= 3) return false;
    const char* text = rep_->text;
    std::string decoded;
    decoded.reserve(length / 3);
    KeyCycle cycle(key);
    unsigned sum = 0;
    unsigned char checksum = 0;
    // p + 1 is at most length, the terminator, so a short last pair stays in the block.
    for (size_t p = 0; p < length; p += 3) {
        unsigned char value = pair_value(text[p], text[p + 1]);
        if (p >= length - 3) {
            checksum = value;
            continue;
        }
        unsigned char c = static_cast<unsigned char>(value ^ cycle.next());
        if (c < 32 || c >= 128) return false;
        decoded += static_cast<char>(c);
        sum += c;
    }
    if ((sum & 255) != checksum) return false;
    *this = String(new StringRep(decoded.data(), decoded.size()));
    return true;
}

void String::print(std::ostream& out) const { out << rep_->text; }

String operator+(const String& left, const String& right) {
    return left + right.text();
}

String operator+(const String& left, const char* right) {
    std::string joined(left.text());
    joined += or_empty(right);
    return String(new StringRep(joined.data(), joined.size()));
}

String operator+(const char* left, const String& right) {
    std::string joined(or_empty(left));
    joined += right.text();
    return String(new StringRep(joined.data(), joined.size()));
}

bool operator==(const String& left, const String& right) {
    return std::strcmp(left.text(), right.text()) == 0;
}

bool operator==(const String& left, const char* right) {
    return std::strcmp(left.text(), or_empty(right)) == 0;
}

bool operator!=(const String& left, const String& right) { return !(left == right); }

bool operator!=(const String& left, const char* right) { return !(left == right); }

std::ostream& operator<<(std::ostream& out, const String& text) {
    text.print(out);
    return out;
}
