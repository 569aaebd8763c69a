#include "check/ccheck.h"

#include <stdlib.h>

#include <array>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <tuple>

#include "base/atomicfile.h"
#include "base/paths.h"
#include "check/checkids.h"
#include "check/compilerrun.h"
#include "check/noderefs.h"
#include "check/targettypes.h"
#include "codegen/generator.h"
#include "model/document.h"
#include "model/fsmfile.h"
#include "model/fsmrecord.h"
#include "model/staterecord.h"
#include "model/text.h"
#include "model/transitionrecord.h"

namespace tarvel {

namespace {

using namespace check_id;

constexpr std::chrono::seconds COMPILE_LIMIT{120};

// Marker lines framing user texts in the private copy: "@@0", a number drawn
// for the run (so that no user text can hold a marker by chance), "b" or "e",
// the text's number, "@@". Their words start with a digit, so the
// hierarchy's word scan never takes them for child diagrams, and they hold
// nothing the comment conversion or the indent rule changes.
constexpr std::string_view MARK_END = "@@";

std::string drawMarkLead() {
    std::random_device random;
    return "@@0" + std::to_string(random() % 900000000U + 100000000U);
}
constexpr std::string_view TEXT_FILE = "tarvel-text-";
constexpr std::string_view PROBE_FILE = "tarvel-probe";

std::string marker(std::string_view lead, char kind, std::size_t id) {
    return std::string(lead) + kind + std::to_string(id) + std::string(MARK_END);
}

std::string lineDirective(int line, std::string_view file) {
    std::string out = "#line " + std::to_string(line) + " \"";
    for (const char c : file) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    out += '"';
    return out;
}

bool isBlankLine(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

std::string_view trimmed(std::string_view line) {
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = line.find_last_not_of(" \t\r");
    return line.substr(first, last - first + 1);
}

// Lines of a CR LF text, without their breaks.
std::vector<std::string_view> lines(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos) {
            out.push_back(text.substr(start));
            break;
        }
        out.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return out;
}

// ---------------------------------------------------------------------------
// The private copies of the documents

class PrivateCopies {
public:
    PrivateCopies(GenerationContext& real, std::vector<MarkedText>& texts, std::string lead)
        : m_real(real), m_texts(texts), m_lead(std::move(lead)) {
        m_context.openChild = [this](const std::string& path) -> Document* {
            Document* original = m_real.openChild ? m_real.openChild(path) : nullptr;
            return original != nullptr ? copyOf(*original) : nullptr;
        };
        m_context.report = [](const std::string&) {};
    }

    GenerationContext& context() { return m_context; }

    // The marked copy of a document, made once per file.
    Document* copyOf(const Document& original) {
        auto& slot = m_copies[original.sFullDocname];
        if (slot) {
            return slot.get();
        }
        auto copy = std::make_unique<Document>();
        std::string error;
        if (!readDiagramJson(writeDiagramJson(original.diagram()), copy->diagram(), error)) {
            return nullptr;
        }
        copy->diagram().setDiagramRecord(original.diagram().DiagramRecord());
        copy->sFullDocname = original.sFullDocname;
        copy->caption = original.caption;
        copy->options = original.options;
        mark(*copy);
        slot = std::move(copy);
        return slot.get();
    }

private:
    std::string framed(const std::string& file, const ElementRef& element, Field field,
                       std::string_view text) {
        const std::size_t id = m_texts.size();
        m_texts.push_back({file, element, field, static_cast<int>(splitLinesCR(text).size())});
        return marker(m_lead, 'b', id) + std::string(CRLF) + std::string(text) + std::string(CRLF) +
               marker(m_lead, 'e', id);
    }

