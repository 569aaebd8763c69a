#include "model/text.h"

#include <algorithm>

namespace tarvel {

std::string_view readField(std::string_view record, int index) {
    if (index < 0) {
        return {};
    }
    std::size_t start = 0;
    for (int i = 0;; ++i) {
        const std::size_t end = record.find(FIELD_SEP, start);
        if (end == std::string_view::npos) {
            return {};
        }
        if (i == index) {
            return record.substr(start, end - start);
        }
        start = end + FIELD_SEP.size();
    }
}

std::vector<std::string> splitFields(std::string_view record, int count) {
    std::vector<std::string> fields(static_cast<std::size_t>(std::max(count, 0)));
    std::size_t start = 0;
    for (auto& field : fields) {
        const std::size_t end = record.find(FIELD_SEP, start);
        if (end == std::string_view::npos) {
            break;
        }
        field.assign(record.substr(start, end - start));
        start = end + FIELD_SEP.size();
    }
    return fields;
}

void readFields(std::string_view record, std::string_view* fields, std::size_t count) {
    std::size_t start = 0;
    std::size_t i = 0;
    for (; i < count; ++i) {
        const std::size_t end = record.find(FIELD_SEP, start);
        if (end == std::string_view::npos) {
            break;
        }
        fields[i] = record.substr(start, end - start);
        start = end + FIELD_SEP.size();
    }
    for (; i < count; ++i) {
        fields[i] = {};
    }
}

std::string joinFields(const std::vector<std::string>& fields) {
    std::size_t size = 0;
    for (const auto& f : fields) {
        size += f.size() + FIELD_SEP.size();
    }
    std::string out;
    out.reserve(size);
    for (const auto& f : fields) {
        out += f;
        out += FIELD_SEP;
    }
    return out;
}

bool isValidRepositoryName(std::string_view text) {
    if (text.empty() || (text[0] >= '0' && text[0] <= '9')) {
        return false;
    }
    return text.find_first_of("*?+-|&!;,/") == std::string_view::npos;
}

}  // namespace tarvel
