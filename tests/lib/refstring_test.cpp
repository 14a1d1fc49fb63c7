#include <gtest/gtest.h>

#include <climits>
#include <sstream>
#include <string>

#include "lib/refstring.h"

namespace {

// Same shape as the password key: 11 characters, lower-case letters and a stop.
const char key[] = "tulip.moved";

std::string every_printable() {
    std::string text;
    for (int c = 32; c <= 127; ++c) text += static_cast<char>(c);
    return text;
}

TEST(String, ConstructionAndText) {
    EXPECT_STREQ("", String().text());
    EXPECT_STREQ("", String(static_cast<const char*>(nullptr)).text());
    EXPECT_STREQ("hello", String("hello").text());
    EXPECT_EQ(5u, String("hello").length());
    EXPECT_TRUE(String("").empty());
    EXPECT_STREQ("0", String(0).text());
    EXPECT_STREQ("-42", String(-42).text());
    EXPECT_STREQ("2147483647", String(INT_MAX).text());
    EXPECT_STREQ("-2147483648", String(INT_MIN).text());

    std::ostringstream out;
    out << String("a b") << '|';
    EXPECT_EQ("a b|", out.str());
}

TEST(String, CopiesShareTheBodyUntilANewTextIsMade) {
    String original("MiXeD Case");
    String copy(original);
    EXPECT_EQ(original.text(), copy.text());
    copy.to_lower();
    EXPECT_STREQ("mixed case", original.text());

    String assigned;
    assigned = original;
    EXPECT_EQ(original.text(), assigned.text());

    copy += "!";
    EXPECT_STREQ("mixed case!", copy.text());
    EXPECT_STREQ("mixed case", original.text());
    EXPECT_STREQ("mixed case", assigned.text());
    EXPECT_NE(original.text(), copy.text());
}

TEST(String, AssignmentKeepsCountsRight) {
    String a("first");
    const String& same = a;
    a = same;
    EXPECT_STREQ("first", a.text());

    String b("second");
    String c(b);
    a = b;   // "first" is freed, "second" now has three handles
    b = String("third");
    EXPECT_STREQ("second", a.text());
    EXPECT_STREQ("second", c.text());
    EXPECT_STREQ("third", b.text());
    {
        String scoped(c);
        scoped += scoped;
        EXPECT_STREQ("secondsecond", scoped.text());
    }
    EXPECT_STREQ("second", c.text());
}

TEST(String, ToLowerOnlyTouchesAsciiCapitals) {
    String text("ABC xyz 09 @[`{ \xC9");
    EXPECT_STREQ("abc xyz 09 @[`{ \xC9", text.to_lower());
}

TEST(String, Concatenation) {
    String left("left ");
    String right("right");
    EXPECT_EQ("left right", left + right);
    EXPECT_EQ("left tail", left + "tail");
    EXPECT_EQ("head right", "head " + right);
    EXPECT_EQ("left ", left + static_cast<const char*>(nullptr));
    EXPECT_EQ("right", static_cast<const char*>(nullptr) + right);
    EXPECT_STREQ("left ", left.text());
    EXPECT_TRUE(String("a") != String("b"));
    EXPECT_TRUE(String("a") != "ab");
    EXPECT_FALSE(String("a") != String("a"));
    EXPECT_TRUE(String("") == static_cast<const char*>(nullptr));
}

TEST(StringCode, EncodedForm) {
    String text("ab");
    text.encode("k");
    // 'a' ^ 'k' = 0x0a, 'b' ^ 'k' = 0x09, 0x61 + 0x62 = 0xc3.
    EXPECT_EQ("0a 09 c3", text);

    String empty("");
    empty.encode(key);
    EXPECT_EQ("00", empty);

    String cycling("aaaa");
    cycling.encode("ab");
    EXPECT_EQ("00 03 00 03 84", cycling);

    String sum_wraps("~~~");   // 3 * 126 = 378, 378 mod 256 = 122
    sum_wraps.encode("~");
    EXPECT_EQ("00 00 00 7a", sum_wraps);
}

TEST(StringCode, RoundTripOverEveryPrintableCharacter) {
    const std::string all = every_printable();
    for (const char* k : {key, "x", "a much longer key than any password"}) {
        String text(all.c_str());
        text.encode(k);
        EXPECT_EQ(3 * all.size() + 2, text.length());
        ASSERT_TRUE(text.decode(k)) << k;
        EXPECT_EQ(all.c_str(), text);
    }
    for (char c : all) {
        const char single[] = {c, '\0'};
        String text(single);
        text.encode(key);
        ASSERT_TRUE(text.decode(key)) << static_cast<int>(c);
        EXPECT_EQ(single, text);
    }
}

TEST(StringCode, EmptyOrNullKeyXorsWithZero) {
    String text("Hi");
    text.encode("");
    EXPECT_EQ("48 69 b1", text);
    String same(text);
    ASSERT_TRUE(text.decode(nullptr));
    EXPECT_EQ("Hi", text);
    EXPECT_EQ("48 69 b1", same);
}

TEST(StringCode, DigitRuleOutsideLowerCaseHex) {
    String text("Quorix 1.0");
    text.encode(key);
    const std::string stored = text.text();

    std::string upper = stored;
    for (char& c : upper)
        if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
    String from_upper(upper.c_str());
    ASSERT_TRUE(from_upper.decode(key));
    EXPECT_EQ("Quorix 1.0", from_upper);

    // ':' is 58, and 58 - 48 = 10, the value of "a".
    std::string colon = stored;
    for (char& c : colon)
        if (c == 'a') c = ':';
    String from_colon(colon.c_str());
    ASSERT_TRUE(from_colon.decode(key));
    EXPECT_EQ("Quorix 1.0", from_colon);
}

TEST(StringCode, ShortLastPairReadsTheTerminator) {
    // The checksum pair "6" + terminator: 16 * 6 + (0 - 48) = 48 mod 256, the code
    // of "0", and "5b" is "0" ^ "k".
    String text("5b 6");
    ASSERT_TRUE(text.decode("k"));
    EXPECT_EQ("0", text);
}

// Decoding failures leave the text, and every copy of it, as it was.
void expect_decode_fails(const char* stored, const char* with_key) {
    String text(stored);
    String copy(text);
    EXPECT_FALSE(text.decode(with_key)) << stored;
    EXPECT_EQ(stored, text);
    EXPECT_EQ(copy.text(), text.text());
}

String encoded(const char* plain, const char* with_key) {
    String text(plain);
    text.encode(with_key);
    return text;
}

TEST(StringCode, FailuresLeaveTheTextUnchanged) {
    expect_decode_fails("", key);
    expect_decode_fails("00", key);
    expect_decode_fails("abc", key);
    expect_decode_fails(encoded("", key).text(), key);

    std::string bad_sum = encoded("secret", key).text();
    bad_sum.back() = bad_sum.back() == '0' ? '1' : '0';
    expect_decode_fails(bad_sum.c_str(), key);

    std::string bad_data = encoded("secret", key).text();
    bad_data[1] = bad_data[1] == '0' ? '1' : '0';
    expect_decode_fails(bad_data.c_str(), key);

    // Control and non-ASCII characters can be encoded but never decode.
    expect_decode_fails(encoded("tab\there", key).text(), key);
    expect_decode_fails(encoded("\x1f", key).text(), key);
    expect_decode_fails(encoded("caf\xE9", key).text(), key);
    expect_decode_fails(encoded("\x80", key).text(), key);

    // A different key turns the same form into other characters.
    expect_decode_fails(encoded("secret", key).text(), "another key");
}

}  // namespace
