#pragma once

#include <kvapi/kvapi.h>

#include <cstddef>
#include <string>

namespace kv {

// A serial number in one format, convertible between its text and numeric forms.
class ISerialDecoder {
public:
    virtual ~ISerialDecoder() = default;

    virtual std::string to_string() const = 0;
    // The 32-bit serial number, zero-extended.
    virtual operator size_t() const = 0;
    virtual operator std::string() const;
    virtual bool isFormat(size_t number) const = 0;
    // Looks at the text only, never at the decoder's fields.
    virtual bool isFormat(const std::string& text) const = 0;

    // Camera and sensor model named by the model code that starts the text
    // ("BR694" in BR694M-24011542). Both are set to the invalid models first;
    // returns whether the code was found.
    static bool getCameraDescriptor(const std::string& text, ICamera::Model& camera,
                                    ISensor::Model& sensor);

protected:
    ISerialDecoder() = default;
    ISerialDecoder(const ISerialDecoder&) = default;
    ISerialDecoder& operator=(const ISerialDecoder&) = default;
};

} // namespace kv
