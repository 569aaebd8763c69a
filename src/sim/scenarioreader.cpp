#include "sim/scenarioreader.h"

#include <simdjson.h>

#include <cerrno>
#include <cstring>

namespace tarvel {

namespace {

constexpr std::size_t CHUNK = 1 << 16;
constexpr int END_OF_FILE = -1;

bool isJsonSpace(int c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string describe(int c) {
    if (c == END_OF_FILE) {
        return "the end of the file";
    }
    if (c >= 0x20 && c < 0x7F) {
        return std::string("\"") + static_cast<char>(c) + "\"";
    }
    return "byte " + std::to_string(c);
}

}  // namespace

struct ScenarioReader::Parser {
    simdjson::dom::parser parser;
};

ScenarioReader::ScenarioReader(const std::string& path, int instances)
    : m_path(path), m_buffer(CHUNK), m_instances(instances), m_parser(std::make_unique<Parser>()) {
    m_file = std::fopen(path.c_str(), "rb");
    if (m_file == nullptr) {
        m_error = "cannot read the scenario [" + path + "]: " + std::strerror(errno);
    }
}

ScenarioReader::~ScenarioReader() {
    if (m_file != nullptr) {
        std::fclose(m_file);
    }
}

int ScenarioReader::peek() {
    if (m_pos == m_end) {
        m_offset += static_cast<long long>(m_end);
        m_pos = 0;
        m_end = m_file == nullptr ? 0 : std::fread(m_buffer.data(), 1, m_buffer.size(), m_file);
        if (m_end == 0) {
            return END_OF_FILE;
        }
    }
    return static_cast<unsigned char>(m_buffer[m_pos]);
}

int ScenarioReader::get() {
    const int c = peek();
    if (c != END_OF_FILE) {
        ++m_pos;
    }
    return c;
}

void ScenarioReader::skipSpaces() {
    while (isJsonSpace(peek())) {
        get();
    }
}

ScenarioReader::Item ScenarioReader::fail(const std::string& reason) {
    if (m_error.empty()) {
        m_error = "the scenario [" + m_path + "] is damaged: " + reason + " (at byte " +
                  std::to_string(m_offset + static_cast<long long>(m_pos)) + ")";
    }
    m_stage = Stage::Done;
    return Item::Error;
}

bool ScenarioReader::elementFollows(bool& more, const char* what) {
    skipSpaces();
    if (m_first) {
        // The first element needs no separator; the array may be empty.
        more = peek() != ']';
        if (!more) {
            get();
        }
        return true;
    }
    const int c = get();
    more = c == ',';
    if (more || c == ']') {
        return true;
    }
    fail(std::string("expected \",\" or \"]\" after ") + what + ", found " + describe(c));
    return false;
}

// Copies one call's array, from its "[" to the matching "]", for the JSON
// parser. Strings are stepped over whole, so brackets inside them are text.
bool ScenarioReader::captureCall() {
    m_element.clear();
    int depth = 0;
    bool inString = false;
    for (;;) {
        const int c = get();
        if (c == END_OF_FILE) {
            fail("the file ends inside " + callName());
            return false;
        }
        m_element += static_cast<char>(c);
        if (m_element.size() > MAX_CALL_BYTES) {
            fail(callName() + " is longer than " + std::to_string(MAX_CALL_BYTES) + " bytes");
            return false;
        }
        if (inString) {
            if (c == '\\') {
                const int escaped = get();
                if (escaped == END_OF_FILE) {
                    fail("the file ends inside " + callName());
                    return false;
                }
                m_element += static_cast<char>(escaped);
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            ++depth;
        } else if ((c == ']' || c == '}') && --depth == 0) {
            return true;
        }
    }
}

std::string ScenarioReader::callName() const {
    return "call " + std::to_string(m_call) +
           (m_instances > 0 ? " of instance " + std::to_string(m_instance) : "");
}

bool ScenarioReader::parseCall() {
    const std::size_t length = m_element.size();
    m_element.reserve(length + simdjson::SIMDJSON_PADDING);
    simdjson::dom::element root;
    const std::string where = callName();
    if (m_parser->parser.parse(m_element.data(), length, false).get(root) != simdjson::SUCCESS) {
        fail(where + " is not valid JSON");
        return false;
    }
    simdjson::dom::array texts;
    if (root.get_array().get(texts) != simdjson::SUCCESS) {
        fail(where + " is not an array of condition texts");
        return false;
    }
    m_conditions.clear();
    for (simdjson::dom::element text : texts) {
        std::string_view view;
        if (text.get_string().get(view) != simdjson::SUCCESS) {
            fail(where + " holds something other than a condition text");
            return false;
        }
        m_conditions.push_back(view);
    }
    return true;
}

ScenarioReader::Item ScenarioReader::next() {
    if (!m_error.empty()) {
        m_stage = Stage::Done;
        return Item::Error;
    }
    for (;;) {
        switch (m_stage) {
            case Stage::Start: {
                // A byte-order mark is allowed before the text.
                if (peek() == 0xEF) {
                    get();
                    if (get() != 0xBB || get() != 0xBF) {
                        return fail("it is not JSON text");
                    }
                }
                skipSpaces();
                const int c = get();
                if (c != '[') {
                    return fail("a scenario is a JSON array, found " + describe(c));
                }
                m_first = true;
                if (m_instances > 0) {
                    m_stage = Stage::Instances;
                } else {
                    m_stage = Stage::Calls;
                    m_instance = 1;
                }
                continue;
            }
            case Stage::Instances: {
                bool more = true;
                if (!elementFollows(more, "the calls of an instance")) {
                    return Item::Error;
                }
                if (!more) {
                    if (m_instance != m_instances) {
                        return fail("it holds " + std::to_string(m_instance) +
                                    " arrays of calls for " + std::to_string(m_instances) +
                                    " instances");
                    }
                    m_stage = Stage::AfterInstance;
                    continue;
                }
                skipSpaces();
                const int c = get();
                if (c != '[') {
                    return fail("the calls of instance " + std::to_string(m_instance + 1) +
                                " are not an array");
                }
                if (++m_instance > m_instances) {
                    return fail("it holds more than " + std::to_string(m_instances) +
                                " arrays of calls");
                }
                m_call = 0;
                m_first = true;
                m_stage = Stage::Calls;
                continue;
            }
            case Stage::Calls: {
                bool more = true;
                if (!elementFollows(more, "a call")) {
                    return Item::Error;
                }
                if (!more) {
                    m_first = false;
                    if (m_instances > 0) {
                        m_stage = Stage::Instances;
                        return Item::InstanceEnd;
                    }
                    m_stage = Stage::AfterInstance;
                    continue;
                }
                m_first = false;
                ++m_call;
                skipSpaces();
                if (peek() != '[') {
                    return fail(callName() + " is not an array of condition texts");
                }
                if (!captureCall() || !parseCall()) {
                    return Item::Error;
                }
                return Item::Call;
            }
            case Stage::AfterInstance: {
                skipSpaces();
                const int c = peek();
                if (c != END_OF_FILE) {
                    return fail("text follows the scenario's array: " + describe(c));
                }
                m_stage = Stage::Done;
                return Item::End;
            }
            case Stage::Done:
                return m_error.empty() ? Item::End : Item::Error;
        }
    }
}

}  // namespace tarvel
