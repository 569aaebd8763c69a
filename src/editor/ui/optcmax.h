// The options shared by every code editor, one object for the whole program.
//
// Created on first use: it reads the editor options from the settings store
// (section "cMax") and the word lists and colour table from "Coder.ini": the
// first one found beside the program, in the installed data folder
// (share/tarvel beside the program's folder) or in the user's config folder.
// Colours the user changed live in the user's own "Coder.ini" and are taken
// from there over the program's. A missing or damaged colour table is
// replaced by the defaults, written to the user's config folder, and the user
// is told. When the program ends the options go back to the settings store,
// and the colour table to the user's file when it differs from what was read.
#pragma once

#include <QString>
#include <QStringList>
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

    // "Coder.ini" beside the program and in the installed data folder, in
    // the order they are looked for, and in the user's config folder.
    static QStringList programIniPaths();
    static QString userIniPath();

    clsLib_OptCMax(const QStringList& programIni, const QString& userIni,
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
    std::string m_fileText;     // the file as read (or repaired), rewritten with the colours
    ColourTable m_readColours;  // the colours as read: unchanged, nothing is written
    bool m_repaired = false;
};

}  // namespace tarvel
