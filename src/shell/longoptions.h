// Long options in the GNU style ("--list", "--style=ch", "--output DIR"),
// translated into the program's own switches before the command line is
// parsed, so both forms mean exactly the same.
//
// The translation works on whole arguments. A known option becomes the switch
// words it stands for, or sets a value of the start-up state directly (the
// folders and the depfile, whose values may hold blanks that the switch form
// cannot carry). Every other argument, an unknown "--word" included, is passed
// on untouched, so that another layer can take it. "--" ends the options: the
// arguments after it are the diagram path, never read as switches.
//
// A further option is one row of the table in longoptions.cpp: its name, what
// value it takes, its help line and the small function that applies it.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvel {

struct StartupState;

enum class LongValue {
    None,      // "--list"
    Required,  // "--output=DIR" or "--output DIR"
    YesNo,     // "--debug" (yes), "--debug=yes", "--debug=no"
};

// What the translation of one command line produced.
struct LongOptionParse {
    // The switch words of the known options and every other argument before
    // "--", in the order given.
    std::vector<std::string> words;
    // The arguments after "--".
    std::vector<std::string> operands;
    // Folders given with --output and --error-log (checked by the parser).
    std::optional<std::string> outputFolder;
    std::optional<std::string> errorFolder;
    // Known options with a missing or invalid value, as the user wrote them.
    std::vector<std::string> errors;
};

struct LongOption {
    std::string_view name;  // without the leading "--"
    LongValue value;
    std::string_view valueName;  // shown in the help: "DIR", "ch|chr|default"
    std::string_view help;       // one line of the help
    // The switch word the option stands for (with "yes"), and the one of
    // "=no"; empty when `apply` does the work instead.
    std::string_view switchYes;
    std::string_view switchNo;
    // Applies an option that is not a plain switch. `value` is empty for
    // LongValue::None and "yes" or "no" for LongValue::YesNo. False when the
    // value is not one the option takes.
    bool (*apply)(std::string_view value, StartupState& state, LongOptionParse& parse) = nullptr;
};

// Every long option, in the order of the help.
std::span<const LongOption> LongOptions();

// The option named `name` (without "--"); nullptr when there is none.
const LongOption* FindLongOption(std::string_view name);

// Translates the long options of `args` (the program's arguments without its
// name). Values that have no switch form are written into `state`.
LongOptionParse TranslateLongOptions(const std::vector<std::string>& args, StartupState& state);

// The help of the long options: a heading line, then one line per option,
// each ended by CR LF like the switches' help.
std::string LongOptionsHelpText();

}  // namespace tarvel