    // Frames every user text that reaches the code. Empty texts (and blank
    // conditions) stay as they are: the generator treats them differently.
    void mark(Document& doc) {
        Diagram& d = doc.diagram();
        const NodeRefs refs(d);
        const std::string& file = doc.sFullDocname;
        for (const auto& node : d.NodeList()) {
            if (isState(*node)) {
                std::vector<std::string> f = splitFields(node->NodeData(), STATE_FIELD_COUNT);
                const ElementRef ref = refs.state(*node);
                for (const auto& [index, field] :
                     {std::pair{SF_MOORE, Field::During}, std::pair{SF_ENTRY, Field::Entry},
                      std::pair{SF_EXIT, Field::Exit}, std::pair{SF_ELSE, Field::Else}}) {
                    std::string& text = f[static_cast<std::size_t>(index)];
                    if (!text.empty()) {
                        text = framed(file, ref, field, text);
                    }
                }
                node->setNodeData(joinFields(f));
            } else if (isTransition(*node)) {
                std::vector<std::string> f = splitFields(node->NodeData(), TRANSITION_FIELD_COUNT);
                const ElementRef ref = refs.transition(*node);
                std::string& condition = f[TF_CONDITION];
                if (!isBlank(condition)) {
                    condition = framed(file, ref, Field::Condition, condition);
                }
                std::string& actions = f[TF_ACTIONS];
                if (!actions.empty()) {
                    actions = framed(file, ref, Field::Action, actions);
                }
                node->setNodeData(joinFields(f));
            } else if (node->hasKind(NK_COMMENT) && !node->NodeText().empty()) {
                node->setNodeText(framed(file, refs.comment(*node), Field::Text, node->NodeText()));
            }
        }
        std::vector<std::string> f = splitFields(d.DiagramRecord(), FSM_FIELD_COUNT);
        for (const auto& [index, field] :
             {std::pair{FF_INITIALISATION, Field::Initialization},
              std::pair{FF_BEFORE, Field::Before}, std::pair{FF_AFTER, Field::After},
              std::pair{FF_FINAL_CODE, Field::EndingCode},
              std::pair{FF_MODULE_HEADER, Field::ModuleHeader},
              std::pair{FF_FUNCTION_HEADER, Field::FunctionHeader},
              std::pair{FF_DEFAULT_ACTIONS, Field::DefaultCase}}) {
            std::string& text = f[static_cast<std::size_t>(index)];
            if (!text.empty()) {
                text = framed(file, ElementRef::fsm(), field, text);
            }
        }
        d.setDiagramRecord(joinFields(f));
    }

