#pragma once

#include <cstdint>
#include <string>

namespace kv {

// Start byte of a frame.
enum SohType : uint32_t {
    InvalidSohType = 0,
    Cmd = 0xA5,
    Cpu = 0x83,
};

enum HeaderType : uint32_t {
    V1Request = 0,
    V1Response = 1,
    LastHeaderType = 2,
    InvalidHeader = 255,
};

enum FooterType : uint32_t {
    V1None = 0,     // no footer bytes
    V1SeqCrc16 = 1, // sequence number and CRC-16, 3 bytes
    V1CRC8 = 2,     // CRC-8, 1 byte
    LastFooterType = 3,
    InvalidFooter = 255,
};

// Queue order of an exchange; it never travels on the wire.
enum MessagePriority : uint32_t {
    Low = 0,
    Medium = 1,
    High = 2,
    Critical = 3,
    InvalidPriority = 255,
};

// One byte on the wire. 0 to 54 are ordinary commands, 81 to 159 the factory range.
enum BodyType : uint32_t {
    GetCameraInfo = 0,
    GetSensorInfo = 1,
    GetSensorSettings = 2,
    SetSensorSettings = 3,
    GetSensorCalibration = 4,
    SetSensorCalibration = 5,
    GetCameraStatus = 6,
    GetSubframe = 7,
    SetSubframe = 8,
    StartExposure = 9,
    AbortExposure = 10,
    ShutterControl = 11,
    SetCooler = 12,
    SetFanSpeed = 13,
    SetNetwork = 14,
    GetNetwork = 15,
    StartDownload = 16,
    FWInit = 17,
    FWGetStatus = 18,
    FWGoto = 19,
    AOInit = 20,
    AOGetStatus = 21,
    AOGoto = 22,
    PulseGuide = 23,
    EchoRequest = 24,
    PacketRequest = 25,
    ConfigControl = 26,
    ConfigDataUpload = 27,
    ConfigDataDownload = 28,
    ReadMemoryWord = 29,
    WriteMemoryWord = 30,
    ReadMemoryConfig = 31,
    WriteMemoryConfig = 32,
    ReservedBodyType = 33,
    ErrorBodyType = 34, // also the neutral type a message passes through before parsing a frame
    GetCameraCapability = 35,
    GetFrameRequest = 36,
    GetHiddenSensorSetting = 37,
    SetHiddenSensorSetting = 38,
    GetCameraOption = 39,
    SetCameraOption = 40,
    GetPeripheralInfo = 41,
    GetCoolerState = 42,
    SetSubframeExt = 43,
    PacketRequestExt = 44,
    BulkUpload = 45,
    ConfigControlExt = 46,
    ConfigDataDownloadExt = 47,
    GetNetworkConfig = 48,
    SetNetworkConfig = 49,
    SyncClock = 50,
    SetImageChannels = 51,
    GetImageMetadata = 52,
    GetCameraCapabilities = 53,
    Disconnect = 54,
    LastBodyType = 55,
    FirstInternalCmd = 81,
    SetSerialNumber = 81,
    UnlockSpecialCommands = 158,
    LastInternalCmd = 159,
    InvalidBody = 255,
};

// Fixed-layout records of the frame, packed as on the wire. Multi-byte fields
// hold little-endian values, which is the host order on the supported targets.
#pragma pack(push, 1)

struct TPreamble {
    uint8_t soh;
    uint8_t bodyType;
    uint8_t headType;
    uint8_t footType;
};

struct TRequestHeader {
    uint8_t sensorID;
    uint32_t bodyLng;
};

struct TResponseHeader {
    uint8_t statCode;
    uint8_t sensorID;
    uint32_t bodyLng;
};

// Occupies one byte: the pad byte that ends a fixed-layout request.
struct TEmptyPayload {
};

// A whole frame as one record, for the requests that are sent as raw bytes.
template <typename THeader, typename TBody, typename TFooter>
struct TMessage {
    TPreamble preamble;
    THeader header;
    TBody body;
    TFooter footer;
};

#pragma pack(pop)

static_assert(sizeof(TPreamble) == 4, "packed preamble");
static_assert(sizeof(TRequestHeader) == 5, "packed request header");
static_assert(sizeof(TResponseHeader) == 6, "packed response header");
static_assert(sizeof(TEmptyPayload) == 1, "pad byte");

// Names of the frame's type codes, for logs.
namespace Reflections {

std::string messageHeaderToString(uint32_t headerType);
std::string messageFooterToString(uint32_t footerType);
std::string messageBodyToString(uint32_t bodyType);

} // namespace Reflections

} // namespace kv
