#include "base/cp1252.h"

#include <gtest/gtest.h>

#include <array>

namespace tarvel {
namespace {

TEST(Utf8Decoding, InvalidBytesBecomeOneReplacementEach) {
    const struct {
        const char* name;
        std::string text;
        std::u32string expected;
    } cases[] = {
        {"ascii", "aZ", U"aZ"},
        {"two bytes", "\xC3\xBC", U"\u00FC"},
        {"three bytes", "\xE2\x82\xAC", U"\u20AC"},
        {"astral", "\xF0\x9F\x98\x80", U"\U0001F600"},
        {"stray continuation", "a\x80z", U"a\uFFFDz"},
        {"lead byte never used", "\xC0\xAF\xFF", U"\uFFFD\uFFFD\uFFFD"},
        {"overlong three-byte slash", "\xE0\x80\xAF", U"\uFFFD\uFFFD\uFFFD"},
        {"surrogate", "\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"lead followed by ascii", "\xE2xy", U"\uFFFDxy"},
        {"truncated at the end", "x\xE2\x82", U"x\uFFFD\uFFFD"},
        {"lone lead at the end", "\xF0", U"\uFFFD"},
        {"embedded NUL", std::string("a\0b", 3), std::u32string(U"a\0b", 3)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(decodeUtf8(c.text), c.expected) << c.name;
    }
}

TEST(Utf8Decoding, EncodingRoundTripsAndRefusesNonScalarValues) {
    for (const char32_t c : {U'\0', U'\u007F', U'\u0080', U'\u07FF', U'\u0800', U'\uFFFD',
                             U'\U00010000', U'\U0010FFFF'}) {
        std::string bytes;
        appendUtf8(bytes, c);
        EXPECT_EQ(decodeUtf8(bytes), std::u32string(1, c)) << static_cast<unsigned>(c);
    }
    for (const char32_t c : {char32_t{0xD800}, char32_t{0xDFFF}, char32_t{0x110000}}) {
        std::string bytes;
        appendUtf8(bytes, c);
        EXPECT_EQ(bytes, "\xEF\xBF\xBD") << static_cast<unsigned>(c);
    }
}

TEST(Cp1252, CodePointTable) {
    const struct {
        char32_t codePoint;
        int byte;  // -1: the character set lacks it
    } cases[] = {
        {U'A', 0x41},      {U'\0', 0x00},       {U'\u007F', 0x7F}, {U'\u20AC', 0x80},
        {U'\u201A', 0x82}, {U'\u017D', 0x8E},   {U'\u2018', 0x91}, {U'\u0178', 0x9F},
        {U'\u00A0', 0xA0}, {U'\u00FC', 0xFC},   {U'\u00FF', 0xFF}, {U'\u0080', -1},
        {U'\u0081', -1},   {U'\u008D', -1},     {U'\u008F', -1},   {U'\u0090', -1},
        {U'\u009D', -1},   {U'\u009F', -1},     {U'\u0100', -1},   {U'\u03A9', -1},
        {U'\uFFFD', -1},   {U'\U0001F600', -1},
    };
    for (const auto& c : cases) {
        const auto byte = toCp1252(c.codePoint);
        if (c.byte < 0) {
            EXPECT_FALSE(byte.has_value()) << static_cast<unsigned>(c.codePoint);
        } else {
            EXPECT_EQ(byte, static_cast<unsigned char>(c.byte))
                << static_cast<unsigned>(c.codePoint);
        }
    }
}

TEST(Cp1252, EveryAssignedByteComesFromExactlyOneCodePoint) {
    std::array<int, 256> sources{};
    for (char32_t c = 0; c < 0x10000; ++c) {
        if (const auto byte = toCp1252(c)) {
            ++sources[*byte];
        }
    }
    for (int byte = 0; byte < 256; ++byte) {
        const bool unassigned =
            byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
        EXPECT_EQ(sources[static_cast<std::size_t>(byte)], unassigned ? 0 : 1) << byte;
    }
}

TEST(Cp1252, TextConversion) {
    const struct {
        const char* name;
        std::string text;
        std::string expected;
    } cases[] = {
        {"latin", "Gr\xC3\xBC\xC3\x9F", "Gr\xFC\xDF"},
        {"euro and quotes", "\xE2\x82\xAC \xE2\x80\x9Cx\xE2\x80\x9D", "\x80 \x93x\x94"},
        {"missing characters", "\xCE\xA9\xF0\x9F\x98\x80", "??"},
        {"C1 control", "\xC2\x81", "?"},
        {"invalid bytes", "a\xFF\xE2\x82", "a???"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utf8ToCp1252(c.text), c.expected) << c.name;
    }
    EXPECT_EQ(utf8ToCp1252("\xCE\xA9", '_'), "_");
}

}  // namespace
}  // namespace tarvel