    GenerationContext& m_real;
    std::vector<MarkedText>& m_texts;
    std::string m_lead;
    GenerationContext m_context;
    std::map<std::string, std::unique_ptr<Document>> m_copies;
};

// A marker found in a line.
struct Marker {
    std::size_t at = 0;
    std::size_t end = 0;
    bool begin = false;
    std::size_t id = 0;
};

std::optional<Marker> findMarker(std::string_view line, std::string_view lead, std::size_t from) {
    for (std::size_t at = line.find(lead, from); at != std::string_view::npos;
         at = line.find(lead, at + 1)) {
        std::size_t i = at + lead.size();
        if (i >= line.size() || (line[i] != 'b' && line[i] != 'e')) {
            continue;
        }
        const bool begin = line[i] == 'b';
        const std::size_t digits = ++i;
        while (i < line.size() && line[i] >= '0' && line[i] <= '9') {
            ++i;
        }
        if (i == digits || line.substr(i, MARK_END.size()) != MARK_END) {
            continue;
        }
        return Marker{
            at, i + MARK_END.size(), begin,
            static_cast<std::size_t>(std::stoull(std::string(line.substr(digits, i - digits))))};
    }
    return std::nullopt;
}

// Where the text after an end marker stops: at the next marker or the line end.
std::size_t skipRest(std::string_view line, std::string_view lead, std::size_t from) {
    const auto next = findMarker(line, lead, from);
    return next ? next->at : line.size();
}

// Turns the marker lines of the generated module into "#line" directives.
// What stood before a marker on its line (the "if(" of a condition, a
// comment's "//") keeps a line of its own; what follows the end of a text
// (the "){" after a condition) stays with the text, so that a condition left
// incomplete is blamed for the error the compiler finds at its ")".
void placeDirectives(std::string_view generated, std::string_view lead, CCheckJob& job) {
    std::string out;
    out.reserve(generated.size() + generated.size() / 8);
    int physical = 0;
    const auto emit = [&](std::string_view line) {
        out += line;
        out += CRLF;
        ++physical;
    };
    std::map<std::size_t, int> open;
    for (const std::string_view line : lines(generated)) {
        std::size_t from = 0;
        bool marked = false;
        while (const auto m = findMarker(line, lead, from)) {
            marked = true;
            const std::string_view before = line.substr(from, m->at - from);
            if (!isBlankLine(before)) {
                emit(before);
            }
            if (m->begin) {
                emit(lineDirective(1, std::string(TEXT_FILE) + std::to_string(m->id)));
                open[m->id] = physical + 1;
            } else {
                const std::string_view rest =
                    line.substr(m->end, skipRest(line, lead, m->end) - m->end);
                if (!isBlankLine(rest)) {
                    emit(rest);
                }
                emit(lineDirective(physical + 2, job.moduleName));
                if (const auto it = open.find(m->id); it != open.end()) {
                    job.spans.push_back({it->second, physical - 1, m->id});
                    open.erase(it);
                }
            }
            from = m->begin ? m->end : skipRest(line, lead, m->end);
        }
        if (!marked) {
            emit(line);
        } else if (!isBlankLine(line.substr(from))) {
            emit(line.substr(from));
        }
    }
    job.module = std::move(out);
}

// The header without marker lines (they stand in comments there).
std::string withoutMarkers(std::string_view header, std::string_view lead) {
    std::string out;
    for (const std::string_view line : lines(header)) {
        if (!findMarker(line, lead, 0)) {
            out += line;
            out += CRLF;
        }
    }
    return out;
}

// ---------------------------------------------------------------------------
// The compile folder

class CompileFolder {
public:
    CompileFolder() {
        // mkdtemp makes the folder with mode 0700 under a name no one can guess.
        std::string pattern = GetTempDir() + "/tarvel-check-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) {
            m_path = pattern;
        }
    }
    ~CompileFolder() {
        if (!m_path.empty()) {
            std::error_code ec;
            std::filesystem::remove_all(m_path, ec);
        }
    }
    CompileFolder(const CompileFolder&) = delete;
    CompileFolder& operator=(const CompileFolder&) = delete;

    const std::string& path() const { return m_path; }

    // Writes a file of the folder; false when it cannot.
    bool write(const std::string& name, std::string_view bytes) const {
        std::string error;
        return WriteFileAtomically(m_path + "/" + name, bytes, error);
    }

private:
    std::string m_path;
};

// ---------------------------------------------------------------------------
// Compiling and mapping

Finding compilerProblem(const CCheckJob& job, std::string message) {
    Finding f;
    f.severity = Severity::Error;
    f.file = job.rootFile;
    f.message = std::move(message);
    f.check = C_COMPILER;
    return f;
}

struct CompileOutcome {
    std::vector<CompilerMessage> messages;
    std::optional<Finding> problem;  // the compiler could not do its work
};

CompileOutcome compile(const CCheckJob& job, const CompileFolder& folder, const std::string& file,
                       std::string_view text, const std::atomic<bool>* cancel) {
    CompileOutcome outcome;
    if (!folder.write(file, text)) {
        outcome.problem =
            compilerProblem(job, "the C check cannot write its private copy in " + folder.path());
        return outcome;
    }
    std::vector<std::string> argv = job.compiler;
    argv.push_back("-I" + job.includeFolder);
    argv.push_back(file);
    const ProcessResult run = runProcess(argv, folder.path(), COMPILE_LIMIT, cancel);
    const std::string quotedCommand = "\"" + job.commandText + "\"";
    if (!run.started) {
        outcome.problem = compilerProblem(
            job, "the C compiler " + quotedCommand + " cannot be started: " + run.error);
        return outcome;
    }
    if (!run.finished) {
        outcome.problem =
            compilerProblem(job, "the C compiler " + quotedCommand + " failed: " + run.error);
        return outcome;
    }
    outcome.messages = parseCompilerOutput(run.output);
    const bool anyError =
        std::any_of(outcome.messages.begin(), outcome.messages.end(),
                    [](const CompilerMessage& m) { return m.severity == Severity::Error; });
    if (run.exitStatus != 0 && !anyError) {
        // The first line the compiler wrote says why.
        std::string first;
        std::string_view rest = run.output;
        while (first.empty() && !rest.empty()) {
            const std::size_t end = std::min(rest.find('\n'), rest.size());
            first = trimmed(rest.substr(0, end));
            rest.remove_prefix(std::min(end + 1, rest.size()));
        }
        outcome.problem = compilerProblem(
            job, "the C compiler " + quotedCommand + " failed with exit status " +
                     std::to_string(run.exitStatus) + (first.empty() ? "" : ": " + first));
    }
    return outcome;
}

// The part of the module before the end of the users' initialisation, where
// the target's types must be defined, followed by one test per name.
std::string probeText(const CCheckJob& job, const std::vector<const TargetType*>& names) {
    std::string out;
    for (const std::string_view line : lines(job.module)) {
        if (line.find("Initialization proposed by the user (End).") != std::string_view::npos) {
            break;
        }
        out += line;
        out += CRLF;
    }
    out += lineDirective(1, PROBE_FILE);
    out += CRLF;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string n(names[i]->name);
        const std::string probe = "tarvel_probe_" + std::to_string(i);
        out += names[i]->isType ? "typedef " + n + " " + probe + ";"
                                : "static int " + probe + "(void) { return (int)(" + n + "); }";
        out += CRLF;
    }
    return out;
}

