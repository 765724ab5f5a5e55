#include "Arguments.h"

#include "Json.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace kvcam {

namespace {

std::string range(double min, double max, bool whole)
{
    if (whole)
        return std::to_string(static_cast<long>(min)) + " to " + std::to_string(static_cast<long>(max));
    return formatNumber(min, false) + " to " + formatNumber(max, false);
}

} // namespace

std::string Arguments::value(const std::string& name, const std::string& fallback) const
{
    const auto found = m_options.find(name);
    return found == m_options.end() ? fallback : found->second;
}

double Arguments::number(const std::string& name, double fallback, double min, double max) const
{
    return has(name) ? parseNumber(value(name), name, min, max) : fallback;
}

long Arguments::integer(const std::string& name, long fallback, long min, long max) const
{
    return has(name) ? parseInteger(value(name), name, min, max) : fallback;
}

double parseNumber(const std::string& text, const std::string& what, double min, double max)
{
    char* end = nullptr;
    errno = 0;
    const double number = std::strtod(text.c_str(), &end);
    if (text.empty() || end == nullptr || *end != '\0' || errno == ERANGE || !std::isfinite(number))
        throw UsageError(what + " takes a number, not '" + text + "'");
    if (number < min || number > max)
        throw UsageError(what + " takes a number from " + range(min, max, false) + ", not " + text);
    return number;
}

long parseInteger(const std::string& text, const std::string& what, long min, long max)
{
    char* end = nullptr;
    errno = 0;
    const long number = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || end == nullptr || *end != '\0' || errno == ERANGE)
        throw UsageError(what + " takes a whole number, not '" + text + "'");
    if (number < min || number > max)
        throw UsageError(what + " takes a whole number from " + range(static_cast<double>(min), static_cast<double>(max), true) +
                         ", not " + text);
    return number;
}

} // namespace kvcam
