#include "Json.h"

#include <cmath>
#include <cstdio>

namespace kvcam {

namespace {

void writeString(const std::string& text, std::string& out)
{
    out += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (byte < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

} // namespace

std::string formatNumber(double value, bool single)
{
    if (!std::isfinite(value))
        return std::isnan(value) ? "nan" : (value > 0 ? "inf" : "-inf");
    char text[32];
    std::snprintf(text, sizeof text, single ? "%.6g" : "%.10g", value);
    return text;
}

Json Json::array()
{
    Json value;
    value.m_kind = Kind::Array;
    return value;
}

Json Json::object()
{
    Json value;
    value.m_kind = Kind::Object;
    return value;
}

Json& Json::push(Json value)
{
    if (m_kind != Kind::Array)
        *this = array();
    m_items.push_back(std::move(value));
    return m_items.back();
}

Json& Json::operator[](const std::string& key)
{
    if (m_kind != Kind::Object)
        *this = object();
    for (auto& member : m_members)
        if (member.first == key)
            return member.second;
    m_members.emplace_back(key, Json());
    return m_members.back().second;
}

std::string Json::dump() const
{
    std::string out;
    write(out);
    return out;
}

void Json::write(std::string& out) const
{
    switch (m_kind) {
    case Kind::Null: out += "null"; break;
    case Kind::Bool: out += m_bool ? "true" : "false"; break;
    case Kind::Integer: out += std::to_string(m_integer); break;
    case Kind::Number: out += std::isfinite(m_number) ? formatNumber(m_number, m_single) : "null"; break;
    case Kind::String: writeString(m_string, out); break;
    case Kind::Array:
        out += '[';
        for (size_t i = 0; i < m_items.size(); ++i) {
            if (i)
                out += ',';
            m_items[i].write(out);
        }
        out += ']';
        break;
    case Kind::Object:
        out += '{';
        for (size_t i = 0; i < m_members.size(); ++i) {
            if (i)
                out += ',';
            writeString(m_members[i].first, out);
            out += ':';
            m_members[i].second.write(out);
        }
        out += '}';
        break;
    }
}

std::string Json::text() const
{
    switch (m_kind) {
    case Kind::Null: return "-";
    case Kind::Bool: return m_bool ? "yes" : "no";
    case Kind::Integer: return std::to_string(m_integer);
    case Kind::Number: {
        // Two decimals are what a reading needs; tiny values keep three digits.
        if (!std::isfinite(m_number) || m_number == 0.0 || std::fabs(m_number) < 0.01)
            return formatNumber(m_number, true).substr(0, 16);
        char text[48];
        std::snprintf(text, sizeof text, "%.2f", m_number);
        std::string shown = text;
        while (shown.back() == '0')
            shown.pop_back();
        if (shown.back() == '.')
            shown.pop_back();
        return shown == "-0" ? "0" : shown;
    }
    case Kind::String: return m_string;
    default: return dump();
    }
}

} // namespace kvcam