Finding mapped(const CCheckJob& job, const CompilerMessage& m, bool& keep) {
    Finding f;
    f.severity = m.severity;
    f.check = m.severity == Severity::Error ? C_ERROR : C_WARNING;
    f.message = m.text;
    f.file = job.rootFile;
    keep = true;
    const auto fromText = [&](std::size_t id, int line) {
        const MarkedText& t = job.texts[id];
        f.file = t.file;
        f.element = t.element;
        f.field = t.field;
        f.line = std::clamp(line, 1, t.lines);
    };
    if (m.file.starts_with(TEXT_FILE)) {
        const std::string number = m.file.substr(TEXT_FILE.size());
        const std::size_t id =
            number.find_first_not_of("0123456789") == std::string::npos && !number.empty()
                ? static_cast<std::size_t>(std::stoull(number))
                : job.texts.size();
        if (id < job.texts.size()) {
            fromText(id, m.line);
            return f;
        }
    }
    const auto isOurs = [&](const std::string& name) {
        return m.file == name || m.file == "./" + name;
    };
    if (isOurs(job.moduleName) || isOurs(job.headerName)) {
        // A directive inside a comment is no directive: the text's lines are
        // then numbered as lines of the module.
        if (isOurs(job.moduleName)) {
            for (const CCheckJob::Span& s : job.spans) {
                if (m.line >= s.first && m.line <= s.last) {
                    fromText(s.text, m.line - s.first + 1);
                    return f;
                }
            }
        }
        keep = !job.namesBroken;
        const std::vector<std::string_view> source =
            lines(isOurs(job.moduleName) ? job.module : job.header);
        if (m.line >= 1 && static_cast<std::size_t>(m.line) <= source.size()) {
            f.quote = trimmed(source[static_cast<std::size_t>(m.line - 1)]);
        }
        if (f.quote.empty()) {
            f.message = m.file + ":" + std::to_string(m.line) + ": " + m.text;
        }
        return f;
    }
    // A header of the user's, or the compiler itself.
    f.message = (m.line > 0 ? m.file + ":" + std::to_string(m.line) : m.file) + ": " + m.text;
    return f;
}

}  // namespace

