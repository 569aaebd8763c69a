#include "model/document.h"

#include "editor/graphicenhancement.h"
#include "editor/undoredo.h"

namespace tarvel {

Document::Document(const TextMeasurer* measurer)
    : m_measurer(measurer ? measurer : &defaultMeasurer()) {}

Document::~Document() = default;

clsGraphicEnhancement& Document::enhancement() {
    if (!m_enhancement) {
        m_enhancement = std::make_unique<clsGraphicEnhancement>(*this);
    }
    return *m_enhancement;
}

clsLib_UndoRedo& Document::undRed() {
    if (!m_undo) {
        m_undo = std::make_unique<clsLib_UndoRedo>(*this, UndoEnvironment{});
    }
    return *m_undo;
}

void Document::setUndoEnvironment(const UndoEnvironment& env) {
    m_undo = std::make_unique<clsLib_UndoRedo>(*this, env);
}

void Document::selectGenerator(std::string_view caption) {
    if (caption.empty()) {
        caption = m_generatorCaption;
    }
    if (caption != m_generatorCaption) {
        m_diagram.SetDiagramChanged(true);
    }
    for (std::string_view known : {GEN_DIRECT_POINTERS, GEN_SWITCH_CASE, GEN_POINTER_ARRAY,
                                   GEN_HIERARCHICAL, GEN_HIERARCHICAL_REENTRANT}) {
        if (caption == known) {
            m_generatorCaption = std::string(known);
            return;
        }
    }
    m_generatorCaption = std::string(GEN_HIERARCHICAL);
}

}  // namespace tarvel
