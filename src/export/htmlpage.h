// The HTML page that documents one diagram: its picture, the FSM texts and the
// links to the pages of its child diagrams.
#pragma once

#include <string>
#include <string_view>

namespace tarvel {

class Document;

// A multi-line text as HTML: every line but the last ends with "<BR>" and a
// line break, each line starts with `indent` times "&nbsp;", and the
// characters that HTML or the page treat specially become entities.
std::string TextToHtml(std::string_view text, int indent);

// "<BR>" and a line break, then one link per child diagram to its page: the
// child's path relative to the diagram with ".htm", or with `sameDirectory`
// only "./" and its file name.
std::string ChildLinksHtml(const Document& doc, bool sameDirectory);

// The whole page as UTF-8 text, without the final line break the file gets.
std::string htmlPageText(const Document& doc, std::string_view title,
                         std::string_view pictureFileName, bool sameDirectoryLinks);

// The page's bytes: windows-1252, every character the set lacks written as a
// numeric character reference ("&#" + decimal + ";").
std::string toWindows1252Html(std::string_view utf8);

}  // namespace tarvel
