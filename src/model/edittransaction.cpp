#include "model/edittransaction.h"

#include "model/document.h"
#include "model/edithistory.h"

namespace tarvel {

EditTransaction::EditTransaction(Document& doc)
    : m_doc(doc), m_before(doc.diagram().DiagramChanged()) {
    ++m_doc.m_openTransactions;
    m_doc.diagram().SetDiagramChanged(false);
}

EditTransaction::~EditTransaction() {
    commit();
}

bool EditTransaction::commit() {
    if (!m_open) {
        return m_changed;
    }
    m_open = false;
    --m_doc.m_openTransactions;
    Diagram& d = m_doc.diagram();
    m_changed = d.DiagramChanged();
    if (m_doc.m_openTransactions > 0) {
        // The outer transaction takes the step, for this change and its own.
        d.SetDiagramChanged(m_changed || m_before);
    } else if (m_changed) {
        if (EditHistory* history = m_doc.editHistory()) {
            history->StoreGraphChanges();
        } else {
            m_doc.changesStored();
        }
    } else if (m_before) {
        d.SetDiagramChanged(true);
    }
    return m_changed;
}

}  // namespace tarvel