std::vector<CompilerMessage> parseCompilerOutput(std::string_view output) {
    static constexpr std::array<std::pair<std::string_view, Severity>, 4> KINDS = {{
        {": fatal error: ", Severity::Error},
        {": error: ", Severity::Error},
        {": warning: ", Severity::Warning},
        {": note: ", Severity::Warning},
    }};
    std::vector<CompilerMessage> out;
    std::size_t start = 0;
    while (start < output.size()) {
        std::size_t end = output.find('\n', start);
        if (end == std::string_view::npos) {
            end = output.size();
        }
        std::string_view line = output.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        std::size_t at = std::string_view::npos;
        std::size_t length = 0;
        Severity severity = Severity::Error;
        bool note = false;
        for (const auto& [token, s] : KINDS) {
            const std::size_t p = line.find(token);
            if (p != std::string_view::npos && p < at) {
                at = p;
                length = token.size();
                severity = s;
                note = token == ": note: ";
            }
        }
        if (at == std::string_view::npos || note) {
            continue;
        }
        CompilerMessage m;
        m.severity = severity;
        m.text = line.substr(at + length);
        // "FILE:LINE:COLUMN", "FILE:LINE" or "FILE".
        std::string_view location = line.substr(0, at);
        const auto number = [](std::string_view s) {
            return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
        };
        std::vector<std::string_view> numbers;
        while (numbers.size() < 2) {
            const std::size_t colon = location.rfind(':');
            if (colon == std::string_view::npos || !number(location.substr(colon + 1))) {
                break;
            }
            numbers.push_back(location.substr(colon + 1));
            location = location.substr(0, colon);
        }
        m.file = location;
        if (!numbers.empty()) {
            m.line = std::stoi(std::string(numbers.back()));
        }
        out.push_back(std::move(m));
    }
    return out;
}

std::optional<CCheckJob> prepareCCheck(Document& root, GenerationContext& context,
                                       const std::string& command, bool namesBroken,
                                       std::vector<Finding>& problems) {
    const std::string_view trimmedCommand = trimBlanks(command);
    if (trimmedCommand.empty() || trimmedCommand == "none") {
        return std::nullopt;
    }
    CCheckJob job;
    job.commandText = trimmedCommand;
    job.compiler = splitCommand(trimmedCommand);
    job.rootFile = root.sFullDocname;
    job.namesBroken = namesBroken;
    if (job.compiler.empty()) {
        problems.push_back(compilerProblem(job, "the C compiler command \"" + job.commandText +
                                                    "\" cannot be read (a quote is left open)"));
        return std::nullopt;
    }
    const std::filesystem::path rootPath(root.sFullDocname);
    std::string base = rootPath.stem().string();
    if (base.empty()) {
        base = std::string(GetGraphField(FF_NAME, root.diagram()));
    }
    job.moduleName = base + ".c";
    job.headerName = base + ".h";
    job.includeFolder = rootPath.has_parent_path() ? rootPath.parent_path().string() : ".";

    const std::string lead = drawMarkLead();
    PrivateCopies copies(context, job.texts, lead);
    Document* copy = copies.copyOf(root);
    if (copy == nullptr) {
        return std::nullopt;
    }
    copy->selectGenerator(root.generatorCaption());
    GeneratorKind kind = generatorOf(root.generatorCaption());
    if (kind == GeneratorKind::None) {
        kind = GeneratorKind::Hierarchical;  // the styles that exist only as menu items
    }
    if (kind == GeneratorKind::HierarchicalReentrant) {
        job.instanceType = "T_" + std::string(GetGraphField(FF_NAME, root.diagram()));
    }
    const std::string generated = generate(*copy, kind, copies.context());
    if (generated.empty()) {
        return std::nullopt;
    }
    const std::vector<std::string> parts = splitFields(generated, 2);
    placeDirectives(parts[0], lead, job);
    job.header = withoutMarkers(parts[1], lead);
    return job;
}

