#include "model/fsmfile.h"

#include <simdjson.h>

#include "base/cp1252.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace tarvel {

static_assert(DIAGRAM_READ_PADDING >= simdjson::SIMDJSON_PADDING);

namespace {

using simdjson::dom::array;
using simdjson::dom::element;
using simdjson::dom::element_type;
using simdjson::dom::object;

// ---------------------------------------------------------------- errors

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

// One member's value being read: the object it belongs to and its name.
struct Where {
    const Context& context;
    std::string_view name;
    std::string text() const { return context.text() + ": \"" + std::string(name) + "\""; }
};

// ---------------------------------------------------------------- values

float readFloat(element v, const Where& w) {
    double d = 0;
    switch (v.type()) {
        case element_type::INT64: d = static_cast<double>(std::int64_t(v)); break;
        case element_type::UINT64: d = static_cast<double>(std::uint64_t(v)); break;
        case element_type::DOUBLE: d = double(v); break;
        default: fail(w.text() + " is not a number");
    }
    if (!std::isfinite(d) || std::fabs(d) > std::numeric_limits<float>::max()) {
        fail(w.text() + " is out of range");
    }
    return static_cast<float>(d);
}

std::int64_t readInteger(element v, const Where& w, std::int64_t low, std::int64_t high) {
    std::int64_t i = 0;
    switch (v.type()) {
        case element_type::INT64: i = std::int64_t(v); break;
        case element_type::UINT64: fail(w.text() + " is out of range");
        default: fail(w.text() + " is not an integer");
    }
    if (i < low || i > high) {
        fail(w.text() + " is out of range");
    }
    return i;
}

int readInt(element v, const Where& w) {
    return static_cast<int>(readInteger(v, w, INT32_MIN, INT32_MAX));
}

std::int64_t readId(element v, const Where& w) { return readInteger(v, w, INT64_MIN, INT64_MAX); }

Color readColor(element v, const Where& w) {
    return static_cast<Color>(readInteger(v, w, 0, UINT32_MAX)) & 0xFFFFFFu;
}

bool readBool(element v, const Where& w) {
    if (!v.is_bool()) {
        fail(w.text() + " is not true or false");
    }
    return bool(v);
}

std::string_view readString(element v, const Where& w) {
    if (!v.is_string()) {
        fail(w.text() + " is not a text");
    }
    return std::string_view(v);
}

object readObject(element v, const Where& w) {
    if (!v.is_object()) {
        fail(w.text() + " is not an object");
    }
    return object(v);
}

array readArray(element v, const std::string& what) {
    if (!v.is_array()) {
        fail(what + " is not a list");
    }
    return array(v);
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

// ---------------------------------------------------------------- member tables

// One member of an object kind of the file: its name, how its value is read
// into the object being built, and how it is written. A writer leaves out a
// member that holds what a reader assumes when the member is missing, which
// is the value of a freshly made object of the model (or the diagram's own
// colours and font for a node's looks).
template <typename Reading, typename Writing>
struct Member {
    std::string_view name;
    void (*read)(Reading&, element, const Where&);
    void (*write)(JsonOut&, std::string_view name, const Writing&);
};

// The members of one object kind, in the order a writer puts them, with a
// lookup by name that costs one hash and one comparison. Names the table
// does not hold are members a reader ignores.
template <typename Reading, typename Writing, std::size_t N>
class MemberTable {
public:
    using Entry = Member<Reading, Writing>;

    explicit consteval MemberTable(const Entry (&members)[N]) {
        for (std::size_t i = 0; i < N; ++i) {
            m_members[i] = members[i];
        }
        // The first seed that gives every name a slot of its own.
        for (m_seed = 1; !placeAll(); ++m_seed) {
        }
    }

    const std::array<Entry, N>& members() const { return m_members; }

    const Entry* find(std::string_view name) const {
        const std::uint8_t slot = m_slots[hash(name, m_seed) % SLOTS];
        if (slot == 0) {
            return nullptr;
        }
        const Entry& e = m_members[slot - 1];
        return e.name == name ? &e : nullptr;
    }

    // Reads every member of `o` that the table knows, in the file's order.
    void readAll(object o, Reading& target, const Context& context) const {
        for (auto [name, value] : o) {
            if (const Entry* m = find(name)) {
                m->read(target, value, Where{context, m->name});
            }
        }
    }

    void writeAll(JsonOut& out, const Writing& source) const {
        for (const Entry& m : m_members) {
            m.write(out, m.name, source);
        }
    }

private:
    static constexpr std::size_t SLOTS = 4 * N;

    static constexpr std::uint32_t hash(std::string_view s, std::uint32_t seed) {
        std::uint32_t h = seed * 0x9E3779B1u ^ static_cast<std::uint32_t>(s.size());
        if (!s.empty()) {
            for (const std::size_t i : {std::size_t{0}, std::size_t{1} % s.size(), s.size() / 2, s.size() - 1}) {
                h = (h ^ static_cast<unsigned char>(s[i])) * 0x01000193u;
            }
        }
        return h ^ (h >> 15);
    }

    constexpr bool placeAll() {
        m_slots = {};
        for (std::size_t i = 0; i < N; ++i) {
            std::uint8_t& slot = m_slots[hash(m_members[i].name, m_seed) % SLOTS];
            if (slot != 0) {
                return false;
            }
            slot = static_cast<std::uint8_t>(i + 1);
        }
        return true;
    }

    std::array<Entry, N> m_members{};
    std::array<std::uint8_t, SLOTS> m_slots{};
    std::uint32_t m_seed = 1;
};

template <typename Reading, typename Writing, std::size_t N>
consteval auto memberTable(const Member<Reading, Writing> (&members)[N]) {
    return MemberTable<Reading, Writing, N>(members);
}

// Writers of the usual member shapes.
void writeNumber(JsonOut& o, std::string_view name, std::int64_t value) {
    o.key(name);
    o.number(value);
}

void writeNumberUnless(JsonOut& o, std::string_view name, std::int64_t value,
                       std::int64_t assumed) {
    if (value != assumed) {
        writeNumber(o, name, value);
    }
}

void writeTextUnlessEmpty(JsonOut& o, std::string_view name, std::string_view value) {
    if (!value.empty()) {
        o.key(name);
        o.string(value);
    }
}

void writeFloat(JsonOut& o, std::string_view name, float value) {
    o.key(name);
    o.number(value);
}

void writeFlag(JsonOut& o, std::string_view name, bool value) {
    o.key(name);
    o.boolean(value);
}

void writeFlagWhenSet(JsonOut& o, std::string_view name, bool value) {
    if (value) {
        writeFlag(o, name, true);
    }
}

// --- font: { "name", "size", "bold", "italic", "underline", "strikeout" }

constexpr Member<Font, Font> FONT_MEMBERS[] = {
    {"name", [](Font& f, element v, const Where& w) { f.name = readString(v, w); },
     [](JsonOut& o, std::string_view n, const Font& f) {
         o.key(n);
         o.string(f.name);
     }},
    {"size", [](Font& f, element v, const Where& w) { f.size = readFloat(v, w); },
     [](JsonOut& o, std::string_view n, const Font& f) { writeFloat(o, n, f.size); }},
    {"bold", [](Font& f, element v, const Where& w) { f.bold = readBool(v, w); },
     [](JsonOut& o, std::string_view n, const Font& f) { writeFlagWhenSet(o, n, f.bold); }},
    {"italic", [](Font& f, element v, const Where& w) { f.italic = readBool(v, w); },
     [](JsonOut& o, std::string_view n, const Font& f) { writeFlagWhenSet(o, n, f.italic); }},
    {"underline", [](Font& f, element v, const Where& w) { f.underline = readBool(v, w); },
     [](JsonOut& o, std::string_view n, const Font& f) { writeFlagWhenSet(o, n, f.underline); }},
    {"strikeout", [](Font& f, element v, const Where& w) { f.strikeout = readBool(v, w); },
     [](JsonOut& o, std::string_view n, const Font& f) { writeFlagWhenSet(o, n, f.strikeout); }},
};
constexpr auto FONT = memberTable(FONT_MEMBERS);

// A font value: its members are read over the defaults of `Font`.
Font readFont(element v, const Where& w) {
    Font f;
    const Context fontContext{w.context.what, w.context.number, " font"};
    FONT.readAll(readObject(v, w), f, fontContext);
    return f;
}

void writeFont(JsonOut& o, const Font& f) {
    o.open('{');
    FONT.writeAll(o, f);
    o.close('}');
}

void writeFontMember(JsonOut& o, std::string_view name, const Font& f) {
    o.key(name);
    writeFont(o, f);
}

// The nodes of a file by their ids. Files written by this program number
// their nodes 1, 2, 3, ..., which a plain table serves; any other id goes
// to a map.
class Ids {
public:
    explicit Ids(std::size_t nodes) : m_dense(nodes + 1, nullptr) {}

    // False when the id is taken already.
    bool add(std::int64_t id, Node* node) {
        if (id > 0 && static_cast<std::uint64_t>(id) < m_dense.size()) {
            Node*& slot = m_dense[static_cast<std::size_t>(id)];
            if (slot != nullptr) {
                return false;
            }
            slot = node;
            return true;
        }
        return m_sparse.emplace(id, node).second;
    }

    Node* find(std::int64_t id) const {
        if (id > 0 && static_cast<std::uint64_t>(id) < m_dense.size()) {
            return m_dense[static_cast<std::size_t>(id)];
        }
        const auto it = m_sparse.find(id);
        return it == m_sparse.end() ? nullptr : it->second;
    }

private:
    std::vector<Node*> m_dense;
    std::unordered_map<std::int64_t, Node*> m_sparse;
};

}  // namespace

// Builds the diagram straight into its members: a file is read into a fresh
// diagram nobody observes yet, so the setters' notifications are not needed.
class DiagramReader {
public:
    static void read(const element& root, Diagram& out);
    static void write(JsonOut& o, const Diagram& d);

private:
    // A node being read, with the id the file gives it.
    struct NodeReading {
        Node* node;
        std::int64_t id = 0;
        bool hasId = false;
    };
    // A node being written, with the id it gets in the file.
    struct NodeWriting {
        const Node& node;
        const Diagram& diagram;
        std::int64_t id;
    };
    // A link being read: it is made once both ends are known.
    struct LinkReading {
        Ids* ids;
        Node* ends[2] = {nullptr, nullptr};
        std::vector<PointF> points;
        Color color;
        int lineStyle;
        int arrowStyle;
    };
    struct LinkWriting {
        const Link& link;
        std::int64_t origin;
        std::int64_t target;
    };
    // The members of the document itself, taken before any is used.
    struct DocumentReading {
        std::optional<element> format, version, settings, nodes, links;
    };

