#include "editor/ui/dialoghooks.h"

namespace tarvel {

DialogHooks& dialogHooks() {
    static DialogHooks hooks;
    return hooks;
}

}  // namespace tarvel
