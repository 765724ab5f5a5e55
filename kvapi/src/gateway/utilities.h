#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// Little-endian field access for everything that goes on the wire.
namespace utl {

namespace endian {

// Decided at run time: store 0x01020304 and look at the first byte. Inline so
// that the compiler folds it to a constant on every per-field call.
inline bool is_big_endian()
{
    const uint32_t word = 0x01020304;
    unsigned char first = 0;
    std::memcpy(&first, &word, 1);
    return first == 1;
}

template <typename T>
T byte_swap(T value)
{
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    for (size_t i = 0; i < sizeof(T) / 2; ++i) {
        const unsigned char tmp = bytes[i];
        bytes[i] = bytes[sizeof(T) - 1 - i];
        bytes[sizeof(T) - 1 - i] = tmp;
    }
    std::memcpy(&value, bytes, sizeof(T));
    return value;
}

template <typename T>
T native_to_little(T value)
{
    return is_big_endian() ? byte_swap(value) : value;
}

template <typename T>
T little_to_native(T value)
{
    return is_big_endian() ? byte_swap(value) : value;
}

} // namespace endian

// to(dst, value) writes the little-endian bytes of value at dst; from(dst, src)
// reads them back. Both return the number of bytes taken on the wire, so that
// callers can advance an offset.
namespace copy {

namespace detail {

template <typename T>
size_t toLittle(char* dst, T value)
{
    value = endian::native_to_little(value);
    std::memcpy(dst, &value, sizeof(T));
    return sizeof(T);
}

template <typename T>
size_t fromLittle(T* dst, const char* src)
{
    T value;
    std::memcpy(&value, src, sizeof(T));
    *dst = endian::little_to_native(value);
    return sizeof(T);
}

} // namespace detail

// A bool travels as one byte 0 or 1; any non-zero byte reads as true.
inline size_t to(char* dst, bool value)
{
    *dst = value ? 1 : 0;
    return 1;
}
inline size_t from(bool* dst, const char* src)
{
    *dst = *src != 0;
    return 1;
}

inline size_t to(char* dst, char value) { return detail::toLittle(dst, value); }
inline size_t to(char* dst, signed char value) { return detail::toLittle(dst, value); }
inline size_t to(char* dst, unsigned char value) { return detail::toLittle(dst, value); }
inline size_t to(char* dst, short value) { return detail::toLittle(dst, value); }
inline size_t to(char* dst, unsigned short value) { return detail::toLittle(dst, value); }
inline size_t to(char* dst, int value) { return detail::toLittle(dst, value); }
inline size_t to(char* dst, unsigned int value) { return detail::toLittle(dst, value); }
inline size_t to(char* dst, unsigned long value) { return detail::toLittle(dst, value); }
inline size_t to(char* dst, float value) { return detail::toLittle(dst, value); }
inline size_t to(char* dst, double value) { return detail::toLittle(dst, value); }

inline size_t from(char* dst, const char* src) { return detail::fromLittle(dst, src); }
inline size_t from(signed char* dst, const char* src) { return detail::fromLittle(dst, src); }
inline size_t from(unsigned char* dst, const char* src) { return detail::fromLittle(dst, src); }
inline size_t from(short* dst, const char* src) { return detail::fromLittle(dst, src); }
inline size_t from(unsigned short* dst, const char* src) { return detail::fromLittle(dst, src); }
inline size_t from(int* dst, const char* src) { return detail::fromLittle(dst, src); }
inline size_t from(unsigned int* dst, const char* src) { return detail::fromLittle(dst, src); }
inline size_t from(unsigned long* dst, const char* src) { return detail::fromLittle(dst, src); }
inline size_t from(float* dst, const char* src) { return detail::fromLittle(dst, src); }
inline size_t from(double* dst, const char* src) { return detail::fromLittle(dst, src); }

// Arrays of `count` elements, each element little-endian.
template <typename T>
size_t to(char* dst, const T* values, size_t count)
{
    size_t written = 0;
    for (size_t i = 0; i < count; ++i)
        written += to(dst + written, values[i]);
    return written;
}

template <typename T>
size_t from(T* dst, const char* src, size_t count)
{
    size_t read = 0;
    for (size_t i = 0; i < count; ++i)
        read += from(dst + i, src + read);
    return read;
}

} // namespace copy

} // namespace utl
