// The messages, questions and beeps the property dialogs and the find walk put
// to the user. The editor answers them with message boxes; tests script them.
#pragma once

#include <string_view>

namespace tarvel {

class DialogPrompter {
public:
    virtual ~DialogPrompter() = default;
    // A message with an OK button only, titled with the program's title.
    virtual void message(std::string_view text) = 0;
    // A question with OK and Cancel; true when the user chose OK.
    virtual bool confirm(std::string_view title, std::string_view text) = 0;
    virtual void beep() = 0;
};

}  // namespace tarvel
