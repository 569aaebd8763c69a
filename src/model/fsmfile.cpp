#include "model/fsmfile.h"

#include <simdjson.h>

#include "base/cp1252.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <type_traits>
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
//
// Two readers share the member tables. The quick one walks the text once
// (simdjson's on-demand parser, no document tree) and gives up at anything
// unusual: a damaged file, a value of the wrong type, a member it would have
// to skip unread, members out of the order this program writes them. The
// checked one then reads the same text into a document tree, checks all of
// it and names the first problem; it reads every file the quick one gives
// up on, so what a file means and every message stay those of one reader.

using CheckedValue = simdjson::dom::element;
using QuickValue = simdjson::ondemand::value;

// The quick reader leaves the file to the checked one.
struct GiveUp {};

[[noreturn]] void giveUp() { throw GiveUp{}; }

// A problem found in a value: the checked reader fails with the message,
// the quick one gives up.
[[noreturn]] void reject(CheckedValue, const std::string& message) { fail(message); }
[[noreturn]] void reject(QuickValue, const std::string&) { giveUp(); }

template <typename T>
T take(simdjson::simdjson_result<T>&& result) {
    T value;
    if (std::move(result).get(value) != simdjson::SUCCESS) {
        giveUp();
    }
    return value;
}

float checkedFloat(double d, const Where& w) {
    if (!std::isfinite(d) || std::fabs(d) > std::numeric_limits<float>::max()) {
        fail(w.text() + " is out of range");
    }
    return static_cast<float>(d);
}

float readFloat(CheckedValue v, const Where& w) {
    switch (v.type()) {
        case element_type::INT64: return checkedFloat(static_cast<double>(std::int64_t(v)), w);
        case element_type::UINT64: return checkedFloat(static_cast<double>(std::uint64_t(v)), w);
        case element_type::DOUBLE: return checkedFloat(double(v), w);
        default: fail(w.text() + " is not a number");
    }
}

// Every value is taken with a reader that consumes it: a value left to the
// parser to step over would not be checked at all.
float readFloat(QuickValue v, const Where&) {
    // The checked reader takes any number; one written with a fraction or
    // an exponent is a floating-point number, any other an integer, signed
    // when negative.
    const std::string_view token = v.raw_json_token();
    double d = 0;
    if (token.find_first_of(".eE") != std::string_view::npos) {
        d = take(v.get_double());
    } else if (!token.empty() && token.front() == '-') {
        d = static_cast<double>(take(v.get_int64()));
    } else {
        d = static_cast<double>(take(v.get_uint64()));
    }
    if (!std::isfinite(d) || std::fabs(d) > std::numeric_limits<float>::max()) {
        giveUp();
    }
    return static_cast<float>(d);
}

