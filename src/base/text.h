// Text and number helpers shared by every floor: trimming, case, counting,
// line splitting and the shaping of generated text.
//
// Texts are UTF-8. Multi-line texts use CR LF; every helper that splits lines
// treats a carriage return as the end of a line and drops line feeds, so its
// result has CR LF breaks. "Blank" is the space character only; a tab is content.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvel {

inline constexpr std::string_view CRLF = "\r\n";

// Lenient decimal parse: leading spaces, optional sign, leading digits;
// anything else gives 0. Saturates at the 32-bit range.
int lenientInt(std::string_view text);
// The start of such a number: skips leading spaces and an optional sign,
// returning the position of the first digit (or whatever stands there) and
// whether the sign was a minus.
std::size_t skipBlanksAndSign(std::string_view text, bool& negative);

std::string_view trimBlanks(std::string_view text);
std::string_view trimRightBlanks(std::string_view text);
bool isBlank(std::string_view text);
std::string upperAscii(std::string_view text);
bool equalsIgnoreCaseAscii(std::string_view a, std::string_view b);

// Number of characters (code points; an invalid byte counts as one).
std::size_t charCount(std::string_view text);

// Lines split at carriage returns with line feeds dropped. A trailing CR gives a
// final empty line; an empty text gives one empty line.
std::vector<std::string> splitLinesCR(std::string_view text);

// --- Text shaping of generated text ---

// Starts with n blanks when `first`; each CR becomes CR LF and n blanks; LFs are
// dropped; trailing blanks of the whole result are removed. Empty stays empty.
std::string indent(std::string_view text, int n, bool first = true);
// Removes one final LF, then one final CR.
std::string dropTrailingBreak(std::string_view text);
// Appends blanks up to n characters.
std::string padRight(std::string_view text, std::size_t n);
// Every line becomes "// " + line + CR LF.
std::string commentLines(std::string_view text);
// When the text holds "/*" or "*/", separates every "/*" and "*/" pair with a blank.
std::string neutraliseCommentMarks(std::string_view text);
// The file name without folder and without its last extension.
std::string baseName(std::string_view path);

// Line comments to block comments: each "//" comment of a line becomes a block
// comment; a line that starts with "//" is padded to `width` characters before
// its "*/". With `finalBreak` one line break is appended after the last line.
std::string lineCommentsToBlock(std::string_view text, std::size_t width, bool finalBreak);

// Replaces tabs by blanks up to the next multiple of tabWidth (columns from 0 at
// each line start). A text without tabs is returned unchanged.
std::string expandTabs(std::string_view text, int tabWidth);
std::string spacesToUnderscores(std::string_view text);

// Normalises any mix of LF, CR and CR LF line breaks to CR LF.
std::string toCrLf(std::string_view text);

// The text with its control characters written as escapes, so that it stays
// on one line and cannot move a terminal's cursor: line feed, carriage return
// and tab as "\n", "\r", "\t", the other C0 controls and DEL as "\xNN",
// the C1 controls (U+0080 to U+009F) as "\u0080" to "\u009F". Everything
// else, backslashes included, is kept.
std::string escapeControlCharacters(std::string_view text);

}  // namespace tarvel
