#include "gateway/types.h"

namespace kv {

namespace {

constexpr size_t c_bytesPerLine = 16;

void appendHex(std::string& out, const char* bytes, size_t count)
{
    static const char digits[] = "0123456789abcdef";
    for (size_t i = 0; i < count; ++i) {
        const auto value = static_cast<unsigned char>(bytes[i]);
        out += digits[value >> 4];
        out += digits[value & 0x0F];
        out += ' ';
    }
}

} // namespace

template <>
std::string Buffer<char>::toString(size_t lineLimit) const
{
    std::string out;
    size_t offset = 0;
    for (size_t lines = 0;; ++lines) {
        if (lines >= lineLimit && offset < length) {
            out += "\n...";
            break;
        }
        const size_t count = std::min(c_bytesPerLine, length - offset);
        appendHex(out, data + offset, count);
        offset += count;
        if (count < c_bytesPerLine)
            break;
        out += '\n';
    }
    return out;
}

template <>
std::vector<std::string> Buffer<char>::toStringList(size_t lineLimit) const
{
    std::vector<std::string> list;
    size_t offset = 0;
    while (true) {
        if (list.size() >= lineLimit && offset < length) {
            list.emplace_back("...");
            break;
        }
        const size_t count = std::min(c_bytesPerLine, length - offset);
        std::string line;
        appendHex(line, data + offset, count);
        list.push_back(std::move(line));
        offset += count;
        if (count < c_bytesPerLine)
            break;
    }
    return list;
}

IOBufferPtr operator+(const IOBufferPtr& a, const IOBufferPtr& b)
{
    if (!a)
        return b;
    if (!b)
        return a;
    return a->concatenate(*b);
}

} // namespace kv
