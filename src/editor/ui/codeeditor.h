// The code editor of the property dialogs: a QScintilla editor with the C
// lexer "my_C", the options shared by every editor, and the repository on F2.
//
// The shared options (clsLib_OptCMax) are applied when the editor gets the
// focus and read back when it loses it, so a change made in one editor is in
// force in the next. Colours live in numbered slots that the options object
// fills from the colour table of "Coder.ini" and reads back unchanged.
//
// Texts go in and out as the records hold them: UTF-8 with CR LF line
// breaks, whatever the editor uses inside; an untouched text comes back with
// exactly the bytes it was given.
#pragma once

#include <Qsci/qsciscintilla.h>

#include <QColor>
#include <array>
#include <functional>
#include <string>

#include "dialogs/editoroptions.h"

namespace tarvel {

class CodeEditorLexer;
class Document;

// What each colour slot holds.
enum ColourSlot {
    CS_WINDOW = 0,
    CS_LEFT_MARGIN = 1,
    CS_BOOKMARK = 2,
    CS_BOOKMARK_BK = 3,
    CS_TEXT = 4,
    CS_TEXT_BK = 5,
    CS_NUMBER = 6,
    CS_NUMBER_BK = 7,
    CS_KEYWORD = 8,
    CS_KEYWORD_BK = 9,
    CS_OPERATOR = 10,
    CS_OPERATOR_BK = 11,
    CS_SCOPE = 12,
    CS_SCOPE_BK = 13,
    CS_COMMENT = 14,
    CS_COMMENT_BK = 15,
    CS_STRING = 16,
    CS_STRING_BK = 17,
    CS_TAG_TEXT = 18,
    CS_TAG_TEXT_BK = 19,
    CS_TAG_ENTITY = 20,
    CS_TAG_ENTITY_BK = 21,
    CS_TAG_ELEMENT = 22,
    CS_TAG_ELEMENT_BK = 23,
    CS_TAG_ATTRIBUTE = 24,
    CS_TAG_ATTRIBUTE_BK = 25,
    CS_LINE_NUMBER = 26,
    CS_LINE_NUMBER_BK = 27,
    CS_H_DIVIDER = 28,
    CS_V_DIVIDER = 29,
    CS_HIGHLIGHTED_LINE = 30,
    COLOUR_SLOT_COUNT = 31
};

// What each font-style slot holds (slot 9 is unused).
enum StyleSlot {
    SS_TEXT = 0,
    SS_NUMBER = 1,
    SS_KEYWORD = 2,
    SS_OPERATOR = 3,
    SS_SCOPE = 4,
    SS_COMMENT = 5,
    SS_STRING = 6,
    SS_TAG_TEXT = 7,
    SS_TAG_ATTRIBUTE = 8,
    SS_TAG_NAME = 10,
    SS_LINE_NUMBER = 11,
    STYLE_SLOT_COUNT = 12
};

// Gives a text box (line edit or plain text box) the look and behaviour of a
// locked box: read-only on the locked background; or editable on white.
void setLockedLook(QWidget* box, bool locked);

class CodeEditor : public QsciScintilla {
    Q_OBJECT
public:
    static constexpr QRgb LOCKED_PAPER = 0xFFFFFFC4;  // red 255, green 255, blue 196

    explicit CodeEditor(QWidget* parent = nullptr);
    ~CodeEditor() override;

    void setRecordText(const std::string& text);
    std::string recordText() const;
    // Replaces the text after a clean-up, keeping the caret where it was.
    void replaceRecordText(const std::string& text);

    // Read-only with the locked background, or editable on white.
    void setLocked(bool locked);
    bool locked() const { return isReadOnly(); }

    // The document whose words F2 offers; without one F2 does nothing.
    void setRepositoryDocument(Document* doc) { m_repositoryDoc = doc; }
    bool repositoryOpen() const { return m_repositoryOpen; }

    // Options and slots, as the shared options object applies and reads them.
    const EditorOptions& options() const { return m_options; }
    void setOptions(const EditorOptions& options);
    int colourSlot(int slot) const { return m_colours.at(static_cast<std::size_t>(slot)); }
    void setColourSlot(int slot, int colour) {
        m_colours.at(static_cast<std::size_t>(slot)) = colour;
    }
    int styleSlot(int slot) const { return m_styles.at(static_cast<std::size_t>(slot)); }
    void setStyleSlot(int slot, int style) { m_styles.at(static_cast<std::size_t>(slot)) = style; }
    void setKeywordLists(const QString& keywords, const QString& scopeKeywords);
    // Shows the options, slots and lists set above.
    void applyLook();

signals:
    // The editor lost the focus to another control: the dialog takes its text
    // back and cleans it. Not sent while the repository window is open or a
    // menu of the editor is shown.
    void textTakenBack();

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    void openRepository();
    void addOptionsMenu(QMenu& menu);
    void changeOption(const std::function<void(EditorOptions&)>& change);

    CodeEditorLexer* m_lexer;
    EditorOptions m_options;
    std::array<int, COLOUR_SLOT_COUNT> m_colours{};
    std::array<int, STYLE_SLOT_COUNT> m_styles{};
    QColor m_paper = Qt::white;
    QString m_loadedText;
    std::string m_loadedBytes;
    Document* m_repositoryDoc = nullptr;
    bool m_repositoryOpen = false;
};

}  // namespace tarvel
