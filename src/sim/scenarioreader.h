// Reads a simulation scenario one call at a time, so that a scenario of any
// length runs in constant memory. A scenario is a JSON array with one element
// per call of the FSM function, each an array of the condition texts that
// hold during that call. For several instances the scenario is an array
// holding one such array of calls per instance.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarvel {

class ScenarioReader {
public:
    // `instances` 0 reads a plain array of calls; N >= 1 an array of exactly N
    // arrays of calls.
    ScenarioReader(const std::string& path, int instances);
    ~ScenarioReader();
    ScenarioReader(const ScenarioReader&) = delete;
    ScenarioReader& operator=(const ScenarioReader&) = delete;

    enum class Item {
        Call,         // conditions() holds the texts of the next call
        InstanceEnd,  // the calls of one instance are over
        End,          // the scenario is over and well formed
        Error,        // error() says what is wrong; nothing more is read
    };
    Item next();

    // The condition texts of the current call, as written; valid until the
    // next call of next().
    const std::vector<std::string_view>& conditions() const { return m_conditions; }
    // The instance (from 1; 1 without instances) and the call within it
    // (from 1) of the current call.
    int instance() const { return m_instance; }
    long long call() const { return m_call; }
    const std::string& error() const { return m_error; }

    // The longest call element read, in bytes; longer ones are refused.
    static constexpr std::size_t MAX_CALL_BYTES = 1 << 24;

private:
    int get();
    int peek();
    void skipSpaces();
    Item fail(const std::string& reason);
    // Reads what stands before the next element of the array being read:
    // nothing before the first, "," before the others. `more` is false when
    // the array closes instead (its "]" is read). False, with the error set,
    // on anything else; `what` names the element before.
    bool elementFollows(bool& more, const char* what);
    bool captureCall();
    bool parseCall();
    // "call N", with the instance when there are instances.
    std::string callName() const;

    struct Parser;
    std::string m_path;
    std::FILE* m_file = nullptr;
    std::vector<char> m_buffer;
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    long long m_offset = 0;  // bytes consumed before m_buffer[0]

    enum class Stage { Start, Instances, Calls, AfterInstance, Done };
    Stage m_stage = Stage::Start;
    int m_instances = 0;
    int m_instance = 0;
    long long m_call = 0;
    bool m_first = true;  // no element read yet in the current array
    std::string m_element;
    std::unique_ptr<Parser> m_parser;
    std::vector<std::string_view> m_conditions;
    std::string m_error;
};

}  // namespace tarvel
