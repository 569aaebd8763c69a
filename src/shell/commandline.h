// The start-up state of the process and the parser of the command line.
//
// The command line is the program's arguments joined by single blanks. A flag
// switch counts only as a whole word, in any case; /O and /E count only at the
// start of a word, and a word that ends in ".fsm" is never a switch, so
// absolute paths are not mistaken for switches. Every problem found while
// parsing goes to the error log and leaves the command line empty.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvel {

// "Tarvel Editor v" + major + "." + minor + "r" + revision.
std::string VersionText();

// Written once at start-up, read by the rest of the program.
struct StartupState {
    // The diagram path left after every switch was taken, made absolute; empty
    // when there is none or the line had an error. The main frame empties it
    // after opening the file.
    std::string sCommandLine;
    // A batch run: any generation switch was given.
    bool bModeCommand = false;

    // One flag per switch. Of each +/- pair the "+" flag is set only when the
    // "-" switch is absent.
    bool C = false;
    bool CH = false;
    bool CHR = false;
    bool CS = false;
    bool CP = false;
    bool CA = false;
    bool LS = false;
    bool H = false;
    bool HL = false;
    bool W = false;
    bool Dplus = false;
    bool Dminus = false;
    bool ACplus = false;
    bool ACminus = false;
    bool PTplus = false;
    bool PTminus = false;
    bool BFplus = false;
    bool BFminus = false;

    // Folders of /O and /E, without a trailing "/"; empty when absent or invalid.
    std::string sOutputPath;
    std::string sErrorPath;

    // "/?", "-h" or "--help" was given as an argument of its own; nothing
    // else was parsed.
    bool showHelp = false;
    // "--version" was given as an argument of its own; nothing else was parsed.
    bool showVersion = false;
    // Arguments that start with "--" and are no option of the program (what
    // the options' own readers left); each is an error of the run.
    std::vector<std::string> unknownOptions;
    // The /O or /E folder does not exist.
    bool pathSwitchError = false;
    // A long option had a missing or invalid value.
    bool optionError = false;

    // The make rules of the run's outputs go here (--depfile); empty: none.
    std::string depfilePath;

    std::string sVersion = VersionText();
    // Numbers untitled documents.
    int newDocumentCounter = 0;

    // Overrides of the diagram's stored options: empty when neither switch of
    // the pair was given, else the value of the "+" switch.
    std::optional<bool> debugInfoOverride() const;
    std::optional<bool> ansiCommentOverride() const;
    std::optional<bool> printTextBoxesOverride() const;
    std::optional<bool> bitFieldsOverride() const;
};

// The state of this process.
StartupState& startup();

// The text between the quotes when it has at least two characters and starts
// and ends with a double quote; otherwise the text unchanged.
std::string Unquote(std::string_view text);

// Takes the first whole-word occurrence of `sw` (any case) out of `line`: the
// parts before and after it are joined and trimmed. False, and `line`
// unchanged, when there is none.
bool TakeSwitch(std::string& line, std::string_view sw);

// Takes a switch with an attached folder ("/E*", "/O*": the pattern without its
// "*" is the switch) out of `line`. The folder text runs from the switch to the
// next blank; a trailing "/" is removed. `path` receives the folder, or the
// empty text when the switch is absent or the folder does not exist; in the
// latter case "Path error [" + switch + folder + "]" goes to the error log and
// the result is true. The switch and its folder leave `line` in both cases.
bool TakePathSwitch(std::string& line, std::string_view pattern, std::string& path);

// Reads the program's arguments (without the program name). Long options are
// translated into switches first (longoptions.h); the arguments after "--" are
// the diagram path and are never read as switches. The error log is pointed at
// the /E folder as soon as it is known. The caller keeps the result with
// `startup() = ParseCommandLine(args)`.
StartupState ParseCommandLine(const std::vector<std::string>& args);

// The help: the program's name, then one line per switch, each ended by CR LF.
// `programName` may be a path; its folder and a ".exe" extension are left out.
std::string HelpText(std::string_view programName);

// What "--help" shows: the help of the switches, then that of the long
// options and of the simulation.
std::string FullHelpText(std::string_view programName);

}  // namespace tarvel
