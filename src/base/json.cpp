#include "base/json.h"

namespace tarvel {

void appendJsonString(std::string& out, std::string_view text) {
    static constexpr char HEX[] = "0123456789abcdef";
    out += '"';
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
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
                if (u < 0x20) {
                    out += "\\u00";
                    out += HEX[u >> 4];
                    out += HEX[u & 0x0F];
                } else {
                    out += c;
                }
        }
    }
    out += '"';
}

}  // namespace tarvel
