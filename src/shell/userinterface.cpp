#include "shell/userinterface.h"

#include "base/logs.h"

namespace tarvel {

void BatchUserInterface::showMessage(std::string_view, std::string_view text, MessageIcon) {
    LogError(text);
}

Answer BatchUserInterface::ask(std::string_view, std::string_view text, MessageIcon, bool,
                               Answer defaultAnswer) {
    LogError(text);
    return defaultAnswer;
}

}  // namespace tarvel
