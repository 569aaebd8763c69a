// Entry and exit actions of one diagram. The generated dispatcher has no
// separate enter and leave steps: entry actions run behind an entry flag in
// the state's case, and exit actions are copied into every transition that
// leaves the state, or moved into a function of their own when they are long
// and copied often. The analysis also finds states whose exit actions can
// never run because nothing leaves them.
#pragma once

#include <functional>
#include <string>
#include <unordered_set>
#include <string_view>
#include <vector>

namespace tarvel {

class Diagram;

// How the exit functions of one diagram are declared and called.
struct ExitFunctionStyle {
    // Exit functions are named "<state>_OnExit". Two diagrams of one module
    // may have states of the same name: a name already in `usedNames` (the
    // functions of the diagrams generated before) gets the diagram's name
    // prefix appended, so the module still compiles.
    std::string suffix;
    std::unordered_set<std::string>* usedNames = nullptr;
    // Parameter list of an exit function and argument list of its call; the
    // reentrant code passes its instance so that exit actions can reach it.
    std::string parameters = "void";
    std::string arguments;
};

class clsEntryExit {
public:
    using Reporter = std::function<void(const std::string&)>;

    explicit clsEntryExit(Reporter report = {}, ExitFunctionStyle style = {});

    // Analyses the diagram; returns the number of states whose exit actions
    // cannot run (each one reported). hasEntry/hasExit tell whether any state
    // has entry/exit actions.
    int ProcesarEntryExit(const Diagram& diagram, bool& hasEntry, bool& hasExit);

    // Prototypes and definitions of the exit functions, one per line, by index.
    std::string DimeDefinicionExitFunc() const;
    std::string DimeImplementacionExitFunc() const;

    // True when the state has entry actions; `text` receives them.
    bool ExisteEntryAccion(int stateIndex, std::string_view& text) const;
    std::string_view ExitAction(int stateIndex) const;
    // The exit text of one transition (the actions or the call of the exit
    // function) and whether it is a self transition with entry and exit
    // disabled; true when that text must be generated.
    bool ExistExitInThisTrans(int stateIndex, int priority, std::string_view& text,
                              bool& disabled) const;

    int NumNodos() const { return static_cast<int>(m_states.size()); }
    std::string_view StateName(int stateIndex) const;
    int errorCount() const { return m_errors; }

private:
    struct TransitionEntry {
        std::string target;
        bool entryExitDisabled = false;
        bool present = false;
    };
    struct StateEntry {
        std::string name;
        std::string entry;
        std::string exit;
        int exitCount = 0;
        bool exitAsFunction = false;
        std::string prototype;
        std::string body;
        // What every transition out of the state runs: the exit actions
        // themselves or the call of the exit function.
        std::string callText;
        std::vector<TransitionEntry> transitions;  // position p - 1 for priority p
    };

    const StateEntry* entryAt(int stateIndex) const;
    void makeExitFunction(StateEntry& s) const;

    Reporter m_report;
    ExitFunctionStyle m_style;
    std::vector<StateEntry> m_states;  // position k - 1 for state index k
    int m_errors = 0;
};

}  // namespace tarvel
