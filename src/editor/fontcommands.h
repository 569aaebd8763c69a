// The font commands of the document window: Enlarge, Reduce, Change and Fixed
// Pitch. A current comment node gets the change alone; otherwise the
// diagram's font changes and every node takes it. Nodes are fitted to their
// text again. Nothing happens while the diagram is locked. Each command that
// changes something ends with one undo step.
//
// A comment being edited in place must be committed by the caller first.
#pragma once

#include "model/types.h"

namespace tarvel {

class Document;

class FontCommands {
public:
    static constexpr float MAX_SIZE = 36;
    static constexpr float MIN_SIZE = 3;

    static void Enlarge(Document& doc);
    static void Reduce(Document& doc);
    // The font (and, for a comment node, the text colour) the font dialog
    // should show first.
    static Font presetFont(const Document& doc);
    static Color presetColour(const Document& doc);
    // The current comment node, if any, gets the font and colour; otherwise
    // the diagram and every node get the font.
    static void Change(Document& doc, const Font& font, Color colour);
    // Limits the font dialog to fixed-pitch fonts, or lifts the limit.
    static void FixedPitch(Document& doc);

private:
    static void step(Document& doc, float delta);
};

}  // namespace tarvel