std::vector<Finding> runCCheck(const CCheckJob& job, const std::atomic<bool>* cancel) {
    CompileFolder folder;
    if (folder.path().empty()) {
        return {compilerProblem(job, "the C check cannot make its private temporary folder")};
    }
    if (!folder.write(job.headerName, job.header)) {
        return {
            compilerProblem(job, "the C check cannot write its private copy in " + folder.path())};
    }
    CompileOutcome outcome = compile(job, folder, job.moduleName, job.module, cancel);
    if (outcome.problem) {
        return {*outcome.problem};
    }
    std::vector<Finding> findings;

    // Missing target types make every use of them an error. They are found
    // by name in the messages, confirmed by a probe compiled on the users'
    // initialisation alone, then defined for a second compile so that only
    // the one finding below speaks of them.
    std::vector<const TargetType*> mentioned;
    for (const TargetType& t : targetTypes()) {
        if (std::any_of(outcome.messages.begin(), outcome.messages.end(),
                        [&](const CompilerMessage& m) {
                            return m.severity == Severity::Error && mentionsWord(m.text, t.name);
                        })) {
            mentioned.push_back(&t);
        }
    }
    if (!mentioned.empty()) {
        const CompileOutcome probe =
            compile(job, folder, "tarvel-probe.c", probeText(job, mentioned), cancel);
        std::vector<const TargetType*> missing;
        for (std::size_t i = 0; i < mentioned.size(); ++i) {
            if (std::any_of(probe.messages.begin(), probe.messages.end(),
                            [&](const CompilerMessage& m) {
                                return m.severity == Severity::Error && m.file == PROBE_FILE &&
                                       m.line == static_cast<int>(i) + 1;
                            })) {
                missing.push_back(mentioned[i]);
            }
        }
        if (!missing.empty()) {
            std::string prelude;
            std::string list;
            for (std::size_t i = 0; i < missing.size(); ++i) {
                prelude += std::string(missing[i]->definition) + std::string(CRLF);
                list += (i == 0                    ? ""
                         : i + 1 == missing.size() ? " and "
                                                   : ", ") +
                        std::string(missing[i]->name);
            }
            prelude += lineDirective(1, job.moduleName) + std::string(CRLF);
            outcome = compile(job, folder, job.moduleName, prelude + job.module, cancel);
            if (outcome.problem) {
                return {*outcome.problem};
            }
            Finding f;
            f.severity = Severity::Error;
            f.file = job.rootFile;
            f.field = Field::Initialization;
            f.check = UNDEFINED_TARGET_TYPES;
            const bool one = missing.size() == 1;
            f.message = "the generated code uses " + list + ", which " +
                        (one ? "is not defined: it is one of the target's own types; define it"
                             : "are not defined: they are the target's own types; define them") +
                        " in the initialization of the FSM properties (the editor's \"Insert "
                        "standard types\" adds a block to adapt) or in a header it includes";
            findings.push_back(std::move(f));
        }
    }

    // A reentrant module needs its header for the instance type; without it
    // every use of the type fails, which one finding says.
    const bool noInstanceType =
        !job.instanceType.empty() && std::any_of(outcome.messages.begin(), outcome.messages.end(),
                                                 [&](const CompilerMessage& m) {
                                                     return m.severity == Severity::Error &&
                                                            m.file == job.moduleName &&
                                                            mentionsWord(m.text, job.instanceType);
                                                 });
    if (noInstanceType) {
        Finding f;
        f.severity = Severity::Error;
        f.file = job.rootFile;
        f.field = Field::Initialization;
        f.check = C_ERROR;
        f.message = "the generated code uses the instance type " + job.instanceType +
                    ", which the module's header defines: include \"" + job.headerName +
                    "\" in the initialization of the FSM properties";
        findings.push_back(std::move(f));
    }

    std::set<std::tuple<std::string, std::string, int, int, std::string, std::string>> seen;
    for (const CompilerMessage& m : outcome.messages) {
        bool keep = true;
        Finding f = mapped(job, m, keep);
        if (!keep ||
            (noInstanceType && !f.quote.empty() && mentionsWord(m.text, job.instanceType))) {
            continue;
        }
        // A text copied into several places (exit actions) speaks once.
        const auto key = std::tuple(f.file, f.element.label(), static_cast<int>(f.field), f.line,
                                    f.quote, f.message);
        if (seen.insert(key).second) {
            findings.push_back(std::move(f));
        }
    }
    return findings;
}

}  // namespace tarvel
