#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <random>

#include <kvapi/kvapi.h>

namespace kvsim {

// What goes wrong, and how often. Everything off by default.
struct FaultSettings {
    // Fraction (0 to 1) of answers lost after the camera carried out the request.
    double dropAnswers = 0.0;
    // Fraction of image datagrams lost (image transfer).
    double dropImageDatagrams = 0.0;
    // Every answer leaves this much later.
    std::chrono::milliseconds answerDelay{0};
    // The camera hears nothing and answers nothing (requests are still journaled).
    bool silent = false;
    // The next `statusCount` requests (of `statusBodyType` only, unless it is
    // InvalidBody) are refused with `status` and not carried out.
    kv::EStatusCode status = kv::Success;
    uint32_t statusCount = 0;
    uint32_t statusBodyType = 255;
    // Datagrams sent before each answer: foreign bytes that are no frame, and
    // copies of the answer cut short.
    uint32_t foreignBefore = 0;
    uint32_t truncatedBefore = 0;
    // Seed of the loss decisions, so that a run can be repeated.
    uint64_t seed = 1;
};

// Fault injection for one camera, settable at start and while it runs, from any thread.
class Faults {
public:
    // What to do with one request.
    struct Decision {
        bool silent = false;
        bool refuse = false; // answer with `status` without carrying the request out
        kv::EStatusCode status = kv::Success;
        bool dropAnswer = false;
        std::chrono::milliseconds delay{0};
        uint32_t foreignBefore = 0;
        uint32_t truncatedBefore = 0;
    };

    explicit Faults(const FaultSettings& settings = FaultSettings());

    FaultSettings settings() const;
    void set(const FaultSettings& settings);
    void clear();

    void dropAnswers(double fraction);
    void dropImageDatagrams(double fraction);
    void delayAnswers(std::chrono::milliseconds delay);
    void setSilent(bool silent);
    // Refuses the next `count` requests (of one body type, or of any when
    // bodyType is 255) with `status`.
    void answerNextWith(kv::EStatusCode status, uint32_t count, uint32_t bodyType = 255);
    void sendForeignBefore(uint32_t count);
    void sendTruncatedBefore(uint32_t count);

    // Takes the decision for one received request; consumes a refusal.
    Decision decide(uint8_t bodyType);
    // Whether one image datagram is lost.
    bool dropImageDatagram();

private:
    static double clampFraction(double fraction);
    bool draw(double fraction);

    mutable std::mutex m_mutex;
    FaultSettings m_settings;
    std::mt19937_64 m_random;
};

} // namespace kvsim
