#include "model/fsmfile.h"

#include <simdjson.h>

#include "base/cp1252.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace tarvel {

namespace {

using simdjson::dom::array;
using simdjson::dom::element;
using simdjson::dom::element_type;
using simdjson::dom::object;

// The member names the reader knows; members of other names are ignored.
enum class Key {
    Unknown,
    format,
    version,
    diagram,
    nodes,
    links,
    id,
    kind,
    data,
    text,
    tip,
    left,
    top,
    width,
    height,
    fillColor,
    foreColor,
    lineColor,
    lineWidth,
    shapeStyle,
    drawStyle,
    connectable,
    font,
    origin,
    target,
    points,
    color,
    lineStyle,
    arrowStyle,
    name,
    size,
    bold,
    italic,
    underline,
    strikeout,
    gridVisible,
    snapToGrid,
    gridSizeX,
    gridSizeY,
    zoom,
};

constexpr std::string_view KEY_NAMES[] = {
    "",
    "format",
    "version",
    "diagram",
    "nodes",
    "links",
    "id",
    "kind",
    "data",
    "text",
    "tip",
    "left",
    "top",
    "width",
    "height",
    "fillColor",
    "foreColor",
    "lineColor",
    "lineWidth",
    "shapeStyle",
    "drawStyle",
    "connectable",
    "font",
    "origin",
    "target",
    "points",
    "color",
    "lineStyle",
    "arrowStyle",
    "name",
    "size",
    "bold",
    "italic",
    "underline",
    "strikeout",
    "gridVisible",
    "snapToGrid",
    "gridSizeX",
    "gridSizeY",
    "zoom",
};

// Every member is looked at once: its name is turned into a Key and the
// member is dispatched on that, rather than each wanted member searched for.
Key keyOf(std::string_view name) {
    // Grouped by length, so a name is compared with a few candidates only.
    switch (name.size()) {
        case 2:
            if (name == "id") return Key::id;
            break;
        case 3:
            if (name == "tip") return Key::tip;
            if (name == "top") return Key::top;
            break;
        case 4:
            if (name == "kind") return Key::kind;
            if (name == "data") return Key::data;
            if (name == "text") return Key::text;
            if (name == "left") return Key::left;
            if (name == "font") return Key::font;
            if (name == "name") return Key::name;
            if (name == "size") return Key::size;
            if (name == "bold") return Key::bold;
            if (name == "zoom") return Key::zoom;
            break;
        case 5:
            if (name == "nodes") return Key::nodes;
            if (name == "links") return Key::links;
            if (name == "width") return Key::width;
            if (name == "color") return Key::color;
            break;
        case 6:
            if (name == "format") return Key::format;
            if (name == "height") return Key::height;
            if (name == "origin") return Key::origin;
            if (name == "target") return Key::target;
            if (name == "points") return Key::points;
            if (name == "italic") return Key::italic;
            break;
        case 7:
            if (name == "version") return Key::version;
            if (name == "diagram") return Key::diagram;
            break;
        case 9:
            if (name == "fillColor") return Key::fillColor;
            if (name == "foreColor") return Key::foreColor;
            if (name == "lineColor") return Key::lineColor;
            if (name == "lineWidth") return Key::lineWidth;
            if (name == "drawStyle") return Key::drawStyle;
            if (name == "lineStyle") return Key::lineStyle;
            if (name == "underline") return Key::underline;
            if (name == "strikeout") return Key::strikeout;
            if (name == "gridSizeX") return Key::gridSizeX;
            if (name == "gridSizeY") return Key::gridSizeY;
            break;
        case 10:
            if (name == "shapeStyle") return Key::shapeStyle;
            if (name == "arrowStyle") return Key::arrowStyle;
            if (name == "snapToGrid") return Key::snapToGrid;
            break;
        case 11:
            if (name == "connectable") return Key::connectable;
            if (name == "gridVisible") return Key::gridVisible;
            break;
        default:
            break;
    }
    return Key::Unknown;
}

// A failure while reading; the message says where and what.
struct FormatError {
    std::string message;
};

[[noreturn]] void fail(std::string message) { throw FormatError{std::move(message)}; }

// Where a value was read: built into text only when something fails.
struct Context {
    const char* what;  // "node", "link", "diagram", ...
    std::size_t number = 0;  // 1-based position in its list, 0 for none
    const char* suffix = "";
    std::string text() const {
        std::string t = what;
        if (number > 0) {
            t += " " + std::to_string(number);
        }
        return t + suffix;
    }
};

std::string where(const Context& context, Key key) {
    return context.text() + ": \"" + std::string(KEY_NAMES[static_cast<std::size_t>(key)]) + "\"";
}

float readFloat(element v, const Context& ctx, Key key) {
    double d = 0;
    switch (v.type()) {
        case element_type::INT64: d = static_cast<double>(std::int64_t(v)); break;
        case element_type::UINT64: d = static_cast<double>(std::uint64_t(v)); break;
        case element_type::DOUBLE: d = double(v); break;
        default: fail(where(ctx, key) + " is not a number");
    }
    if (!std::isfinite(d) || std::fabs(d) > std::numeric_limits<float>::max()) {
        fail(where(ctx, key) + " is out of range");
    }
    return static_cast<float>(d);
}

std::int64_t readInteger(element v, const Context& ctx, Key key, std::int64_t low,
                         std::int64_t high) {
    std::int64_t i = 0;
    switch (v.type()) {
        case element_type::INT64: i = std::int64_t(v); break;
        case element_type::UINT64: fail(where(ctx, key) + " is out of range");
        default: fail(where(ctx, key) + " is not an integer");
    }
    if (i < low || i > high) {
        fail(where(ctx, key) + " is out of range");
    }
    return i;
}

int readInt(element v, const Context& ctx, Key key) {
    return static_cast<int>(readInteger(v, ctx, key, INT32_MIN, INT32_MAX));
}

Color readColor(element v, const Context& ctx, Key key) {
    return static_cast<Color>(readInteger(v, ctx, key, 0, UINT32_MAX)) & 0xFFFFFFu;
}

bool readBool(element v, const Context& ctx, Key key) {
    if (!v.is_bool()) {
        fail(where(ctx, key) + " is not true or false");
    }
    return bool(v);
}

std::string_view readString(element v, const Context& ctx, Key key) {
    if (!v.is_string()) {
        fail(where(ctx, key) + " is not a text");
    }
    return std::string_view(v);
}

object readObject(element v, const Context& ctx, Key key) {
    if (!v.is_object()) {
        fail(where(ctx, key) + " is not an object");
    }
    return object(v);
}

array readArray(element v, const std::string& what) {
    if (!v.is_array()) {
        fail(what + " is not a list");
    }
    return array(v);
}

Font readFont(element v, const Context& ctx) {
    Font f;  // missing members are "Courier New", 8 and false
    const Context fctx{ctx.what, ctx.number, " font"};
    for (auto [name, value] : readObject(v, ctx, Key::font)) {
        switch (keyOf(name)) {
            case Key::name: f.name = readString(value, fctx, Key::name); break;
            case Key::size: f.size = readFloat(value, fctx, Key::size); break;
            case Key::bold: f.bold = readBool(value, fctx, Key::bold); break;
            case Key::italic: f.italic = readBool(value, fctx, Key::italic); break;
            case Key::underline: f.underline = readBool(value, fctx, Key::underline); break;
            case Key::strikeout: f.strikeout = readBool(value, fctx, Key::strikeout); break;
            default: break;
        }
    }
    return f;
}

}  // namespace

