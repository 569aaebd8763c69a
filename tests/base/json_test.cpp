// The JSON string escaper: what must be escaped is, by name where JSON has
// one; everything else (UTF-8 included) passes as it is.
#include <gtest/gtest.h>

#include "base/json.h"

namespace tarvel {
namespace {

TEST(AppendJsonString, EscapesWhatJsonRequires) {
    const struct {
        std::string_view text;
        std::string_view json;
    } cases[] = {
        {"", R"("")"},
        {"plain", R"("plain")"},
        {"say \"hi\"", R"("say \"hi\"")"},
        {"C:\\dir", R"("C:\\dir")"},
        {"a\r\nb\tc", R"("a\r\nb\tc")"},
        {"\b\f", R"("\b\f")"},
        {std::string_view("\x01\x1f\0", 3), R"("\u0001\u001f\u0000")"},
        {"\x7f", "\"\x7f\""},
        {"Gr\xC3\xBCn \xE2\x82\xAC", "\"Gr\xC3\xBCn \xE2\x82\xAC\""},
        {"</script>", R"("</script>")"},
    };
    for (const auto& c : cases) {
        std::string out = "[";
        appendJsonString(out, c.text);
        EXPECT_EQ(out, "[" + std::string(c.json)) << c.json;
    }
}

}  // namespace
}  // namespace tarvel
