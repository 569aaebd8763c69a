#include "export/htmlpage.h"

#include <gtest/gtest.h>

#include "../support/builders.h"
#include "../support/tempdir.h"
#include "model/fsmrecord.h"

namespace tarvel {
namespace {

TEST(HtmlPage, TextToHtml) {
    const struct {
        const char* text;
        int indent;
        const char* html;
    } cases[] = {
        {"a<b & c", 4, "&nbsp;&nbsp;&nbsp;&nbsp;a&lt;b&#32;&amp;&#32;c"},
        {"x\r\ny", 1, "&nbsp;x<BR>\r\n&nbsp;y"},
        {"", 2, "&nbsp;&nbsp;"},
        {"\"q\"|>\xC2\xA1", 0, "&quot;q&quot;&brvbar;&gt;&iexcl;"},
        {"lone\nfeed\ttab\xC2\xA0", 0, "lonefeed\ttab\xC2\xA0"},  // a lone line feed is dropped
        {"end\r\n", 0, "end<BR>\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextToHtml(c.text, c.indent), c.html) << c.text;
    }
}

TEST(HtmlPage, ChildLinksBothWays) {
    test::TempDir dir;
    dir.write("Child.fsm", "{}");
    dir.write("Root/Deep.fsm", "{}");
    Document doc;
    doc.sFullDocname = dir / "Root.fsm";
    Node* s = test::addState(doc, "A", NK_INITIAL);
    test::setState(doc, s, [](StateRecord& r) { r.moore = "Child(); Deep();"; });
    EXPECT_EQ(ChildLinksHtml(doc, false),
              "<BR>\r\n<A HREF=\"./Child.htm\">Child.htm</A><BR>\r\n"
              "<A HREF=\"./Root/Deep.htm\">Deep.htm</A><BR>\r\n");
    EXPECT_EQ(ChildLinksHtml(doc, true),
              "<BR>\r\n<A HREF=\"./Child.htm\">Child.htm</A><BR>\r\n"
              "<A HREF=\"./Deep.htm\">Deep.htm</A><BR>\r\n");
    Document lonely;
    lonely.sFullDocname = dir / "Lonely.fsm";
    EXPECT_EQ(ChildLinksHtml(lonely, true), "<BR>\r\n");
}

TEST(HtmlPage, WholePage) {
    Document doc;
    doc.sFullDocname = "/nowhere/m.fsm";
    SetGraphInfo("m", "int a", "", "", "", "", "", "", "", "", "two\r\nlines", "", "", doc.diagram());
    const std::string expected =
        "<HTML>\r\n"
        "<HEAD>\r\n"
        "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1252\">\r\n"
        "<META NAME=\"Generator\" CONTENT=\"Tarvel Diagram\">\r\n"
        "<TITLE>m</TITLE>\r\n"
        "</HEAD>\r\n"
        "<BODY>\r\n"
        "<FONT SIZE=2><P ALIGN=\"LEFT\"><IMG SRC=\"m.svg\"></P>\r\n"
        "<p><U><B>FSM function name:</B></U><BR>&nbsp;&nbsp;&nbsp;&nbsp;m</p>\r\n"
        "<p><U><B>Parameters:</B></U><BR>\r\n&nbsp;&nbsp;&nbsp;&nbsp;int&#32;a</p>\r\n"
        "<p><U><B>Return type:</B></U><BR>\r\n&nbsp;&nbsp;&nbsp;&nbsp;</p>\r\n"
        "<p><U><B>Module header:</B></U><BR>\r\n&nbsp;&nbsp;&nbsp;&nbsp;two<BR>\r\n"
        "&nbsp;&nbsp;&nbsp;&nbsp;lines</p>\r\n"
        "<p><U><B>Global initialization:</B></U><BR>\r\n&nbsp;&nbsp;&nbsp;&nbsp;</p>\r\n"
        "<p><U><B>Function header:</B></U><BR>\r\n&nbsp;&nbsp;&nbsp;&nbsp;</p>\r\n"
        "<p><U><B>Global actions (before FSM analysis):</B></U><BR>\r\n&nbsp;&nbsp;&nbsp;&nbsp;</p>\r\n"
        "<p><U><B>Global actions (after FSM analysis):</B></U><BR>\r\n&nbsp;&nbsp;&nbsp;&nbsp;</p>\r\n"
        "<p><U><B>Global final (out of FSM function):</B></U><BR>\r\n&nbsp;&nbsp;&nbsp;&nbsp;</p>\r\n"
        "<p><U><B>Links:</B></U>&nbsp;&nbsp;&nbsp;&nbsp;<BR>\r\n</FONT></p>\r\n"
        "</BODY>\r\n"
        "</HTML>";
    EXPECT_EQ(htmlPageText(doc, "m", "m.svg", false), expected);
}

TEST(HtmlPage, Windows1252WithReferencesForMissingCharacters) {
    EXPECT_EQ(toWindows1252Html("caf\xC3\xA9 \xE2\x82\xAC \xE2\x86\x92 \xF0\x9F\x98\x80 \xC2\x81"),
              "caf\xE9 \x80 &#8594; &#128512; &#129;");
}

}  // namespace
}  // namespace tarvel