// Builds the diagram straight into its members: a file is read into a fresh
// diagram nobody observes yet, so the setters' notifications are not needed.
class DiagramReader {
public:
    static void read(const element& root, Diagram& out);

private:
    static void settings(element v, Diagram& out);
    static void node(element v, std::size_t index, Diagram& out,
                     std::unordered_map<std::int64_t, Node*>& byId);
    static void link(element v, std::size_t index, Diagram& out,
                     const std::unordered_map<std::int64_t, Node*>& byId);
};

void DiagramReader::settings(element v, Diagram& out) {
    const Context ctx{"diagram"};
    for (auto [name, value] : readObject(v, Context{"document"}, Key::diagram)) {
        const Key key = keyOf(name);
        switch (key) {
            case Key::fillColor: out.m_fillColor = readColor(value, ctx, key); break;
            case Key::foreColor: out.m_foreColor = readColor(value, ctx, key); break;
            case Key::font: out.m_font = readFont(value, ctx); break;
            case Key::gridVisible: out.m_gridVisible = readBool(value, ctx, key); break;
            case Key::snapToGrid: out.m_snapToGrid = readBool(value, ctx, key); break;
            case Key::gridSizeX: out.m_gridSizeX = readInt(value, ctx, key); break;
            case Key::gridSizeY: out.m_gridSizeY = readInt(value, ctx, key); break;
            case Key::zoom: out.m_zoomX = out.m_zoomY = readInt(value, ctx, key); break;
            default: break;
        }
    }
}

