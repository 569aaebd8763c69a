#include "shell/commandline.h"

#include <array>

#include "base/logs.h"
#include "base/paths.h"
#include "base/text.h"
#include "shell/batchcheck.h"
#include "shell/longoptions.h"
#include "shell/simulationrun.h"

namespace tarvel {

namespace {

constexpr std::string_view FSM_EXTENSION = ".FSM";

bool isWordStart(std::string_view line, std::size_t pos) {
    return pos == 0 || line[pos - 1] == ' ';
}

bool isWordEnd(std::string_view line, std::size_t pos) {
    return pos == line.size() || line[pos] == ' ';
}

// The end of the word that starts at or before `pos`: the next blank or the end.
std::size_t wordEnd(std::string_view line, std::size_t pos) {
    const std::size_t blank = line.find(' ', pos);
    return blank == std::string_view::npos ? line.size() : blank;
}

// `upper` is the upper-cased word; a diagram path is never a switch.
bool endsInFsm(std::string_view upper) {
    return upper.ends_with(FSM_EXTENSION);
}

// Position of the first whole word that equals `word` in the upper-cased line.
std::size_t findWholeWord(std::string_view upperLine, std::string_view word) {
    for (std::size_t pos = upperLine.find(word); pos != std::string_view::npos;
         pos = upperLine.find(word, pos + 1)) {
        if (isWordStart(upperLine, pos) && isWordEnd(upperLine, pos + word.size())) {
            return pos;
        }
    }
    return std::string_view::npos;
}

// Position of the first word that starts with `prefix` and does not end in
// ".fsm", in the upper-cased line.
std::size_t findWordStart(std::string_view upperLine, std::string_view prefix) {
    for (std::size_t pos = upperLine.find(prefix); pos != std::string_view::npos;
         pos = upperLine.find(prefix, pos + 1)) {
        if (!isWordStart(upperLine, pos)) {
            continue;
        }
        if (!endsInFsm(upperLine.substr(pos, wordEnd(upperLine, pos) - pos))) {
            return pos;
        }
    }
    return std::string_view::npos;
}

std::string joinArguments(const std::vector<std::string>& args) {
    std::string line;
    for (const auto& arg : args) {
        if (&arg != &args.front()) {
            line += ' ';
        }
        line += arg;
    }
    return line;
}

// Removes a trailing "/" of a folder text; the root keeps its only "/".
std::string dropTrailingSlash(std::string_view folder) {
    if (folder.size() > 1 && folder.back() == '/') {
        folder.remove_suffix(1);
    }
    return std::string(folder);
}

}  // namespace

std::string VersionText() {
    return "Tarvel Editor v" + std::to_string(TARVEL_VERSION_MAJOR) + "." +
           std::to_string(TARVEL_VERSION_MINOR) + "r" + std::to_string(TARVEL_VERSION_REVISION);
}

std::optional<bool> StartupState::debugInfoOverride() const {
    if (!Dplus && !Dminus) {
        return std::nullopt;
    }
    return Dplus;
}

std::optional<bool> StartupState::ansiCommentOverride() const {
    if (!ACplus && !ACminus) {
        return std::nullopt;
    }
    return ACplus;
}

std::optional<bool> StartupState::printTextBoxesOverride() const {
    if (!PTplus && !PTminus) {
        return std::nullopt;
    }
    return PTplus;
}

std::optional<bool> StartupState::bitFieldsOverride() const {
    if (!BFplus && !BFminus) {
        return std::nullopt;
    }
    return BFplus;
}

StartupState& startup() {
    static StartupState state;
    return state;
}

std::string Unquote(std::string_view text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        return std::string(text.substr(1, text.size() - 2));
    }
    return std::string(text);
}

