#include "protocol/GetSensorInfoResponseBody.h"

#include "gateway/utilities.h"
#include "protocol/SensorStringMaps.h"

#include <sstream>

namespace kv {
namespace V1 {

GetSensorInfoResponseBody::GetSensorInfoResponseBody()
    : BaseBody(SohType::Cmd, BodyType::GetSensorInfo)
{
}

GetSensorInfoResponseBody::GetSensorInfoResponseBody(IOBufferPtr buffer)
    : GetSensorInfoResponseBody()
{
    GetSensorInfoResponseBody::setBuffer(buffer);
}

IOBufferPtr GetSensorInfoResponseBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    char* p = buffer->data;
    utl::copy::to(p + 0, m_sensorModel);
    utl::copy::to(p + 1, m_pixelsX);
    utl::copy::to(p + 3, m_pixelsY);
    utl::copy::to(p + 5, m_readoutChannelCount);
    utl::copy::to(p + 6, m_filterType);
    utl::copy::to(p + 7, m_frameType);
    utl::copy::to(p + 8, m_pixelSizeX);
    utl::copy::to(p + 12, m_pixelSizeY);
    utl::copy::to(p + 16, m_hasRbiPreflash);
    utl::copy::to(p + 17, m_reserved);
    utl::copy::to(p + 18, m_coolerSetpointMin);
    utl::copy::to(p + 19, m_coolerSetpointMax);
    utl::copy::to(p + 20, m_maxBinX);
    utl::copy::to(p + 21, m_maxBinY);
    utl::copy::to(p + 22, m_exposurePrecision);
    utl::copy::to(p + 26, m_minExposureDuration);
    return buffer;
}

void GetSensorInfoResponseBody::setBuffer(const IOBufferPtr& buffer)
{
    // Too short for the layout: nothing is parsed.
    if (!buffer || buffer->length < c_bodyLength)
        return;
    const char* p = buffer->data;
    utl::copy::from(&m_sensorModel, p + 0);
    utl::copy::from(&m_pixelsX, p + 1);
    utl::copy::from(&m_pixelsY, p + 3);
    utl::copy::from(&m_readoutChannelCount, p + 5);
    utl::copy::from(&m_filterType, p + 6);
    utl::copy::from(&m_frameType, p + 7);
    utl::copy::from(&m_pixelSizeX, p + 8);
    utl::copy::from(&m_pixelSizeY, p + 12);
    utl::copy::from(&m_hasRbiPreflash, p + 16);
    utl::copy::from(&m_reserved, p + 17);
    utl::copy::from(&m_coolerSetpointMin, p + 18);
    utl::copy::from(&m_coolerSetpointMax, p + 19);
    utl::copy::from(&m_maxBinX, p + 20);
    utl::copy::from(&m_maxBinY, p + 21);
    utl::copy::from(&m_exposurePrecision, p + 22);
    utl::copy::from(&m_minExposureDuration, p + 26);
}

size_t GetSensorInfoResponseBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string GetSensorInfoResponseBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Response Data"
        << " | SensorModel: " << StringMaps::mapSensorModelToString(m_sensorModel)
        << " | Dimensions(X): " << m_pixelsX
        << " | Dimensions(Y): " << m_pixelsY
        << " | Readout Modes: " << static_cast<unsigned>(m_readoutChannelCount)
        << " | Filter type: " << StringMaps::mapFilterTypeToString(m_filterType)
        << " | FrameType: " << StringMaps::mapFrameTypeToString(m_frameType)
        << " | Pixel Size(X): " << m_pixelSizeX
        << " | Pixel Size(Y): " << m_pixelSizeY
        << " | Has Rbi: " << (m_hasRbiPreflash ? "yes" : "no")
        << " | Cooler Min: " << static_cast<int>(m_coolerSetpointMin)
        << " | Cooler Max: " << static_cast<int>(m_coolerSetpointMax)
        << " | Max Bin(X): " << static_cast<unsigned>(m_maxBinX)
        << " | Max Bin(Y): " << static_cast<unsigned>(m_maxBinY)
        << " | Min Exp (sec): " << m_minExposureDuration;
    return out.str();
}

} // namespace V1
} // namespace kv
