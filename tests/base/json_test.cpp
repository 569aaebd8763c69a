#include "base/json.h"

#include <gtest/gtest.h>

namespace tarvel {
namespace {

TEST(AppendJsonString, EscapesQuotesBackslashesAndControlCharacters) {
    const struct {
        std::string text;
        std::string json;
    } cases[] = {
        {"", "\"\""},
        {"T(1);", "\"T(1);\""},
        {"say \"hi\" \\ bye", "\"say \\\"hi\\\" \\\\ bye\""},
        {"a\r\nb\tc\bd\fe", "\"a\\r\\nb\\tc\\bd\\fe\""},
        {std::string("\x01\x1f\x00", 3) + "\x7f", "\"\\u0001\\u001F\\u0000\x7f\""},
        // UTF-8 passes through untouched.
        {"caf\xC3\xA9 \xE2\x86\x92", "\"caf\xC3\xA9 \xE2\x86\x92\""},
    };
    for (const auto& c : cases) {
        std::string out = "x";
        appendJsonString(out, c.text);
        EXPECT_EQ(out, "x" + c.json) << c.text;
    }
}

}  // namespace
}  // namespace tarvel
