#pragma once

#include "KVSerialNumbers/ISerialDecoder.h"

#include <memory>
#include <string>

namespace kv {

// Chooses the decoder for a serial number or text. The caller owns the result;
// null when the input is a serial of neither format.
class SerialDecoderFactory {
public:
    // V1 when bits 12 and 13 of the number are 00, V2 when they are 01. A number
    // wider than 32 bits is no serial number.
    static std::unique_ptr<ISerialDecoder> create(ICamera::Model camera, ISensor::Model sensor,
                                                  size_t number);
    // V1 or V2 by the pattern the whole text matches. A text whose colour letter is
    // not M, C or S, or whose numbers do not fit their bits, is refused: its
    // numeric form would name another serial.
    static std::unique_ptr<ISerialDecoder> create(const std::string& text);
};

} // namespace kv
