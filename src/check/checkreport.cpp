#include "check/checkreport.h"

#include <fstream>
#include <map>

#include "base/json.h"
#include "check/checkids.h"

namespace tarvel {

namespace {

#define TARVEL_REPORT_STR2(x) #x
#define TARVEL_REPORT_STR(x) TARVEL_REPORT_STR2(x)
constexpr std::string_view TOOL_TITLE =
    "Tarvel Editor v" TARVEL_REPORT_STR(TARVEL_VERSION_MAJOR) "." TARVEL_REPORT_STR(
        TARVEL_VERSION_MINOR) "r" TARVEL_REPORT_STR(TARVEL_VERSION_REVISION);
constexpr std::string_view TOOL_VERSION =
    TARVEL_REPORT_STR(TARVEL_VERSION_MAJOR) "." TARVEL_REPORT_STR(
        TARVEL_VERSION_MINOR) "." TARVEL_REPORT_STR(TARVEL_VERSION_REVISION);
#undef TARVEL_REPORT_STR
#undef TARVEL_REPORT_STR2

std::string_view kindName(ElementKind kind) {
    switch (kind) {
        case ElementKind::Fsm:
            return "fsm";
        case ElementKind::State:
            return "state";
        case ElementKind::Transition:
            return "transition";
        case ElementKind::Comment:
            return "comment";
    }
    return "fsm";
}

// A small writer of JSON members that keeps the commas in place.
class JsonOut {
public:
    explicit JsonOut(std::string& out) : m_out(out) {}

    void open(char bracket) {
        m_out += bracket;
        m_first = true;
    }
    void close(char bracket) {
        m_out += bracket;
        m_first = false;
    }
    void key(std::string_view name) {
        comma();
        appendJsonString(m_out, name);
        m_out += ':';
        m_first = true;  // the value follows without a comma
    }
    void string(std::string_view name, std::string_view value) {
        key(name);
        appendJsonString(m_out, value);
        m_first = false;
    }
    void number(std::string_view name, long long value) {
        key(name);
        m_out += std::to_string(value);
        m_first = false;
    }
    // An element of an array that is an object.
    void item() { comma(); }
    void itemString(std::string_view value) {
        comma();
        appendJsonString(m_out, value);
        m_first = false;
    }

private:
    void comma() {
        if (!m_first) {
            m_out += ',';
        }
        m_first = false;
    }

    std::string& m_out;
    bool m_first = true;
};

// Characters that may stand in a URI path as they are.
bool unreserved(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~' || c == '/';
}

std::string uriOf(std::string_view shown) {
    static constexpr char HEX[] = "0123456789ABCDEF";
    std::string out = shown.starts_with('/') ? "file://" : "";
    for (const char ch : shown) {
        const auto c = static_cast<unsigned char>(ch);
        if (unreserved(c)) {
            out += ch;
        } else {
            out += '%';
            out += HEX[c >> 4];
            out += HEX[c & 0x0F];
        }
    }
    return out;
}

// The line of each node in a diagram file as the program writes it (one node
// a line, the information node included); empty when the file is not laid
// out that way.
std::vector<int> nodeLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<int> out;
    std::string line;
    int number = 0;
    bool inNodes = false;
    while (std::getline(in, line)) {
        ++number;
        const std::size_t first = line.find_first_not_of(" \t");
        const std::string_view text =
            first == std::string::npos ? std::string_view() : std::string_view(line).substr(first);
        if (text.starts_with("\"nodes\"")) {
            inNodes = true;
            continue;
        }
        if (!inNodes) {
            continue;
        }
        if (text.starts_with("]")) {
            break;
        }
        if (!text.starts_with("{\"id\"")) {
            return {};
        }
        const bool info = text.find("\"kind\":512,") != std::string_view::npos ||
                          text.find("\"kind\": 512,") != std::string_view::npos;
        if (!info) {
            out.push_back(number);
        }
    }
    return out;
}

}  // namespace

std::string displayPath(std::string_view path, std::string_view folder) {
    if (!folder.empty() && path.size() > folder.size() + 1 && path.starts_with(folder) &&
        (folder.back() == '/' || path[folder.size()] == '/')) {
        return std::string(path.substr(folder.size() + (folder.back() == '/' ? 0 : 1)));
    }
    return std::string(path);
}

std::string reportText(const CheckReport& report, std::string_view folder) {
    std::string out;
    for (const Finding& f : report.findings) {
        out += formatFinding(f, displayPath(f.file, folder));
        out += '\n';
    }
    return out;
}

