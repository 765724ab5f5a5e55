#include "Session.h"

#include <arpa/inet.h>

#include <cctype>

namespace kvcam {

std::atomic<bool> g_interrupted{false};

namespace {

bool allDigits(const std::string& text)
{
    if (text.empty())
        return false;
    for (const char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

std::string upper(std::string text)
{
    for (auto& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The library's texts may span lines; a message here is one line.
std::string oneLine(const std::string& text)
{
    std::string line;
    for (const char c : text) {
        const bool space = c == '\n' || c == '\r' || c == '\t' || c == ' ';
        if (space) {
            if (!line.empty() && line.back() != ' ')
                line += ' ';
        } else if (c != '\0') {
            line += c;
        }
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

} // namespace

void parseAddress(const std::string& text, Selection& selection)
{
    const auto colon = text.find(':');
    const std::string ip = text.substr(0, colon);
    in_addr parsed{};
    if (ip.empty() || ::inet_pton(AF_INET, ip.c_str(), &parsed) != 1)
        throw UsageError("--address takes an IPv4 address such as 192.168.0.50, not '" + text + "'");
    selection.address = ip;
    if (colon != std::string::npos)
        selection.port = static_cast<uint16_t>(parseInteger(text.substr(colon + 1), "the port of --address", 1, 65535));
}

Session::Session(Selection selection) : m_selection(std::move(selection)) {}

Session::~Session()
{
    if (m_gateway)
        deleteGateway(m_gateway);
}

kv::IGateway& Session::gateway()
{
    if (!m_gateway) {
        m_gateway = getGateway();
        if (!m_gateway)
            throw Failure("The library gave no gateway");
        if (m_selection.logLevel >= 0) {
            // The gateway is also the library's debug control.
            auto* control = dynamic_cast<kv::IDebugControl*>(m_gateway);
            if (!control || !control->hasDebugSetting(kv::IDebugControl::Enable))
                throw Failure("This library offers no control of its log");
            control->setDebugSetting(kv::IDebugControl::Enable, static_cast<int>(m_selection.logLevel));
        }
    }
    return *m_gateway;
}

std::string Session::where() const
{
    if (m_selection.address.empty())
        return "on USB or the local networks";
    return "at " + m_selection.address + ":" + std::to_string(m_selection.port);
}

std::vector<FoundCamera> Session::discover()
{
    if (m_discovered)
        return m_found;
    kv::IGateway& g = gateway();
    m_found.clear();
    if (!m_selection.address.empty()) {
        g.queryNetCamera(m_selection.address.c_str(), m_selection.port);
        // Discovery registers every camera that answered on that network; the
        // one at the address is the one asked for. Taken by index so that the
        // gateway prepares it for use.
        const kv::ICameraPtr wanted = g.getNetCamera(m_selection.address.c_str(), m_selection.port);
        const size_t count = wanted ? g.getNetCameraCount() : 0;
        for (size_t i = 0; i < count; ++i) {
            if (kv::ICameraPtr c = g.getNetCamera(static_cast<uint32_t>(i)); c == wanted) {
                m_found.push_back({c, kv::Net, 0});
                break;
            }
        }
    } else {
        g.queryUSBCameras();
        g.queryNetCameras();
        size_t position = 0;
        for (size_t i = 0, n = g.getUSBCameraCount(); i < n; ++i)
            if (kv::ICameraPtr c = g.getUSBCamera(static_cast<uint32_t>(i)))
                m_found.push_back({c, kv::USB, position++});
        for (size_t i = 0, n = g.getNetCameraCount(); i < n; ++i)
            if (kv::ICameraPtr c = g.getNetCamera(static_cast<uint32_t>(i)))
                m_found.push_back({c, kv::Net, position++});
    }
    m_discovered = true;
    if (g_interrupted)
        throw Failure("Interrupted");
    return m_found;
}

bool Session::initialize(kv::ICameraPtr camera)
{
    return camera && camera->initialize();
}

kv::ICameraPtr Session::camera()
{
    if (m_camera)
        return m_camera;
    const auto found = discover();
    if (found.empty())
        throw Failure("No camera answered " + where());

    kv::ICameraPtr chosen = nullptr;
    if (m_selection.index >= 0) {
        if (static_cast<size_t>(m_selection.index) >= found.size())
            throw Failure("There is no camera " + std::to_string(m_selection.index) + ": " +
                          std::to_string(found.size()) + " found " + where());
        chosen = found[static_cast<size_t>(m_selection.index)].camera;
    } else if (!m_selection.serial.empty()) {
        const bool number = allDigits(m_selection.serial);
        for (const auto& f : found) {
            if (number && std::to_string(f.camera->getInfo().serialNumber) == m_selection.serial) {
                chosen = f.camera;
                break;
            }
            // The serial text needs the sensors, which initialisation reads.
            if (!number && initialize(f.camera) && upper(serialText(f.camera)) == upper(m_selection.serial)) {
                chosen = f.camera;
                break;
            }
        }
        if (!chosen)
            throw Failure("No camera with serial " + m_selection.serial + " answered " + where());
    } else if (found.size() == 1) {
        chosen = found.front().camera;
    } else {
        throw Failure(std::to_string(found.size()) + " cameras answered " + where() +
                      "; choose one with --camera N, --serial S or --address IP (kvcam list shows them)");
    }

    if (!initialize(chosen))
        throw Failure("Camera " + serialText(chosen) + " at " + connectionText(chosen) +
                      " did not initialise (--log 5 writes the library's log, ~/.kvapi/logs/)");
    m_camera = chosen;
    return m_camera;
}

kv::ISensorPtr Session::sensor()
{
    kv::ICameraPtr c = camera();
    kv::ISensorPtr s = c->getSensor(static_cast<uint32_t>(m_selection.sensor));
    if (!s)
        throw Failure("Camera " + serialText(c) + " has no sensor " + std::to_string(m_selection.sensor) + " (it reports " +
                      std::to_string(c->getInfo().numberOfSensors) + ")");
    return s;
}

std::string Session::serialText(kv::ICameraPtr camera)
{
    char text[64] = {};
    size_t length = sizeof text - 1;
    camera->getSerial(text, length);
    std::string serial(text, length < sizeof text ? length : sizeof text - 1);
    serial = serial.c_str(); // the library zero-fills past the text
    if (serial.empty() || serial == "UNINITIALIZED" || serial == "UNKNOWN")
        return std::to_string(camera->getInfo().serialNumber);
    return serial;
}

std::string Session::connectionText(kv::ICameraPtr camera)
{
    char text[256] = {};
    size_t length = sizeof text - 1;
    camera->getConnectionInfo(text, length);
    const std::string info = text;
    // A network endpoint reads: Net: ip="A.B.C.D", port=N
    const auto ip = info.find("ip=\"");
    const auto port = info.find("port=");
    if (ip != std::string::npos && port != std::string::npos) {
        const auto end = info.find('"', ip + 4);
        if (end != std::string::npos) {
            std::string digits;
            for (size_t i = port + 5; i < info.size() && std::isdigit(static_cast<unsigned char>(info[i])); ++i)
                digits += info[i];
            return info.substr(ip + 4, end - ip - 4) + ":" + digits;
        }
    }
    return info;
}

bool Session::tryAwait(kv::IPromisePtr promise, std::string& error, kv::EStatusCode* code)
{
    if (!promise) {
        error = "the library returned no result";
        if (code)
            *code = kv::InvalidStatus;
        return false;
    }
    const kv::IPromise::Status status = promise->wait();
    bool ok = status == kv::IPromise::Complete;
    if (!ok) {
        char text[512] = {};
        size_t length = sizeof text - 1;
        promise->getLastError(text, length);
        error = oneLine(std::string(text, length < sizeof text ? length : sizeof text - 1));
        const kv::EStatusCode apiCode = promise->getAPIStatusCode();
        if (error.empty())
            error = apiCode == kv::Success ? "no answer" : kv::errors::getErrorString(apiCode);
        if (code)
            *code = apiCode;
    }
    promise->release();
    return ok;
}

void Session::await(kv::IPromisePtr promise, const std::string& what)
{
    std::string error;
    if (!tryAwait(promise, error))
        throw Failure(what + " failed: " + error);
}

kv::ICamera::Status Session::status()
{
    kv::ICameraPtr c = camera();
    await(c->queryStatus(), "Reading the camera's status");
    return c->getStatus();
}

} // namespace kvcam
