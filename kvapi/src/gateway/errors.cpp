#include <kvapi/kvapi.h>

namespace kv {
namespace errors {

std::string getErrorString(EStatusCode code) {
    switch (static_cast<uint32_t>(code)) {
    case Success:
        return "Success";
    case ClientError:
        return "Client Error :: Invalid SOH";
    case InvalidBodyType:
        return "Client Error :: Invalid Body Type";
    case InvalidFooterType:
        return "Client Error :: Invalid Footer Type";
    case InvalidSensorId:
        return "Client Error :: Invalid Sensor ID";
    case InvalidMessageLength:
        return "Client Error :: Invalid Message Length";
    case InvalidParameter:
        return "Client Error :: Invalid Parameter";
    case UnsupportedBodyType:
        return "Client Error :: Body type unsupported";
    case DeviceBusy:
        return "Device Error :: Device is Busy and cannot comply";
    case ImageNotAvailable:
        return "Device Error :: Download requested, but no image is ready for transfer";
    case FeatureNotSupported:
        return "Device Error :: Requested feature is not supported";
    default:
        // InvalidHeaderType, BadChecksum, DeviceError, InvalidStatus and
        // anything outside the table.
        return "Unknown Error";
    }
}

}  // namespace errors
}  // namespace kv