std::int64_t readInteger(CheckedValue v, const Where& w, std::int64_t low, std::int64_t high) {
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

std::int64_t readInteger(QuickValue v, const Where&, std::int64_t low, std::int64_t high) {
    const std::int64_t i = take(v.get_int64());
    if (i < low || i > high) {
        giveUp();
    }
    return i;
}

template <typename Value>
int readInt(Value v, const Where& w) {
    return static_cast<int>(readInteger(v, w, INT32_MIN, INT32_MAX));
}

template <typename Value>
std::int64_t readId(Value v, const Where& w) {
    return readInteger(v, w, INT64_MIN, INT64_MAX);
}

template <typename Value>
Color readColor(Value v, const Where& w) {
    return static_cast<Color>(readInteger(v, w, 0, UINT32_MAX)) & 0xFFFFFFu;
}

bool readBool(CheckedValue v, const Where& w) {
    if (!v.is_bool()) {
        fail(w.text() + " is not true or false");
    }
    return bool(v);
}

bool readBool(QuickValue v, const Where&) { return take(v.get_bool()); }

std::string_view readString(CheckedValue v, const Where& w) {
    if (!v.is_string()) {
        fail(w.text() + " is not a text");
    }
    return std::string_view(v);
}

// The quick reader unescapes its texts into a buffer of its own, one text at
// a time (each is copied before the next is read): the on-demand parser does
// not check that its own text buffer could be allocated, and would write
// through a null pointer when memory runs out. The buffer grows to the
// longest text's room in the file.
struct QuickTexts {
    explicit QuickTexts(const simdjson::ondemand::parser& p) : parser(p) { current = this; }
    ~QuickTexts() { current = nullptr; }
    QuickTexts(const QuickTexts&) = delete;
    QuickTexts& operator=(const QuickTexts&) = delete;

    std::uint8_t* room(std::size_t size) {
        if (size > capacity) {
            const std::size_t grown = std::max(size, 2 * capacity);
            buffer.reset(new std::uint8_t[grown]);
            capacity = grown;
        }
        return buffer.get();
    }

    const simdjson::ondemand::parser& parser;
    std::unique_ptr<std::uint8_t[]> buffer;
    std::size_t capacity = 0;
    static thread_local QuickTexts* current;
};

thread_local QuickTexts* QuickTexts::current = nullptr;

std::string_view readString(QuickValue v, const Where&) {
    // The text's token in the file (its quotes, escapes and what follows up
    // to the next comma or bracket) is at least as long as the text.
    const std::size_t room = v.raw_json_token().size() + simdjson::SIMDJSON_PADDING;
    const simdjson::ondemand::raw_json_string raw = take(v.get_raw_json_string());
    std::uint8_t* end = QuickTexts::current->room(room);
    return take(QuickTexts::current->parser.unescape(raw, end));
}

object readObject(CheckedValue v, const Where& w) {
    if (!v.is_object()) {
        fail(w.text() + " is not an object");
    }
    return object(v);
}

simdjson::ondemand::object readObject(QuickValue v, const Where&) { return take(v.get_object()); }

array readArray(CheckedValue v, const std::string& what) {
    if (!v.is_array()) {
        fail(what + " is not a list");
    }
    return array(v);
}

simdjson::ondemand::array readArray(QuickValue v) { return take(v.get_array()); }

// The name of a member as the file spells it; a name with escapes, which
// this program never writes, is left to the checked reader.
std::string_view rawName(simdjson::ondemand::field& f) {
    const char* name = f.key().raw();
    std::size_t length = 0;
    while (name[length] != '"') {
        if (name[length] == '\\') {
            giveUp();
        }
        ++length;
    }
    return {name, length};
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
    void (*readChecked)(Reading&, CheckedValue, const Where&);
    void (*readQuick)(Reading&, QuickValue, const Where&);
    void (*write)(JsonOut&, std::string_view name, const Writing&);
};

// A member whose reading is written once for both readers: `read` takes
// either reader's value.
template <typename Read, typename Write>
struct MemberSpec {
    std::string_view name;
    Read read;
    Write write;
    template <typename Reading, typename Writing>
    constexpr operator Member<Reading, Writing>() const {
        return {name, read, read, write};
    }
};

template <typename Read, typename Write>
constexpr MemberSpec<Read, Write> member(std::string_view name, Read read, Write write) {
    return {name, read, write};
}

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
                m->readChecked(target, value, Where{context, m->name});
            }
        }
    }

    // The same for the quick reader, which reads every member or gives up.
    void readAll(simdjson::ondemand::object o, Reading& target, const Context& context) const {
        for (auto result : o) {
            simdjson::ondemand::field f = take(std::move(result));
            const Entry* m = find(rawName(f));
            if (m == nullptr) {
                giveUp();
            }
            m->readQuick(target, f.value(), Where{context, m->name});
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
    member("name", [](Font& f, auto v, const Where& w) { f.name = readString(v, w); },
     [](JsonOut& o, std::string_view n, const Font& f) {
         o.key(n);
         o.string(f.name);
     }),
    member("size", [](Font& f, auto v, const Where& w) { f.size = readFloat(v, w); },
     [](JsonOut& o, std::string_view n, const Font& f) { writeFloat(o, n, f.size); }),
    member("bold", [](Font& f, auto v, const Where& w) { f.bold = readBool(v, w); },
     [](JsonOut& o, std::string_view n, const Font& f) { writeFlagWhenSet(o, n, f.bold); }),
    member("italic", [](Font& f, auto v, const Where& w) { f.italic = readBool(v, w); },
     [](JsonOut& o, std::string_view n, const Font& f) { writeFlagWhenSet(o, n, f.italic); }),
    member("underline", [](Font& f, auto v, const Where& w) { f.underline = readBool(v, w); },
     [](JsonOut& o, std::string_view n, const Font& f) { writeFlagWhenSet(o, n, f.underline); }),
    member("strikeout", [](Font& f, auto v, const Where& w) { f.strikeout = readBool(v, w); },
     [](JsonOut& o, std::string_view n, const Font& f) { writeFlagWhenSet(o, n, f.strikeout); }),
};
constexpr auto FONT = memberTable(FONT_MEMBERS);

// A font value: its members are read over the defaults of `Font`.
template <typename Value>
Font readFont(Value v, const Where& w) {
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
    // False when the id is taken already.
    bool add(std::int64_t id, Node* node) {
        if (dense(id)) {
            if (static_cast<std::size_t>(id) >= m_dense.size()) {
                m_dense.resize(std::max(static_cast<std::size_t>(id) + 1, 2 * m_dense.size()));
            }
            Node*& slot = m_dense[static_cast<std::size_t>(id)];
            if (slot != nullptr || (!m_sparse.empty() && m_sparse.contains(id))) {
                return false;
            }
            slot = node;
            return true;
        }
        return m_sparse.emplace(id, node).second;
    }

    Node* find(std::int64_t id) const {
        if (id > 0 && static_cast<std::uint64_t>(id) < m_dense.size() &&
            m_dense[static_cast<std::size_t>(id)] != nullptr) {
            return m_dense[static_cast<std::size_t>(id)];
        }
        const auto it = m_sparse.find(id);
        return it == m_sparse.end() ? nullptr : it->second;
    }

private:
    // An id near the ones seen so far goes to the table, which then grows
    // at most by a bounded step; far ones go to the map.
    bool dense(std::int64_t id) const {
        return id > 0 && static_cast<std::uint64_t>(id) <= 2 * m_dense.size() + 4096;
    }

    std::vector<Node*> m_dense;
    std::unordered_map<std::int64_t, Node*> m_sparse;
};

}  // namespace

