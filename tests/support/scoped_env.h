// Changing an environment variable for the length of one test.
#pragma once

#include <stdlib.h>

#include <string>

class scoped_env {
    std::string m_name, m_old;
    bool m_had;

  public:
    // A null value unsets the variable.
    scoped_env(const char* name, const char* value) : m_name(name) {
        const char* old = getenv(name);
        m_had = old != nullptr;
        if (old) m_old = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    scoped_env(const char* name, const std::string& value) : scoped_env(name, value.c_str()) {}
    ~scoped_env() {
        if (m_had)
            setenv(m_name.c_str(), m_old.c_str(), 1);
        else
            unsetenv(m_name.c_str());
    }
    scoped_env(const scoped_env&) = delete;
    scoped_env& operator=(const scoped_env&) = delete;
};
