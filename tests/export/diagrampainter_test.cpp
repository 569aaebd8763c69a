#include "export/diagrampainter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "../support/builders.h"
#include "base/text.h"
#include "export/svgwriter.h"

namespace tarvel {
namespace {

// Remembers every shape and text with the pen, brush and text colour in force.
class RecordingCanvas final : public Canvas {
public:
    struct Shape {
        std::string kind;  // rect, round, ellipse, polygon, polyline, text
        std::vector<PointF> points;
        RectF rect;
        Pen pen;
        Brush brush;
        Color textColor = 0;
        Font font;
        std::string text;
    };
    std::vector<Shape> shapes;

    void setPen(const Pen& p) override { m_pen = p; }
    void setBrush(const Brush& b) override { m_brush = b; }
    void setFont(const Font& f) override { m_font = f; }
    void setTextColor(Color c) override { m_textColor = c; }
    void drawRectangle(const RectF& r) override { add("rect", r); }
    void drawRoundedRectangle(const RectF& r, float, float) override { add("round", r); }
    void drawEllipse(const RectF& r) override { add("ellipse", r); }
    void drawPolygon(const std::vector<PointF>& p) override { add("polygon", {}, p); }
    void drawPolyline(const std::vector<PointF>& p) override { add("polyline", {}, p); }
    void drawText(PointF at, std::string_view text) override {
        add("text", {at.x, at.y, 0, 0}, {}, std::string(text));
    }

