// One open diagram with what its window keeps beside it: the file path, the
// caption, the generation options, the three editing options and the chosen
// generator. The editor window wraps one; batch runs and tests use it alone.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "model/diagram.h"
#include "model/textmeasurer.h"

namespace tarvel {

class EditHistory;
class EditTransaction;

// The eight generation options, in the order the document keeps them.
struct GenerationOptions {
    bool FunctionInit = false;
    bool FunctionEnd = false;
    bool DebugInfo = false;
    bool AnsiComment = false;
    bool PrintTextBoxes = false;
    bool HistoryFsm = true;
    bool UseBitFields = false;
    bool UseMacros = true;
    friend bool operator==(const GenerationOptions&, const GenerationOptions&) = default;
};

// Option values forced by the command line (/D, /AC, /PT, /BF); empty when the
// switch pair was not given.
struct OptionOverrides {
    std::optional<bool> debugInfo;
    std::optional<bool> ansiComment;
    std::optional<bool> printTextBoxes;
    std::optional<bool> bitFields;
};

// Captions of the generation commands; only the last two generate code.
inline constexpr std::string_view GEN_POINTER_ARRAY = "&Pointer Array...";
inline constexpr std::string_view GEN_DIRECT_POINTERS = "&Direct Pointers...";
inline constexpr std::string_view GEN_SWITCH_CASE = "&Switch Case...";
inline constexpr std::string_view GEN_HIERARCHICAL = "&Hierarchical Switch Case...";
inline constexpr std::string_view GEN_HIERARCHICAL_REENTRANT = "&Hierarchical Switch Case Reentrant...";

class Document {
public:
    explicit Document(const TextMeasurer* measurer = nullptr);
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    Diagram& diagram() { return m_diagram; }
    const Diagram& diagram() const { return m_diagram; }

    const TextMeasurer& measurer() const { return *m_measurer; }
    void setMeasurer(const TextMeasurer* m) { m_measurer = m ? m : &defaultMeasurer(); }

    // The undo history of the window that shows the document; null while no
    // window does. The window registers its history and takes it away again.
    EditHistory* editHistory() const { return m_history; }
    void setEditHistory(EditHistory* history) { m_history = history; }
    // After the document was opened or saved: the history, when there is
    // one, starts afresh from the diagram as it is now.
    void restartHistory();

    // True when the document differs from its file: the diagram reports a
    // change, or the undo history took one as a step since the document was
    // last opened or saved.
    bool GraphHasChanged() const { return m_diagram.DiagramChanged() || m_changesStored; }
    // The document is as its file again: no change reported, none taken.
    void ClearGraphChanges();
    // The undo history took the diagram's changes as a step: they stay
    // unsaved while the diagram's changed flag starts again from false. An
    // edit transaction of a document without a history does this alone.
    void changesStored();

    // Selects the generation command by caption; an empty caption keeps the
    // stored one. Another generator than before marks the diagram changed; a
    // caption that names no command selects the hierarchical generator.
    void selectGenerator(std::string_view caption);
    const std::string& generatorCaption() const { return m_generatorCaption; }

    std::string sFullDocname;
    bool untitled = false;
    std::string previousPath;  // the path before the last Save As
    std::string caption;
    std::string parentPath;
    bool saved = false;

    GenerationOptions options;
    bool autosizeNodes = true;   // "Autosize Nodes"
    bool fixedPitchOnly = true;  // "Fixed Pitch"
    bool hideComments = false;   // "Hide Comments: '//'"

private:
    Diagram m_diagram;
    const TextMeasurer* m_measurer;
    EditHistory* m_history = nullptr;
    bool m_changesStored = false;
    int m_openTransactions = 0;

    friend class EditTransaction;
    std::string m_generatorCaption{GEN_HIERARCHICAL};
};

}  // namespace tarvel