bool TakeSwitch(std::string& line, std::string_view sw) {
    if (sw.empty()) {
        return false;
    }
    const std::size_t pos = findWholeWord(upperAscii(line), upperAscii(sw));
    if (pos == std::string::npos) {
        return false;
    }
    const std::string joined = line.substr(0, pos) + line.substr(pos + sw.size());
    line = std::string(trimBlanks(joined));
    return true;
}

bool TakePathSwitch(std::string& line, std::string_view pattern, std::string& path) {
    const std::string sw = upperAscii(pattern.substr(0, pattern.find('*')));
    path.clear();
    if (sw.empty()) {
        return false;
    }
    const std::size_t pos = findWordStart(upperAscii(line), sw);
    if (pos == std::string::npos) {
        return false;
    }
    const std::size_t end = wordEnd(line, pos);
    const std::string folder = dropTrailingSlash(
        trimBlanks(std::string_view(line).substr(pos + sw.size(), end - pos - sw.size())));

    // The part after the folder starts after the blank that ends it.
    const std::string joined =
        line.substr(0, pos) + (end < line.size() ? line.substr(end + 1) : "");
    line = std::string(trimBlanks(joined));

    if (!PathExists(folder)) {
        LogError("Path error [" + sw + folder + "]");
        return true;
    }
    path = folder;
    return false;
}

namespace {

// A folder given with a long option replaces that of the switch. False, and
// the folder text empty, when it does not exist.
bool takeLongFolder(const std::optional<std::string>& given, std::string_view option,
                    std::string& path) {
    if (!given) {
        return true;
    }
    path.clear();
    const std::string folder = dropTrailingSlash(*given);
    if (!PathExists(folder)) {
        LogError("Path error [--" + std::string(option) + "=" + *given + "]");
        return false;
    }
    path = folder;
    return true;
}

}  // namespace

