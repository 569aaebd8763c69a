#include "shell/longoptions.h"

#include <algorithm>
#include <array>

#include "base/paths.h"
#include "base/text.h"
#include "shell/commandline.h"

namespace tarvel {

namespace {

bool applyStyle(std::string_view value, StartupState&, LongOptionParse& parse) {
    constexpr std::pair<std::string_view, std::string_view> styles[] = {
        {"ch", "/CH"}, {"chr", "/CHR"}, {"default", "/C"}};
    for (const auto& [name, sw] : styles) {
        if (equalsIgnoreCaseAscii(value, name)) {
            parse.words.emplace_back(sw);
            return true;
        }
    }
    return false;
}

bool applyOutput(std::string_view value, StartupState&, LongOptionParse& parse) {
    parse.outputFolder = std::string(value);
    return true;
}

bool applyErrorLog(std::string_view value, StartupState&, LongOptionParse& parse) {
    parse.errorFolder = std::string(value);
    return true;
}

bool applyDepfile(std::string_view value, StartupState& state, LongOptionParse&) {
    if (value.empty()) {
        return false;
    }
    state.depfilePath = MakeFullPath(value);
    return true;
}

// "--help" and "--version" stay as they are: the switch parser knows them.
constexpr std::array LONG_OPTIONS = {
    LongOption{"style", LongValue::Required, "ch|chr|default",
               "C module and header (/CH, /CHR, /C)", "", "", applyStyle},
    LongOption{"list", LongValue::None, "", "the list file (/LS)", "/LS", ""},
    LongOption{"html", LongValue::None, "", "the HTML page (/H)", "/H", ""},
    LongOption{"html-links", LongValue::None, "",
               "the HTML page, child pages linked beside it (/HL)", "/HL", ""},
    LongOption{"picture", LongValue::None, "", "the diagram picture, .wmf and .svg (/W)", "/W", ""},
    LongOption{"output", LongValue::Required, "DIR", "output folder (/O)", "", "", applyOutput},
    LongOption{"error-log", LongValue::Required, "DIR", "folder of FSM_ERR.log (/E)", "", "",
               applyErrorLog},
    LongOption{"depfile", LongValue::Required, "FILE",
               "make rules: the outputs depend on the diagrams", "", "", applyDepfile},
    LongOption{"debug", LongValue::YesNo, "", "debug information on or off (/D+, /D-)", "/D+",
               "/D-"},
    LongOption{"ansi-comments", LongValue::YesNo, "", "/* */ comments on or off (/AC+, /AC-)",
               "/AC+", "/AC-"},
    LongOption{"text-boxes", LongValue::YesNo, "", "text boxes in the code on or off (/PT+, /PT-)",
               "/PT+", "/PT-"},
    LongOption{"bit-fields", LongValue::YesNo, "", "bit-fields on or off (/BF+, /BF-)", "/BF+",
               "/BF-"},
    LongOption{"help", LongValue::None, "", "this help (/?, -h)", "--help", ""},
    LongOption{"version", LongValue::None, "", "the version", "--version", ""},
};

// The option as the help and the error lines show it.
std::string spelled(const LongOption& option, std::string_view value) {
    std::string text = "--" + std::string(option.name);
    if (option.value == LongValue::Required || !value.empty()) {
        text += "=" + std::string(value);
    }
    return text;
}

bool applyOption(const LongOption& option, std::string_view value, StartupState& state,
                 LongOptionParse& parse) {
    if (option.apply != nullptr) {
        return option.apply(value, state, parse);
    }
    parse.words.emplace_back(value == "no" ? option.switchNo : option.switchYes);
    return true;
}

}  // namespace

std::span<const LongOption> LongOptions() {
    return LONG_OPTIONS;
}

const LongOption* FindLongOption(std::string_view name) {
    const auto it = std::find_if(LONG_OPTIONS.begin(), LONG_OPTIONS.end(),
                                 [name](const LongOption& o) { return o.name == name; });
    return it == LONG_OPTIONS.end() ? nullptr : &*it;
}

LongOptionParse TranslateLongOptions(const std::vector<std::string>& args, StartupState& state) {
    LongOptionParse parse;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {
            parse.operands.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
            break;
        }
        const std::size_t equals = arg.find('=');
        const LongOption* option = arg.starts_with("--")
                                       ? FindLongOption(std::string_view(arg).substr(2, equals - 2))
                                       : nullptr;
        if (option == nullptr) {
            parse.words.push_back(arg);
            continue;
        }
        const bool attached = equals != std::string::npos;
        std::string value = attached ? arg.substr(equals + 1) : std::string();
        bool valid = true;
        switch (option->value) {
            case LongValue::None:
                valid = !attached;
                break;
            case LongValue::YesNo:
                if (!attached || equalsIgnoreCaseAscii(value, "yes")) {
                    value = "yes";
                } else if (equalsIgnoreCaseAscii(value, "no")) {
                    value = "no";
                } else {
                    valid = false;
                }
                break;
            case LongValue::Required:
                // GNU style: the value may also be the next argument.
                if (!attached) {
                    if (i + 1 == args.size() || args[i + 1] == "--") {
                        parse.errors.push_back(arg);
                        continue;
                    }
                    value = args[++i];
                }
                break;
        }
        if (!valid || !applyOption(*option, value, state, parse)) {
            parse.errors.push_back(attached ? arg : spelled(*option, value));
        }
    }
    return parse;
}

std::string LongOptionsHelpText() {
    std::vector<std::string> names;
    std::size_t width = 0;
    for (const LongOption& option : LONG_OPTIONS) {
        std::string name = "--" + std::string(option.name);
        if (option.value == LongValue::Required) {
            name += "=" + std::string(option.valueName);
        } else if (option.value == LongValue::YesNo) {
            name += "[=no]";
        }
        width = std::max(width, name.size());
        names.push_back(std::move(name));
    }
    std::string text = " Long options, the same as the switches:";
    text += CRLF;
    for (std::size_t i = 0; i < names.size(); ++i) {
        text += " " + padRight(names[i], width) + "  " + std::string(LONG_OPTIONS[i].help);
        text += CRLF;
    }
    text += " " + padRight("--", width) + "  end of the options: the diagram path follows";
    text += CRLF;
    return text;
}

}  // namespace tarvel