void DiagramReader::node(element v, std::size_t index, Diagram& out,
                         std::unordered_map<std::int64_t, Node*>& byId) {
    const Context ctx{"node", index + 1};
    if (!v.is_object()) {
        fail(ctx.text() + " is not an object");
    }
    auto owned = std::unique_ptr<Node>(new Node(out));
    Node* n = owned.get();
    n->m_fillColor = out.m_fillColor;
    n->m_foreColor = out.m_foreColor;
    n->m_font = out.m_font;
    bool hasId = false;
    std::int64_t id = 0;
    for (auto [name, value] : object(v)) {
        const Key key = keyOf(name);
        switch (key) {
            case Key::id:
                id = readInteger(value, ctx, key, INT64_MIN, INT64_MAX);
                hasId = true;
                break;
            case Key::kind:
                n->m_kind = static_cast<std::uint32_t>(readInteger(value, ctx, key, INT32_MIN, UINT32_MAX));
                break;
            case Key::data: n->m_data = readString(value, ctx, key); break;
            case Key::text: n->m_text = readString(value, ctx, key); break;
            case Key::tip: n->m_tip = readString(value, ctx, key); break;
            case Key::left: n->m_rect.left = readFloat(value, ctx, key); break;
            case Key::top: n->m_rect.top = readFloat(value, ctx, key); break;
            case Key::width: n->m_rect.width = readFloat(value, ctx, key); break;
            case Key::height: n->m_rect.height = readFloat(value, ctx, key); break;
            case Key::fillColor: n->m_fillColor = readColor(value, ctx, key); break;
            case Key::foreColor: n->m_foreColor = readColor(value, ctx, key); break;
            case Key::lineColor: n->m_lineColor = readColor(value, ctx, key); break;
            case Key::lineWidth: n->m_lineWidth = readInt(value, ctx, key); break;
            case Key::shapeStyle: n->m_shapeStyle = readInt(value, ctx, key); break;
            case Key::drawStyle: n->m_drawStyle = readInt(value, ctx, key); break;
            case Key::connectable: n->m_connectable = readBool(value, ctx, key); break;
            case Key::font: n->m_font = readFont(value, ctx); break;
            default: break;
        }
    }
    if (!hasId) {
        fail(ctx.text() + " has no \"id\"");
    }
    if (!byId.emplace(id, n).second) {
        fail(ctx.text() + ": the id " + std::to_string(id) + " is used twice");
    }
    out.m_nodes.push_back(std::move(owned));
}

void DiagramReader::link(element v, std::size_t index, Diagram& out,
                         const std::unordered_map<std::int64_t, Node*>& byId) {
    const Context ctx{"link", index + 1};
    if (!v.is_object()) {
        fail(ctx.text() + " is not an object");
    }
    Node* ends[2] = {nullptr, nullptr};
    std::vector<PointF> points;
    points.reserve(2);
    Color color = 0;
    int lineStyle = 0;
    int arrowStyle = 3;
    for (auto [name, value] : object(v)) {
        const Key key = keyOf(name);
        switch (key) {
            case Key::origin:
            case Key::target: {
                const auto it = byId.find(readInteger(value, ctx, key, INT64_MIN, INT64_MAX));
                if (it == byId.end()) {
                    fail(where(ctx, key) + " is not a node of the file");
                }
                ends[key == Key::origin ? 0 : 1] = it->second;
                break;
            }
            case Key::points:
                points.clear();
                if (!value.is_array()) {
                    fail(where(ctx, key) + " is not a list");
                }
                for (element p : array(value)) {
                    const auto notPairs = [&] {
                        fail(where(ctx, key) + " holds something other than [x, y] pairs");
                    };
                    if (!p.is_array()) {
                        notPairs();
                    }
                    const array pair(p);
                    auto it = pair.begin();
                    if (it == pair.end()) notPairs();
                    const float x = readFloat(*it, ctx, key);
                    if (++it == pair.end()) notPairs();
                    const float y = readFloat(*it, ctx, key);
                    if (++it != pair.end()) notPairs();
                    points.push_back({x, y});
                }
                break;
            case Key::color: color = readColor(value, ctx, key); break;
            case Key::lineStyle: lineStyle = readInt(value, ctx, key); break;
            case Key::arrowStyle: arrowStyle = readInt(value, ctx, key); break;
            default: break;
        }
    }
    if (ends[0] == nullptr || ends[1] == nullptr) {
        fail(ctx.text() + " has no \"" + (ends[0] == nullptr ? "origin" : "target") + "\"");
    }
    if (points.size() < 2) {
        points = {ends[0]->centre(), ends[1]->centre()};
    }
    auto owned = std::unique_ptr<Link>(new Link(out, ends[0], ends[1], std::move(points)));
    Link* l = owned.get();
    l->m_color = color;
    l->m_lineStyle = lineStyle;
    l->m_arrowStyle = arrowStyle;
    ends[0]->m_outLinks.push_back(l);
    ends[1]->m_inLinks.push_back(l);
    out.m_links.push_back(std::move(owned));
}

