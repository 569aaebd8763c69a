// The picture, page and list exports of one document, shared by the editor's
// commands and the batch run.
//
// In the editor a save dialog proposes the name (the document's output base
// name with the export's extension); a batch run uses that name without
// asking. Every file is written whole or not at all, so a failed export never
// leaves a half-written page or picture. A file that cannot be written is
// reported through the user interface (a message box in the editor, the error
// log in a batch run) and to the run log; the export then stops and says it
// failed.
#pragma once

#include <string>

namespace tarvel {

class Document;
class Workspace;

// "Save As enhanced metafile": the picture of the whole diagram, without the
// grid, as a placeable metafile ("name.wmf"). A batch run also writes the same
// picture as SVG beside it ("name.svg"), the form browsers and documentation
// tools show. False when nothing was chosen or a file was not written.
bool FileSaveAsEMF(Workspace& ws, Document& doc);

// "Save As HTML File": the page ("name.htm") and its picture, taken with the
// export margin, as "name.svg" (the picture the page shows) and "name.wmf".
// The pictures are written before the page. `sameDirectoryLinks` links the
// child diagrams' pages as if they lay beside this one. False when nothing
// was chosen or a file was not written.
bool FileSaveAsHTML(Workspace& ws, Document& doc, bool sameDirectoryLinks);

// "Save As List file": the list file of the document ("name.lst"). False
// when nothing was chosen or the file was not written.
bool FileSaveAsList(Workspace& ws, Document& doc);

}  // namespace tarvel