StartupState ParseCommandLine(const std::vector<std::string>& args) {
    StartupState state;
    const LongOptionParse options = TranslateLongOptions(args, state);
    std::string line = Unquote(joinArguments(options.words));
    state.sCommandLine = line;
    const bool nothingGiven = line.empty() && options.operands.empty() && options.errors.empty() &&
                              !options.outputFolder && !options.errorFolder &&
                              state.depfilePath.empty();
    if (nothingGiven) {
        return state;
    }

    // The help and the version count only as arguments of their own, like
    // the switches, never as a part of a path ("a?/q.fsm", "my -h dir").
    for (const std::string& word : options.words) {
        const std::string upper = upperAscii(word);
        if (upper == "/?" || upper == "-H" || upper == "--HELP") {
            state.showHelp = true;
            return state;
        }
    }
    for (const std::string& word : options.words) {
        if (upperAscii(word) == "--VERSION") {
            state.showVersion = true;
            return state;
        }
    }

    // An invalid /E folder is reported in the current folder; a later /O error
    // already goes to a valid /E folder.
    SetErrorPath("");
    bool pathError = TakePathSwitch(line, "/E*", state.sErrorPath);
    pathError = !takeLongFolder(options.errorFolder, "error-log", state.sErrorPath) || pathError;
    SetErrorPath(state.sErrorPath);
    for (const std::string& bad : options.errors) {
        LogError("Option error [" + bad + "]");
    }
    state.optionError = !options.errors.empty();
    pathError = TakePathSwitch(line, "/O*", state.sOutputPath) || pathError;
    pathError = !takeLongFolder(options.outputFolder, "output", state.sOutputPath) || pathError;
    state.pathSwitchError = pathError;

    // Longer switches first, so that "/CHR" is never read as "/CH" or "/C" and
    // "/HL" never as "/H".
    state.CS = TakeSwitch(line, "/CS");
    state.CP = TakeSwitch(line, "/CP");
    state.CA = TakeSwitch(line, "/CA");
    state.CHR = TakeSwitch(line, "/CHR");
    state.CH = TakeSwitch(line, "/CH");
    state.C = TakeSwitch(line, "/C");
    state.LS = TakeSwitch(line, "/LS");
    state.HL = TakeSwitch(line, "/HL");
    state.H = TakeSwitch(line, "/H");
    state.W = TakeSwitch(line, "/W");
    // Both switches of a pair leave the line; "-" wins when both are given.
    state.Dminus = TakeSwitch(line, "/D-");
    state.Dplus = TakeSwitch(line, "/D+") && !state.Dminus;
    state.ACminus = TakeSwitch(line, "/AC-");
    state.ACplus = TakeSwitch(line, "/AC+") && !state.ACminus;
    state.PTminus = TakeSwitch(line, "/PT-");
    state.PTplus = TakeSwitch(line, "/PT+") && !state.PTminus;
    state.BFminus = TakeSwitch(line, "/BF-");
    state.BFplus = TakeSwitch(line, "/BF+") && !state.BFminus;

    state.bModeCommand = state.W || state.H || state.HL || state.LS || state.C || state.CH ||
                         state.CHR || state.CS || state.CP || state.CA;

    // Every option reader before this one took its own options, and the long
    // options were translated: an argument that still starts with "--" is
    // no option of the program (a typing error such as "--chek"). It leaves
    // the line, so that the path is not blamed for it.
    for (const std::string& word : options.words) {
        if (word.starts_with("--")) {
            LogError("Option error [" + word + "]: unknown option");
            state.unknownOptions.push_back(word);
            state.optionError = true;
            TakeSwitch(line, word);
        }
    }
    // The arguments after "--" are part of the path as they stand.
    for (const std::string& operand : options.operands) {
        line += line.empty() ? operand : " " + operand;
    }
    if (state.CS || state.CP || state.CA) {
        LogError("The options /CS, /CP & /CA aren not valid for this release");
        line.clear();
    }
    if (!IsFsmPath(line)) {
        LogError("Fsm path error [" + line + "]");
        line.clear();
    }
    if (!state.depfilePath.empty() && !state.bModeCommand) {
        LogError("Option error [--depfile=" + state.depfilePath + "] needs a generation switch");
        state.optionError = true;
    }
    // A diagram named without a folder finds its children beside it wherever
    // the current folder moves later.
    line = pathError || state.optionError || line.empty() ? std::string() : MakeFullPath(line);
    state.sCommandLine = line;
    return state;
}

std::string HelpText(std::string_view programName) {
    static constexpr std::array<std::string_view, 20> lines = {
        " file.fsm [/?][/C[H]][/H[L]][/W][/O<path>][/E<path>][/D+|-][/AC+|-][/PT+|-][/BF+|-]",
        " /C   generates default C-code",
        " /CH  generates \"hierachical switch case\" code",
        " /CHR generates \"hierachical switch case reentrant\" code",
        " /LS  generates list",
        " /H   generates HTML",
        " /HL  generates HTML with",
        "         links in the same path",
        " /W   generates WMF",
        " /O   output path",
        " /E   error file output path",
        " /D+  with debug info",
        " /D-   without debug info",
        " /AC+ ANSI comments: \"/* */\"",
        " /AC- not ANSI comments: \"//  \"",
        " /PT+ print the text boxes into the code",
        " /PT- don't print the text boxes into the code",
        " /BF- don't use bitfields",
        " /BF+ use bitfields to save RAM",
        " /?   Help",
    };
    std::string name = GetFileName(programName);
    if (name.size() > 4 &&
        equalsIgnoreCaseAscii(std::string_view(name).substr(name.size() - 4), ".exe")) {
        name.resize(name.size() - 4);
    }
    std::string text = name + std::string(CRLF);
    for (const auto line : lines) {
        text += line;
        text += CRLF;
    }
    return text;
}

std::string FullHelpText(std::string_view programName) {
    return HelpText(programName) + std::string(CRLF) + LongOptionsHelpText() +
           std::string(CRLF) + SimulationHelpText() + std::string(CRLF) + CheckHelpText();
}

}  // namespace tarvel