// Builds the diagram straight into its members: a file is read into a fresh
// diagram nobody observes yet, so the setters' notifications are not needed.
class DiagramReader {
public:
    // The checked reader, on a parsed document.
    static void read(const element& root, Diagram& out);
    // The quick reader, on a text followed by the parser's padding; false
    // when it gave up (the diagram is then only partly read).
    static bool readQuick(std::string_view json, Diagram& out);
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
    static void readPoints(LinkReading& l, CheckedValue v, const Where& w);
    static void readPoints(LinkReading& l, QuickValue v, const Where& w);
    template <typename Value>
    static void readNode(Value v, std::size_t index, Diagram& out, Ids& ids);
    template <typename Value>
    static void readLink(Value v, std::size_t index, Diagram& out, Ids& ids);

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
    member("fillColor", [](Diagram& d, auto v, const Where& w) { d.m_fillColor = readColor(v, w); },
     [](JsonOut& o, std::string_view n, const Diagram& d) { writeNumber(o, n, d.FillColor()); }),
    member("foreColor", [](Diagram& d, auto v, const Where& w) { d.m_foreColor = readColor(v, w); },
     [](JsonOut& o, std::string_view n, const Diagram& d) { writeNumber(o, n, d.ForeColor()); }),
    member("font", [](Diagram& d, auto v, const Where& w) { d.m_font = readFont(v, w); },
     [](JsonOut& o, std::string_view n, const Diagram& d) { writeFontMember(o, n, d.DiagramFont()); }),
    member("gridVisible", [](Diagram& d, auto v, const Where& w) { d.m_gridVisible = readBool(v, w); },
     [](JsonOut& o, std::string_view n, const Diagram& d) { writeFlag(o, n, d.GridVisible()); }),
    member("snapToGrid", [](Diagram& d, auto v, const Where& w) { d.m_snapToGrid = readBool(v, w); },
     [](JsonOut& o, std::string_view n, const Diagram& d) { writeFlag(o, n, d.SnapToGrid()); }),
    member("gridSizeX", [](Diagram& d, auto v, const Where& w) { d.m_gridSizeX = readInt(v, w); },
     [](JsonOut& o, std::string_view n, const Diagram& d) { writeNumber(o, n, d.GridSizeX()); }),
    member("gridSizeY", [](Diagram& d, auto v, const Where& w) { d.m_gridSizeY = readInt(v, w); },
     [](JsonOut& o, std::string_view n, const Diagram& d) { writeNumber(o, n, d.GridSizeY()); }),
    // One zoom serves both directions.
    member("zoom", [](Diagram& d, auto v, const Where& w) { d.m_zoomX = d.m_zoomY = readInt(v, w); },
     [](JsonOut& o, std::string_view n, const Diagram& d) { writeNumber(o, n, d.ZoomX()); }),
});

// --- node: looks not written are the diagram's colours and font, the rest
// those of a fresh node.

