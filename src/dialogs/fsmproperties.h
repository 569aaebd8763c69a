// The rules of the FSM properties dialog, without any window: the values of
// the FSM properties record and of the document's eight generation options,
// the two headers shown in one editor, the loop limit, the default state
// colours and what "Ok" writes.
#pragma once

#include <string>
#include <vector>

#include "model/document.h"

namespace tarvel {

class DialogPrompter;

// What the controls of the FSM properties dialog hold.
struct FsmValues {
    std::string name;
    std::string parameters;
    std::string returnType;
    std::string maxLoops;
    std::string initialisation;
    std::string before;
    std::string defaultActions;
    std::string after;
    std::string finalCode;
    std::string moduleHeader;
    std::string functionHeader;
    GenerationOptions options;
    friend bool operator==(const FsmValues&, const FsmValues&) = default;
};

class FsmProperties {
public:
    static constexpr Color RESET_FILL_COLOUR = 0xFFFFF0;
    static constexpr Color RESET_FORE_COLOUR = 0;

    FsmProperties(Document& doc, DialogPrompter& prompter);

    FsmValues& values() { return m_values; }
    const FsmValues& values() const { return m_values; }
    bool locked() const { return m_locked; }
    std::string signatureLabel() const;
    const std::string& funcInitCaption() const { return m_funcInitCaption; }
    const std::string& funcEndCaption() const { return m_funcEndCaption; }
    const std::vector<std::string>& children() const { return m_children; }

    // One editor shows either header; edits go to the header it shows.
    bool showsModuleHeader() const { return m_moduleHeaderShown; }
    std::string& shownHeader();
    std::string headerCaption() const;
    void switchHeader() { m_moduleHeaderShown = !m_moduleHeaderShown; }

    // Clean-up when a code editor gives its text back: tabs become blanks.
    static std::string cleanCode(std::string_view text);

    // The loop limit after a change: the leading number of the text, rounded,
    // kept within 0..255; `clamped` tells whether a limit was applied.
    static std::string normaliseMaxLoops(std::string_view text, bool& clamped);
    // Applies the rule above to the box and beeps when a limit was applied.
    void maxLoopsEdited();

    // The default colours of new and existing states; they take effect at once.
    void setFillColour(Color c);
    void setForeColour(Color c);
    void resetColours();

    // "Ok": writes the record and the options only when a value differs from
    // the loaded ones. Nothing is written in a locked diagram.
    void accept();
    // "Open Child_FSM": when the child file exists `pendingPath` takes its
    // path, "Ok" follows and true is returned (the dialog closes); otherwise
    // `pendingPath` is cleared.
    bool openChild(const std::string& entry, std::string& pendingPath);

private:
    Document& m_doc;
    DialogPrompter& m_prompter;
    bool m_locked;
    bool m_moduleHeaderShown = true;
    FsmValues m_values;
    FsmValues m_snapshot;
    std::string m_signature;
    std::string m_funcInitCaption;
    std::string m_funcEndCaption;
    std::vector<std::string> m_children;
};

}  // namespace tarvel
