#include "editor/fontcommands.h"

#include "model/document.h"
#include "model/edittransaction.h"
#include "model/nodesizing.h"

namespace tarvel {

namespace {

Node* currentComment(const Document& doc) {
    Node* n = doc.diagram().CurrentNode();
    return n != nullptr && n->hasKind(NK_COMMENT) ? n : nullptr;
}

bool canGrow(float size, float delta) {
    return delta > 0 ? size < FontCommands::MAX_SIZE : size > FontCommands::MIN_SIZE;
}

// Repainting is off while many nodes change and on again however the command ends.
class NoRepaint {
public:
    explicit NoRepaint(Diagram& d) : m_d(d) { m_d.setRepaintEnabled(false); }
    ~NoRepaint() { m_d.setRepaintEnabled(true); }
    NoRepaint(const NoRepaint&) = delete;
    NoRepaint& operator=(const NoRepaint&) = delete;

private:
    Diagram& m_d;
};

}  // namespace

void FontCommands::step(Document& doc, float delta) {
    Diagram& d = doc.diagram();
    if (d.DiagramLocked()) {
        return;
    }
    EditTransaction edit(doc);
    NoRepaint quiet(d);
    if (Node* comment = currentComment(doc)) {
        d.SetDiagramChanged(true);
        Font f = comment->NodeFont();
        if (canGrow(f.size, delta)) {
            f.size += delta;
            comment->setNodeFont(f);
        }
        AdjustSize(doc, *comment);
    } else if (canGrow(d.DiagramFont().size, delta)) {
        d.SetDiagramChanged(true);
        Font f = d.DiagramFont();
        f.size += delta;
        d.setDiagramFont(f);
        for (const auto& n : d.NodeList()) {
            Font nodeFont = n->NodeFont();
            nodeFont.size = f.size;
            n->setNodeFont(nodeFont);
            AdjustSize(doc, *n);
        }
    }
}

void FontCommands::Enlarge(Document& doc) {
    step(doc, 1);
}

void FontCommands::Reduce(Document& doc) {
    step(doc, -1);
}

Font FontCommands::presetFont(const Document& doc) {
    const Node* comment = currentComment(doc);
    return comment != nullptr ? comment->NodeFont() : doc.diagram().DiagramFont();
}

Color FontCommands::presetColour(const Document& doc) {
    const Node* comment = currentComment(doc);
    return comment != nullptr ? comment->NodeForeColor() : doc.diagram().ForeColor();
}

void FontCommands::Change(Document& doc, const Font& font, Color colour) {
    Diagram& d = doc.diagram();
    if (d.DiagramLocked()) {
        return;
    }
    EditTransaction edit(doc);
    d.SetDiagramChanged(true);
    if (Node* comment = currentComment(doc)) {
        comment->setNodeFont(font);
        comment->setNodeForeColor(colour);
        AdjustSize(doc, *comment);
    } else {
        d.setDiagramFont(font);
        NoRepaint quiet(d);
        for (const auto& n : d.NodeList()) {
            n->setNodeFont(font);
            AdjustSize(doc, *n);
        }
    }
}

void FontCommands::FixedPitch(Document& doc) {
    Diagram& d = doc.diagram();
    if (d.DiagramLocked()) {
        return;
    }
    EditTransaction edit(doc);
    doc.fixedPitchOnly = !doc.fixedPitchOnly;
    // The choice is kept in the FSM properties record when the diagram is
    // saved, so it counts as a change.
    d.SetDiagramChanged(true);
}

}  // namespace tarvel