void DiagramReader::read(const element& root, Diagram& out) {
    if (!root.is_object()) {
        fail("not a diagram file: the document is not an object");
    }
    // The settings come first, whatever the order of the members: they give
    // the nodes their default colours and font.
    std::optional<element> format, version, settingsValue, nodes, links;
    for (auto [name, value] : object(root)) {
        switch (keyOf(name)) {
            case Key::format: format = value; break;
            case Key::version: version = value; break;
            case Key::diagram: settingsValue = value; break;
            case Key::nodes: nodes = value; break;
            case Key::links: links = value; break;
            default: break;
        }
    }
    if (!format || !format->is_string() || std::string_view(*format) != FSM_FORMAT_NAME) {
        fail("not a diagram file: \"format\" is not \"tarvel-fsm\"");
    }
    if (!version || !version->is_int64()) {
        fail("not a diagram file: \"version\" is missing or not an integer");
    }
    if (std::int64_t(*version) > FSM_FORMAT_VERSION) {
        fail("not a diagram file of this version: version " + std::to_string(std::int64_t(*version)) +
             " is newer than " + std::to_string(FSM_FORMAT_VERSION));
    }
    if (settingsValue) {
        settings(*settingsValue, out);
    }
    std::unordered_map<std::int64_t, Node*> byId;
    if (nodes) {
        const array list = readArray(*nodes, "\"nodes\"");
        byId.reserve(list.size());
        out.m_nodes.reserve(list.size());
        std::size_t i = 0;
        for (element v : list) {
            node(v, i++, out, byId);
        }
    }
    if (links) {
        const array list = readArray(*links, "\"links\"");
        out.m_links.reserve(list.size());
        std::size_t i = 0;
        for (element v : list) {
            link(v, i++, out, byId);
        }
    }
}

namespace {

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
        // A file must be valid UTF-8 to be read again: stray bytes, which no
        // editor produces, are written as replacement characters.
        std::string repaired;
        if (!simdjson::validate_utf8(s.data(), s.size())) {
            for (std::size_t pos = 0; pos < s.size();) {
                const Utf8Char c = decodeUtf8At(s, pos);
                appendUtf8(repaired, c.codePoint);
                pos += c.length;
            }
            s = repaired;
        }
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
    std::string copy(json);
    return readDiagramJsonInPlace(copy, diagram, error);
}

bool readDiagramJsonInPlace(std::string& json, Diagram& diagram, std::string& error) {
    Diagram fresh;
    try {
        // The parser reads a few bytes past the end of the text.
        const std::size_t length = json.size();
        json.resize(length + simdjson::SIMDJSON_PADDING);
        simdjson::dom::parser parser;
        element root;
        const auto code = parser.parse(json.data(), length, false).get(root);
        if (code != simdjson::SUCCESS) {
            fail(std::string("not JSON (") + simdjson::error_message(code) + ")");
        }
        DiagramReader::read(root, fresh);
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
        // A straight link between the two centres is what a reader assumes
        // when the points are left out.
        const std::vector<PointF>& points = l.LinkPoints();
        const bool straight = points.size() == 2 && points.front() == l.LinkOrigin()->centre() &&
                              points.back() == l.LinkTarget()->centre();
        if (!straight) {
            o.key("points");
            o.open('[');
            for (const PointF& p : points) {
                o.open('[');
                o.number(p.x);
                o.number(p.y);
                o.close(']');
            }
            o.close(']');
        }
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
