#include "base/text.h"

#include <gtest/gtest.h>

#include "base/codeprinter.h"

namespace tarvel {
namespace {

TEST(Numbers, LenientParse) {
    const struct {
        const char* text;
        int value;
    } cases[] = {{"2abc", 2}, {"-3", -3}, {"2.7", 2}, {"abc", 0}, {"", 0},
                 {"  12", 12}, {"+7", 7}, {" 9999999999999", 2147483647}, {"-99999999999", -2147483647 - 1}};
    for (const auto& c : cases) {
        EXPECT_EQ(lenientInt(c.text), c.value) << c.text;
    }
}

TEST(Shaping, Indent) {
    EXPECT_EQ(indent("", 4), "");
    EXPECT_EQ(indent("a\r\nb", 4), "    a\r\n    b");
    EXPECT_EQ(indent("a\r\nb", 4, false), "a\r\n    b");
    // A trailing break keeps the break but loses the blanks after it.
    EXPECT_EQ(indent("a\r\n", 2), "  a\r\n");
    EXPECT_EQ(indent("a  ", 2), "  a");
    // Line feeds alone are dropped, not line ends.
    EXPECT_EQ(indent("a\nb", 2), "  ab");
}

TEST(Shaping, SmallRules) {
    EXPECT_EQ(dropTrailingBreak("a\r\n\r\n"), "a\r\n");
    EXPECT_EQ(dropTrailingBreak("a\r"), "a");
    EXPECT_EQ(padRight("ab", 4), "ab  ");
    EXPECT_EQ(padRight("abcde", 4), "abcde");
    EXPECT_EQ(padRight("\xC2\xB7", 2), "\xC2\xB7 ");  // counts characters, not bytes
    EXPECT_EQ(commentLines("x\r\ny"), "// x\r\n// y\r\n");
    EXPECT_EQ(neutraliseCommentMarks("a/*b*/c"), "a/ *b* /c");
    EXPECT_EQ(neutraliseCommentMarks("a*b"), "a*b");
    EXPECT_EQ(baseName("/x/model.old.fsm"), "model.old");
    EXPECT_EQ(baseName("\\SUB_A.fsm"), "SUB_A");
    EXPECT_EQ(baseName("plain"), "plain");
}

TEST(Shaping, LineCommentsToBlock) {
    EXPECT_EQ(lineCommentsToBlock("//abc", 0, false), "/*abc*/");
    EXPECT_EQ(lineCommentsToBlock("//abc", 20, false), "/*abc" + std::string(15, ' ') + "*/");
    EXPECT_EQ(lineCommentsToBlock("x = 1; // set", 80, false), "x = 1; /* set */");
    EXPECT_EQ(lineCommentsToBlock("a /* b // c */", 80, false), "a /* b // c */");
    EXPECT_EQ(lineCommentsToBlock("plain\r\n//c", 4, true), "plain\r\n/*c *\x2F\r\n");
    const std::string plus = "//" + std::string(78, '+');
    EXPECT_EQ(lineCommentsToBlock(plus, 80, false), "/*" + std::string(78, '+') + "*/");
}

TEST(Shaping, ExpandTabsAndNames) {
    EXPECT_EQ(expandTabs("a\tb", 4), "a   b");
    EXPECT_EQ(expandTabs("abcd\tb", 4), "abcd    b");
    EXPECT_EQ(expandTabs("\tx\r\n\ty", 4), "    x\r\n    y");
    EXPECT_EQ(expandTabs("no tabs\n", 4), "no tabs\n");
    EXPECT_EQ(spacesToUnderscores("my fsm"), "my_fsm");
}

TEST(Text, InvalidUtf8AndSplitting) {
    EXPECT_EQ(charCount("\xFF\xFE" "a"), 3u);
    EXPECT_EQ(splitLinesCR("a\r\nb\r\n").size(), 3u);
    EXPECT_EQ(toCrLf("a\nb\rc\r\nd"), "a\r\nb\r\nc\r\nd");
    EXPECT_EQ(upperAscii("a\xC3\xA9z"), "A\xC3\xA9Z");
    EXPECT_TRUE(equalsIgnoreCaseAscii("State_2", "STATE_2"));
}

TEST(CodePrinter, IndentsLikeTheSharedRule) {
    for (const char* text : {"", "a", "a\r\nb", "a\r\n", "  a  \r\n  ", "a\nb\r", "   "}) {
        for (bool first : {true, false}) {
            CodePrinter out;
            out.text("x ").indented(text, 3, first);
            EXPECT_EQ(out.str(), "x " + indent(text, 3, first)) << text;
        }
    }
}

// Scopes own the indentation: pairs close at their own level, "#else"
// divides a pair at its level, empty lines stay empty, user text follows the
// scope, and a hanging text's further lines stand under its first character.
TEST(CodePrinter, ScopesOwnTheIndentation) {
    CodePrinter out;
    out.line("f()");
    {
        PrinterScope body(out, "{", "}");
        out.line("a;").nl();
        {
            PrinterScope debug(out, "#if X", "#endif");
            out.text("b").line(";");
            debug.divide("#else");
            out.indented("c;\r\nd;\r\n");
        }
        {
            IndentScope deeper(out, 2);
            out.text("if(").hanging("p &&\r\nq){").nl();
        }
    }
    EXPECT_EQ(out.str(),
              "f()\r\n"
              "{\r\n"
              "    a;\r\n"
              "\r\n"
              "    #if X\r\n"
              "        b;\r\n"
              "    #else\r\n"
              "        c;\r\n"
              "        d;\r\n"
              "    #endif\r\n"
              "      if(p &&\r\n"
              "         q){\r\n"
              "}\r\n");
}

}  // namespace
}  // namespace tarvel
