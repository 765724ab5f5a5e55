#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace kvcam {

// The command line is wrong: exit status 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The camera, the library or the system could not do what was asked: exit status 1.
struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct OptionInfo {
    const char* name;  // "--timeout"
    const char* value; // name of its value ("SECONDS"), or null for a flag
    const char* help;
};

// The options and positional arguments of one command.
class Arguments {
public:
    std::vector<std::string> positional;

    bool has(const std::string& name) const { return m_options.count(name) != 0; }
    std::string value(const std::string& name, const std::string& fallback = "") const;
    void set(const std::string& name, const std::string& value) { m_options[name] = value; }

    // The option's value as a number in [min, max], or the fallback when absent.
    double number(const std::string& name, double fallback, double min, double max) const;
    long integer(const std::string& name, long fallback, long min, long max) const;

private:
    std::map<std::string, std::string> m_options;
};

// `what` names the value in the message ("SETPOINT", "--timeout").
double parseNumber(const std::string& text, const std::string& what, double min, double max);
long parseInteger(const std::string& text, const std::string& what, long min, long max);

} // namespace kvcam