const MemberTable<DiagramReader::NodeReading, DiagramReader::NodeWriting, 17> DiagramReader::NODE = memberTable<NodeReading, NodeWriting>({
    member("id",
     [](auto& r, auto v, const Where& w) {
         r.id = readId(v, w);
         r.hasId = true;
     },
     [](JsonOut& o, std::string_view n, const auto& x) { writeNumber(o, n, x.id); }),
    member("kind",
     [](auto& r, auto v, const Where& w) {
         r.node->m_kind = static_cast<std::uint32_t>(readInteger(v, w, INT32_MIN, UINT32_MAX));
     },
     [](JsonOut& o, std::string_view n, const auto& x) { writeNumber(o, n, x.node.NodeKind()); }),
    member("data", [](auto& r, auto v, const Where& w) { r.node->m_data = readString(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) { writeTextUnlessEmpty(o, n, x.node.NodeData()); }),
    member("text", [](auto& r, auto v, const Where& w) { r.node->m_text = readString(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) { writeTextUnlessEmpty(o, n, x.node.NodeText()); }),
    member("tip", [](auto& r, auto v, const Where& w) { r.node->m_tip = readString(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) { writeTextUnlessEmpty(o, n, x.node.NodeTip()); }),
    member("left", [](auto& r, auto v, const Where& w) { r.node->m_rect.left = readFloat(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) { writeFloat(o, n, x.node.NodeLeft()); }),
    member("top", [](auto& r, auto v, const Where& w) { r.node->m_rect.top = readFloat(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) { writeFloat(o, n, x.node.NodeTop()); }),
    member("width", [](auto& r, auto v, const Where& w) { r.node->m_rect.width = readFloat(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) { writeFloat(o, n, x.node.NodeWidth()); }),
    member("height", [](auto& r, auto v, const Where& w) { r.node->m_rect.height = readFloat(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) { writeFloat(o, n, x.node.NodeHeight()); }),
    member("fillColor", [](auto& r, auto v, const Where& w) { r.node->m_fillColor = readColor(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) {
         writeNumberUnless(o, n, x.node.NodeFillColor(), x.diagram.FillColor());
     }),
    member("foreColor", [](auto& r, auto v, const Where& w) { r.node->m_foreColor = readColor(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) {
         writeNumberUnless(o, n, x.node.NodeForeColor(), x.diagram.ForeColor());
     }),
    member("lineColor", [](auto& r, auto v, const Where& w) { r.node->m_lineColor = readColor(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) {
         writeNumberUnless(o, n, x.node.NodeLineColor(), freshNode().NodeLineColor());
     }),
    member("lineWidth", [](auto& r, auto v, const Where& w) { r.node->m_lineWidth = readInt(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) {
         writeNumberUnless(o, n, x.node.NodeLineWidth(), freshNode().NodeLineWidth());
     }),
    member("shapeStyle", [](auto& r, auto v, const Where& w) { r.node->m_shapeStyle = readInt(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) {
         writeNumberUnless(o, n, x.node.NodeShapeStyle(), freshNode().NodeShapeStyle());
     }),
    member("drawStyle", [](auto& r, auto v, const Where& w) { r.node->m_drawStyle = readInt(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) {
         writeNumberUnless(o, n, x.node.NodeDrawStyle(), freshNode().NodeDrawStyle());
     }),
    member("connectable", [](auto& r, auto v, const Where& w) { r.node->m_connectable = readBool(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) {
         if (x.node.NodeConnectable() != freshNode().NodeConnectable()) {
             writeFlag(o, n, x.node.NodeConnectable());
         }
     }),
    member("font", [](auto& r, auto v, const Where& w) { r.node->m_font = readFont(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) {
         if (!(x.node.NodeFont() == x.diagram.DiagramFont())) {
             writeFontMember(o, n, x.node.NodeFont());
         }
     }),
});

// --- link: "points" left out means straight from centre to centre.

const MemberTable<DiagramReader::LinkReading, DiagramReader::LinkWriting, 6> DiagramReader::LINK = memberTable<LinkReading, LinkWriting>({
    member("origin",
     [](auto& r, auto v, const Where& w) {
         r.ends[0] = r.ids->find(readId(v, w));
         if (r.ends[0] == nullptr) {
             reject(v, w.text() + " is not a node of the file");
         }
     },
     [](JsonOut& o, std::string_view n, const auto& x) { writeNumber(o, n, x.origin); }),
    member("target",
     [](auto& r, auto v, const Where& w) {
         r.ends[1] = r.ids->find(readId(v, w));
         if (r.ends[1] == nullptr) {
             reject(v, w.text() + " is not a node of the file");
         }
     },
     [](JsonOut& o, std::string_view n, const auto& x) { writeNumber(o, n, x.target); }),
    member("points", [](auto& r, auto v, const Where& w) { DiagramReader::readPoints(r, v, w); },
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
     }),
    member("color", [](auto& r, auto v, const Where& w) { r.color = readColor(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) {
         writeNumberUnless(o, n, x.link.LinkColor(), freshLink().LinkColor());
     }),
    member("lineStyle", [](auto& r, auto v, const Where& w) { r.lineStyle = readInt(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) {
         writeNumberUnless(o, n, x.link.LinkLineStyle(), freshLink().LinkLineStyle());
     }),
    member("arrowStyle", [](auto& r, auto v, const Where& w) { r.arrowStyle = readInt(v, w); },
     [](JsonOut& o, std::string_view n, const auto& x) {
         writeNumberUnless(o, n, x.link.LinkArrowStyle(), freshLink().LinkArrowStyle());
     }),
});

// --- the document: its members are gathered first, then used in a fixed
// order (the settings give the nodes their default colours and font).

const MemberTable<DiagramReader::DocumentReading, Diagram, 5> DiagramReader::DOCUMENT = memberTable<DocumentReading, Diagram>({
    {"format", [](DocumentReading& r, CheckedValue v, const Where&) { r.format = v; }, nullptr, nullptr},
    {"version", [](DocumentReading& r, CheckedValue v, const Where&) { r.version = v; }, nullptr, nullptr},
    {"diagram", [](DocumentReading& r, CheckedValue v, const Where&) { r.settings = v; }, nullptr, nullptr},
    {"nodes", [](DocumentReading& r, CheckedValue v, const Where&) { r.nodes = v; }, nullptr, nullptr},
    {"links", [](DocumentReading& r, CheckedValue v, const Where&) { r.links = v; }, nullptr, nullptr},
});

void DiagramReader::readPoints(LinkReading& l, CheckedValue v, const Where& w) {
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

void DiagramReader::readPoints(LinkReading& l, QuickValue v, const Where& w) {
    l.points.clear();
    for (auto item : readArray(v)) {
        float xy[2];
        std::size_t count = 0;
        for (auto coordinate : readArray(take(std::move(item)))) {
            if (count == 2) {
                giveUp();
            }
            xy[count++] = readFloat(take(std::move(coordinate)), w);
        }
        if (count != 2) {
            giveUp();
        }
        l.points.push_back({xy[0], xy[1]});
    }
}

template <typename Value>
void DiagramReader::readNode(Value v, std::size_t index, Diagram& out, Ids& ids) {
    const Context ctx{"node", index + 1};
    if constexpr (std::is_same_v<Value, CheckedValue>) {
        if (!v.is_object()) {
            fail(ctx.text() + " is not an object");
        }
    }
    auto owned = std::unique_ptr<Node>(new Node(out));
    NodeReading r{owned.get()};
    r.node->m_fillColor = out.m_fillColor;
    r.node->m_foreColor = out.m_foreColor;
    r.node->m_font = out.m_font;
    NODE.readAll(readObject(v, Where{ctx, ""}), r, ctx);
    if (!r.hasId) {
        reject(v, ctx.text() + " has no \"id\"");
    }
    if (!ids.add(r.id, r.node)) {
        reject(v, ctx.text() + ": the id " + std::to_string(r.id) + " is used twice");
    }
    out.m_nodes.push_back(std::move(owned));
}

template <typename Value>
void DiagramReader::readLink(Value v, std::size_t index, Diagram& out, Ids& ids) {
    const Context ctx{"link", index + 1};
    if constexpr (std::is_same_v<Value, CheckedValue>) {
        if (!v.is_object()) {
            fail(ctx.text() + " is not an object");
        }
    }
    const Link& fresh = freshLink();
    LinkReading r{&ids, {nullptr, nullptr}, {}, fresh.m_color, fresh.m_lineStyle, fresh.m_arrowStyle};
    r.points.reserve(2);
    LINK.readAll(readObject(v, Where{ctx, ""}), r, ctx);
    if (r.ends[0] == nullptr || r.ends[1] == nullptr) {
        reject(v, ctx.text() + " has no \"" + (r.ends[0] == nullptr ? "origin" : "target") + "\"");
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
    Ids ids;
    if (doc.nodes) {
        const array list = readArray(*doc.nodes, "\"nodes\"");
        out.m_nodes.reserve(list.size());
        std::size_t i = 0;
        for (element v : list) {
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

bool DiagramReader::readQuick(std::string_view json, Diagram& out) {
    try {
        simdjson::ondemand::parser parser;
        const QuickTexts texts(parser);
        simdjson::ondemand::document doc =
            take(parser.iterate(json.data(), json.size(), json.size() + simdjson::SIMDJSON_PADDING));
        // The members are used as they come, so they must come in the order
        // the checked reader uses them, each once: format, version, diagram,
        // nodes, links.
        const Context document{"document"};
        std::ptrdiff_t last = -1;
        bool format = false;
        bool version = false;
        Ids ids;
        for (auto result : take(doc.get_object())) {
            simdjson::ondemand::field f = take(std::move(result));
            const auto* m = DOCUMENT.find(rawName(f));
            const std::ptrdiff_t rank = m == nullptr ? -1 : m - DOCUMENT.members().data();
            if (rank <= last) {
                giveUp();
            }
            last = rank;
            const Where w{document, m->name};
            QuickValue value = f.value();
            switch (rank) {
                case 0:
                    format = readString(value, w) == FSM_FORMAT_NAME;
                    break;
                case 1:
                    version = readInteger(value, w, INT64_MIN, FSM_FORMAT_VERSION) <= FSM_FORMAT_VERSION;
                    break;
                case 2:
                    SETTINGS.readAll(readObject(value, w), out, Context{"diagram"});
                    break;
                case 3: {
                    std::size_t i = 0;
                    for (auto node : readArray(value)) {
                        readNode(take(std::move(node)), i++, out, ids);
                    }
                    break;
                }
                default: {
                    std::size_t i = 0;
                    for (auto link : readArray(value)) {
                        readLink(take(std::move(link)), i++, out, ids);
                    }
                    break;
                }
            }
        }
        // Nothing may follow the document.
        const bool atEnd = doc.current_location().error() == simdjson::OUT_OF_BOUNDS;
        return format && version && atEnd;
    } catch (const GiveUp&) {
        return false;
    } catch (const FormatError&) {
        return false;
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

// Reads a text followed by the parser's padding; on failure the diagram is
// left empty.
bool readPadded(std::string_view json, Diagram& diagram, std::string& error,
                bool quickFirst = true) {
    try {
        if (quickFirst) {
            Diagram quick;
            if (DiagramReader::readQuick(json, quick)) {
                diagram.takeContentFrom(quick);
                return true;
            }
        }
        Diagram checked;
        simdjson::dom::parser parser;
        element root;
        const auto code = parser.parse(json.data(), json.size(), false).get(root);
        if (code != simdjson::SUCCESS) {
            fail(std::string("not JSON (") + simdjson::error_message(code) + ")");
        }
        DiagramReader::read(root, checked);
        diagram.takeContentFrom(checked);
        return true;
    } catch (const FormatError& e) {
        error = e.message;
    } catch (const std::bad_alloc&) {
        error = "not enough memory to read the diagram";
    }
    Diagram empty;
    diagram.takeContentFrom(empty);
    return false;
}

}  // namespace

namespace {

bool readCopy(std::string_view json, Diagram& diagram, std::string& error, bool quickFirst) {
    std::unique_ptr<char[]> padded;
    try {
        padded.reset(new char[json.size() + DIAGRAM_READ_PADDING]);
    } catch (const std::bad_alloc&) {
        error = "not enough memory to read the diagram";
        Diagram empty;
        diagram.takeContentFrom(empty);
        return false;
    }
    std::memcpy(padded.get(), json.data(), json.size());
    std::memset(padded.get() + json.size(), 0, DIAGRAM_READ_PADDING);
    return readPadded({padded.get(), json.size()}, diagram, error, quickFirst);
}

}  // namespace

bool readDiagramJson(std::string_view json, Diagram& diagram, std::string& error) {
    return readCopy(json, diagram, error, true);
}

bool readDiagramJsonChecked(std::string_view json, Diagram& diagram, std::string& error) {
    return readCopy(json, diagram, error, false);
}

bool readPaddedDiagramJson(std::string_view json, Diagram& diagram, std::string& error) {
    return readPadded(json, diagram, error);
}

std::string writeDiagramJson(const Diagram& d) {
    JsonOut o;
    o.text.reserve(256 + d.nodeCount() * 400 + d.Links().size() * 80);
    DiagramReader::write(o, d);
    return std::move(o.text);
}

}  // namespace tarvel
