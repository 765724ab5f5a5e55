// net.yml as a user may write it: reading must end in a valid or an invalid
// file, never in a crash, and every device of a valid file must give a frame
// or the documented error for a short MAC address. Nothing is sent.

#include "gateway/NetworkManager.h"
#include "transport/UDPComm.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>

using namespace kv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static UDPComm comm;
    static const std::string path = "/tmp/kvapi-fuzz-net-" + std::to_string(::getpid()) + ".yml";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return 0;
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    NetworkManager manager(path, comm, nullptr);
    if (!manager.isValid() && !manager.getDevices().empty()) {
        __builtin_trap();
    }
    for (const NetworkManager::Device& device : manager.getDevices()) {
        try {
            const auto frame = NetworkManager::makeFrame(NetworkManager::makeBody(device), V1None);
            if (frame[0] != 0xA5 || frame[1] != 49 || frame[5] != 50 || frame[59] != 0) {
                __builtin_trap();
            }
        } catch (const std::invalid_argument&) {
            if (device.macAddress.size() >= 17) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
