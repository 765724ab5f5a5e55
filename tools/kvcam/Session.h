#pragma once

#include "Arguments.h"

#include <kvapi/kvapi.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace kvcam {

// Set by SIGINT: a command that follows the camera stops at its next look.
extern std::atomic<bool> g_interrupted;

// Where to look for cameras and which one to use.
struct Selection {
    std::string address;  // empty: USB and every local network
    uint16_t port = 6363;
    long index = -1;      // position in the list, -1: not given
    std::string serial;   // serial text or number, empty: not given
    long sensor = 0;
    long logLevel = -1;   // -1: as logging.conf says
};

// "IP" or "IP:PORT" into the selection; a usage error when it is neither.
void parseAddress(const std::string& text, Selection& selection);

struct FoundCamera {
    kv::ICameraPtr camera = nullptr;
    kv::EEndpointType list = kv::InvalidEndpoint; // USB or Net: the gateway list it is in
    size_t index = 0;                             // position as `kvcam list` numbers it
};

// One use of the library: the gateway from getGateway until deleteGateway,
// discovery, and the camera the command works on. The camera and everything
// reached through it belong to the gateway.
class Session {
public:
    explicit Session(Selection selection);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const Selection& selection() const { return m_selection; }

    // Discovery as the selection says, then every camera found (only the
    // one at the address when an address was given).
    std::vector<FoundCamera> discover();
    // The selected camera, initialised.
    kv::ICameraPtr camera();
    // The selected sensor of the camera.
    kv::ISensorPtr sensor();

    // Brings the camera to Ready; false when it did not get there.
    static bool initialize(kv::ICameraPtr camera);
    // The camera's serial text; the number when the library has no text yet.
    static std::string serialText(kv::ICameraPtr camera);
    // "IP:PORT" of a network camera, the library's own text otherwise.
    static std::string connectionText(kv::ICameraPtr camera);
    std::string where() const;

    // Waits for the promise and releases it; a Failure naming `what` and the
    // library's reason when it did not complete.
    static void await(kv::IPromisePtr promise, const std::string& what);
    // The same without throwing: true on success, else `error` holds the reason.
    static bool tryAwait(kv::IPromisePtr promise, std::string& error, kv::EStatusCode* code = nullptr);
    // Asks for the camera's status and returns it.
    kv::ICamera::Status status();

private:
    kv::IGateway& gateway();

    Selection m_selection;
    kv::IGatewayPtr m_gateway = nullptr;
    bool m_discovered = false;
    std::vector<FoundCamera> m_found;
    kv::ICameraPtr m_camera = nullptr;
};

} // namespace kvcam
