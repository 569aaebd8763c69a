#include "base/json.h"

namespace tarvel {

void appendJsonString(std::string& out, std::string_view text) {
    static constexpr char HEX[] = "0123456789ABCDEF";
    out += '"';
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    out += "\\u00";
                    out += HEX[(static_cast<unsigned char>(c) >> 4) & 0xF];
                    out += HEX[static_cast<unsigned char>(c) & 0xF];
                } else {
                    out += c;
                }
        }
    }
    out += '"';
}

}  // namespace tarvel