    std::vector<Shape> ofKind(const std::string& kind) const {
        std::vector<Shape> out;
        for (const auto& s : shapes) {
            if (s.kind == kind) {
                out.push_back(s);
            }
        }
        return out;
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& s : ofKind("text")) {
            out.push_back(s.text);
        }
        return out;
    }

private:
    void add(std::string kind, RectF r, std::vector<PointF> p = {}, std::string text = {}) {
        shapes.push_back({std::move(kind), std::move(p), r, m_pen, m_brush, m_textColor, m_font,
                          std::move(text)});
    }
    Pen m_pen;
    Brush m_brush;
    Font m_font;
    Color m_textColor = 0;
};

Node* addNode(Diagram& d, RectF r, std::uint32_t kind, int shape) {
    Node* n = d.AddNode(r.left, r.top, r.width, r.height);
    n->setNodeKind(kind);
    n->setNodeShapeStyle(shape);
    return n;
}

// Each look by kind and shape style: the outline kind, how many outlines and
// the width of the first one (twips).
TEST(DiagramPainter, NodeLooksKeepKindsApart) {
    struct Case {
        const char* what;
        std::uint32_t kind;
        int shape;
        int drawStyle;
        const char* outline;
        std::size_t outlines;
        float width;
    };
    const Case cases[] = {
        {"state", NK_STATE, 51, 0, "round", 1, 15},
        {"superstate", NK_SUPERSTATE, 51, 0, "round", 3, 30},  // with its nested-boxes mark
        {"initial", NK_INITIAL, 50, 0, "round", 1, 60},        // twice the line width
        {"final", NK_FINAL, 50, 0, "round", 2, 30},            // double outline
        {"transition", NK_TRANSITION, 50, 5, "round", 1, 15},
        {"framed comment", NK_COMMENT, 1, 5, "rect", 1, 15},
        {"foreign", 0, 0, 0, "rect", 1, 15},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Diagram d;
        Node* n = addNode(d, {100, 100, 1500, 900}, c.kind, c.shape);
        n->setNodeLineWidth(c.kind == NK_STATE || c.kind == NK_TRANSITION || c.kind == 0 ||
                                    c.kind == NK_COMMENT
                                ? 1
                                : 2);
        n->setNodeDrawStyle(c.drawStyle);
        n->setNodeLineColor(rgb(1, 2, 3));
        n->setNodeFillColor(rgb(4, 5, 6));
        RecordingCanvas canvas;
        paintNode(canvas, *n, defaultMeasurer(), {});
        const auto outlines = canvas.ofKind(c.outline);
        ASSERT_EQ(outlines.size(), c.outlines);
        EXPECT_EQ(outlines[0].rect, n->rect());
        EXPECT_EQ(outlines[0].pen.width, c.width);
        EXPECT_EQ(outlines[0].pen.color, rgb(1, 2, 3));
        EXPECT_EQ(outlines[0].brush.color, rgb(4, 5, 6));
    }
}

TEST(DiagramPainter, UnframedCommentShowsAFaintOutlineOnScreenOnly) {
    Diagram d;
    Node* n = addNode(d, {0, 0, 500, 500}, NK_COMMENT, 1);
    RecordingCanvas picture;
    paintNode(picture, *n, defaultMeasurer(), {});
    EXPECT_EQ(picture.ofKind("rect").at(0).pen.style, LineStyle::None);
    RecordingCanvas screen;
    PaintOptions options;
    options.screenAids = true;
    paintNode(screen, *n, defaultMeasurer(), options);
    EXPECT_EQ(screen.ofKind("rect").at(0).pen.style, LineStyle::Dot);
}

TEST(DiagramPainter, StateTextLinesInFontAndColourWithinThePadding) {
    Document doc;
    Node* s = test::addState(doc, "RUN");
    test::setState(doc, s, [](StateRecord& r) { r.entry = "go();\r\nmore();"; });
    s->setNodeForeColor(rgb(9, 8, 7));
    RecordingCanvas canvas;
    paintNode(canvas, *s, defaultMeasurer(), {});
    const auto texts = canvas.ofKind("text");
    ASSERT_EQ(canvas.texts(),
              (std::vector<std::string>{"\xC2\xB7RUN\xC2\xB7", "#entry:", " go();", " more();"}));
    const float lineHeight = defaultMeasurer().lineHeight(s->NodeFont());
    // The name is centred, the other lines start at the padding, one line apart.
    const float nameWidth = defaultMeasurer().lineWidth(texts[0].text, s->NodeFont());
    EXPECT_FLOAT_EQ(texts[0].rect.left, s->NodeLeft() + (s->NodeWidth() - nameWidth) / 2);
    EXPECT_FLOAT_EQ(texts[0].rect.top, s->NodeTop() + TEXT_PADDING_Y);
    EXPECT_FLOAT_EQ(texts[1].rect.left, s->NodeLeft() + TEXT_PADDING_X);
    EXPECT_FLOAT_EQ(texts[3].rect.top, s->NodeTop() + TEXT_PADDING_Y + 3 * lineHeight);
    for (const auto& t : texts) {
        EXPECT_EQ(t.textColor, rgb(9, 8, 7));
        EXPECT_EQ(t.font, s->NodeFont());
    }
}

TEST(DiagramPainter, TextThatDoesNotFitIsCutNotSpilled) {
    Diagram d;
    Node* n = addNode(d, {0, 0, 1000, 0}, NK_COMMENT, 1);
    const float lineHeight = defaultMeasurer().lineHeight(n->NodeFont());
    n->setNodeHeight(2 * TEXT_PADDING_Y + 2 * lineHeight);
    n->setNodeText("short\r\n" + std::string(60, 'x') + "\r\nthird line\r\nfourth\r\n");
    RecordingCanvas canvas;
    paintNode(canvas, *n, defaultMeasurer(), {});
    const auto texts = canvas.texts();
    ASSERT_EQ(texts.size(), 2u);  // the lines below the node are left out
    EXPECT_EQ(texts[0], "short");
    EXPECT_TRUE(texts[1].ends_with("\xE2\x80\xA6"));  // cut to the width with an ellipsis
    EXPECT_LE(defaultMeasurer().lineWidth(texts[1], n->NodeFont()),
              n->NodeWidth() - 2 * TEXT_PADDING_X);

    RecordingCanvas hidden;
    PaintOptions options;
    options.hideTextOf = n;
    paintNode(hidden, *n, defaultMeasurer(), options);
    EXPECT_TRUE(hidden.texts().empty());
}

TEST(DiagramPainter, ElidingNeverSplitsACharacter) {
    const Font font;
    const std::string line =
        "\xC3\xA4\xC3\xB6\xC3\xBC\xC3\xA4\xC3\xB6\xC3\xBC";  // six 2-byte letters
    const float width = defaultMeasurer().lineWidth("\xC3\xA4\xC3\xB6\xE2\x80\xA6", font);
    EXPECT_EQ(elideToWidth(line, width, defaultMeasurer(), font), "\xC3\xA4\xC3\xB6\xE2\x80\xA6");
    EXPECT_EQ(elideToWidth(line, 1, defaultMeasurer(), font), "");
    EXPECT_EQ(elideToWidth(line, 1e6f, defaultMeasurer(), font), line);
}

TEST(DiagramPainter, DisplayLinesDropLineFeedsAndTrailingEmptyLines) {
    EXPECT_EQ(displayTextLines("a\r\nb\rc\r\n\r\n"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(displayTextLines("x\n\ny"), (std::vector<std::string>{"xy"}));
    EXPECT_TRUE(displayTextLines("").empty());
}

// Two square nodes side by side, joined by a straight link.
struct TwoNodes {
    Diagram d;
    Node* a;
    Node* b;
    Link* link;
    TwoNodes() {
        a = addNode(d, {0, 0, 1000, 1000}, 0, 0);
        b = addNode(d, {3000, 0, 1000, 1000}, 0, 0);
        link = d.AddLink(a, b);
    }
};

TEST(DiagramPainter, LinkEndsAreCutAtTheOutlines) {
    TwoNodes t;
    const auto pts = visibleLinkPoints(*t.link);
    ASSERT_EQ(pts.size(), 2u);
    EXPECT_EQ(pts[0], (PointF{1000, 500}));
    EXPECT_EQ(pts[1], (PointF{3000, 500}));

    // A bend point keeps its place; each end is cut on its own segment.
    t.link->setLinkPoints({{500, 500}, {500, 2500}, {3500, 2500}, {3500, 500}});
    EXPECT_EQ(visibleLinkPoints(*t.link),
              (std::vector<PointF>{{500, 1000}, {500, 2500}, {3500, 2500}, {3500, 1000}}));

    // Overlapping nodes hide a straight link.
    t.link->setLinkPoints({{500, 500}, {3500, 500}});
    t.b->setRect({200, 200, 1000, 1000});
    EXPECT_TRUE(visibleLinkPoints(*t.link).empty());
}

TEST(DiagramPainter, LinkEndOnARoundedCornerTouchesTheArc) {
    Diagram d;
    Node* a = addNode(d, {0, 0, 1000, 1000}, NK_STATE, 51);
    Node* b = addNode(d, {3000, 3000, 1000, 1000}, NK_STATE, 51);
    Link* l = d.AddLink(a, b);
    const PointF start = visibleLinkPoints(*l).front();
    // On the diagonal the arc of radius 120 around (880, 880) is met.
    const float r = std::hypot(start.x - 880, start.y - 880);
    EXPECT_NEAR(r, 120, 0.5);
    EXPECT_LT(start.x, 1000);
}

TEST(DiagramPainter, LinkStyleColourAndArrowHeads) {
    struct Case {
        int arrow;
        std::size_t heads;
        float length;
    };
    for (const Case c : {Case{0, 0, 0}, Case{3, 1, ARROW_LENGTH}, Case{4, 1, HEAVY_ARROW_LENGTH}}) {
        SCOPED_TRACE(c.arrow);
        TwoNodes t;
        t.link->setLinkArrowStyle(c.arrow);
        t.link->setLinkColor(rgb(175, 0, 0));
        t.link->setLinkLineStyle(2);
        RecordingCanvas canvas;
        paintLink(canvas, *t.link, {});
        const auto lines = canvas.ofKind("polyline");
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].pen.style, LineStyle::Dot);
        EXPECT_EQ(lines[0].pen.color, rgb(175, 0, 0));
        const auto heads = canvas.ofKind("polygon");
        ASSERT_EQ(heads.size(), c.heads);
        if (c.heads == 0) {
            EXPECT_EQ(lines[0].points.back(), (PointF{3000, 500}));
            continue;
        }
        EXPECT_EQ(heads[0].points[0], (PointF{3000, 500}));  // the tip on the outline
        EXPECT_FLOAT_EQ(heads[0].points[1].x, 3000 - c.length);
        EXPECT_EQ(heads[0].brush.color, rgb(175, 0, 0));
        EXPECT_LT(lines[0].points.back().x, 3000);  // the line stops inside the head
    }
}

TEST(DiagramPainter, TemporaryAndSkippedNodesAreNeverDrawn) {
    Diagram d;
    Node* state = addNode(d, {0, 0, 1000, 1000}, NK_STATE, 51);
    Node* margin = addNode(d, {5000, 5000, 1000, 1000}, NK_ANNOTATION, 0);
    Node* info = addNode(d, {0, 0, 100, 100}, NK_INFO, 0);
    d.AddLink(state, margin);
    Node* comment = addNode(d, {0, 2000, 500, 500}, NK_COMMENT, 1);
    RecordingCanvas canvas;
    paintDiagram(canvas, d, defaultMeasurer(), {});
    ASSERT_EQ(canvas.ofKind("round").size(), 1u);
    ASSERT_EQ(canvas.ofKind("rect").size(), 1u);  // the comment only
    EXPECT_TRUE(canvas.ofKind("polyline").empty());
    (void)info;

    RecordingCanvas noComments;
    PaintOptions options;
    options.skipKinds = NK_COMMENT;
    paintDiagram(noComments, d, defaultMeasurer(), options);
    EXPECT_TRUE(noComments.ofKind("rect").empty());
    (void)comment;
    // The margin node still widens the picture's bounds.
    EXPECT_EQ(diagramBounds(d).right(), 6000);
}

TEST(DiagramPainter, OnlyVisibleItemsAndScreenAidsOnRequest) {
    TwoNodes t;
    t.a->setNodeSelected(true);
    t.link->setLinkSelected(true);
    t.d.setGridSize(120, 120);

    RecordingCanvas picture;
    paintDiagram(picture, t.d, defaultMeasurer(), {});
    EXPECT_EQ(picture.ofKind("rect").size(), 2u);      // the two nodes, no handles
    EXPECT_EQ(picture.ofKind("polyline").size(), 1u);  // the link, no grid

    RecordingCanvas screen;
    PaintOptions options;
    options.selectionMarks = true;
    options.grid = true;
    options.visible = RectF{0, 0, 1200, 1200};  // the left node only
    paintDiagram(screen, t.d, defaultMeasurer(), options);
    // Node a, its 8 handles and the marks of the selected link's visible end.
    EXPECT_EQ(screen.ofKind("rect").size(), 1u + 8u + 2u);
    // Grid lines 0..1200 every 120 twips both ways, and the link.
    EXPECT_EQ(screen.ofKind("polyline").size(), 11u + 11u + 1u);
}

TEST(DiagramPainter, HandlesClockwiseFromTopLeft) {
    const auto h = nodeHandles({0, 0, 1000, 600}, 10);
    ASSERT_EQ(h.size(), 8u);
    const PointF centres[] = {{0, 0},      {500, 0},   {1000, 0}, {1000, 300},
                              {1000, 600}, {500, 600}, {0, 600},  {0, 300}};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(h[i].centre(), centres[i]) << i;
        EXPECT_EQ(h[i].width, HANDLE_PIXELS * 10);
    }
}

TEST(DiagramPainter, PaintsAMachineIntoAPictureFile) {
    Document doc;
    Node* a = test::addState(doc, "IDLE", NK_INITIAL, 500, 500);
    Node* b = test::addState(doc, "BUSY & <done>", NK_STATE, 3000, 500);
    test::addTransition(doc, a, b);
    SvgWriter svg(diagramBounds(doc.diagram()));
    paintDiagram(svg, doc.diagram(), doc.measurer(), {});
    const std::string out = svg.finish();
    EXPECT_NE(out.find(">\xC2\xB7IDLE\xC2\xB7</text>"), std::string::npos);
    EXPECT_NE(out.find("BUSY &amp; &lt;done&gt;"), std::string::npos);
    EXPECT_NE(out.find("<polygon"), std::string::npos);  // the transition's arrow
}

}  // namespace
}  // namespace tarvel
