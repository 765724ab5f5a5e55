#include "protocol/MemoryConfigBody.h"

#include "gateway/utilities.h"
#include "protocol/KVProtocol.h"

namespace kv {
namespace V1 {

namespace {

constexpr size_t c_wordsWithFlags = 32;
constexpr size_t c_wordsWithoutFlags = 31;
constexpr size_t c_flagsOffset = 32;

} // namespace

MemoryConfigBody::MemoryConfigBody(BodyType bodyType)
    : BaseBody(SohType::Cmd, bodyType)
{
}

bool MemoryConfigBody::hasFlags() const
{
    return Protocol(static_cast<int>(getProtocolVersion())).getFeatureSupported(Protocol::ExtendedConfigData);
}

size_t MemoryConfigBody::getDataSize() const
{
    return hasFlags() ? c_wordsWithFlags : c_wordsWithoutFlags;
}

IOBufferPtr MemoryConfigBody::getBuffer() const
{
    const bool flags = hasFlags();
    IOBufferPtr buffer = IOBuffer::newBuffer(2 * (flags ? c_wordsWithFlags : c_wordsWithoutFlags));
    char* p = buffer->data;
    utl::copy::to(p + 0, m_data.offsetA);
    utl::copy::to(p + 2, m_data.offsetB);
    utl::copy::to(p + 4, m_data.offsetC);
    utl::copy::to(p + 6, m_data.gainA);
    utl::copy::to(p + 8, m_data.gainB);
    utl::copy::to(p + 10, m_data.gainC);
    utl::copy::to(p + 12, m_data.eGainIMG);
    utl::copy::to(p + 16, m_data.unused1);
    utl::copy::to(p + 18, m_data.unused2);
    utl::copy::to(p + 20, m_data.eGainTRK);
    utl::copy::to(p + 24, m_data.unused3);
    utl::copy::to(p + 26, m_data.unused4);
    utl::copy::to(p + 28, m_data.coolerCutoffThreshold);
    utl::copy::to(p + 30, m_data.subVolt);
    if (flags)
        utl::copy::to(p + c_flagsOffset, m_data.flags);
    return buffer;
}

void MemoryConfigBody::setBuffer(const IOBufferPtr& buffer)
{
    const bool flags = hasFlags();
    // Shorter than the layout of this version: nothing is parsed.
    if (!buffer || buffer->length < 2 * (flags ? c_wordsWithFlags : c_wordsWithoutFlags))
        return;
    const char* p = buffer->data;
    MemoryConfig::Payload data;
    utl::copy::from(&data.offsetA, p + 0);
    utl::copy::from(&data.offsetB, p + 2);
    utl::copy::from(&data.offsetC, p + 4);
    utl::copy::from(&data.gainA, p + 6);
    utl::copy::from(&data.gainB, p + 8);
    utl::copy::from(&data.gainC, p + 10);
    utl::copy::from(&data.eGainIMG, p + 12);
    utl::copy::from(&data.unused1, p + 16);
    utl::copy::from(&data.unused2, p + 18);
    utl::copy::from(&data.eGainTRK, p + 20);
    utl::copy::from(&data.unused3, p + 24);
    utl::copy::from(&data.unused4, p + 26);
    utl::copy::from(&data.coolerCutoffThreshold, p + 28);
    utl::copy::from(&data.subVolt, p + 30);
    // Without the field the flags read 0, not what an earlier record held.
    if (flags)
        utl::copy::from(&data.flags, p + c_flagsOffset);
    m_data = data;
}

size_t MemoryConfigBody::getBufferLength() const
{
    return 2 * getDataSize();
}

std::string MemoryConfigBody::getMessageDataString() const
{
    return "";
}

} // namespace V1
} // namespace kv
