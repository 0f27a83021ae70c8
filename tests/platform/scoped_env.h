#pragma once

#include <cstdlib>
#include <optional>
#include <string>

// Sets (or, with nothing, removes) an environment variable for the life of the object and then
// puts back what was there.
class ScopedEnv
{
public:
    ScopedEnv(std::string name, const std::optional<std::string> &value) : variable(std::move(name))
    {
        if (const char *old = std::getenv(variable.c_str()))
            previous = old;
        apply(value);
    }

    ~ScopedEnv() { apply(previous); }

    ScopedEnv(const ScopedEnv &) = delete;
    ScopedEnv &operator=(const ScopedEnv &) = delete;

private:
    void apply(const std::optional<std::string> &value)
    {
        if (value)
            ::setenv(variable.c_str(), value->c_str(), 1);
        else
            ::unsetenv(variable.c_str());
    }

    std::string variable;
    std::optional<std::string> previous;
};