std::string reportJson(const CheckReport& report, std::string_view folder) {
    std::string out;
    JsonOut j(out);
    j.open('{');
    j.number("version", 1);
    j.string("tool", TOOL_TITLE);
    j.string("diagram", displayPath(report.rootFile, folder));
    j.number("errors", report.errorCount());
    j.number("warnings", report.warningCount());
    j.key("findings");
    j.open('[');
    for (const Finding& f : report.findings) {
        j.item();
        j.open('{');
        j.string("file", displayPath(f.file, folder));
        j.string("severity", severityName(f.severity));
        j.key("element");
        j.open('{');
        j.string("kind", kindName(f.element.kind));
        if (f.element.kind == ElementKind::State) {
            j.string("name", f.element.state);
        } else if (f.element.kind == ElementKind::Transition) {
            j.string("source", f.element.state);
            j.string("target", f.element.target);
            j.string("priority", f.element.priority);
        }
        j.close('}');
        if (f.field != Field::None) {
            j.string("field", fieldLabel(f.field));
        }
        if (f.line > 0) {
            j.number("line", f.line);
        }
        if (!f.quote.empty()) {
            j.string("generatedLine", f.quote);
        }
        j.string("message", f.message);
        j.string("check", f.check);
        j.close('}');
    }
    j.close(']');
    j.close('}');
    out += '\n';
    return out;
}

std::string reportSarif(const CheckReport& report, std::string_view folder) {
    const auto checks = allChecks();
    std::map<std::string_view, std::size_t> ruleIndex;
    for (std::size_t i = 0; i < checks.size(); ++i) {
        ruleIndex.emplace(checks[i].id, i);
    }
    std::map<std::string, std::vector<int>> lines;

    std::string out;
    JsonOut j(out);
    j.open('{');
    j.string("$schema", "https://json.schemastore.org/sarif-2.1.0.json");
    j.string("version", "2.1.0");
    j.key("runs");
    j.open('[');
    j.item();
    j.open('{');
    j.key("tool");
    j.open('{');
    j.key("driver");
    j.open('{');
    j.string("name", "tarvel");
    j.string("fullName", TOOL_TITLE);
    j.string("version", TOOL_VERSION);
    j.key("rules");
    j.open('[');
    for (const CheckInfo& c : checks) {
        j.item();
        j.open('{');
        j.string("id", c.id);
        j.key("shortDescription");
        j.open('{');
        j.string("text", c.help);
        j.close('}');
        j.key("defaultConfiguration");
        j.open('{');
        j.string("level", severityName(c.severity));
        j.close('}');
        j.close('}');
    }
    j.close(']');
    j.close('}');
    j.close('}');
    j.key("results");
    j.open('[');
    for (const Finding& f : report.findings) {
        j.item();
        j.open('{');
        j.string("ruleId", f.check);
        if (const auto it = ruleIndex.find(f.check); it != ruleIndex.end()) {
            j.number("ruleIndex", static_cast<long long>(it->second));
        }
        j.string("level", severityName(f.severity));
        j.key("message");
        j.open('{');
        j.string("text", f.location() + ": " + f.message);
        j.close('}');
        j.key("locations");
        j.open('[');
        j.item();
        j.open('{');
        j.key("physicalLocation");
        j.open('{');
        j.key("artifactLocation");
        j.open('{');
        j.string("uri", uriOf(displayPath(f.file, folder)));
        j.close('}');
        // The node's line in the diagram file, where the file has one.
        auto [it, fresh] = lines.try_emplace(f.file);
        if (fresh) {
            it->second = nodeLines(f.file);
        }
        if (f.element.node != ElementRef::NO_NODE && f.element.node < it->second.size()) {
            j.key("region");
            j.open('{');
            j.number("startLine", it->second[f.element.node]);
            j.close('}');
        }
        j.close('}');
        j.key("logicalLocations");
        j.open('[');
        j.item();
        j.open('{');
        const std::string label = f.element.label();
        j.string("name", f.element.kind == ElementKind::State ? f.element.state : label);
        j.string("fullyQualifiedName", f.location());
        j.string("kind", "element");
        j.close('}');
        j.close(']');
        j.close('}');
        j.close(']');
        j.close('}');
    }
    j.close(']');
    j.close('}');
    j.close(']');
    j.close('}');
    out += '\n';
    return out;
}

std::string checkListText() {
    std::size_t width = 0;
    for (const CheckInfo& c : allChecks()) {
        width = std::max(width, c.id.size());
    }
    std::string out;
    for (const CheckInfo& c : allChecks()) {
        out += c.id;
        out.append(width + 2 - c.id.size(), ' ');
        const std::string_view severity = severityName(c.severity);
        out += severity;
        out.append(9 - severity.size(), ' ');
        out += c.help;
        out += '\n';
    }
    return out;
}

}  // namespace tarvel
