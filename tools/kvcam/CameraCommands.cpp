// list, info, status, capabilities, network.
#include "Commands.h"
#include "Names.h"

#include <cstdio>

namespace kvcam {

namespace {

Json modelJson(kv::ICamera::Model model)
{
    return Json(cameraModelName(model));
}

std::string guideText(uint32_t bits)
{
    if (bits == 0)
        return "idle";
    std::string text;
    if (bits & kv::PulseGuideStatus::c_xBusy)
        text = "pulsing east/west";
    if (bits & kv::PulseGuideStatus::c_yBusy)
        text += std::string(text.empty() ? "" : ", ") + "pulsing north/south";
    return text.empty() ? "bits " + std::to_string(bits) : text;
}

} // namespace

void runList(Context& context)
{
    Report& out = context.report;
    const auto found = context.session.discover();
    if (found.empty())
        throw Failure("No camera answered " + context.session.where());

    struct Row {
        std::string connection, model, serial, firmware, note;
    };
    std::vector<Row> rows;
    Json list = Json::array();
    for (const auto& f : found) {
        kv::ICameraPtr camera = f.camera;
        // The serial text needs the sensors, which initialisation reads.
        const bool ready = Session::initialize(camera);
        const kv::ICamera::Info info = camera->getInfo();
        Row row{Session::connectionText(camera), cameraModelName(info.model), Session::serialText(camera),
                std::to_string(info.firmwareRevision), ready ? "" : "did not initialise"};
        Json& item = list.push(Json::object());
        item["index"] = f.index;
        item["connection"] = connectionTypeName(camera->getConnectionType());
        item["address"] = row.connection;
        item["model"] = row.model;
        item["serial"] = row.serial;
        item["serialNumber"] = info.serialNumber;
        item["firmwareRevision"] = info.firmwareRevision;
        item["sensors"] = static_cast<unsigned>(info.numberOfSensors);
        item["initialized"] = ready;
        rows.push_back(row);
    }
    out.set("cameras", list);
    if (!out.json()) {
        std::printf("%zu camera%s found %s:\n", rows.size(), rows.size() == 1 ? "" : "s", context.session.where().c_str());
        std::printf("  %-3s %-22s %-12s %-18s %s\n", "#", "Connection", "Model", "Serial", "Firmware");
        for (size_t i = 0; i < rows.size(); ++i) {
            const Row& r = rows[i];
            std::printf("  %-3zu %-22s %-12s %-18s %s%s%s\n", i, r.connection.c_str(), r.model.c_str(), r.serial.c_str(),
                        r.firmware.c_str(), r.note.empty() ? "" : "  ", r.note.c_str());
        }
    }
}

void runInfo(Context& context)
{
    Report& out = context.report;
    kv::ICameraPtr camera = context.session.camera();
    const kv::ICamera::Info info = camera->getInfo();
    out.field("Model", "model", modelJson(info.model));
    out.field("Serial", "serial", Session::serialText(camera));
    out.field("Serial number", "serialNumber", info.serialNumber);
    out.field("Firmware revision", "firmwareRevision", info.firmwareRevision);
    out.field("Wi-Fi firmware revision", "wifiFirmwareRevision", info.wifiFirmwareRevision);
    out.field("Protocol revision", "protocolRevision", kv::getProtocolRevision(info));
    out.field("Sensors", "sensors", static_cast<unsigned>(info.numberOfSensors));
    out.field("Connection", "connection", connectionTypeName(camera->getConnectionType()));
    out.field("Address", "address", Session::connectionText(camera));
    Json sensors = Json::array();
    for (uint32_t i = 0; i < info.numberOfSensors; ++i) {
        if (kv::ISensorPtr sensor = camera->getSensor(i)) {
            const kv::ISensor::Info s = sensor->getInfo();
            out.show("Sensor " + std::to_string(i), sensorModelName(s.model) + ", " + std::to_string(s.pixelsX) + " x " +
                                                        std::to_string(s.pixelsY) + " pixels");
            Json& entry = sensors.push(Json::object());
            entry["model"] = sensorModelName(s.model);
            entry["pixelsX"] = s.pixelsX;
            entry["pixelsY"] = s.pixelsY;
        }
    }
    out.set("sensorList", sensors);
}

void runStatus(Context& context)
{
    Report& out = context.report;
    kv::ICameraPtr camera = context.session.camera();
    const kv::ICamera::Status status = context.session.status();
    const kv::ICamera::Info info = camera->getInfo();
    out.field("Sensor 0", "mainSensorState", sensorStateName(status.mainSensorState));
    if (info.numberOfSensors > 1)
        out.field("Sensor 1", "extSensorState", sensorStateName(status.extSensorState));
    if (kv::ITECPtr tec = camera->getTEC()) {
        out.show("Cooler", tec->getEnabled() ? "on" : "off");
        out.set("coolerEnabled", tec->getEnabled());
        if (tec->getEnabled())
            out.field("Set-point", "setpoint", tec->getSetpoint(), "°C");
    }
    out.field("Sensor temperature", "sensorTemperature", status.sensorTemperature, "°C");
    out.field("Heat-sink temperature", "heatSinkTemperature", status.heatSinkTemperature, "°C");
    out.field("Cooler power", "coolerPower", status.coolerPower, "%");
    if (camera->getCapability(kv::ICamera::eSupportsInputVoltage))
        out.field("Input voltage", "inputVoltage", status.inputVoltage, "V");
    out.field("Guide port", "guidePort", guideText(status.pulseGuideStatus));
    out.set("pulseGuideStatus", status.pulseGuideStatus);
    const uint32_t thermistors = status.flag & kv::ErrorFlags::TEC::ThermistorErrorFlagMask;
    if (thermistors || out.json()) {
        std::string text = "none";
        if (thermistors & kv::ErrorFlags::TEC::SensorThermistorErrorFlag)
            text = "sensor thermistor failed";
        if (thermistors & kv::ErrorFlags::TEC::HeatSinkThermistorErrorFlag)
            text = std::string(text == "none" ? "" : text + ", ") + "heat-sink thermistor failed";
        out.field("Thermistor errors", "thermistorErrors", text);
    }
    out.set("flag", status.flag);
    if (camera->getCapability(kv::ICamera::eSupportsShutter))
        out.field("Shutter", "shutter", shutterName(status.shutterStatus));
}

void runCapabilities(Context& context)
{
    Report& out = context.report;
    kv::ICameraPtr camera = context.session.camera();
    size_t count = 0;
    const CapabilityName* names = capabilityNames(count);
    out.open("Capabilities", "capabilities");
    for (size_t i = 0; i < count; ++i)
        out.field(names[i].label, names[i].name, camera->getCapability(names[i].capability));
    out.close();
}

void runNetwork(Context& context)
{
    Report& out = context.report;
    kv::ICameraPtr camera = context.session.camera();
    out.field("Connection", "connection", connectionTypeName(camera->getConnectionType()));
    out.field("Address", "address", Session::connectionText(camera));
    const bool wifi = camera->getCapability(kv::ICamera::eSupportsWiFi);
    out.field("Wi-Fi", "wifi", wifi);
    if (!wifi)
        return;
    Session::await(camera->queryNetworkSettings(), "Reading the Wi-Fi settings");
    const kv::TNetworkSettings net = camera->getNetworkSettings();
    const std::string ssid(net.ssid, net.ssidLength < sizeof net.ssid ? net.ssidLength : sizeof net.ssid);
    const size_t passphraseLength =
        net.passphraseLength < sizeof net.passphrase ? net.passphraseLength : sizeof net.passphrase;
    out.field("SSID", "ssid", ssid);
    out.field("Mode", "mode", networkModeName(net.mode));
    out.field("USA/Canada channels", "usaCanadaMode", net.isUsaCanadaMode);
    if (context.args.has("--show-passphrase")) {
        out.field("Passphrase", "passphrase", std::string(net.passphrase, passphraseLength));
    } else {
        out.show("Passphrase", passphraseLength ? "set (" + std::to_string(passphraseLength) +
                                                      " characters; --show-passphrase shows it)"
                                                : std::string("none"));
        out.set("passphraseSet", passphraseLength != 0);
    }
    out.field("Passphrase in hex", "passphraseHex", net.isPassphraseHex);
}

} // namespace kvcam
