#pragma once
#include <cstdint>
#include <cstddef>
#include <ostream>

// Base of shared bodies; the count equals the number of String handles attached.
class RefCounted {
public:
    virtual ~RefCounted() = default;
    int32_t references = 0;
};

// A heap block of exactly length + 1 characters.
class StringRep : public RefCounted {
public:
    StringRep(const char* text, size_t length);
    ~StringRep() override;
    StringRep(const StringRep&) = delete;
    StringRep& operator=(const StringRep&) = delete;
    char* text;
};

// Reference-counted text. Copies share the body; to_lower changes the shared text
// in place; every other operation that makes a text gives it a new body.
// A null character pointer is taken as the empty text.
class String {
public:
    String(const char* text = "");
    explicit String(int number);
    String(const String& other);
    String& operator=(const String& other);
    ~String();

    const char* text() const;
    size_t length() const;
    bool empty() const { return length() == 0; }
    // Lower-cases A-Z only, so the result never depends on the C locale.
    char* to_lower();
    String& operator+=(const String& right);

    // Replaces the text by two hex digits and a space per character (XOR with the
    // cycling key), then a two-digit checksum. An empty or null key XORs with 0.
    void encode(const char* key);
    // Reverses encode; false, and the text unchanged, when the form is not valid.
    bool decode(const char* key);

    virtual void print(std::ostream& out) const;

private:
    explicit String(StringRep* rep);
    void attach(StringRep* rep);
    void release();
    StringRep* rep_;

    friend String operator+(const String& left, const String& right);
    friend String operator+(const String& left, const char* right);
    friend String operator+(const char* left, const String& right);
};

String operator+(const String& left, const String& right);
String operator+(const String& left, const char* right);
String operator+(const char* left, const String& right);
bool operator==(const String& left, const String& right);
bool operator==(const String& left, const char* right);
bool operator!=(const String& left, const String& right);
bool operator!=(const String& left, const char* right);
std::ostream& operator<<(std::ostream& out, const String& text);
