#include "KVSerialNumbers/SerialTables.h"

namespace kv {
namespace serialtables {

const char* const c_reserved2Code = "RSV";

// Building a std::map from a list inserts in order and never replaces, so the
// first entry of a repeated key is the one kept.

const std::map<ICamera::Model, std::string>& CameraModelNames()
{
    static const std::map<ICamera::Model, std::string> table{
        {ICamera::Brisa, "BR"},
        {ICamera::BrisaPro, "BP"},
        {ICamera::Reserved2, c_reserved2Code},
        {ICamera::BrisaCMOS, "BC"},
        {ICamera::Vireo, "VR"},
        {ICamera::MTC, "MTC"},
        {ICamera::BrisaBC2020, "BC"},
        {ICamera::VireoE, "VRE"},
        {ICamera::VireoC, "VRC"},
        {ICamera::BrisaBC455, "BC"},
        {ICamera::Reserved9, "BC"},
        {ICamera::BrisaBC461, "BC"},
    };
    return table;
}

const std::map<std::string, ICamera::Model>& CameraModelFromStr()
{
    static const std::map<std::string, ICamera::Model> table{
        {"BR", ICamera::Brisa},
        {"BP", ICamera::BrisaPro},
        {c_reserved2Code, ICamera::Reserved2},
        {"VR", ICamera::Vireo},
        {"MTC", ICamera::MTC},
        {"VRE", ICamera::VireoE},
        {"VRC", ICamera::VireoC},
    };
    return table;
}

const std::map<std::string, ICamera::Model>& BCModels()
{
    static const std::map<std::string, ICamera::Model> table{
        {"4040", ICamera::BrisaCMOS},
        {"4040B", ICamera::BrisaCMOS},
        {"2020", ICamera::BrisaBC2020},
        {"455", ICamera::BrisaBC455},
        {"461", ICamera::BrisaBC461},
    };
    return table;
}

const std::map<std::string, ISensor::Model>& sensorModelMap()
{
    static const std::map<std::string, ISensor::Model> table{
        {"694", ISensor::ICX694},
        {"814", ISensor::ICX814},
        {"8300", ISensor::KAF8300},
        {"0340", ISensor::RESERVED1},
        {"4710", ISensor::CCD4710},
        {"7700", ISensor::CCD7700},
        {"0402", ISensor::RESERVED5},
        {"1603", ISensor::RESERVED6},
        {"3200", ISensor::KAF3200},
        {"08050", ISensor::RESERVED7},
        {"04070", ISensor::RESERVED8},
        {"4040", ISensor::GSENSE4040},
        {"4040B", ISensor::GSENSE4040BSI},
        {"2020", ISensor::GSENSE2020},
        {"1300", ISensor::P1300},
        {"428", ISensor::IMX428},
        {"7", ISensor::IMX428_7},
        {"290", ISensor::IMX290},
        {"455", ISensor::IMX455},
        {"461", ISensor::IMX461},
    };
    return table;
}

const std::map<CameraSensor, std::string>& names()
{
    static const std::map<CameraSensor, std::string> table{
        {{ICamera::Brisa, ISensor::ICX694}, "694"},
        {{ICamera::Brisa, ISensor::ICX814}, "814"},
        {{ICamera::Brisa, ISensor::KAF8300}, "8300"},
        {{ICamera::Brisa, ISensor::RESERVED1}, "0340"},
        {{ICamera::Brisa, ISensor::CCD4710}, "4710"},
        {{ICamera::Brisa, ISensor::CCD7700}, "7700"},
        {{ICamera::Brisa, ISensor::RESERVED5}, "0402"},
        {{ICamera::Brisa, ISensor::RESERVED6}, "1603"},
        {{ICamera::Brisa, ISensor::KAF3200}, "3200"},
        {{ICamera::Brisa, ISensor::RESERVED7}, "08050"},
        {{ICamera::Brisa, ISensor::RESERVED8}, "04070"},
        {{ICamera::BrisaCMOS, ISensor::GSENSE4040}, "4040"},
        {{ICamera::BrisaCMOS, ISensor::GSENSE4040BSI}, "4040B"},
        {{ICamera::BrisaBC2020, ISensor::GSENSE2020}, "2020"},
        {{ICamera::Vireo, ISensor::P1300}, "1300"},
        {{ICamera::VireoE, ISensor::P1300}, "1300"},
        {{ICamera::MTC, ISensor::IMX428}, "428"},
        {{ICamera::MTC, ISensor::IMX428_7}, "7"},
        {{ICamera::VireoC, ISensor::IMX290}, "290"},
        {{ICamera::BrisaBC455, ISensor::IMX455}, "455"},
        {{ICamera::BrisaBC461, ISensor::IMX461}, "461"},
    };
    return table;
}

const std::map<std::pair<ICamera::Model, unsigned char>, ISensor::Model>& ids()
{
    static const std::map<std::pair<ICamera::Model, unsigned char>, ISensor::Model> table{
        {{ICamera::Brisa, 0}, ISensor::RESERVED1},
        {{ICamera::Brisa, 1}, ISensor::RESERVED2},
        {{ICamera::Brisa, 2}, ISensor::ICX694},
        {{ICamera::Brisa, 3}, ISensor::ICX814},
        {{ICamera::Brisa, 4}, ISensor::CCD4710},
        {{ICamera::Brisa, 5}, ISensor::CCD7700},
        {{ICamera::Brisa, 6}, ISensor::RESERVED3},
        {{ICamera::Brisa, 7}, ISensor::RESERVED4},
        {{ICamera::Brisa, 8}, ISensor::RESERVED6},
        {{ICamera::Brisa, 9}, ISensor::RESERVED5},
        {{ICamera::Brisa, 10}, ISensor::KAF3200},
        {{ICamera::Brisa, 11}, ISensor::KAF8300},
        {{ICamera::Brisa, 16}, ISensor::RESERVED7},
        {{ICamera::Brisa, 17}, ISensor::RESERVED8},
        {{ICamera::BrisaPro, 0}, ISensor::RESERVEDB1},
        {{ICamera::Reserved2, 0}, ISensor::RESERVEDC1},
        {{ICamera::BrisaCMOS, 0}, ISensor::GSENSE4040},
        {{ICamera::BrisaCMOS, 1}, ISensor::GSENSE4040BSI},
        {{ICamera::BrisaBC2020, 0}, ISensor::GSENSE2020},
        {{ICamera::Vireo, 0}, ISensor::P1300},
        {{ICamera::VireoE, 0}, ISensor::P1300},
        {{ICamera::MTC, 0}, ISensor::IMX428_7},
        {{ICamera::MTC, 1}, ISensor::IMX428},
        {{ICamera::VireoC, 0}, ISensor::IMX290},
        {{ICamera::BrisaBC455, 4}, ISensor::IMX455},
        {{ICamera::BrisaBC461, 5}, ISensor::IMX461},
    };
    return table;
}

const std::map<std::string, CameraSensor>& DescriptorMap()
{
    static const std::map<std::string, CameraSensor> table{
        {"BR694", {ICamera::Brisa, ISensor::ICX694}},
        {"BR814", {ICamera::Brisa, ISensor::ICX814}},
        {"BR8300", {ICamera::Brisa, ISensor::KAF8300}},
        {"BR0340", {ICamera::Brisa, ISensor::RESERVED1}},
        {"BR4710", {ICamera::Brisa, ISensor::CCD4710}},
        {"BR7700", {ICamera::Brisa, ISensor::CCD7700}},
        {"BR0402", {ICamera::Brisa, ISensor::RESERVED5}},
        {"BR1603", {ICamera::Brisa, ISensor::RESERVED6}},
        {"BR3200", {ICamera::Brisa, ISensor::KAF3200}},
        {"BR08050", {ICamera::Brisa, ISensor::RESERVED7}},
        {"BR04070", {ICamera::Brisa, ISensor::RESERVED8}},
        {"VR1300", {ICamera::Vireo, ISensor::P1300}},
        {"VRE1300", {ICamera::VireoE, ISensor::P1300}},
        {"VRC290", {ICamera::VireoC, ISensor::IMX290}},
        {"MTC428", {ICamera::MTC, ISensor::IMX428}},
        {"MTC7", {ICamera::MTC, ISensor::IMX428_7}},
        {"BC2020", {ICamera::BrisaBC2020, ISensor::GSENSE2020}},
        {"BC4040", {ICamera::BrisaCMOS, ISensor::GSENSE4040}},
        {"BC4040B", {ICamera::BrisaCMOS, ISensor::GSENSE4040BSI}},
        {"BC455", {ICamera::BrisaBC455, ISensor::IMX455}},
        {"BC461", {ICamera::BrisaBC461, ISensor::IMX461}},
    };
    return table;
}

namespace {
// Built while the library loads; reached through the function above so that a
// lookup made by another file's static initialiser still finds it complete.
[[maybe_unused]] const bool c_descriptorMapBuilt = !DescriptorMap().empty();
} // namespace

} // namespace serialtables
} // namespace kv
