#include "firmware/Faults.h"

#include <algorithm>
#include <cmath>

namespace kvsim {

Faults::Faults(const FaultSettings& settings) : m_random(settings.seed)
{
    set(settings);
}

FaultSettings Faults::settings() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_settings;
}

void Faults::set(const FaultSettings& settings)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const bool reseed = settings.seed != m_settings.seed;
    m_settings = settings;
    m_settings.dropAnswers = clampFraction(settings.dropAnswers);
    m_settings.dropImageDatagrams = clampFraction(settings.dropImageDatagrams);
    if (m_settings.answerDelay.count() < 0)
        m_settings.answerDelay = std::chrono::milliseconds(0);
    if (reseed)
        m_random.seed(settings.seed);
}

void Faults::clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const uint64_t seed = m_settings.seed;
    m_settings = FaultSettings();
    m_settings.seed = seed;
}

void Faults::dropAnswers(double fraction)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_settings.dropAnswers = clampFraction(fraction);
}

void Faults::dropImageDatagrams(double fraction)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_settings.dropImageDatagrams = clampFraction(fraction);
}

void Faults::delayAnswers(std::chrono::milliseconds delay)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_settings.answerDelay = std::max(delay, std::chrono::milliseconds(0));
}

void Faults::setSilent(bool silent)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_settings.silent = silent;
}

void Faults::answerNextWith(kv::EStatusCode status, uint32_t count, uint32_t bodyType)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_settings.status = status;
    m_settings.statusCount = count;
    m_settings.statusBodyType = bodyType;
}

void Faults::sendForeignBefore(uint32_t count)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_settings.foreignBefore = count;
}

void Faults::sendTruncatedBefore(uint32_t count)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_settings.truncatedBefore = count;
}

Faults::Decision Faults::decide(uint8_t bodyType)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Decision decision;
    if (m_settings.silent) {
        decision.silent = true;
        return decision;
    }
    if (m_settings.statusCount > 0 && (m_settings.statusBodyType == 255 || m_settings.statusBodyType == bodyType)) {
        --m_settings.statusCount;
        decision.refuse = true;
        decision.status = m_settings.status;
    }
    decision.dropAnswer = draw(m_settings.dropAnswers);
    decision.delay = m_settings.answerDelay;
    decision.foreignBefore = m_settings.foreignBefore;
    decision.truncatedBefore = m_settings.truncatedBefore;
    return decision;
}

bool Faults::dropImageDatagram()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return draw(m_settings.dropImageDatagrams);
}

double Faults::clampFraction(double fraction)
{
    if (std::isnan(fraction))
        return 0.0;
    return std::min(1.0, std::max(0.0, fraction));
}

bool Faults::draw(double fraction)
{
    if (fraction <= 0.0)
        return false;
    if (fraction >= 1.0)
        return true;
    return std::bernoulli_distribution(fraction)(m_random);
}

} // namespace kvsim
