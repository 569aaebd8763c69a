// The options shared by every code editor, one object for the whole program.
//
// Created on first use: it reads the editor options from the settings store
// (section "cMax") and the colour table and word lists from "Coder.ini" (the
// program's folder when the file is there, else the user's config folder).
// A missing or damaged colour table is replaced by the defaults, written to
// the user's config folder, and the user is told. When the program ends the
// options go back to the settings store and the colour table to the file.
#pragma once

#include <QString>
#include <functional>
#include <string>

#include "dialogs/coderini.h"
#include "dialogs/editoroptions.h"

namespace tarvel {

class CodeEditor;

class clsLib_OptCMax {
public:
    using MessageHandler = std::function<void(const QString&)>;

    static clsLib_OptCMax& instance();
    // Where the damaged-file message goes; a message box unless tests set one.
    // Must be set before the first use of instance().
    static void setMessageHandler(MessageHandler handler);

    // "Coder.ini" in the program's folder and in the user's config folder.
    static QString programIniPath();
    static QString userIniPath();

    clsLib_OptCMax(const QString& programIni, const QString& userIni,
                   const MessageHandler& message);

    // Applies the shared options, colours and word lists to an editor.
    void GetConfig(CodeEditor& cMax) const;
    // Takes the options, colours and styles back from an editor.
    void SetConfig(const CodeEditor& cMax);
    // Writes the options to the settings store and the colour table to the
    // user's "Coder.ini".
    void save() const;

    const EditorOptions& options() const { return m_options; }
    const ColourTable& colours() const { return m_colours; }
    const CoderLanguage& language() const { return m_language; }

private:
    QString m_userIni;
    EditorOptions m_options;
    ColourTable m_colours;
    CoderLanguage m_language;
    std::string m_fileText;  // the file as read (or repaired), rewritten with the colours
};

}  // namespace tarvel
