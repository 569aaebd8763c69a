#include "dialogs/fsmproperties.h"

#include <cmath>

#include "base/paths.h"
#include "base/text.h"
#include "editor/dialogprompter.h"
#include "model/fsmrecord.h"
#include "model/parientes.h"
#include "model/staterecord.h"

namespace tarvel {

namespace {

constexpr int TAB_WIDTH = 4;
constexpr double MAX_LOOPS = 255;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The leading decimal number of a text (blanks, sign, digits, a fraction);
// 0 when the text does not start with one.
double leadingNumber(std::string_view text) {
    bool negative = false;
    std::size_t i = skipBlanksAndSign(text, negative);
    double value = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
    }
    if (i < text.size() && text[i] == '.') {
        double scale = 0.1;
        for (++i; i < text.size() && isDigit(text[i]); ++i) {
            value += (text[i] - '0') * scale;
            scale /= 10;
        }
    }
    return negative ? -value : value;
}

}  // namespace

FsmProperties::FsmProperties(Document& doc, DialogPrompter& prompter)
    : m_doc(doc), m_prompter(prompter), m_locked(doc.diagram().DiagramLocked()) {
    const Diagram& d = doc.diagram();
    auto field = [&d](int f) { return std::string(GetGraphField(f, d)); };
    m_values.name = field(FF_NAME);
    m_values.parameters = field(FF_PARAMETERS);
    m_values.returnType = field(FF_RETURN_TYPE);
    m_values.initialisation = field(FF_INITIALISATION);
    m_values.before = field(FF_BEFORE);
    m_values.defaultActions = field(FF_DEFAULT_ACTIONS);
    m_values.after = field(FF_AFTER);
    m_values.finalCode = field(FF_FINAL_CODE);
    m_values.maxLoops = field(FF_MAX_LOOPS);
    m_values.moduleHeader = field(FF_MODULE_HEADER);
    m_values.functionHeader = field(FF_FUNCTION_HEADER);
    m_values.options = doc.options;
    m_signature = field(FF_SIGNATURE);
    m_funcInitCaption = "Generate a restart function: " + m_values.name + "_Init()";
    m_funcEndCaption = "Generate a final node reached confirmation: " + m_values.name + "_End()";

    clsParientes parientes(doc.sFullDocname);
    parientes.BuscaTodosEnlaces(d);
    m_children = parientes.children();
    m_snapshot = m_values;
}

std::string FsmProperties::signatureLabel() const {
    return "FSM Signature: " + m_signature;
}

std::string& FsmProperties::shownHeader() {
    return m_moduleHeaderShown ? m_values.moduleHeader : m_values.functionHeader;
}

std::string FsmProperties::headerCaption() const {
    return m_moduleHeaderShown ? "This is the module header" : "This is the function header";
}

std::string FsmProperties::cleanCode(std::string_view text) {
    return expandTabs(text, TAB_WIDTH);
}

std::string FsmProperties::normaliseMaxLoops(std::string_view text, bool& clamped) {
    double value = std::round(leadingNumber(text));
    clamped = false;
    if (value > MAX_LOOPS) {
        value = MAX_LOOPS;
        clamped = true;
    } else if (value < 0) {
        value = 0;
        clamped = true;
    }
    return std::to_string(static_cast<int>(value));
}

void FsmProperties::maxLoopsEdited() {
    bool clamped = false;
    m_values.maxLoops = normaliseMaxLoops(m_values.maxLoops, clamped);
    if (clamped) {
        m_prompter.beep();
    }
}

void FsmProperties::setFillColour(Color c) {
    if (m_locked) {
        return;
    }
    m_doc.diagram().setFillColor(c);
    applyDefaultColours(m_doc.diagram());
}

void FsmProperties::setForeColour(Color c) {
    if (m_locked) {
        return;
    }
    m_doc.diagram().setForeColor(c);
    applyDefaultColours(m_doc.diagram());
}

void FsmProperties::resetColours() {
    if (m_locked) {
        return;
    }
    m_doc.diagram().setFillColor(RESET_FILL_COLOUR);
    m_doc.diagram().setForeColor(RESET_FORE_COLOUR);
    applyDefaultColours(m_doc.diagram());
}

void FsmProperties::accept() {
    if (m_locked || m_values == m_snapshot) {
        return;
    }
    const FsmValues& v = m_values;
    std::vector<std::string> f = readFsmRecord(m_doc.diagram());
    f[FF_NAME] = v.name;
    f[FF_PARAMETERS] = v.parameters;
    f[FF_RETURN_TYPE] = v.returnType;
    f[FF_INITIALISATION] = v.initialisation;
    f[FF_BEFORE] = v.before;
    f[FF_DEFAULT_ACTIONS] = v.defaultActions;
    f[FF_AFTER] = v.after;
    f[FF_FINAL_CODE] = v.finalCode;
    f[FF_MODULE_HEADER] = v.moduleHeader;
    f[FF_FUNCTION_HEADER] = v.functionHeader;
    f[FF_MAX_LOOPS] = v.maxLoops;
    // The history option decides the look of the initial state.
    m_doc.options = v.options;
    writeFsmRecord(m_doc, std::move(f));
}

bool FsmProperties::openChild(const std::string& entry, std::string& pendingPath) {
    const std::string path = clsParientes(m_doc.sFullDocname).RutaCompleta(entry);
    if (entry.empty() || !FileExists(path)) {
        pendingPath.clear();
        return false;
    }
    pendingPath = path;
    accept();
    return true;
}

}  // namespace tarvel
