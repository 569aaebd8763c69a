// UTF-8 decoding that accepts any bytes, and encoding to windows-1252, the
// character set of the metafile texts and of the HTML page.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tarvel {

inline constexpr char32_t REPLACEMENT_CHARACTER = U'\uFFFD';

// One character read from a UTF-8 text.
struct Utf8Char {
    char32_t codePoint = REPLACEMENT_CHARACTER;
    std::size_t length = 1;  // bytes consumed, never 0
};

// Reads the character that starts at byte `pos` (which must be inside the
// text). A byte that does not start a complete shortest-form encoding of a
// Unicode scalar value is invalid on its own: it reads as U+FFFD of length 1,
// so reading goes on with the next byte and never passes the end of the text.
Utf8Char decodeUtf8At(std::string_view text, std::size_t pos);

// Every character of a UTF-8 text, invalid bytes as U+FFFD.
std::u32string decodeUtf8(std::string_view text);

// Appends the UTF-8 form of a code point; surrogates and values above
// U+10FFFF, which have none, append U+FFFD.
void appendUtf8(std::string& out, char32_t codePoint);

// The windows-1252 byte of a code point, or nothing when the character set
// lacks it. The C1 controls U+0080..U+009F count as lacking: their byte
// positions hold other characters (0x80 is the euro sign) or none at all.
std::optional<unsigned char> toCp1252(char32_t codePoint);

// A UTF-8 text in windows-1252, with `replacement` for every character the
// character set lacks and for every invalid byte.
std::string utf8ToCp1252(std::string_view text, char replacement = '?');

}  // namespace tarvel