    static const Node& freshNode();
    static const Link& freshLink();
    static void readPoints(LinkReading& l, element v, const Where& w);
    static void readNode(element v, std::size_t index, Diagram& out, Ids& ids);
    static void readLink(element v, std::size_t index, Diagram& out, Ids& ids);

    static const MemberTable<Diagram, Diagram, 8> SETTINGS;
    static const MemberTable<NodeReading, NodeWriting, 17> NODE;
    static const MemberTable<LinkReading, LinkWriting, 6> LINK;
    static const MemberTable<DocumentReading, Diagram, 5> DOCUMENT;
};


const Node& DiagramReader::freshNode() {
    static Diagram owner;
    static const Node node(owner);
    return node;
}

const Link& DiagramReader::freshLink() {
    static Diagram owner;
    static Node end(owner);
    static const Link link(owner, &end, &end, {});
    return link;
}

// --- diagram settings: every member is always written.

const MemberTable<Diagram, Diagram, 8> DiagramReader::SETTINGS = memberTable<Diagram, Diagram>({
    {"fillColor", [](Diagram& d, element v, const Where& w) { d.m_fillColor = readColor(v, w); },
     [](JsonOut& o, std::string_view n, const Diagram& d) { writeNumber(o, n, d.FillColor()); }},
    {"foreColor", [](Diagram& d, element v, const Where& w) { d.m_foreColor = readColor(v, w); },
     [](JsonOut& o, std::string_view n, const Diagram& d) { writeNumber(o, n, d.ForeColor()); }},
    {"font", [](Diagram& d, element v, const Where& w) { d.m_font = readFont(v, w); },
     [](JsonOut& o, std::string_view n, const Diagram& d) { writeFontMember(o, n, d.DiagramFont()); }},
    {"gridVisible", [](Diagram& d, element v, const Where& w) { d.m_gridVisible = readBool(v, w); },
     [](JsonOut& o, std::string_view n, const Diagram& d) { writeFlag(o, n, d.GridVisible()); }},
    {"snapToGrid", [](Diagram& d, element v, const Where& w) { d.m_snapToGrid = readBool(v, w); },
     [](JsonOut& o, std::string_view n, const Diagram& d) { writeFlag(o, n, d.SnapToGrid()); }},
    {"gridSizeX", [](Diagram& d, element v, const Where& w) { d.m_gridSizeX = readInt(v, w); },
     [](JsonOut& o, std::string_view n, const Diagram& d) { writeNumber(o, n, d.GridSizeX()); }},
    {"gridSizeY", [](Diagram& d, element v, const Where& w) { d.m_gridSizeY = readInt(v, w); },
     [](JsonOut& o, std::string_view n, const Diagram& d) { writeNumber(o, n, d.GridSizeY()); }},
    // One zoom serves both directions.
    {"zoom", [](Diagram& d, element v, const Where& w) { d.m_zoomX = d.m_zoomY = readInt(v, w); },
     [](JsonOut& o, std::string_view n, const Diagram& d) { writeNumber(o, n, d.ZoomX()); }},
});

// --- node: looks not written are the diagram's colours and font, the rest
// those of a fresh node.

const MemberTable<DiagramReader::NodeReading, DiagramReader::NodeWriting, 17> DiagramReader::NODE = memberTable<NodeReading, NodeWriting>({
    {"id",
     [](auto& r, element v, const Where& w) {
         r.id = readId(v, w);
         r.hasId = true;
     },
     [](JsonOut& o, std::string_view n, const auto& x) { writeNumber(o, n, x.id); }},
    {"kind",
     [](auto& r, element v, const Where& w) {
         r.node->m_kind = static_cast<std::uint32_t>(readInteger(v, w, INT32_MIN, UINT32_MAX));
     },
     [](JsonOut& o, std::string_view n, const auto& x) { writeNumber(o, n, x.node.NodeKind()); }},
    {"data", [](auto& r, element v, const Where& w) { r.node->m_data = readString(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) { writeTextUnlessEmpty(o, n, x.node.NodeData()); }},
    {"text", [](auto& r, element v, const Where& w) { r.node->m_text = readString(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) { writeTextUnlessEmpty(o, n, x.node.NodeText()); }},
    {"tip", [](auto& r, element v, const Where& w) { r.node->m_tip = readString(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) { writeTextUnlessEmpty(o, n, x.node.NodeTip()); }},
    {"left", [](auto& r, element v, const Where& w) { r.node->m_rect.left = readFloat(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) { writeFloat(o, n, x.node.NodeLeft()); }},
    {"top", [](auto& r, element v, const Where& w) { r.node->m_rect.top = readFloat(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) { writeFloat(o, n, x.node.NodeTop()); }},
    {"width", [](auto& r, element v, const Where& w) { r.node->m_rect.width = readFloat(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) { writeFloat(o, n, x.node.NodeWidth()); }},
    {"height", [](auto& r, element v, const Where& w) { r.node->m_rect.height = readFloat(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) { writeFloat(o, n, x.node.NodeHeight()); }},
    {"fillColor", [](auto& r, element v, const Where& w) { r.node->m_fillColor = readColor(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) {
         writeNumberUnless(o, n, x.node.NodeFillColor(), x.diagram.FillColor());
     }},
    {"foreColor", [](auto& r, element v, const Where& w) { r.node->m_foreColor = readColor(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) {
         writeNumberUnless(o, n, x.node.NodeForeColor(), x.diagram.ForeColor());
     }},
    {"lineColor", [](auto& r, element v, const Where& w) { r.node->m_lineColor = readColor(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) {
         writeNumberUnless(o, n, x.node.NodeLineColor(), freshNode().NodeLineColor());
     }},
    {"lineWidth", [](auto& r, element v, const Where& w) { r.node->m_lineWidth = readInt(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) {
         writeNumberUnless(o, n, x.node.NodeLineWidth(), freshNode().NodeLineWidth());
     }},
    {"shapeStyle", [](auto& r, element v, const Where& w) { r.node->m_shapeStyle = readInt(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) {
         writeNumberUnless(o, n, x.node.NodeShapeStyle(), freshNode().NodeShapeStyle());
     }},
    {"drawStyle", [](auto& r, element v, const Where& w) { r.node->m_drawStyle = readInt(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) {
         writeNumberUnless(o, n, x.node.NodeDrawStyle(), freshNode().NodeDrawStyle());
     }},
    {"connectable", [](auto& r, element v, const Where& w) { r.node->m_connectable = readBool(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) {
         if (x.node.NodeConnectable() != freshNode().NodeConnectable()) {
             writeFlag(o, n, x.node.NodeConnectable());
         }
     }},
    {"font", [](auto& r, element v, const Where& w) { r.node->m_font = readFont(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) {
         if (!(x.node.NodeFont() == x.diagram.DiagramFont())) {
             writeFontMember(o, n, x.node.NodeFont());
         }
     }},
});

// --- link: "points" left out means straight from centre to centre.

const MemberTable<DiagramReader::LinkReading, DiagramReader::LinkWriting, 6> DiagramReader::LINK = memberTable<LinkReading, LinkWriting>({
    {"origin",
     [](auto& r, element v, const Where& w) {
         r.ends[0] = r.ids->find(readId(v, w));
         if (r.ends[0] == nullptr) {
             fail(w.text() + " is not a node of the file");
         }
     },
     [](JsonOut& o, std::string_view n, const auto& x) { writeNumber(o, n, x.origin); }},
    {"target",
     [](auto& r, element v, const Where& w) {
         r.ends[1] = r.ids->find(readId(v, w));
         if (r.ends[1] == nullptr) {
             fail(w.text() + " is not a node of the file");
         }
     },
     [](JsonOut& o, std::string_view n, const auto& x) { writeNumber(o, n, x.target); }},
    {"points", [](auto& r, element v, const Where& w) { DiagramReader::readPoints(r, v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) {
         const Link& l = x.link;
         const std::vector<PointF>& points = l.LinkPoints();
         const bool straight = points.size() == 2 && points.front() == l.LinkOrigin()->centre() &&
                               points.back() == l.LinkTarget()->centre();
         if (straight) {
             return;
         }
         o.key(n);
         o.open('[');
         for (const PointF& p : points) {
             o.open('[');
             o.number(p.x);
             o.number(p.y);
             o.close(']');
         }
         o.close(']');
     }},
    {"color", [](auto& r, element v, const Where& w) { r.color = readColor(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) {
         writeNumberUnless(o, n, x.link.LinkColor(), freshLink().LinkColor());
     }},
    {"lineStyle", [](auto& r, element v, const Where& w) { r.lineStyle = readInt(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) {
         writeNumberUnless(o, n, x.link.LinkLineStyle(), freshLink().LinkLineStyle());
     }},
    {"arrowStyle", [](auto& r, element v, const Where& w) { r.arrowStyle = readInt(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) {
         writeNumberUnless(o, n, x.link.LinkArrowStyle(), freshLink().LinkArrowStyle());
     }},
});

// --- the document: its members are gathered first, then used in a fixed
// order (the settings give the nodes their default colours and font).

const MemberTable<DiagramReader::DocumentReading, Diagram, 5> DiagramReader::DOCUMENT = memberTable<DocumentReading, Diagram>({
    {"format", [](auto& r, element v, const Where&) { r.format = v; }, nullptr},
    {"version", [](auto& r, element v, const Where&) { r.version = v; }, nullptr},
    {"diagram", [](auto& r, element v, const Where&) { r.settings = v; }, nullptr},
    {"nodes", [](auto& r, element v, const Where&) { r.nodes = v; }, nullptr},
    {"links", [](auto& r, element v, const Where&) { r.links = v; }, nullptr},
});

void DiagramReader::readPoints(LinkReading& l, element v, const Where& w) {
    l.points.clear();
    if (!v.is_array()) {
        fail(w.text() + " is not a list");
    }
    for (element p : array(v)) {
        const auto notPairs = [&] { fail(w.text() + " holds something other than [x, y] pairs"); };
        if (!p.is_array()) {
            notPairs();
        }
        const array pair(p);
        auto it = pair.begin();
        if (it == pair.end()) notPairs();
        const float x = readFloat(*it, w);
        if (++it == pair.end()) notPairs();
        const float y = readFloat(*it, w);
        if (++it != pair.end()) notPairs();
        l.points.push_back({x, y});
    }
}

void DiagramReader::readNode(element v, std::size_t index, Diagram& out, Ids& ids) {
    const Context ctx{"node", index + 1};
    if (!v.is_object()) {
        fail(ctx.text() + " is not an object");
    }
    auto owned = std::unique_ptr<Node>(new Node(out));
    NodeReading r{owned.get()};
    r.node->m_fillColor = out.m_fillColor;
    r.node->m_foreColor = out.m_foreColor;
    r.node->m_font = out.m_font;
    NODE.readAll(object(v), r, ctx);
    if (!r.hasId) {
        fail(ctx.text() + " has no \"id\"");
    }
    if (!ids.add(r.id, r.node)) {
        fail(ctx.text() + ": the id " + std::to_string(r.id) + " is used twice");
    }
    out.m_nodes.push_back(std::move(owned));
}

void DiagramReader::readLink(element v, std::size_t index, Diagram& out, Ids& ids) {
    const Context ctx{"link", index + 1};
    if (!v.is_object()) {
        fail(ctx.text() + " is not an object");
    }
    const Link& fresh = freshLink();
    LinkReading r{&ids, {nullptr, nullptr}, {}, fresh.m_color, fresh.m_lineStyle, fresh.m_arrowStyle};
    r.points.reserve(2);
    LINK.readAll(object(v), r, ctx);
    if (r.ends[0] == nullptr || r.ends[1] == nullptr) {
        fail(ctx.text() + " has no \"" + (r.ends[0] == nullptr ? "origin" : "target") + "\"");
    }
    if (r.points.size() < 2) {
        r.points = {r.ends[0]->centre(), r.ends[1]->centre()};
    }
    auto owned = std::unique_ptr<Link>(new Link(out, r.ends[0], r.ends[1], std::move(r.points)));
    Link* l = owned.get();
    l->m_color = r.color;
    l->m_lineStyle = r.lineStyle;
    l->m_arrowStyle = r.arrowStyle;
    r.ends[0]->m_outLinks.push_back(l);
    r.ends[1]->m_inLinks.push_back(l);
    out.m_links.push_back(std::move(owned));
}

void DiagramReader::read(const element& root, Diagram& out) {
    if (!root.is_object()) {
        fail("not a diagram file: the document is not an object");
    }
    DocumentReading doc;
    DOCUMENT.readAll(object(root), doc, Context{"document"});
    if (!doc.format || !doc.format->is_string() || std::string_view(*doc.format) != FSM_FORMAT_NAME) {
        fail("not a diagram file: \"format\" is not \"tarvel-fsm\"");
    }
    if (!doc.version || !doc.version->is_int64()) {
        fail("not a diagram file: \"version\" is missing or not an integer");
    }
    if (std::int64_t(*doc.version) > FSM_FORMAT_VERSION) {
        fail("not a diagram file of this version: version " +
             std::to_string(std::int64_t(*doc.version)) + " is newer than " +
             std::to_string(FSM_FORMAT_VERSION));
    }
    if (doc.settings) {
        const Context document{"document"};
        SETTINGS.readAll(readObject(*doc.settings, Where{document, "diagram"}), out,
                         Context{"diagram"});
    }
    std::optional<array> nodes, links;
    if (doc.nodes) {
        nodes = readArray(*doc.nodes, "\"nodes\"");
    }
    Ids ids(nodes ? nodes->size() : 0);
    if (nodes) {
        out.m_nodes.reserve(nodes->size());
        std::size_t i = 0;
        for (element v : *nodes) {
            readNode(v, i++, out, ids);
        }
    }
    if (doc.links) {
        const array list = readArray(*doc.links, "\"links\"");
        out.m_links.reserve(list.size());
        std::size_t i = 0;
        for (element v : list) {
            readLink(v, i++, out, ids);
        }
    }
}

void DiagramReader::write(JsonOut& o, const Diagram& d) {
    o.open('{');
    o.key("format");
    o.string(FSM_FORMAT_NAME);
    o.key("version");
    o.number(std::int64_t{FSM_FORMAT_VERSION});
    o.newline();
    o.key("diagram");
    o.open('{');
    SETTINGS.writeAll(o, d);
    o.close('}');
    o.newline();

    std::unordered_map<const Node*, std::int64_t> ids;
    ids.reserve(d.nodeCount());
    o.key("nodes");
    o.open('[');
    std::int64_t nextId = 1;
    for (const auto& np : d.NodeList()) {
        const std::int64_t id = nextId++;
        ids.emplace(np.get(), id);
        o.newline();
        o.open('{');
        NODE.writeAll(o, NodeWriting{*np, d, id});
        o.close('}');
    }
    o.newline();
    o.close(']');
    o.newline();

    o.key("links");
    o.open('[');
    for (const auto& lp : d.Links()) {
        o.newline();
        o.open('{');
        LINK.writeAll(o, LinkWriting{*lp, ids.at(lp->LinkOrigin()), ids.at(lp->LinkTarget())});
        o.close('}');
    }
    o.newline();
    o.close(']');
    o.newline();
    o.close('}');
    o.raw("\n");
}

namespace {

// Parses and reads; on failure the diagram is left empty.
template <typename Parse>
bool readWith(Parse parse, Diagram& diagram, std::string& error) {
    Diagram fresh;
    try {
        simdjson::dom::parser parser;
        element root;
        const auto code = parse(parser).get(root);
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

}  // namespace

bool readDiagramJson(std::string_view json, Diagram& diagram, std::string& error) {
    // The parser copies the text into a buffer of its own, with room to read past its end.
    return readWith(
        [&](simdjson::dom::parser& p) { return p.parse(json.data(), json.size(), true); }, diagram,
        error);
}

bool readPaddedDiagramJson(std::string_view json, Diagram& diagram, std::string& error) {
    return readWith(
        [&](simdjson::dom::parser& p) { return p.parse(json.data(), json.size(), false); }, diagram,
        error);
}

std::string writeDiagramJson(const Diagram& d) {
    JsonOut o;
    o.text.reserve(256 + d.nodeCount() * 400 + d.Links().size() * 80);
    DiagramReader::write(o, d);
    return std::move(o.text);
}

}  // namespace tarvel
