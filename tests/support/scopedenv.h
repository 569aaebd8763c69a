// Sets or unsets an environment variable for the rest of a scope.
#pragma once

#include <stdlib.h>

#include <optional>
#include <string>

namespace tarvel {

class ScopedEnv {
public:
    // `value` nullopt unsets the variable.
    ScopedEnv(const char* name, const std::optional<std::string>& value) : m_name(name) {
        if (const char* old = ::getenv(name)) {
            m_saved = old;
        }
        apply(value);
    }
    ~ScopedEnv() { apply(m_saved); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void apply(const std::optional<std::string>& value) {
        if (value) {
            ::setenv(m_name.c_str(), value->c_str(), 1);
        } else {
            ::unsetenv(m_name.c_str());
        }
    }

    std::string m_name;
    std::optional<std::string> m_saved;
};

}  // namespace tarvel
