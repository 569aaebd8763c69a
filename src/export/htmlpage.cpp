#include "export/htmlpage.h"

#include "base/cp1252.h"
#include "base/paths.h"
#include "base/text.h"
#include "model/document.h"
#include "model/fsmrecord.h"
#include "model/parientes.h"

namespace tarvel {

std::string TextToHtml(std::string_view text, int indent) {
    std::string prefix;
    for (int i = 0; i < indent; ++i) {
        prefix += "&nbsp;";
    }
    std::string out;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
            case '\r':
                out += prefix;
                out += line;
                out += "<BR>";
                out += CRLF;
                line.clear();
                break;
            case '\n':
                break;
            case '<': line += "&lt;"; break;
            case '>': line += "&gt;"; break;
            case '&': line += "&amp;"; break;
            case '"': line += "&quot;"; break;
            case '|': line += "&brvbar;"; break;
            case ' ': line += "&#32;"; break;
            default:
                if (text.substr(i).starts_with("\xC2\xA1")) {  // inverted exclamation mark
                    line += "&iexcl;";
                    ++i;
                } else {
                    line += c;
                }
        }
    }
    out += prefix;
    out += line;
    return out;
}

std::string ChildLinksHtml(const Document& doc, bool sameDirectory) {
    std::string out = "<BR>";
    out += CRLF;
    clsParientes children(doc.sFullDocname);
    children.BuscaTodosEnlaces(doc.diagram());
    for (int k = 1; k <= children.DimeNumeroHijos(); ++k) {
        std::string link = StripExtension(children.RutaRelativa(children.DimeHijo(k))) + ".htm";
        if (sameDirectory) {
            link = "./" + GetFileName(link);
        }
        out += "<A HREF=\"" + link + "\">" + GetFileName(link) + "</A><BR>";
        out += CRLF;
    }
    return out;
}

std::string htmlPageText(const Document& doc, std::string_view title,
                         std::string_view pictureFileName, bool sameDirectoryLinks) {
    const Diagram& d = doc.diagram();
    std::string page;
    auto line = [&page](std::string_view piece) {
        page += piece;
        page += CRLF;
    };
    line("<HTML>");
    line("<HEAD>");
    line("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1252\">");
    line("<META NAME=\"Generator\" CONTENT=\"Tarvel Diagram\">");
    line("<TITLE>" + std::string(title) + "</TITLE>");
    line("</HEAD>");
    line("<BODY>");
    line("<FONT SIZE=2><P ALIGN=\"LEFT\"><IMG SRC=\"" + std::string(pictureFileName) + "\"></P>");
    const struct {
        const char* heading;
        int field;
    } sections[] = {
        {"<p><U><B>FSM function name:</B></U><BR>", FF_NAME},
        {"<p><U><B>Parameters:</B></U><BR>", FF_PARAMETERS},
        {"<p><U><B>Return type:</B></U><BR>", FF_RETURN_TYPE},
        {"<p><U><B>Module header:</B></U><BR>", FF_MODULE_HEADER},
        {"<p><U><B>Global initialization:</B></U><BR>", FF_INITIALISATION},
        {"<p><U><B>Function header:</B></U><BR>", FF_FUNCTION_HEADER},
        {"<p><U><B>Global actions (before FSM analysis):</B></U><BR>", FF_BEFORE},
        {"<p><U><B>Global actions (after FSM analysis):</B></U><BR>", FF_AFTER},
        {"<p><U><B>Global final (out of FSM function):</B></U><BR>", FF_FINAL_CODE},
    };
    bool first = true;
    for (const auto& s : sections) {
        page += s.heading;
        if (!first) {
            page += CRLF;
        }
        first = false;
        page += TextToHtml(GetGraphField(s.field, d), 4);
        line("</p>");
    }
    line("<p><U><B>Links:</B></U>&nbsp;&nbsp;&nbsp;&nbsp;" + ChildLinksHtml(doc, sameDirectoryLinks) +
         "</FONT></p>");
    line("</BODY>");
    page += "</HTML>";
    return page;
}

std::string toWindows1252Html(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const Utf8Char c = decodeUtf8At(utf8, pos);
        pos += c.length;
        if (const auto byte = toCp1252(c.codePoint)) {
            out += static_cast<char>(*byte);
        } else {
            out += "&#" + std::to_string(static_cast<std::uint32_t>(c.codePoint)) + ";";
        }
    }
    return out;
}

}  // namespace tarvel
