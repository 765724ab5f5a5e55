#pragma once

#include "Json.h"

#include <chrono>
#include <string>
#include <vector>

namespace kvcam {

// What a command prints: in text mode labelled lines for people, with --json
// one JSON object on the standard output at the end.
class Report {
public:
    explicit Report(bool json);

    bool json() const { return m_json; }

    // A group of fields: a heading in text, a nested object in JSON.
    void open(const std::string& label, const std::string& key);
    void close();
    // One value: "label: value unit" in text, key: value in JSON.
    void field(const std::string& label, const std::string& key, const Json& value, const std::string& unit = "");
    // A labelled line for people only (JSON carries the value with set()).
    void show(const std::string& label, const std::string& text);
    // A value for JSON only (lists, raw numbers behind a formatted text line).
    void set(const std::string& key, Json value);
    // A line for people only.
    void line(const std::string& text);
    // Prints the JSON object (JSON mode); nothing in text mode.
    void finish();

private:
    Json& current();

    bool m_json;
    Json m_root = Json::object();
    std::vector<std::string> m_path;
    int m_depth = 0;
};

// The live progress line of a command that follows the camera, on the
// standard error: redrawn in place on a terminal, a line a second otherwise,
// nothing with --json.
class Progress {
public:
    explicit Progress(bool quiet);
    ~Progress();

    void update(const std::string& text);
    // Ends the line with a last text (may be empty).
    void done(const std::string& text = "");

    // A bar of `width` cells for a fraction from 0 to 1.
    static std::string bar(double fraction, int width = 24);

private:
    bool m_quiet;
    bool m_terminal;
    bool m_open = false;
    std::chrono::steady_clock::time_point m_lastLine{};
};

// Seconds as "12.3 s" or "2:05".
std::string formatDuration(double seconds);

} // namespace kvcam
