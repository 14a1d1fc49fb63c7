#include "lib/refstring.h"
// placeholder: replaced by the owner of lib/
StringRep::StringRep(const char*, size_t) : text(nullptr) {}
StringRep::~StringRep() {}
String::String(const char*) : rep_(nullptr) {}
String::String(int) : rep_(nullptr) {}
String::String(const String&) : rep_(nullptr) {}
String& String::operator=(const String&) { return *this; }
String::~String() {}
const char* String::text() const { return ""; }
size_t String::length() const { return 0; }
char* String::to_lower() { return nullptr; }
String& String::operator+=(const String&) { return *this; }
void String::encode(const char*) {}
bool String::decode(const char*) { return false; }
void String::print(std::ostream&) const {}
String operator+(const String& l, const String&) { return l; }
String operator+(const String& l, const char*) { return l; }
String operator+(const char*, const String& r) { return r; }
bool operator==(const String&, const String&) { return false; }
bool operator==(const String&, const char*) { return false; }
bool operator!=(const String&, const String&) { return true; }
bool operator!=(const String&, const char*) { return true; }
std::ostream& operator<<(std::ostream& out, const String&) { return out; }
