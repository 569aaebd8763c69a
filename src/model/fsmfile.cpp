#include "model/fsmfile.h"

#include <rapidjson/document.h>
#include <rapidjson/error/en.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <unordered_map>
#include <vector>

namespace tarvel {

namespace {

using Value = rapidjson::Value;

// A failure while reading; the message says where and what.
struct FormatError {
    std::string message;
};

[[noreturn]] void fail(std::string message) { throw FormatError{std::move(message)}; }

const Value* member(const Value& object, const char* name) {
    const auto it = object.FindMember(name);
    return it == object.MemberEnd() ? nullptr : &it->value;
}

std::string where(const std::string& context, const char* name) {
    return context + ": \"" + name + "\"";
}

float readFloat(const Value& v, const std::string& context, const char* name) {
    if (!v.IsNumber()) {
        fail(where(context, name) + " is not a number");
    }
    const double d = v.GetDouble();
    if (!std::isfinite(d) || std::fabs(d) > std::numeric_limits<float>::max()) {
        fail(where(context, name) + " is out of range");
    }
    return static_cast<float>(d);
}

std::int64_t readInteger(const Value& v, const std::string& context, const char* name,
                         std::int64_t low, std::int64_t high) {
    if (!v.IsInt64()) {
        fail(where(context, name) + " is not an integer");
    }
    const std::int64_t i = v.GetInt64();
    if (i < low || i > high) {
        fail(where(context, name) + " is out of range");
    }
    return i;
}

template <typename Apply>
void optionalFloat(const Value& o, const char* name, const std::string& ctx, Apply apply) {
    if (const Value* v = member(o, name)) {
        apply(readFloat(*v, ctx, name));
    }
}

int optionalInt(const Value& o, const char* name, const std::string& ctx, int fallback) {
    const Value* v = member(o, name);
    if (v == nullptr) {
        return fallback;
    }
    return static_cast<int>(readInteger(*v, ctx, name, INT32_MIN, INT32_MAX));
}

Color optionalColor(const Value& o, const char* name, const std::string& ctx, Color fallback) {
    const Value* v = member(o, name);
    if (v == nullptr) {
        return fallback;
    }
    return static_cast<Color>(readInteger(*v, ctx, name, 0, UINT32_MAX)) & 0xFFFFFFu;
}

bool optionalBool(const Value& o, const char* name, const std::string& ctx, bool fallback) {
    const Value* v = member(o, name);
    if (v == nullptr) {
        return fallback;
    }
    if (!v->IsBool()) {
        fail(where(ctx, name) + " is not true or false");
    }
    return v->GetBool();
}

std::string optionalString(const Value& o, const char* name, const std::string& ctx) {
    const Value* v = member(o, name);
    if (v == nullptr) {
        return {};
    }
    if (!v->IsString()) {
        fail(where(ctx, name) + " is not a text");
    }
    return std::string(v->GetString(), v->GetStringLength());
}

const Value& requireObject(const Value& v, const std::string& ctx) {
    if (!v.IsObject()) {
        fail(ctx + " is not an object");
    }
    return v;
}

Font readFont(const Value& v, const std::string& ctx) {
    requireObject(v, ctx);
    Font f;  // missing members take "Courier New", 8 and false
    if (member(v, "name") != nullptr) {
        f.name = optionalString(v, "name", ctx);
    }
    optionalFloat(v, "size", ctx, [&](float s) { f.size = s; });
    f.bold = optionalBool(v, "bold", ctx, false);
    f.italic = optionalBool(v, "italic", ctx, false);
    f.underline = optionalBool(v, "underline", ctx, false);
    f.strikeout = optionalBool(v, "strikeout", ctx, false);
    return f;
}

void readSettings(const Value& d, Diagram& out) {
    const std::string ctx = "diagram";
    requireObject(d, ctx);
    out.setFillColor(optionalColor(d, "fillColor", ctx, out.FillColor()));
    out.setForeColor(optionalColor(d, "foreColor", ctx, out.ForeColor()));
    if (const Value* f = member(d, "font")) {
        out.setDiagramFont(readFont(*f, "diagram font"));
    }
    out.setGridVisible(optionalBool(d, "gridVisible", ctx, out.GridVisible()));
    out.setSnapToGrid(optionalBool(d, "snapToGrid", ctx, out.SnapToGrid()));
    out.setGridSize(optionalInt(d, "gridSizeX", ctx, out.GridSizeX()),
                    optionalInt(d, "gridSizeY", ctx, out.GridSizeY()));
    const int zoom = optionalInt(d, "zoom", ctx, out.ZoomX());
    out.setZoom(zoom, zoom);
}

void readNode(const Value& v, std::size_t index, Diagram& out,
              std::unordered_map<std::int64_t, Node*>& byId) {
    const std::string ctx = "node " + std::to_string(index + 1);
    requireObject(v, ctx);
    const Value* idValue = member(v, "id");
    if (idValue == nullptr) {
        fail(ctx + " has no \"id\"");
    }
    const std::int64_t id = readInteger(*idValue, ctx, "id", INT64_MIN, INT64_MAX);
    Node* n = out.AddNode(0, 0, 150, 100);
    if (!byId.emplace(id, n).second) {
        fail(ctx + ": the id " + std::to_string(id) + " is used twice");
    }
    if (const Value* kind = member(v, "kind")) {
        n->setNodeKind(static_cast<std::uint32_t>(readInteger(*kind, ctx, "kind", INT32_MIN, UINT32_MAX)));
    }
    n->setNodeData(optionalString(v, "data", ctx));
    n->setNodeText(optionalString(v, "text", ctx));
    n->setNodeTip(optionalString(v, "tip", ctx));
    RectF r{0, 0, 150, 100};
    optionalFloat(v, "left", ctx, [&](float x) { r.left = x; });
    optionalFloat(v, "top", ctx, [&](float x) { r.top = x; });
    optionalFloat(v, "width", ctx, [&](float x) { r.width = x; });
    optionalFloat(v, "height", ctx, [&](float x) { r.height = x; });
    n->setRect(r);
    n->setNodeFillColor(optionalColor(v, "fillColor", ctx, out.FillColor()));
    n->setNodeForeColor(optionalColor(v, "foreColor", ctx, out.ForeColor()));
    n->setNodeLineColor(optionalColor(v, "lineColor", ctx, 0));
    n->setNodeLineWidth(optionalInt(v, "lineWidth", ctx, 1));
    n->setNodeShapeStyle(optionalInt(v, "shapeStyle", ctx, 0));
    n->setNodeDrawStyle(optionalInt(v, "drawStyle", ctx, 0));
    n->setNodeConnectable(optionalBool(v, "connectable", ctx, true));
    if (const Value* f = member(v, "font")) {
        n->setNodeFont(readFont(*f, ctx + " font"));
    }
}

void readLink(const Value& v, std::size_t index, Diagram& out,
              const std::unordered_map<std::int64_t, Node*>& byId) {
    const std::string ctx = "link " + std::to_string(index + 1);
    requireObject(v, ctx);
    auto end = [&](const char* name) {
        const Value* e = member(v, name);
        if (e == nullptr) {
            fail(ctx + " has no \"" + name + "\"");
        }
        const auto it = byId.find(readInteger(*e, ctx, name, INT64_MIN, INT64_MAX));
        if (it == byId.end()) {
            fail(where(ctx, name) + " is not a node of the file");
        }
        return it->second;
    };
    Node* origin = end("origin");
    Node* target = end("target");
    out.setNewLinkArrowStyle(optionalInt(v, "arrowStyle", ctx, 3));
    Link* l = out.AddLink(origin, target);
    out.setNewLinkArrowStyle(3);
    if (const Value* pts = member(v, "points")) {
        if (!pts->IsArray()) {
            fail(where(ctx, "points") + " is not a list");
        }
        std::vector<PointF> points;
        points.reserve(pts->Size());
        for (const auto& p : pts->GetArray()) {
            if (!p.IsArray() || p.Size() != 2) {
                fail(where(ctx, "points") + " holds something other than [x, y] pairs");
            }
            points.push_back({readFloat(p[0], ctx, "points"), readFloat(p[1], ctx, "points")});
        }
        if (points.size() >= 2) {
            l->setLinkPoints(std::move(points));
        }
    }
    l->setLinkColor(optionalColor(v, "color", ctx, 0));
    l->setLinkLineStyle(optionalInt(v, "lineStyle", ctx, 0));
}

void readDocument(std::string_view json, Diagram& out) {
    // Parsing in place keeps the texts inside one buffer instead of allocating
    // a copy of each.
    std::string buffer(json);
    rapidjson::Document doc;
    doc.ParseInsitu(buffer.data());
    if (doc.HasParseError()) {
        fail(std::string("not JSON (at byte ") + std::to_string(doc.GetErrorOffset()) + ": " +
             rapidjson::GetParseError_En(doc.GetParseError()) + ")");
    }
    if (!doc.IsObject()) {
        fail("not a diagram file: the document is not an object");
    }
    const Value* format = member(doc, "format");
    if (format == nullptr || !format->IsString() ||
        std::string_view(format->GetString(), format->GetStringLength()) != FSM_FORMAT_NAME) {
        fail("not a diagram file: \"format\" is not \"tarvel-fsm\"");
    }
    const Value* version = member(doc, "version");
    if (version == nullptr || !version->IsInt64()) {
        fail("not a diagram file: \"version\" is missing or not an integer");
    }
    if (version->GetInt64() > FSM_FORMAT_VERSION) {
        fail("not a diagram file of this version: version " + std::to_string(version->GetInt64()) +
             " is newer than " + std::to_string(FSM_FORMAT_VERSION));
    }
    if (const Value* d = member(doc, "diagram")) {
        readSettings(*d, out);
    }
    std::unordered_map<std::int64_t, Node*> byId;
    if (const Value* nodes = member(doc, "nodes")) {
        if (!nodes->IsArray()) {
            fail("\"nodes\" is not a list");
        }
        byId.reserve(nodes->Size());
        for (rapidjson::SizeType i = 0; i < nodes->Size(); ++i) {
            readNode((*nodes)[i], i, out, byId);
        }
    }
    if (const Value* links = member(doc, "links")) {
        if (!links->IsArray()) {
            fail("\"links\" is not a list");
        }
        for (rapidjson::SizeType i = 0; i < links->Size(); ++i) {
            readLink((*links)[i], i, out, byId);
        }
    }
}

// ---------------------------------------------------------------- writing

class JsonOut {
public:
    std::string text;

