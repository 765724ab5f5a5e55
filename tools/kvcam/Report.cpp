#include "Report.h"

#include <cstdio>
#include <unistd.h>

namespace kvcam {

namespace {

constexpr int c_labelWidth = 28;

} // namespace

Report::Report(bool json) : m_json(json) {}

Json& Report::current()
{
    Json* node = &m_root;
    for (const auto& key : m_path)
        node = &(*node)[key];
    return *node;
}

void Report::open(const std::string& label, const std::string& key)
{
    if (!m_json)
        std::printf("%*s%s\n", 2 * m_depth, "", label.c_str());
    ++m_depth;
    m_path.push_back(key);
    current() = Json::object();
}

void Report::close()
{
    if (m_depth > 0) {
        --m_depth;
        m_path.pop_back();
    }
}

void Report::field(const std::string& label, const std::string& key, const Json& value, const std::string& unit)
{
    if (m_json) {
        current()[key] = value;
        return;
    }
    std::string text = value.text();
    if (!unit.empty() && value.kind() != Json::Kind::Null)
        text += (unit == "%" ? "" : " ") + unit;
    const int indent = 2 * m_depth;
    const int width = c_labelWidth - indent > 1 ? c_labelWidth - indent : 1;
    std::printf("%*s%-*s %s\n", indent, "", width, (label + ":").c_str(), text.c_str());
}

void Report::show(const std::string& label, const std::string& text)
{
    if (!m_json)
        field(label, "", Json(text));
}

void Report::set(const std::string& key, Json value)
{
    if (m_json)
        current()[key] = std::move(value);
}

void Report::line(const std::string& text)
{
    if (!m_json)
        std::printf("%*s%s\n", 2 * m_depth, "", text.c_str());
}

void Report::finish()
{
    if (m_json)
        std::printf("%s\n", m_root.dump().c_str());
    std::fflush(stdout);
}

Progress::Progress(bool quiet) : m_quiet(quiet), m_terminal(::isatty(STDERR_FILENO) == 1) {}

Progress::~Progress()
{
    if (m_open && m_terminal)
        std::fputs("\n", stderr);
}

void Progress::update(const std::string& text)
{
    if (m_quiet)
        return;
    // What the command printed so far comes before its progress.
    std::fflush(stdout);
    const auto now = std::chrono::steady_clock::now();
    if (m_terminal) {
        // Carriage return and erase-line keep the progress on one line.
        std::fprintf(stderr, "\r\033[K%s", text.c_str());
        std::fflush(stderr);
        m_open = true;
    } else if (m_lastLine == std::chrono::steady_clock::time_point{} || now - m_lastLine >= std::chrono::seconds(1)) {
        std::fprintf(stderr, "%s\n", text.c_str());
        m_lastLine = now;
    }
}

void Progress::done(const std::string& text)
{
    if (m_quiet)
        return;
    if (m_terminal && m_open)
        std::fputs("\r\033[K", stderr);
    if (!text.empty())
        std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
    m_open = false;
}

std::string Progress::bar(double fraction, int width)
{
    if (!(fraction >= 0.0))
        fraction = 0.0;
    if (fraction > 1.0)
        fraction = 1.0;
    const int filled = static_cast<int>(fraction * width + 0.5);
    return "[" + std::string(static_cast<size_t>(filled), '#') + std::string(static_cast<size_t>(width - filled), '.') +
           "]";
}

std::string formatDuration(double seconds)
{
    char text[32];
    if (seconds < 60.0) {
        std::snprintf(text, sizeof text, "%.1f s", seconds);
    } else {
        const auto whole = static_cast<long>(seconds);
        std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    }
    return text;
}

} // namespace kvcam
