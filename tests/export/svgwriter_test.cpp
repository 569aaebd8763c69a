#include "export/svgwriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "base/cp1252.h"

namespace tarvel {
namespace {

// What is wrong with the document as XML, or nothing: valid UTF-8, one root
// element, tags that nest, quoted attributes, and no bare "<" or "&" in text.
std::string xmlProblem(const std::string& doc) {
    std::string reencoded;
    for (const char32_t c : decodeUtf8(doc)) {
        appendUtf8(reencoded, c);
    }
    if (reencoded != doc) {
        return "not valid UTF-8";
    }
    std::vector<std::string> open;
    int roots = 0;
    std::size_t pos = doc.rfind("?>", doc.find('\n'));
    pos = pos == std::string::npos ? 0 : pos + 2;
    while (pos < doc.size()) {
        const std::size_t lt = doc.find('<', pos);
        const std::string text = doc.substr(pos, lt - pos);
        for (std::size_t amp = text.find('&'); amp != std::string::npos;
             amp = text.find('&', amp + 1)) {
            const std::size_t semi = text.find(';', amp);
            const std::string entity = text.substr(amp, semi - amp + 1);
            if (semi == std::string::npos ||
                (entity != "&amp;" && entity != "&lt;" && entity != "&gt;" && entity != "&quot;" &&
                 entity != "&apos;" && entity.rfind("&#", 0) != 0)) {
                return "bare & in text: " + text;
            }
        }
        if (lt == std::string::npos) {
            break;
        }
        const std::size_t gt = doc.find('>', lt);
        if (gt == std::string::npos) {
            return "unclosed tag";
        }
        const std::string tag = doc.substr(lt + 1, gt - lt - 1);
        if (tag.find('<') != std::string::npos ||
            std::count(tag.begin(), tag.end(), '"') % 2 != 0) {
            return "broken tag: " + tag;
        }
        const std::string name = tag.substr(0, tag.find_first_of(" /"));
        if (tag.front() == '/') {
            if (open.empty() || open.back() != tag.substr(1)) {
                return "misnested </" + tag.substr(1) + ">";
            }
            open.pop_back();
        } else {
            if (open.empty()) {
                ++roots;
            }
            if (tag.back() != '/') {
                open.push_back(name);
            }
        }
        pos = gt + 1;
    }
    if (!open.empty()) {
        return "unclosed <" + open.back() + ">";
    }
    return roots == 1 ? "" : "not exactly one root element";
}

TEST(SvgWriter, ShapesInTwipsWithColoursAsRgb) {
    SvgWriter writer({100, 200, 4000, 3000});
    writer.setPen({rgb(0x12, 0x34, 0x56), 30, LineStyle::Solid});
    writer.setBrush({rgb(0xAB, 0xCD, 0xEF), true});
    writer.drawRectangle({100, 200, 1000, 500.5f});
    writer.setBrush({0, false});
    writer.drawEllipse({1300, 700, -200, -100});  // given from its other corner
    writer.setPen({0, 0, LineStyle::Solid});      // no width: a hairline
    writer.drawRoundedRectangle({100, 800, 1000, 500}, 100, -60);
    writer.setPen({0, 15, LineStyle::None});
    writer.setBrush({rgb(1, 2, 3), true});
    writer.drawPolygon({{2100, 100}, {2500, 600}, {2100, 600.25f}});
    writer.drawPolygon({{0, 0}});
    writer.setPen({rgb(255, 0, 0), 15, LineStyle::Solid});
    writer.drawPolyline({{0.333f, -0.001f},
                         {std::numeric_limits<float>::quiet_NaN(), 1e7f},
                         {std::numeric_limits<float>::max(), 0}});
    writer.drawPolyline({});
    const std::string doc = writer.finish();
    EXPECT_EQ(doc,
              "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\r\n"
              "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"200pt\" "
              "height=\"150pt\" viewBox=\"100 200 4000 3000\">\r\n"
              "<rect x=\"100\" y=\"200\" width=\"1000\" height=\"500.5\" fill=\"#abcdef\" "
              "stroke=\"#123456\" stroke-width=\"30\"/>\r\n"
              "<ellipse cx=\"1200\" cy=\"650\" rx=\"100\" ry=\"50\" fill=\"none\" "
              "stroke=\"#123456\" stroke-width=\"30\"/>\r\n"
              "<rect x=\"100\" y=\"800\" width=\"1000\" height=\"500\" rx=\"100\" ry=\"60\" "
              "fill=\"none\" stroke=\"#000000\" stroke-width=\"15\"/>\r\n"
              "<polygon points=\"2100,100 2500,600 2100,600.25\" fill=\"#010203\" "
              "fill-rule=\"evenodd\" stroke=\"none\"/>\r\n"
              "<polyline points=\"0.33,0 0,10000000 "
              "340282346638528859811704183484516925440,0\" fill=\"none\" stroke=\"#ff0000\" "
              "stroke-width=\"15\"/>\r\n"
              "</svg>\r\n");
    EXPECT_EQ(xmlProblem(doc), "");
    EXPECT_EQ(writer.finish(), doc);
}

TEST(SvgWriter, EmptyPictureIsAValidDocument) {
    const std::string doc = SvgWriter({0, 0, 0, -5}).finish();
    EXPECT_EQ(xmlProblem(doc), "");
    // An empty view box would hide everything.
    EXPECT_NE(doc.find("viewBox=\"0 0 1 1\""), std::string::npos) << doc;
}

TEST(SvgWriter, LineStylesBecomeDashPatterns) {
    // Patterns step by the line width, and by at least one pixel (15 twips).
    const struct {
        LineStyle style;
        float width;
        const char* dashes;  // nullptr: a solid line
    } cases[] = {
        {LineStyle::Solid, 15, nullptr},
        {LineStyle::Dash, 15, "270 90"},
        {LineStyle::Dash, 5, "270 90"},
        {LineStyle::Dash, 30, "540 180"},
        {LineStyle::Dot, 15, "45 45"},
        {LineStyle::DashDot, 15, "135 90 45 90"},
        {LineStyle::DashDotDot, 15, "135 45 45 45 45 45"},
    };
    for (const auto& c : cases) {
        SvgWriter writer({0, 0, 100, 100});
        writer.setPen({0, c.width, c.style});
        writer.drawPolyline({{0, 0}, {10, 10}});
        const std::string doc = writer.finish();
        const std::size_t at = doc.find("stroke-dasharray=\"");
        if (c.dashes == nullptr) {
            EXPECT_EQ(at, std::string::npos) << doc;
        } else {
            EXPECT_NE(doc.find(std::string("stroke-dasharray=\"") + c.dashes + "\""),
                      std::string::npos)
                << static_cast<int>(c.style) << " " << c.width << "\n"
                << doc;
        }
    }
}

TEST(SvgWriter, TextIsEscapedAndPlacedByItsTopLeftCorner) {
    SvgWriter writer({0, 0, 1000, 1000});
    Font font;
    font.name = "O'Brien \"X\" & <Y>";
    font.size = 12;
    font.bold = true;
    font.italic = true;
    font.underline = true;
    font.strikeout = true;
    writer.setFont(font);
    writer.setTextColor(rgb(0x12, 0x34, 0x56));
    // Leading blanks, markup characters, a tab, a control character, an
    // invalid byte and a character outside the basic plane.
    writer.drawText({10, 20.5f}, "  a<b & \"c\" 'd'>\t\x01\xFF\xF0\x9F\x98\x80");
    writer.drawText({0, 0}, "");
    const std::string doc = writer.finish();
    EXPECT_NE(doc.find("<text x=\"10\" y=\"20.5\" "
                       "font-family=\"'O\\'Brien &quot;X&quot; &amp; &lt;Y&gt;'\" "
                       "font-size=\"240\" font-weight=\"bold\" font-style=\"italic\" "
                       "text-decoration=\"underline line-through\" fill=\"#123456\" "
                       "dominant-baseline=\"text-before-edge\" xml:space=\"preserve\">"
                       "  a&lt;b &amp; &quot;c&quot; 'd'&gt;&#9;\xEF\xBF\xBD\xEF\xBF\xBD"
                       "\xF0\x9F\x98\x80</text>\r\n"),
              std::string::npos)
        << doc;
    EXPECT_EQ(doc.find("<text", doc.find("</text>")), std::string::npos) << "empty text drawn";
    EXPECT_EQ(xmlProblem(doc), "");

    // A plain font asks for nothing beyond family and size.
    SvgWriter plain({0, 0, 1000, 1000});
    plain.drawText({0, 0}, "x");
    const std::string plainDoc = plain.finish();
    EXPECT_NE(plainDoc.find("font-family=\"'Courier New'\" font-size=\"160\" fill=\"#000000\""),
              std::string::npos)
        << plainDoc;
}

}  // namespace
}  // namespace tarvel