    void raw(std::string_view s) { text += s; }
    void key(std::string_view k) {
        comma();
        text += '"';
        text += k;
        text += "\":";
        m_afterKey = true;
    }
    void open(char c) {
        comma();
        text += c;
        m_first = true;
    }
    void close(char c) {
        flushNewline();
        text += c;
        m_first = false;
    }
    // The line break goes after the comma that separates the next item.
    void newline() { m_newline = true; }
    void string(std::string_view s) {
        comma();
        text += '"';
        for (unsigned char c : s) {
            switch (c) {
                case '"': text += "\\\""; break;
                case '\\': text += "\\\\"; break;
                case '\r': text += "\\r"; break;
                case '\n': text += "\\n"; break;
                case '\t': text += "\\t"; break;
                default:
                    if (c < 0x20) {
                        static const char* hex = "0123456789abcdef";
                        text += "\\u00";
                        text += hex[c >> 4];
                        text += hex[c & 15];
                    } else {
                        text += static_cast<char>(c);
                    }
            }
        }
        text += '"';
    }
    void number(std::int64_t i) {
        comma();
        char buf[32];
        const auto r = std::to_chars(buf, buf + sizeof buf, i);
        text.append(buf, r.ptr);
    }
    void number(float f) {
        comma();
        char buf[32];
        const auto r = std::to_chars(buf, buf + sizeof buf, f);
        text.append(buf, r.ptr);
    }
    void boolean(bool b) {
        comma();
        text += b ? "true" : "false";
    }

private:
    void comma() {
        if (m_afterKey) {
            m_afterKey = false;
            return;
        }
        if (!m_first) {
            text += ',';
        }
        m_first = false;
        flushNewline();
    }
    void flushNewline() {
        if (m_newline) {
            text += '\n';
            m_newline = false;
        }
    }
    bool m_newline = false;
    bool m_first = true;
    bool m_afterKey = false;
};

void writeFont(JsonOut& o, const Font& f) {
    o.open('{');
    o.key("name");
    o.string(f.name);
    o.key("size");
    o.number(f.size);
    if (f.bold) {
        o.key("bold");
        o.boolean(true);
    }
    if (f.italic) {
        o.key("italic");
        o.boolean(true);
    }
    if (f.underline) {
        o.key("underline");
        o.boolean(true);
    }
    if (f.strikeout) {
        o.key("strikeout");
        o.boolean(true);
    }
    o.close('}');
}

}  // namespace

bool readDiagramJson(std::string_view json, Diagram& diagram, std::string& error) {
    Diagram fresh;
    try {
        readDocument(json, fresh);
    } catch (const FormatError& e) {
        error = e.message;
        Diagram empty;
        diagram.takeContentFrom(empty);
        return false;
    } catch (const std::bad_alloc&) {
        error = "not enough memory to read the diagram";
        Diagram empty;
        diagram.takeContentFrom(empty);
        return false;
    }
    diagram.takeContentFrom(fresh);
    return true;
}

std::string writeDiagramJson(const Diagram& d) {
    JsonOut o;
    o.text.reserve(256 + d.nodeCount() * 400 + d.Links().size() * 80);
    o.open('{');
    o.key("format");
    o.string(FSM_FORMAT_NAME);
    o.key("version");
    o.number(std::int64_t{FSM_FORMAT_VERSION});
    o.newline();
    o.key("diagram");
    o.open('{');
    o.key("fillColor");
    o.number(std::int64_t{d.FillColor()});
    o.key("foreColor");
    o.number(std::int64_t{d.ForeColor()});
    o.key("font");
    writeFont(o, d.DiagramFont());
    o.key("gridVisible");
    o.boolean(d.GridVisible());
    o.key("snapToGrid");
    o.boolean(d.SnapToGrid());
    o.key("gridSizeX");
    o.number(std::int64_t{d.GridSizeX()});
    o.key("gridSizeY");
    o.number(std::int64_t{d.GridSizeY()});
    o.key("zoom");
    o.number(std::int64_t{d.ZoomX()});
    o.close('}');
    o.newline();

    std::unordered_map<const Node*, std::int64_t> ids;
    ids.reserve(d.nodeCount());
    o.key("nodes");
    o.open('[');
    std::int64_t nextId = 1;
    for (const auto& np : d.NodeList()) {
        const Node& n = *np;
        const std::int64_t id = nextId++;
        ids.emplace(&n, id);
        o.newline();
        o.open('{');
        o.key("id");
        o.number(id);
        o.key("kind");
        o.number(std::int64_t{n.NodeKind()});
        if (!n.NodeData().empty()) {
            o.key("data");
            o.string(n.NodeData());
        }
        if (!n.NodeText().empty()) {
            o.key("text");
            o.string(n.NodeText());
        }
        if (!n.NodeTip().empty()) {
            o.key("tip");
            o.string(n.NodeTip());
        }
        o.key("left");
        o.number(n.NodeLeft());
        o.key("top");
        o.number(n.NodeTop());
        o.key("width");
        o.number(n.NodeWidth());
        o.key("height");
        o.number(n.NodeHeight());
        if (n.NodeFillColor() != d.FillColor()) {
            o.key("fillColor");
            o.number(std::int64_t{n.NodeFillColor()});
        }
        if (n.NodeForeColor() != d.ForeColor()) {
            o.key("foreColor");
            o.number(std::int64_t{n.NodeForeColor()});
        }
        if (n.NodeLineColor() != 0) {
            o.key("lineColor");
            o.number(std::int64_t{n.NodeLineColor()});
        }
        if (n.NodeLineWidth() != 1) {
            o.key("lineWidth");
            o.number(std::int64_t{n.NodeLineWidth()});
        }
        if (n.NodeShapeStyle() != 0) {
            o.key("shapeStyle");
            o.number(std::int64_t{n.NodeShapeStyle()});
        }
        if (n.NodeDrawStyle() != 0) {
            o.key("drawStyle");
            o.number(std::int64_t{n.NodeDrawStyle()});
        }
        if (!n.NodeConnectable()) {
            o.key("connectable");
            o.boolean(false);
        }
        if (!(n.NodeFont() == d.DiagramFont())) {
            o.key("font");
            writeFont(o, n.NodeFont());
        }
        o.close('}');
    }
    o.newline();
    o.close(']');
    o.newline();

    o.key("links");
    o.open('[');
    for (const auto& lp : d.Links()) {
        const Link& l = *lp;
        o.newline();
        o.open('{');
        o.key("origin");
        o.number(ids.at(l.LinkOrigin()));
        o.key("target");
        o.number(ids.at(l.LinkTarget()));
        o.key("points");
        o.open('[');
        for (const PointF& p : l.LinkPoints()) {
            o.open('[');
            o.number(p.x);
            o.number(p.y);
            o.close(']');
        }
        o.close(']');
        if (l.LinkColor() != 0) {
            o.key("color");
            o.number(std::int64_t{l.LinkColor()});
        }
        if (l.LinkLineStyle() != 0) {
            o.key("lineStyle");
            o.number(std::int64_t{l.LinkLineStyle()});
        }
        if (l.LinkArrowStyle() != 3) {
            o.key("arrowStyle");
            o.number(std::int64_t{l.LinkArrowStyle()});
        }
        o.close('}');
    }
    o.newline();
    o.close(']');
    o.newline();
    o.close('}');
    o.raw("\n");
    return std::move(o.text);
}

}  // namespace tarvel
