#pragma once

// A strict JSON reader for tests of --json output: the whole text must be one
// JSON value, or parse() throws.

#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace kvtest {

struct JsonValue {
    enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
    bool boolean = false;
    double number = 0.0;
    std::string string;
    std::vector<JsonValue> items;
    std::map<std::string, JsonValue> members;

    bool has(const std::string& key) const { return kind == Object && members.count(key) != 0; }
    const JsonValue& operator[](const std::string& key) const
    {
        const auto found = members.find(key);
        if (kind != Object || found == members.end())
            throw std::out_of_range("no member " + key);
        return found->second;
    }
    const JsonValue& operator[](size_t index) const { return items.at(index); }

    static JsonValue parse(const std::string& text)
    {
        size_t at = 0;
        JsonValue value = parseValue(text, at);
        skip(text, at);
        if (at != text.size())
            throw std::invalid_argument("text after the JSON value at " + std::to_string(at));
        return value;
    }

private:
    static void skip(const std::string& t, size_t& at)
    {
        while (at < t.size() && (t[at] == ' ' || t[at] == '\n' || t[at] == '\r' || t[at] == '\t'))
            ++at;
    }
    static void expect(const std::string& t, size_t& at, const std::string& word)
    {
        if (t.compare(at, word.size(), word) != 0)
            throw std::invalid_argument("expected " + word + " at " + std::to_string(at));
        at += word.size();
    }
    static std::string parseString(const std::string& t, size_t& at)
    {
        expect(t, at, "\"");
        std::string s;
        while (at < t.size() && t[at] != '"') {
            const char c = t[at++];
            if (static_cast<unsigned char>(c) < 0x20)
                throw std::invalid_argument("control character in a string");
            if (c != '\\') {
                s += c;
                continue;
            }
            if (at >= t.size())
                break;
            const char e = t[at++];
            switch (e) {
            case '"': s += '"'; break;
            case '\\': s += '\\'; break;
            case '/': s += '/'; break;
            case 'b': s += '\b'; break;
            case 'f': s += '\f'; break;
            case 'n': s += '\n'; break;
            case 'r': s += '\r'; break;
            case 't': s += '\t'; break;
            case 'u': {
                if (at + 4 > t.size())
                    throw std::invalid_argument("short \\u escape");
                const long code = std::strtol(t.substr(at, 4).c_str(), nullptr, 16);
                at += 4;
                s += code < 0x80 ? static_cast<char>(code) : '?';
                break;
            }
            default: throw std::invalid_argument("bad escape");
            }
        }
        expect(t, at, "\"");
        return s;
    }
    static JsonValue parseValue(const std::string& t, size_t& at)
    {
        skip(t, at);
        if (at >= t.size())
            throw std::invalid_argument("end of text where a value belongs");
        JsonValue v;
        const char c = t[at];
        if (c == '{') {
            v.kind = Object;
            ++at;
            skip(t, at);
            if (at < t.size() && t[at] == '}') {
                ++at;
                return v;
            }
            for (;;) {
                skip(t, at);
                const std::string key = parseString(t, at);
                skip(t, at);
                expect(t, at, ":");
                v.members[key] = parseValue(t, at);
                skip(t, at);
                if (at < t.size() && t[at] == ',') {
                    ++at;
                    continue;
                }
                expect(t, at, "}");
                return v;
            }
        }
        if (c == '[') {
            v.kind = Array;
            ++at;
            skip(t, at);
            if (at < t.size() && t[at] == ']') {
                ++at;
                return v;
            }
            for (;;) {
                v.items.push_back(parseValue(t, at));
                skip(t, at);
                if (at < t.size() && t[at] == ',') {
                    ++at;
                    continue;
                }
                expect(t, at, "]");
                return v;
            }
        }
        if (c == '"') {
            v.kind = String;
            v.string = parseString(t, at);
            return v;
        }
        if (t.compare(at, 4, "true") == 0 || t.compare(at, 5, "false") == 0) {
            v.kind = Bool;
            v.boolean = t[at] == 't';
            at += v.boolean ? 4 : 5;
            return v;
        }
        if (t.compare(at, 4, "null") == 0) {
            at += 4;
            return v;
        }
        // -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
        const size_t start = at;
        if (t[at] == '-')
            ++at;
        auto digits = [&]() {
            const size_t from = at;
            while (at < t.size() && t[at] >= '0' && t[at] <= '9')
                ++at;
            return at - from;
        };
        const size_t whole = digits();
        if (whole == 0 || (whole > 1 && t[at - whole] == '0'))
            throw std::invalid_argument("bad number at " + std::to_string(start));
        if (at < t.size() && t[at] == '.') {
            ++at;
            if (digits() == 0)
                throw std::invalid_argument("bad fraction at " + std::to_string(start));
        }
        if (at < t.size() && (t[at] == 'e' || t[at] == 'E')) {
            ++at;
            if (at < t.size() && (t[at] == '+' || t[at] == '-'))
                ++at;
            if (digits() == 0)
                throw std::invalid_argument("bad exponent at " + std::to_string(start));
        }
        v.kind = Number;
        v.number = std::strtod(t.substr(start, at - start).c_str(), nullptr);
        return v;
    }
};

} // namespace kvtest
