#include "model/document.h"

#include "model/edithistory.h"

namespace tarvel {

Document::Document(const TextMeasurer* measurer)
    : m_measurer(measurer ? measurer : &defaultMeasurer()) {}

Document::~Document() = default;

void Document::restartHistory() {
    if (m_history != nullptr) {
        m_history->Init();
    }
}

void Document::ClearGraphChanges() {
    m_changesStored = false;
    m_diagram.SetDiagramChanged(false);
}

void Document::changesStored() {
    m_changesStored = true;
    m_diagram.SetDiagramChanged(false);
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
